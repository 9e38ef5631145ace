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

// GDI's Rectangle(l, t, r, b) with a 1-pixel black pen: the outline covers columns l..r-1 and
// rows t..b-1, the inside takes the fill. An empty rectangle draws nothing.
void OutlinedRectangle(QPainter& painter, int l, int t, int r, int b, const QColor& fill) {
    if (r <= l || b <= t) {
        return;
    }
    painter.fillRect(QRect(l, t, r - l, b - t), Qt::black);
    if (r - l > 2 && b - t > 2) {
        painter.fillRect(QRect(l + 1, t + 1, r - l - 2, b - t - 2), fill);
    }
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

QColor ButtonFace() {
    return ViewerColor(clBtnFace, Qt::gray);
}

}  // namespace

QColor ViewerColor(TColor color, QColor fallback) {
    if (color == clDefault) {
        return fallback;
    }
    return QColor::fromRgb(ColorToRgb(color, 0));
}

QFont ViewerFont(const std::string& name, int points, TFontStyles style) {
    QFont font(ToQString(name));
    font.setPixelSize(FontPixelSize(points));
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
    return ViewerFont(font.Name, font.Points, font.Style);
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

TFramePixels TViewerPainter::Frame() const {
    if (WindowImage.isNull()) {
        return TFramePixels();
    }
    // Every image here is RGB32: the layout TFramePixels describes.
    return TFramePixels{WindowImage.width(), WindowImage.height(), WindowImage.bytesPerLine(),
                        WindowImage.constBits()};
}

int TViewerPainter::MeasureStrings(std::vector<TViewerString>& lines, int width, TColor backColor) {
    const TTextBlockLayout layout = LayoutTextBlock(lines, width, backColor, Measurer);
    DrawTextBlock(layout, lines);
    return layout.Total;
}

void TViewerPainter::DrawTextBlock(const TTextBlockLayout& layout,
                                   const std::vector<TViewerString>& lines) {
    if (layout.Block.IsEmpty()) {
        TextImage = QImage();
        return;
    }
    TextImage = QImage(layout.Block.Width, layout.Block.Height, QImage::Format_RGB32);
    TextImage.fill(ViewerColor(layout.BackColor, ButtonFace()));
    QPainter painter(&TextImage);
    for (std::size_t i = 0; i < layout.Lines.size(); ++i) {
        const TRect& box = layout.Lines[i];
        if (box.IsEmpty()) {
            continue;
        }
        painter.setFont(ViewerFont(layout.Fonts[i]));
        painter.setPen(ViewerColor(layout.Colors[i], Qt::black));
        painter.drawText(QRect(box.Left, box.Top, box.Width, box.Height), TextFlags(lines[i]),
                         ToQString(lines[i].Text));
    }
}

void TViewerPainter::DrawBackground(int width, int height) {
    WindowImage = QImage(width, height, QImage::Format_RGB32);
    {
        QPainter painter(&WindowImage);
        OutlinedRectangle(painter, 0, 0, width, height, ButtonFace());
    }
    BackgroundImage = WindowImage.copy();
    if (!TextImage.isNull()) {
        QPainter painter(&BackgroundImage);
        painter.drawImage(kTextLeft, kTextTop, TextImage);
    }
}

double TViewerPainter::DrawProgress(const TTickState& state) {
    if (BackgroundImage.isNull()) {
        return state.Percent;
    }
    const TProgressFrame frame =
        LayoutProgress(state, BackgroundImage.width(), BackgroundImage.height(), Measurer);
    DrawFrame(frame);
    return frame.Percent;
}

void TViewerPainter::DrawFrame(const TProgressFrame& frame) {
    WindowImage = BackgroundImage;
    QPainter window(&WindowImage);

    // The bar is drawn apart so that what lies in it is cut at its edges.
    const TRect& barRect = frame.Bar;
    if (BarImage.width() != barRect.Width || BarImage.height() != barRect.Height) {
        BarImage = QImage(barRect.Width, barRect.Height, QImage::Format_RGB32);
    }
    QPainter bar(&BarImage);
    OutlinedRectangle(bar, 0, 0, barRect.Width, barRect.Height, Qt::white);
    const TRect& filled = frame.Filled;
    const int fillLeft = filled.Left - barRect.Left;
    const int fillTop = filled.Top - barRect.Top;
    OutlinedRectangle(bar, fillLeft, fillTop, fillLeft + filled.Width, fillTop + filled.Height,
                      ViewerColor(frame.FillColor, Qt::black));
    if (frame.PercentText.Visible) {
        const TPlacedText& text = frame.PercentText;
        const QFont font = ViewerFont(text.Font);
        bar.setFont(font);
        bar.setPen(Qt::black);
        bar.drawText(text.Box.Left - barRect.Left,
                     text.Box.Top - barRect.Top + QFontMetrics(font).ascent(),
                     ToQString(text.Text));
    }
    bar.end();

    if (frame.ElapsedText.Visible) {
        const TPlacedText& text = frame.ElapsedText;
        const QFont font = ViewerFont(text.Font);
        window.setFont(font);
        window.setPen(Qt::black);
        window.drawText(text.Box.Left, text.Box.Top + QFontMetrics(font).ascent(),
                        ToQString(text.Text));
    }
    window.drawImage(barRect.Left, barRect.Top, BarImage);
    window.end();

    if (frame.CancelVisible) {
        DrawCancelButton(frame);
    }
}

void TViewerPainter::DrawCancelButton(const TProgressFrame& frame) {
    const std::string& caption = frame.CancelCaption;
    const int width = frame.CancelButton.Width;
    const int height = frame.CancelButton.Height;
    // The button never changes between ticks: render it once per caption.
    if (ButtonImage.isNull() || ButtonCaption != caption || ButtonImage.width() != width ||
        ButtonImage.height() != height) {
        ButtonCaption = caption;
        ButtonImage = QImage(width, height, QImage::Format_RGB32);
        ButtonImage.fill(ButtonFace());
        QPainter button(&ButtonImage);
        for (const TEdgeLine& edge : RaisedButtonEdges(width, height)) {
            const TRect& line = edge.Line;
            if (!line.IsEmpty()) {
                button.fillRect(QRect(line.Left, line.Top, line.Width, line.Height),
                                ViewerColor(edge.Color, Qt::black));
            }
        }
        button.setFont(ViewerFont(frame.CancelFont));
        button.setPen(Qt::black);
        button.drawText(QRect(0, 0, width, height), Qt::AlignCenter, ToQString(caption));
    }
    QPainter window(&WindowImage);
    window.drawImage(frame.CancelButton.Left, frame.CancelButton.Top, ButtonImage);
}
