#pragma once

#include <memory>
#include <vector>

#include "progress/ProgressViewer.h"
#include "progress/ViewerFrame.h"
#include "progress/ViewerLayout.h"

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
    // kTextTop).
    virtual void DrawBackground(int width, int height) = 0;

    // The window's picture := background + bar + percentage + elapsed line + cancel button.
    // Returns `Percent` as drawn: clamped to 0..100 in percentage mode, advanced in marquee mode.
    virtual double DrawProgress(const TTickState& state) = 0;

    // The window's current picture, valid until the next call; empty before the first background.
    virtual TFramePixels Frame() const = 0;
};

// The painter of this platform: Qt's QPainter on Linux, GDI on Windows.
std::unique_ptr<IViewerPainter> CreateViewerPainter();
