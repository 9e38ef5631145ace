#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <chrono>
#include <string>
#include <vector>

#include "progress/ProgressViewer.h"

// The viewer's drawing: pure functions of the lines, the size and the tick's values, painted
// into four QImages. Runs in the viewer thread; needs a QGuiApplication in the process.

// Window geometry.
inline constexpr int kViewerInitialWidth = 450;
inline constexpr int kViewerInitialHeight = 70;
inline constexpr int kViewerMinWidth = 225;
inline constexpr int kViewerMinHeight = 70;
// X sizes are 16-bit; a huge font must not wrap them around.
inline constexpr int kViewerMaxSize = 32767;
inline constexpr int kTextLeft = 10;
inline constexpr int kTextTop = 2;
inline constexpr int kBarLeft = 20;
inline constexpr int kBarFromBottom = 60;
inline constexpr int kBarHeight = 20;
inline constexpr int kMarqueeBlock = 40;
inline constexpr int kMarqueeStep = 10;
inline constexpr int kElapsedFromBottom = 25;
inline constexpr int kButtonWidth = 100;
inline constexpr int kButtonHeight = 25;
inline constexpr int kButtonFromRight = 120;
inline constexpr int kButtonFromBottom = 30;

// The colour a TColor stands for; `fallback` when it is clDefault.
QColor ViewerColor(TColor color, QColor fallback);

// Points to pixels at 96 dots per inch, rounded as the platform's MulDiv does.
int PointsToPixels(int points);

// The font of a line: name (with "MS Sans Serif" standing for Tahoma), size in points, style.
QFont ViewerFont(const std::string& name, int points, TFontStyles style);

// Makes Tahoma visible to Qt when its files are installed and lets "MS Sans Serif" resolve to
// it. Quietly does nothing more when they are missing. Call it in the GUI thread.
void PrepareViewerFonts();

// "H:MM:SS": hours without leading zero, minutes and seconds with two digits (truncated).
std::string FormatElapsed(std::chrono::nanoseconds elapsed);

// `format` with its first "%s" replaced by `text`.
std::string FormatElapsedLine(const std::string& format, const std::string& text);

// The elapsed-time line and the cancel button of one tick, and its bar values.
struct TTickState {
    bool PercentMode = true;
    double Percent = 0;
    bool ShowPercentText = true;
    bool ShowElapsedTime = true;
    bool CancelVisible = false;
    std::string ElapsedText;  // the finished line, e.g. "Общее время: 0:01:25"
    TColor BarColor = kDefaultBarColor;
    std::string CancelCaption;
};

// Where the cancel button sits in a window of the given size.
QRect CancelButtonRect(int width, int height);

class TViewerPainter {
  public:
    // Measures every line at the text block's width (`width` - 20), stores each line's Height
    // and renders them one under another into TextImage on `backColor`. Returns the total
    // height; the caller sizes the window to it + 70.
    int MeasureStrings(std::vector<TViewerString>& lines, int width, TColor backColor);

    // The window face (button face inside a black outline) with TextImage at (10, 2).
    void DrawBackground(int width, int height);

    // WindowImage := background + bar + percentage + elapsed line + cancel button. Returns
    // `Percent` as drawn: clamped to 0..100 in percentage mode, advanced in marquee mode.
    double DrawProgress(const TTickState& state);

    QImage TextImage;
    QImage BackgroundImage;
    QImage BarImage;
    QImage WindowImage;

  private:
    void DrawCancelButton(const std::string& caption);

    QImage ButtonImage;
    std::string ButtonCaption;
};
