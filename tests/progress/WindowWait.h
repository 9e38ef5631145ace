#pragma once

#include <chrono>
#include <functional>
#include <thread>

#include "PixelProbe.h"
#include "progress/ProgressViewer.h"

// Waiting for a real viewer window, shared by the X11 and the Wine window tests.

// Polls `done` every 10 ms until it holds or the timeout passes.
inline bool Eventually(const std::function<bool()>& done,
                       std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// The bar's done part in a capture of the whole window: pixels of its fourth row that are not
// the bar's white.
template <class TImage>
int BarFill(const TImage& shot) {
    if (shot.height() <= kBarFromBottom) {
        return -1;
    }
    const int row = shot.height() - kBarFromBottom + 3;
    return CountOther(shot, row, kBarLeft + kBarInset, shot.width() - kBarLeft - kBarInset, kWhite);
}

// Waits until the viewer thread has handled everything that reached its window before the call:
// the marker a check that something did NOT happen needs. A tick takes its window's input after
// drawing its frame, so once the screen shows a frame drawn after one change of Percent, a frame
// showing a second change comes from a later tick, begun after that intake. `fillOnScreen`
// captures the window and returns BarFill.
inline bool InputTaken(TProgressViewer& viewer, const std::function<int()>& fillOnScreen) {
    static int step = 0;
    for (int round = 0; round < 2; ++round) {
        step = step % 4 + 1;
        const int percent = step * 20;
        viewer.Percent = percent;
        const int fill = (kViewerInitialWidth - 2 * (kBarLeft + kBarInset)) * percent / 100;
        if (!Eventually([&] { return fillOnScreen() == fill; })) {
            return false;
        }
    }
    return true;
}
