#include "app/WindowLayout.h"

#include <algorithm>

namespace {

// One axis of an anchored place: its start and length in a client `size` long, the design's
// client being `designSize` long.
struct TSpan {
    int Start;
    int Length;
};

TSpan Anchor(int start, int length, int designSize, bool nearEdge, bool farEdge, int size,
             const TScale& scale) {
    // What the design gives as one distance is scaled whole: the room the control leaves, or its
    // distance from the far edge.
    if (nearEdge && farEdge) return {scale(start), size - scale(designSize - length)};
    if (farEdge) return {size - scale(designSize - start), scale(length)};
    return {scale(start), scale(length)};
}

}  // namespace

int TScale::operator()(int pixels) const {
    const long long product = static_cast<long long>(pixels) * Dpi;
    return static_cast<int>(product >= 0 ? (product + 48) / 96 : (product - 48) / 96);
}

TPlace TScale::operator()(const TPlace& place) const {
    return {(*this)(place.Left), (*this)(place.Top), (*this)(place.Width), (*this)(place.Height)};
}

TPlace ViewerPlace(TViewerWidget control, int width, int height, TScale scale) {
    const TViewerControlPlace& entry = kViewerControls[control];
    const TPlace& design = entry.Place;
    const TSpan x =
        Anchor(design.Left, design.Width, kViewerClientWidth, (entry.Anchors & akLeft) != 0,
               (entry.Anchors & akRight) != 0, width, scale);
    const TSpan y =
        Anchor(design.Top, design.Height, kViewerClientHeight, (entry.Anchors & akTop) != 0,
               (entry.Anchors & akBottom) != 0, height, scale);
    return {x.Start, y.Start, x.Length, y.Length};
}

int RightLimit(const TPlace& place, std::span<const TPlace> others, int limit, int gap) {
    for (const TPlace& other : others) {
        const bool rowsMeet =
            other.Top < place.Top + place.Height && place.Top < other.Top + other.Height;
        if (rowsMeet && other.Left > place.Left) limit = std::min(limit, other.Left - gap);
    }
    return limit;
}

TPlace OpeningPlace(int width, int height, const TPlace& screen, const TPlace& work) {
    const int left = screen.Left + (screen.Width - width) / 2;
    const int top = screen.Top + (screen.Height - height) / 2;
    return {std::max(left, work.Left), std::max(top, work.Top), width, height};
}
