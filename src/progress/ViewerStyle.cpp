#include "progress/ViewerStyle.h"

#include <algorithm>
#include <iterator>

#include "progress/ViewerFrame.h"

namespace {

// Pre-Windows-11 default system colours (COLOR_SCROLLBAR .. COLOR_MENUBAR), as 0xRRGGBB.
constexpr TRgb kSystemColors[] = {
    0xC8C8C8, 0x000000, 0x99B4D1, 0xBFCDDB, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000,
    0x000000, 0x000000, 0xB4B4B4, 0xF4F7FC, 0xABABAB, 0x0078D7, 0xFFFFFF, 0xF0F0F0,
    0xA0A0A0, 0x6D6D6D, 0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000,
    0xFFFFE1, 0xB5B5B5, 0x0066CC, 0xB9D1EA, 0xD7E4F2, 0x3399FF, 0xF0F0F0,
};

// A horizontal line from (x0, y) to (x1, y), or a vertical one from (x, y0) to (x, y1), both
// ends included.
TRect Row(int x0, int x1, int y) {
    return TRect{x0, y, x1 - x0 + 1, 1};
}
TRect Column(int x, int y0, int y1) {
    return TRect{x, y0, 1, y1 - y0 + 1};
}

}  // namespace

TRgb ColorToRgb(TColor color, TRgb fallback) {
    if (color == clDefault) {
        return fallback;
    }
    if ((color & 0xFF000000u) == 0xFF000000u) {
        const unsigned index = color & 0xFFu;
        return index < std::size(kSystemColors) ? kSystemColors[index] : 0x000000;
    }
    // 00BBGGRR: red in the lowest byte.
    return ((color & 0xFFu) << 16) | (color & 0xFF00u) | ((color >> 16) & 0xFFu);
}

int FontPixelSize(int points, int dpi) {
    int pixels = PointsToPixels(points < 0 ? -points : points, dpi);
    if (pixels <= 0) {
        pixels = PointsToPixels(kUiFontSize, dpi);
    }
    return std::min(pixels, kViewerMaxSize);
}

std::array<TEdgeLine, 8> RaisedButtonEdges(int width, int height) {
    const int r = width - 1;
    const int b = height - 1;
    return {{
        {Row(0, r - 1, 0), clBtnHighlight},
        {Column(0, 0, b - 1), clBtnHighlight},
        {Row(0, r, b), cl3DDkShadow},
        {Column(r, 0, b), cl3DDkShadow},
        {Row(1, r - 2, 1), cl3DLight},
        {Column(1, 1, b - 2), cl3DLight},
        {Row(1, r - 1, b - 1), clBtnShadow},
        {Column(r - 1, 1, b - 1), clBtnShadow},
    }};
}
