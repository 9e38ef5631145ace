#pragma once

#include <cstddef>
#include <cstdint>

// Where things sit in the progress window and where the window sits on the screen, in pixels.
// Plain numbers without a toolkit, so the viewer, its painter and any window layer read the
// same ones.

// Window size.
inline constexpr int kViewerInitialWidth = 450;
inline constexpr int kViewerInitialHeight = 70;
inline constexpr int kViewerMinWidth = 225;
inline constexpr int kViewerMinHeight = 70;
// X sizes are 16-bit; a huge font must not wrap them around.
inline constexpr int kViewerMaxSize = 32767;
// A layout makes the window its text block's height plus this (bar, elapsed line, button).
inline constexpr int kViewerHeightBelowText = 70;
// The window's bottom edge sits this far above the work area's bottom.
inline constexpr int kViewerAboveWorkAreaBottom = 100;

// Inside the window.
inline constexpr int kTextLeft = 10;
inline constexpr int kTextTop = 2;
inline constexpr int kBarLeft = 20;
inline constexpr int kBarFromBottom = 60;
inline constexpr int kBarHeight = 20;
// The done part and the running block keep this much of the bar's face around them.
inline constexpr int kBarInset = 2;
inline constexpr int kPercentTextTop = 4;  // inside the bar
inline constexpr int kMarqueeBlock = 40;
inline constexpr int kMarqueeStep = 10;
inline constexpr int kElapsedFromBottom = 25;
inline constexpr int kButtonWidth = 100;
inline constexpr int kButtonHeight = 25;
inline constexpr int kButtonFromRight = 120;
inline constexpr int kButtonFromBottom = 30;

// A rectangle of pixels: columns Left .. Left + Width - 1, rows Top .. Top + Height - 1.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;

    int Right() const { return Left + Width; }   // one past the last column
    int Bottom() const { return Top + Height; }  // one past the last row
    bool IsEmpty() const { return Width <= 0 || Height <= 0; }
    bool Contains(int x, int y) const {
        return x >= Left && x < Right() && y >= Top && y < Bottom();
    }
    bool operator==(const TRect&) const = default;
};

// The part of the screen free of panels, edges exclusive.
struct TWorkArea {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};

// Used when there is no display to ask.
inline constexpr TWorkArea kFallbackWorkArea{0, 0, 1280, 1024};

// The design's pixels, which are 96-dpi pixels, at a window's resolution: times Dpi / 96, rounded
// half away from zero as MulDiv rounds. At 96 every size stays as it is.
struct TViewerScale {
    int Dpi = 96;

    int operator()(int pixels) const;
    bool operator==(const TViewerScale&) const = default;
};

// Where a window of the given size sits: centred on the work area's width, its bottom edge
// kViewerAboveWorkAreaBottom above the area's bottom.
TRect PlaceViewerWindow(const TWorkArea& area, int width, int height, TViewerScale scale = {});

// Where the cancel button sits in a window of the given size.
TRect CancelButtonRect(int width, int height, TViewerScale scale = {});

// A finished frame's pixels, borrowed from the painter that drew them: Height rows of Width
// 32-bit words 0x00RRGGBB (bytes blue, green, red, unused), top row first, rows BytesPerLine
// apart. Both QImage's RGB32 and a top-down 32-bit DIB section are laid out so, which lets each
// painter hand its image to the window layer without a copy.
struct TFramePixels {
    int Width = 0;
    int Height = 0;
    std::ptrdiff_t BytesPerLine = 0;
    const std::uint8_t* Bits = nullptr;

    bool IsEmpty() const { return Bits == nullptr || Width <= 0 || Height <= 0; }
    const std::uint32_t* Row(int y) const {
        return reinterpret_cast<const std::uint32_t*>(Bits + y * BytesPerLine);
    }
    // 0xRRGGBB of one pixel.
    std::uint32_t Pixel(int x, int y) const { return Row(y)[x] & 0xFFFFFFu; }
};
