#pragma once

#include <cstdint>
#include <vector>

#include "progress/ViewerLayout.h"

// A presented frame as the recorder keeps it: a copy of its pixels, read through the names
// QImage uses, so that the pixel probes work on it and on the Qt painter's images alike.
class TFrameImage {
  public:
    TFrameImage() = default;
    explicit TFrameImage(const TFramePixels& frame) : Width(frame.Width), Height(frame.Height) {
        if (frame.IsEmpty()) {
            Width = Height = 0;
            return;
        }
        Pixels.reserve(static_cast<std::size_t>(Width) * static_cast<std::size_t>(Height));
        for (int y = 0; y < Height; ++y) {
            for (int x = 0; x < Width; ++x) {
                Pixels.push_back(frame.Pixel(x, y));
            }
        }
    }

    int width() const { return Width; }
    int height() const { return Height; }
    bool isNull() const { return Pixels.empty(); }
    // 0xFFRRGGBB, as QImage gives an RGB32 pixel.
    std::uint32_t pixel(int x, int y) const {
        return 0xFF000000u | Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) +
                                    static_cast<std::size_t>(x)];
    }
    // The part at (x, y), w x h; what lies outside the frame is black, as QImage::copy makes it.
    TFrameImage copy(int x, int y, int w, int h) const {
        TFrameImage part;
        part.Width = w;
        part.Height = h;
        part.Pixels.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
        for (int row = 0; row < h; ++row) {
            for (int column = 0; column < w; ++column) {
                if (x + column >= 0 && x + column < Width && y + row >= 0 && y + row < Height) {
                    part.Pixels[static_cast<std::size_t>(row * w + column)] =
                        pixel(x + column, y + row) & 0xFFFFFFu;
                }
            }
        }
        return part;
    }

    bool operator==(const TFrameImage&) const = default;

  private:
    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Pixels;  // 0xRRGGBB, row by row
};
