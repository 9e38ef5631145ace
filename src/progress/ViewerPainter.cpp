#include "progress/ViewerPainter.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <cmath>
#include <cstdio>

#include "progress/ViewerStyle.h"

namespace {

// Only the regular face: the bold file shipped with wine draws at regular weight, while Qt's
// emboldened regular looks like Tahoma Bold.
constexpr const char* kTahomaFile = "/usr/share/wine/fonts/tahoma.ttf";

QString ToQString(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

int TextFlags(const TViewerString& line) {
    int flags = Qt::AlignTop;
    switch (line.Alignment) {
        case taRightJustify:
            flags |= Qt::AlignRight;
            break;
        case taCenter:
            flags |= Qt::AlignHCenter;
            break;
        default:
            flags |= Qt::AlignLeft;
            break;
    }
    if (line.WordWrap) {
        flags |= Qt::TextWordWrap;
    }
    return flags;
}

QColor Colour(TRgb rgb) {
    return QColor::fromRgb(static_cast<QRgb>(rgb));
}

}  // namespace

QColor ViewerColor(TColor color, QColor fallback) {
    if (color == clDefault) {
        return fallback;
    }
    return QColor::fromRgb(ColorToRgb(color, 0));
}

QFont ViewerFont(const std::string& name, int points, TFontStyles style, int dpi) {
    QFont font(ToQString(name));
    font.setPixelSize(FontPixelSize(points, dpi));
    font.setBold((style & fsBold) != 0);
    font.setItalic((style & fsItalic) != 0);
    font.setUnderline((style & fsUnderline) != 0);
    font.setStrikeOut((style & fsStrikeOut) != 0);
    return font;
}

void PrepareViewerFonts() {
    static bool prepared = false;
    if (prepared) {
        return;
    }
    prepared = true;
    const QString family = QString::fromLatin1(kUiFontFace);
    bool tahoma = QFontDatabase::families().contains(family);
    const QString file = QString::fromLatin1(kTahomaFile);
    if (!tahoma && QFile::exists(file) && QFontDatabase::addApplicationFont(file) >= 0) {
        tahoma = true;
    }
    if (tahoma) {
        QFont::insertSubstitution(QString::fromLatin1(kUiFontName), family);
    }
}

QFont ViewerFont(const TViewerFont& font) {
    return ViewerFont(font.Name, font.Points, font.Style, font.Dpi);
}

int TQtTextMeasurer::TextWidth(const TViewerFont& font, const std::string& text) {
    return QFontMetrics(ViewerFont(font)).horizontalAdvance(ToQString(text));
}

int TQtTextMeasurer::TextHeight(const TViewerFont& font, const std::string& text, int width,
                                bool wordWrap) {
    const int flags = Qt::AlignTop | Qt::AlignLeft | (wordWrap ? Qt::TextWordWrap : 0);
    return QFontMetrics(ViewerFont(font))
        .boundingRect(QRect(0, 0, width, 0), flags, ToQString(text))
        .height();
}

std::unique_ptr<IViewerPainter> CreateViewerPainter() {
    return std::make_unique<TViewerPainter>();
}

void TViewerPainter::Create(TViewerImage image, int width, int height) {
    Images[image] =
        width > 0 && height > 0 ? QImage(width, height, QImage::Format_RGB32) : QImage();
}

void TViewerPainter::Fill(TViewerImage image, const TRect& rect, TRgb colour) {
    QPainter(&Images[image])
        .fillRect(QRect(rect.Left, rect.Top, rect.Width, rect.Height), Colour(colour));
}

void TViewerPainter::Copy(TViewerImage from, TViewerImage to, int left, int top) {
    QPainter(&Images[to]).drawImage(left, top, Images[from]);
}

void TViewerPainter::DrawLine(TViewerImage image, const TRect& box, const TViewerString& line,
                              const TViewerFont& font, TRgb colour) {
    QPainter painter(&Images[image]);
    painter.setFont(ViewerFont(font));
    painter.setPen(Colour(colour));
    painter.drawText(QRect(box.Left, box.Top, box.Width, box.Height), TextFlags(line),
                     ToQString(line.Text));
}

void TViewerPainter::WriteText(TViewerImage image, int left, int top, const TViewerFont& font,
                               const std::string& text) {
    const QFont qfont = ViewerFont(font);
    QPainter painter(&Images[image]);
    painter.setFont(qfont);
    painter.setPen(Qt::black);
    // Qt writes from the baseline, GDI (and the layout) from the top.
    painter.drawText(left, top + QFontMetrics(qfont).ascent(), ToQString(text));
}

void TViewerPainter::CentreText(TViewerImage image, const TViewerFont& font,
                                const std::string& text) {
    QPainter painter(&Images[image]);
    painter.setFont(ViewerFont(font));
    painter.setPen(Qt::black);
    painter.drawText(Images[image].rect(), Qt::AlignCenter, ToQString(text));
}

TFramePixels TViewerPainter::Pixels(TViewerImage image) const {
    const QImage& picture = Images[image];
    if (picture.isNull()) {
        return TFramePixels();
    }
    // Every image here is RGB32: the layout TFramePixels describes.
    return TFramePixels{picture.width(), picture.height(), picture.bytesPerLine(),
                        picture.constBits()};
}
