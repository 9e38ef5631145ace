#include "progress/ViewerLayout.h"

TRect PlaceViewerWindow(const TWorkArea& area, int width, int height) {
    // The work area's left edge is not added: the window is centred on the area's width only.
    return TRect{(area.Right - area.Left - width) / 2,
                 area.Bottom - height - kViewerAboveWorkAreaBottom, width, height};
}

TRect CancelButtonRect(int width, int height) {
    return TRect{width - kButtonFromRight, height - kButtonFromBottom, kButtonWidth, kButtonHeight};
}
