#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>

#include "progress/ViewerLayout.h"

// Small readers of frame pixels for the drawing tests. They take any image with width(),
// height() and pixel(x, y) giving 0xAARRGGBB: a QImage or a recorded TFrameImage.

inline constexpr std::uint32_t kWhite = 0xFFFFFFFF;
inline constexpr std::uint32_t kBlack = 0xFF000000;
inline constexpr std::uint32_t kAqua = 0xFF00FFFF;
inline constexpr std::uint32_t kFace = 0xFFF0F0F0;

template <class TImage>
std::uint32_t Pixel(const TImage& image, int x, int y) {
    return static_cast<std::uint32_t>(image.pixel(x, y)) | 0xFF000000u;
}

// Text pixels: anything clearly darker than the face and the white bar (qGray's weights).
inline bool IsInk(std::uint32_t pixel) {
    const std::uint32_t red = (pixel >> 16) & 0xFF;
    const std::uint32_t green = (pixel >> 8) & 0xFF;
    const std::uint32_t blue = pixel & 0xFF;
    return (red * 11 + green * 16 + blue * 5) / 32 < 160;
}

// Pixels in row y, columns [x0, x1), that differ from `colour`.
template <class TImage>
int CountOther(const TImage& image, int y, int x0, int x1, std::uint32_t colour) {
    int count = 0;
    for (int x = x0; x < x1; ++x) {
        count += Pixel(image, x, y) != colour ? 1 : 0;
    }
    return count;
}

// Bounding box of the ink inside `area`; empty when there is none.
template <class TImage>
TRect InkBox(const TImage& image, const TRect& area) {
    int left = area.Right();
    int top = area.Bottom();
    int right = area.Left;  // one past, as TRect counts
    int bottom = area.Top;
    for (int y = area.Top; y < area.Bottom(); ++y) {
        for (int x = area.Left; x < area.Right(); ++x) {
            if (IsInk(Pixel(image, x, y))) {
                left = std::min(left, x);
                top = std::min(top, y);
                right = std::max(right, x + 1);
                bottom = std::max(bottom, y + 1);
            }
        }
    }
    return right > left ? TRect{left, top, right - left, bottom - top} : TRect{};
}

// The columns [first, last] of `colour` in row y, if any.
template <class TImage>
std::optional<std::pair<int, int>> ColourRun(const TImage& image, int y, std::uint32_t colour) {
    std::optional<std::pair<int, int>> run;
    for (int x = 0; x < image.width(); ++x) {
        if (Pixel(image, x, y) == colour) {
            if (!run) {
                run = std::pair{x, x};
            }
            run->second = x;
        }
    }
    return run;
}
