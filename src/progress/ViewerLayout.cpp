#include "progress/ViewerLayout.h"

int TViewerScale::operator()(int pixels) const {
    const long long scaled = static_cast<long long>(pixels) * Dpi;
    const long long half = scaled >= 0 ? 48 : -48;
    return static_cast<int>((scaled + half) / 96);
}

TRect PlaceViewerWindow(const TWorkArea& area, int width, int height, TViewerScale scale) {
    // The work area's left edge is not added: the window is centred on the area's width only.
    return TRect{(area.Right - area.Left - width) / 2,
                 area.Bottom - height - scale(kViewerAboveWorkAreaBottom), width, height};
}

TRect CancelButtonRect(int width, int height, TViewerScale scale) {
    return TRect{width - scale(kButtonFromRight), height - scale(kButtonFromBottom),
                 scale(kButtonWidth), scale(kButtonHeight)};
}
