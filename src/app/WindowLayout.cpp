#include "app/WindowLayout.h"

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
