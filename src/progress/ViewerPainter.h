#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <chrono>
#include <string>
#include <vector>

#include "progress/ProgressViewer.h"
#include "progress/ViewerLayout.h"

// The viewer's drawing: pure functions of the lines, the size and the tick's values, painted
// into four QImages. Runs in the viewer thread; needs a QGuiApplication in the process.

// The platform's user-interface font: the unit's default for text lines, and the font of the
// bar's number, the elapsed-time line and the cancel button. The name resolves to Tahoma here.
inline constexpr const char* kUiFontName = "MS Sans Serif";
inline constexpr int kUiFontSize = 8;  // points

// The colour a TColor stands for; `fallback` when it is clDefault.
QColor ViewerColor(TColor color, QColor fallback);

// Points to pixels at 96 dots per inch, rounded as the platform's MulDiv does.
int PointsToPixels(int points);

// The font of a line: name (with kUiFontName standing for Tahoma), size in points, style.
QFont ViewerFont(const std::string& name, int points, TFontStyles style);

// Makes Tahoma visible to Qt when its files are installed and lets kUiFontName resolve to it.
// Quietly does nothing more when they are missing. Call it in the GUI thread.
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
    // Measures every line at the text block's width (`width` - 2 * kTextLeft), stores each line's
    // Height and renders them one under another into TextImage on `backColor`. Returns the total
    // height; the caller sizes the window to it + kViewerHeightBelowText.
    int MeasureStrings(std::vector<TViewerString>& lines, int width, TColor backColor);

    // The window face (button face inside a black outline) with TextImage at (kTextLeft, kTextTop).
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
