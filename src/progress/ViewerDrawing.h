#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "progress/ProgressViewer.h"
#include "progress/ViewerFrame.h"
#include "progress/ViewerLayout.h"
#include "progress/ViewerStyle.h"

// The seam between the viewer thread and a platform's painter. The layout is computed once, in
// ViewerFrame; a painter measures text for it and draws what it returns into images of its own.
// Every call comes from the one viewer thread that owns the painter.
class IViewerPainter {
  public:
    virtual ~IViewerPainter() = default;

    // Lays the lines out (storing each line's Height) and renders them one under another on
    // `backColor`. Returns the total height; the caller sizes the window to it +
    // kViewerHeightBelowText.
    virtual int MeasureStrings(std::vector<TViewerString>& lines, int width, TColor backColor) = 0;

    // The window face (button face inside a black outline) with the text block at (kTextLeft,
    // kTextTop), scaled.
    virtual void DrawBackground(int width, int height) = 0;

    // The window's picture := background + bar + percentage + elapsed line + cancel button.
    // Returns `Percent` as drawn: clamped to 0..100 in percentage mode, advanced in marquee mode.
    virtual double DrawProgress(const TTickState& state) = 0;

    // The window's current picture, valid until the next call; empty before the first background.
    virtual TFramePixels Frame() const = 0;

    // The resolution the design's sizes and the fonts are drawn at from the next call on.
    virtual void SetScale(TViewerScale scale) = 0;
};

// The painter of this platform: Qt's QPainter on Linux, GDI on Windows.
std::unique_ptr<IViewerPainter> CreateViewerPainter();

// The images a painter keeps: the text block, the face with it, the bar (drawn apart so that what
// lies in it is cut at its edges), the window's picture and the cancel button.
enum TViewerImage : std::uint8_t { viText, viBackground, viBar, viWindow, viButton };
inline constexpr int kViewerImageCount = 5;

// The one drawing sequence of the viewer. A platform's painter derives from it and gives it
// images to draw into, filled rectangles, text and copies; every image is 32-bit RGB.
class TCanvasPainter : public IViewerPainter {
  public:
    int MeasureStrings(std::vector<TViewerString>& lines, int width, TColor backColor) final;
    void DrawBackground(int width, int height) final;
    double DrawProgress(const TTickState& state) final;
    TFramePixels Frame() const final;
    void SetScale(TViewerScale scale) final { Scale = scale; }

  protected:
    virtual ITextMeasurer& Measurer() = 0;
    // A new width x height image with undefined contents; null when a size is not positive or
    // there is no memory for it.
    virtual void Create(TViewerImage image, int width, int height) = 0;
    virtual bool IsNull(TViewerImage image) const = 0;
    virtual int Width(TViewerImage image) const = 0;
    virtual int Height(TViewerImage image) const = 0;
    virtual void Fill(TViewerImage image, const TRect& rect, TRgb colour) = 0;
    // The whole of `from` with its top-left corner at (left, top) of `to`.
    virtual void Copy(TViewerImage from, TViewerImage to, int left, int top) = 0;
    // A text line in its box, aligned and broken at words as the line asks, cut at the box.
    virtual void DrawLine(TViewerImage image, const TRect& box, const TViewerString& line,
                          const TViewerFont& font, TRgb colour) = 0;
    // Black text written from its top-left corner at (left, top).
    virtual void WriteText(TViewerImage image, int left, int top, const TViewerFont& font,
                           const std::string& text) = 0;
    // Black text on one line, centred in the image.
    virtual void CentreText(TViewerImage image, const TViewerFont& font,
                            const std::string& text) = 0;
    virtual TFramePixels Pixels(TViewerImage image) const = 0;
    // What was drawn has reached the pixels (GDI batches its drawing).
    virtual void Flush() {}

  private:
    // A 1-pixel black outline covering columns l..r-1 and rows t..b-1, the inside filled, as
    // GDI's Rectangle(l, t, r, b) draws it. An empty rectangle draws nothing.
    void Outline(TViewerImage image, int l, int t, int r, int b, TRgb fill);
    void DrawTextBlock(const TTextBlockLayout& layout, const std::vector<TViewerString>& lines);
    void DrawFrame(const TProgressFrame& frame);
    void DrawCancelButton(const TProgressFrame& frame);

    std::string ButtonCaption;
    TViewerScale Scale;
};
