#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "progress/ViewerDrawing.h"
#include "progress/ViewerFrame.h"

// The viewer's GDI drawing (the Windows half): measures text with GDI for the shared layout and
// draws what it returns into four DIB sections, all in the viewer thread.

// A 32-bit top-down DIB section selected into a memory device context of its own: GDI draws
// into it, and its bits are the frame's pixels. Move-only.
class TDibImage {
  public:
    TDibImage() = default;
    ~TDibImage();
    TDibImage(TDibImage&& other) noexcept;
    TDibImage& operator=(TDibImage&& other) noexcept;
    TDibImage(const TDibImage&) = delete;
    TDibImage& operator=(const TDibImage&) = delete;

    // A new width x height image with undefined contents; stays null when a size is not
    // positive or GDI has no memory for it.
    void Create(int width, int height);
    void Release();

    bool IsNull() const { return Dc == nullptr; }
    HDC Context() const { return Dc; }
    int Width() const { return ImageWidth; }
    int Height() const { return ImageHeight; }
    // The pixels; call GdiFlush() first when GDI has just drawn.
    TFramePixels Pixels() const;

  private:
    HDC Dc = nullptr;
    HBITMAP Bitmap = nullptr;
    HGDIOBJ Previous = nullptr;
    void* Bits = nullptr;
    int ImageWidth = 0;
    int ImageHeight = 0;
};

// Measures with the fonts the painter draws with, and keeps those fonts: a font is made once
// and reused by every later measuring and drawing.
class TGdiTextMeasurer final : public ITextMeasurer {
  public:
    TGdiTextMeasurer();
    ~TGdiTextMeasurer() override;
    TGdiTextMeasurer(const TGdiTextMeasurer&) = delete;
    TGdiTextMeasurer& operator=(const TGdiTextMeasurer&) = delete;

    int TextWidth(const TViewerFont& font, const std::string& text) override;
    int TextHeight(const TViewerFont& font, const std::string& text, int width,
                   bool wordWrap) override;

    // The GDI font of a viewer font: the named typeface (kUiFontFace for kUiFontName or no name)
    // at FontPixelSize, with its styles.
    HFONT Font(const TViewerFont& font);

  private:
    HDC Dc = nullptr;
    std::vector<std::pair<TViewerFont, HFONT>> Fonts;
};

class TGdiViewerPainter final : public IViewerPainter {
  public:
    int MeasureStrings(std::vector<TViewerString>& lines, int width, TColor backColor) override;
    void DrawBackground(int width, int height) override;
    double DrawProgress(const TTickState& state) override;
    TFramePixels Frame() const override;

    TDibImage TextImage;
    TDibImage BackgroundImage;
    TDibImage BarImage;
    TDibImage WindowImage;

  private:
    void DrawTextBlock(const TTextBlockLayout& layout, const std::vector<TViewerString>& lines);
    void DrawFrame(const TProgressFrame& frame);
    void DrawCancelButton(const TProgressFrame& frame);

    TGdiTextMeasurer Measurer;
    TDibImage ButtonImage;
    std::string ButtonCaption;
};

// UTF-8 to the UTF-16 that the wide GDI and user32 calls take.
std::wstring WideText(const std::string& text);
