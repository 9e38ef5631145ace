#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "progress/ViewerDrawing.h"
#include "progress/ViewerFrame.h"
#include "winbase/GdiObjects.h"

// The viewer's GDI drawing (the Windows half): measures text with GDI for the shared layout and
// draws what it returns into DIB sections, all in the viewer thread.

// A 32-bit top-down DIB section selected into a memory device context of its own: GDI draws
// into it, and its bits are the frame's pixels.
class TDibImage {
  public:
    TDibImage() = default;
    TDibImage(const TDibImage&) = delete;
    TDibImage& operator=(const TDibImage&) = delete;

    // A new width x height image with undefined contents; stays null when a size is not
    // positive or GDI has no memory for it.
    void Create(int width, int height);

    bool IsNull() const { return !Dc; }
    HDC Context() const { return Dc.Get(); }
    int Width() const { return ImageWidth; }
    int Height() const { return ImageHeight; }
    // The pixels; call GdiFlush() first when GDI has just drawn.
    TFramePixels Pixels() const;

  private:
    TBitmap Bitmap;
    TMemoryDc Dc;  // goes first, giving the bitmap back
    void* Bits = nullptr;
    int ImageWidth = 0;
    int ImageHeight = 0;
};

// Measures with the fonts the painter draws with, and keeps those fonts: a font is made once
// and reused by every later measuring and drawing.
class TGdiTextMeasurer final : public ITextMeasurer {
  public:
    TGdiTextMeasurer() : Dc(TMemoryDc::Create()) {}

    int TextWidth(const TViewerFont& font, const std::string& text) override;
    int TextHeight(const TViewerFont& font, const std::string& text, int width,
                   bool wordWrap) override;

    // The GDI font of a viewer font: the named typeface (kUiFontFace for kUiFontName or no name)
    // at FontPixelSize for its resolution, with its styles.
    HFONT Font(const TViewerFont& font);

  private:
    std::vector<std::pair<TViewerFont, TFont>> Fonts;
    TMemoryDc Dc;  // goes before the fonts, giving its own font back
};

// The one drawing sequence on DIB sections.
class TGdiViewerPainter final : public TCanvasPainter {
  private:
    ITextMeasurer& Measurer() override { return TextMeasurer; }
    void Create(TViewerImage image, int width, int height) override;
    bool IsNull(TViewerImage image) const override { return Images[image].IsNull(); }
    int Width(TViewerImage image) const override { return Images[image].Width(); }
    int Height(TViewerImage image) const override { return Images[image].Height(); }
    void Fill(TViewerImage image, const TRect& rect, TRgb colour) override;
    void Copy(TViewerImage from, TViewerImage to, int left, int top) override;
    void DrawLine(TViewerImage image, const TRect& box, const TViewerString& line,
                  const TViewerFont& font, TRgb colour) override;
    void WriteText(TViewerImage image, int left, int top, const TViewerFont& font,
                   const std::string& text) override;
    void CentreText(TViewerImage image, const TViewerFont& font, const std::string& text) override;
    TFramePixels Pixels(TViewerImage image) const override { return Images[image].Pixels(); }
    void Flush() override { GdiFlush(); }

    // The fonts outlive the images they are selected into.
    TGdiTextMeasurer TextMeasurer;
    std::array<TDibImage, kViewerImageCount> Images;
};
