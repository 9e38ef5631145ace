#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "progress/ProgressViewer.h"
#include "progress/ViewerLayout.h"

// How the progress window's colours and fonts turn into pixels, the same for every painter: the
// system colours of a TColor, a font's size in pixels and the typeface behind kUiFontName.

// An RGB colour as 0xRRGGBB, the order of QColor::fromRgb and of a 32-bit DIB pixel.
using TRgb = std::uint32_t;

// The colour a TColor stands for: system colours from the Windows defaults before Windows 11
// (an unknown one is black); `fallback` for clDefault.
TRgb ColorToRgb(TColor color, TRgb fallback);

// The typeface that draws kUiFontName: the bitmap-only "MS Sans Serif" cannot be scaled, and
// Tahoma is its metric-compatible heir.
inline constexpr const char* kUiFontFace = "Tahoma";

// A font's pixel size (the em height) for a size in points at `dpi` dots per inch: a negative
// size counts as its magnitude, 0 as kUiFontSize, and no font grows beyond kViewerMaxSize.
int FontPixelSize(int points, int dpi = 96);

// The system colours of a raised push button's edge.
inline constexpr TColor clBtnShadow = 0xFF000010;
inline constexpr TColor clBtnHighlight = 0xFF000014;
inline constexpr TColor cl3DDkShadow = 0xFF000015;
inline constexpr TColor cl3DLight = 0xFF000016;

// One pixel wide line of an edge, as the rectangle it covers.
struct TEdgeLine {
    TRect Line;
    TColor Color = clBlack;
};

// The raised 3-D edge of a button `width` x `height` at (0, 0): light outer top-left, dark outer
// bottom-right, then the inner pair. Drawn in this order; later lines cover earlier ones.
std::array<TEdgeLine, 8> RaisedButtonEdges(int width, int height);
