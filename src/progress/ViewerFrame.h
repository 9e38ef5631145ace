#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "progress/ProgressViewer.h"
#include "progress/ViewerLayout.h"

// What the progress window shows, worked out once for every window layer: the text block, the
// bar with its done part or running block, the percentage number, the elapsed-time line and the
// cancel button, as rectangles, texts, fonts and colours. A window layer only measures text
// (ITextMeasurer) and draws what these functions return.

// The platform's user-interface font: the unit's default for text lines, and the font of the
// bar's number, the elapsed-time line and the cancel button.
inline constexpr const char* kUiFontName = "MS Sans Serif";
inline constexpr int kUiFontSize = 8;  // points

struct TViewerFont {
    std::string Name;
    int Points = kUiFontSize;
    TFontStyles Style = 0;
    int Dpi = 96;  // the resolution the points turn into pixels at

    bool operator==(const TViewerFont&) const = default;
};

// Text measuring, done by each window layer with its own fonts.
class ITextMeasurer {
  public:
    virtual ~ITextMeasurer() = default;
    // The advance of `text` written on one line.
    virtual int TextWidth(const TViewerFont& font, const std::string& text) = 0;
    // The height of `text` laid out at `width`: broken at words to fit it when `wordWrap`, else
    // only at its own line breaks.
    virtual int TextHeight(const TViewerFont& font, const std::string& text, int width,
                           bool wordWrap) = 0;
};

// Points to pixels at `dpi` dots per inch, rounded as the platform's MulDiv does.
int PointsToPixels(int points, int dpi = 96);

// "H:MM:SS": hours without leading zero, minutes and seconds with two digits (truncated).
std::string FormatElapsed(std::chrono::nanoseconds elapsed);

// `format` with its first "%s" replaced by `text`.
std::string FormatElapsedLine(const std::string& format, const std::string& text);

// The text lines stacked one under another in a block kTextLeft from both sides and kTextTop
// from the top. Colours are resolved: no clDefault is left.
struct TTextBlockLayout {
    TRect Block;  // in the window; empty when there is nothing to show
    TColor BackColor = clBtnFace;
    std::vector<TRect> Lines;  // one per line, in the block; empty texts take no room
    std::vector<TViewerFont> Fonts;
    std::vector<TColor> Colors;
    int Total = 0;  // the lines' heights added, at most kViewerMaxSize
};

// Measures every line at the block's width of a window `width` wide and stores each line's
// Height. The caller sizes the window to Total + kViewerHeightBelowText when Total > 0.
// Every size of the design and every font are taken at `scale`.
TTextBlockLayout LayoutTextBlock(std::vector<TViewerString>& lines, int width, TColor backColor,
                                 ITextMeasurer& measurer, TViewerScale scale = {});

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

// A text written from the top-left corner of Box (Box is the text's advance by its height).
struct TPlacedText {
    bool Visible = false;
    std::string Text;
    TViewerFont Font;
    TRect Box;
};

// One tick's frame over the window's face and text block. Every rectangle is in the window.
struct TProgressFrame {
    // `Percent` as drawn: clamped to 0..100 in percentage mode, advanced in marquee mode.
    double Percent = 0;
    TRect Bar;  // a white face inside a black outline
    // The done part or the running block: a FillColor face inside a black outline, cut by Bar.
    // Empty when nothing is done.
    TRect Filled;
    TColor FillColor = clBlack;
    TPlacedText PercentText;  // black, cut by Bar
    TPlacedText ElapsedText;  // black
    bool CancelVisible = false;
    TRect CancelButton;
    std::string CancelCaption;  // centred on the button
    TViewerFont CancelFont;
};

TProgressFrame LayoutProgress(const TTickState& state, int width, int height,
                              ITextMeasurer& measurer, TViewerScale scale = {});
