#include "progress/ViewerPainter.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <cmath>
#include <cstdio>

namespace {

// Pre-Windows-11 default system colours (COLOR_SCROLLBAR .. COLOR_MENUBAR), as 0xRRGGBB.
constexpr unsigned kSystemColors[] = {
    0xC8C8C8, 0x000000, 0x99B4D1, 0xBFCDDB, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000,
    0x000000, 0x000000, 0xB4B4B4, 0xF4F7FC, 0xABABAB, 0x0078D7, 0xFFFFFF, 0xF0F0F0,
    0xA0A0A0, 0x6D6D6D, 0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000,
    0xFFFFE1, 0xB5B5B5, 0x0066CC, 0xB9D1EA, 0xD7E4F2, 0x3399FF, 0xF0F0F0,
};

// Only the regular face: the bold file shipped with wine draws at regular weight, while Qt's
// emboldened regular looks like Tahoma Bold.
constexpr const char* kTahomaFile = "/usr/share/wine/fonts/tahoma.ttf";
constexpr const char* kTahomaFamily = "Tahoma";

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
    if ((color & 0xFF000000u) == 0xFF000000u) {
        const unsigned index = color & 0xFFu;
        if (index < std::size(kSystemColors)) {
            return QColor::fromRgb(kSystemColors[index]);
        }
        return QColor(Qt::black);
    }
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

int PointsToPixels(int points) {
    // MulDiv(points, 96, 72): rounds half away from zero.
    const long long scaled = static_cast<long long>(points) * 96;
    const long long half = scaled >= 0 ? 36 : -36;
    return static_cast<int>((scaled + half) / 72);
}

QFont ViewerFont(const std::string& name, int points, TFontStyles style) {
    QFont font(ToQString(name));
    int pixels = PointsToPixels(points < 0 ? -points : points);
    if (pixels <= 0) {
        pixels = PointsToPixels(kUiFontSize);
    }
    font.setPixelSize(std::min(pixels, kViewerMaxSize));
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
    const QString family = QString::fromLatin1(kTahomaFamily);
    bool tahoma = QFontDatabase::families().contains(family);
    const QString file = QString::fromLatin1(kTahomaFile);
    if (!tahoma && QFile::exists(file) && QFontDatabase::addApplicationFont(file) >= 0) {
        tahoma = true;
    }
    // The bitmap-only "MS Sans Serif" is not usable here; Tahoma is its metric-compatible heir.
    if (tahoma) {
        QFont::insertSubstitution(QString::fromLatin1(kUiFontName), family);
    }
}

std::string FormatElapsed(std::chrono::nanoseconds elapsed) {
    long long seconds = std::chrono::duration_cast<std::chrono::seconds>(elapsed).count();
    if (seconds < 0) {
        seconds = 0;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return text;
}

std::string FormatElapsedLine(const std::string& format, const std::string& text) {
    std::string line = format;
    const std::size_t at = line.find("%s");
    if (at != std::string::npos) {
        line.replace(at, 2, text);
    }
    return line;
}

QRect CancelButtonRect(int width, int height) {
    return QRect(width - kButtonFromRight, height - kButtonFromBottom, kButtonWidth, kButtonHeight);
}

int TViewerPainter::MeasureStrings(std::vector<TViewerString>& lines, int width, TColor backColor) {
    const int w = std::max(width - 2 * kTextLeft, 0);
    int total = 0;
    for (TViewerString& line : lines) {
        if (line.Text.empty()) {
            line.Height = 0;
            continue;
        }
        const QFontMetrics metrics(ViewerFont(line.FontName, line.FontSize, line.FontStyle));
        line.Height =
            metrics.boundingRect(QRect(0, 0, w, 0), TextFlags(line), ToQString(line.Text)).height();
        total += line.Height;
    }
    total = std::min(total, kViewerMaxSize);
    if (total <= 0 || w <= 0) {
        TextImage = QImage();
        return total;
    }
    TextImage = QImage(w, total, QImage::Format_RGB32);
    TextImage.fill(ViewerColor(backColor, ButtonFace()));
    QPainter painter(&TextImage);
    int top = 0;
    for (const TViewerString& line : lines) {
        if (line.Height > 0) {
            painter.setFont(ViewerFont(line.FontName, line.FontSize, line.FontStyle));
            painter.setPen(ViewerColor(line.Color, Qt::black));
            painter.drawText(QRect(0, top, w, line.Height), TextFlags(line), ToQString(line.Text));
        }
        top += line.Height;
    }
    return total;
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
    WindowImage = BackgroundImage;
    const int width = WindowImage.width();
    const int height = WindowImage.height();
    QPainter window(&WindowImage);

    const int barWidth = std::max(width - 2 * kBarLeft, 1);
    if (BarImage.width() != barWidth || BarImage.height() != kBarHeight) {
        BarImage = QImage(barWidth, kBarHeight, QImage::Format_RGB32);
    }
    QPainter bar(&BarImage);
    OutlinedRectangle(bar, 0, 0, barWidth, kBarHeight, Qt::white);
    const QColor fill = ViewerColor(state.BarColor, Qt::black);

    double percent = state.Percent;
    if (state.PercentMode) {
        if (percent > 100) {
            percent = 100;
        } else if (!(percent >= 0)) {  // negative or not a number
            percent = 0;
        }
        const int done = static_cast<int>((barWidth - 2 * kBarInset) * percent / 100);
        OutlinedRectangle(bar, kBarInset, kBarInset, done + kBarInset, kBarHeight - kBarInset,
                          fill);
        if (state.ShowPercentText) {
            const QString text = QString::number(static_cast<int>(percent)) + QStringLiteral(" %");
            const QFont font = ViewerFont(kUiFontName, kUiFontSize, fsBold);
            const QFontMetrics metrics(font);
            bar.setFont(font);
            bar.setPen(Qt::black);
            bar.drawText((barWidth - metrics.horizontalAdvance(text)) / 2,
                         kPercentTextTop + metrics.ascent(), text);
        }
    } else {
        percent += kMarqueeStep;
        // Also a NaN or a value beyond int that the owner wrote: it must not reach the cast below.
        if (percent > barWidth || !(percent > -1e9)) {
            percent = -kMarqueeBlock;
        }
        const int p = static_cast<int>(percent);
        OutlinedRectangle(bar, p, kBarInset, p + kMarqueeBlock, kBarHeight - kBarInset, fill);
    }
    bar.end();

    if (state.ShowElapsedTime) {
        const QString text = ToQString(state.ElapsedText);
        const QFont font = ViewerFont(kUiFontName, kUiFontSize, 0);
        const QFontMetrics metrics(font);
        const int x =
            state.CancelVisible ? kBarLeft : width - metrics.horizontalAdvance(text) - kBarLeft;
        window.setFont(font);
        window.setPen(Qt::black);
        window.drawText(x, height - kElapsedFromBottom + metrics.ascent(), text);
    }
    window.drawImage(kBarLeft, height - kBarFromBottom, BarImage);
    window.end();

    if (state.CancelVisible) {
        DrawCancelButton(state.CancelCaption);
    }
    return percent;
}

void TViewerPainter::DrawCancelButton(const std::string& caption) {
    // The button never changes between ticks: render it once per caption.
    if (ButtonImage.isNull() || ButtonCaption != caption) {
        ButtonCaption = caption;
        ButtonImage = QImage(kButtonWidth, kButtonHeight, QImage::Format_RGB32);
        ButtonImage.fill(ButtonFace());
        QPainter button(&ButtonImage);
        const int r = kButtonWidth - 1;
        const int b = kButtonHeight - 1;
        // A raised 3-D edge: light outer top-left, dark outer bottom-right, then the inner pair.
        button.setPen(ViewerColor(0xFF000014, Qt::white));  // highlight
        button.drawLine(0, 0, r - 1, 0);
        button.drawLine(0, 0, 0, b - 1);
        button.setPen(ViewerColor(0xFF000015, Qt::black));  // dark shadow
        button.drawLine(0, b, r, b);
        button.drawLine(r, 0, r, b);
        button.setPen(ViewerColor(0xFF000016, Qt::lightGray));  // light
        button.drawLine(1, 1, r - 2, 1);
        button.drawLine(1, 1, 1, b - 2);
        button.setPen(ViewerColor(0xFF000010, Qt::darkGray));  // shadow
        button.drawLine(1, b - 1, r - 1, b - 1);
        button.drawLine(r - 1, 1, r - 1, b - 1);
        button.setFont(ViewerFont(kUiFontName, kUiFontSize, 0));
        button.setPen(Qt::black);
        button.drawText(QRect(0, 0, kButtonWidth, kButtonHeight), Qt::AlignCenter,
                        ToQString(caption));
    }
    QPainter window(&WindowImage);
    window.drawImage(CancelButtonRect(WindowImage.width(), WindowImage.height()).topLeft(),
                     ButtonImage);
}
