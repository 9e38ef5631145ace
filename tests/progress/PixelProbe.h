#pragma once

#include <QImage>
#include <QRect>
#include <optional>

// Small readers of frame pixels for the drawing tests.

inline constexpr QRgb kWhite = 0xFFFFFFFF;
inline constexpr QRgb kBlack = 0xFF000000;
inline constexpr QRgb kAqua = 0xFF00FFFF;
inline constexpr QRgb kFace = 0xFFF0F0F0;

inline QRgb Pixel(const QImage& image, int x, int y) {
    return image.pixel(x, y) | 0xFF000000u;
}

// Text pixels: anything clearly darker than the face and the white bar.
inline bool IsInk(QRgb pixel) {
    return qGray(pixel) < 160;
}

// Pixels in row y, columns [x0, x1), that differ from `colour`.
inline int CountOther(const QImage& image, int y, int x0, int x1, QRgb colour) {
    int count = 0;
    for (int x = x0; x < x1; ++x) {
        count += Pixel(image, x, y) != colour ? 1 : 0;
    }
    return count;
}

// Bounding box of the ink inside `area`; empty when there is none.
inline QRect InkBox(const QImage& image, const QRect& area) {
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (IsInk(Pixel(image, x, y))) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

// The columns [first, last] of `colour` in row y, if any.
inline std::optional<std::pair<int, int>> ColourRun(const QImage& image, int y, QRgb colour) {
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
