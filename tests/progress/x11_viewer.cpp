// Real windows on a real (virtual) X display: run under xvfb-run with a 1280 x 1024 x 24 screen.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <numeric>

#include "PixelProbe.h"
#include "XDisplay.h"
#include "progress/ProgressViewer.h"
#include "progress/ViewerLifetime.h"
#include "progress/ViewerWindow.h"

namespace {

using namespace std::chrono_literals;

int TextHeight(const TProgressViewer* viewer) {
    const auto lines = viewer->GetStrings();
    return std::accumulate(lines.begin(), lines.end(), 0,
                           [](int sum, const TViewerString& s) { return sum + s.Height; });
}

// Runs an X tool, again when it could not connect (the server drops a connection now and then).
int Shell(const std::string& command) {
    int status = 0;
    for (int attempt = 0; attempt < 5; ++attempt) {
        status = std::system(command.c_str());
        if (status == 0) {
            break;
        }
        std::this_thread::sleep_for(10ms);
    }
    return status;
}

class X11ViewerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!X.Open()) {
            GTEST_SKIP() << "no X display";
        }
        SetViewerWindowSystemFactory(nullptr);
    }

    void TearDown() override {
        if (Viewer) {
            Viewer->Terminate();
            Viewer = nullptr;
        }
        WaitForViewerThreads();
    }

    // Starts a viewer and waits until its window shows the laid-out frame.
    xcb_window_t StartViewer(bool showCancel = false) {
        Viewer = new TProgressViewer("Проверка окна", true, showCancel);
        xcb_window_t window = 0;
        EXPECT_TRUE(Eventually([&] {
            const auto found = X.FindWindows("ProgressWnd");
            window = found.size() == 1 ? found[0] : 0;
            return window != 0 && X.Viewable(window) && X.Geometry(window).height() > 70;
        }));
        return window;
    }

    TXDisplay X;
    TProgressViewer* Viewer = nullptr;
};

TEST_F(X11ViewerTest, WindowAppearsWithTheExpectedSizeAndPlaceAndGoesOnTerminate) {
    const xcb_window_t window = StartViewer();
    ASSERT_NE(window, 0u);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(X.Connection)).data;
    const int height = TextHeight(Viewer) + 70;
    EXPECT_EQ(X.Geometry(window), QRect((screen->width_in_pixels - 450) / 2,
                                        screen->height_in_pixels - height - 100, 450, height));

    // Above other windows, no frame, no taskbar entry, and a close request instead of closing.
    const auto state = X.Property32(window, X.Atom("_NET_WM_STATE"));
    for (const char* name : {"_NET_WM_STATE_ABOVE", "_NET_WM_STATE_SKIP_TASKBAR"}) {
        EXPECT_NE(std::find(state.begin(), state.end(), X.Atom(name)), state.end()) << name;
    }
    const auto motif = X.Property32(window, X.Atom("_MOTIF_WM_HINTS"));
    ASSERT_GE(motif.size(), 3u);
    EXPECT_EQ(motif[0] & 2, 2u);
    EXPECT_EQ(motif[2], 0u);
    const auto protocols = X.Property32(window, X.Atom("WM_PROTOCOLS"));
    EXPECT_EQ(protocols, std::vector<std::uint32_t>{X.Atom("WM_DELETE_WINDOW")});

    Viewer->Terminate();
    Viewer = nullptr;
    EXPECT_TRUE(Eventually([&] { return X.FindWindows("ProgressWnd").empty(); }));
}

TEST_F(X11ViewerTest, WindowIsRepaintedWhileTheCreatingThreadSleeps) {
    const xcb_window_t window = StartViewer();
    ASSERT_NE(window, 0u);
    // This thread never pumps anything: all painting comes from the viewer's own thread.
    std::this_thread::sleep_for(200ms);
    QImage before = X.Capture(window);
    const int barRow = before.height() - 60 + 3;
    ASSERT_EQ(Pixel(before, 20, barRow), kBlack);
    EXPECT_EQ(CountOther(before, barRow, 22, 428, kWhite), 0);
    const QRect elapsed(1, before.height() - 25, 448, 14);

    Viewer->Percent = 37.9;
    std::this_thread::sleep_for(1200ms);
    // A loaded machine may delay a frame: wait for it rather than take the first capture.
    QImage after;
    EXPECT_TRUE(Eventually([&] {
        after = X.Capture(window);
        return CountOther(after, barRow, 22, 428, kWhite) == 153 &&
               before.copy(elapsed) != after.copy(elapsed);
    }));
    EXPECT_EQ(CountOther(after, barRow, 22, 428, kWhite), 153);
    EXPECT_EQ(Pixel(after, 1, 1), kFace);
    EXPECT_EQ(Pixel(after, 0, 0), kBlack);
    // The elapsed time went on: "0:00:00" became "0:00:01".
    EXPECT_NE(before.copy(elapsed), after.copy(elapsed));
}

TEST_F(X11ViewerTest, EscTypedIntoTheWindowSetsCancelledAndTheWindowStays) {
    const xcb_window_t window = StartViewer();
    ASSERT_NE(window, 0u);
    std::atomic<int> calls{0};
    Viewer->OnCancel = [&](TProgressViewer*) { ++calls; };
    // The viewer takes the focus when it is mapped, so Esc reaches it and not the main window.
    ASSERT_TRUE(Eventually([&] { return X.Focus() == window; }));
    ASSERT_EQ(Shell("xdotool key Escape"), 0);
    EXPECT_TRUE(Eventually([&] { return Viewer->Cancelled.load(); }));
    EXPECT_EQ(calls, 1);
    std::this_thread::sleep_for(150ms);
    EXPECT_TRUE(X.Viewable(window));
}

TEST_F(X11ViewerTest, ACloseRequestLeavesTheWindowOpen) {
    const xcb_window_t window = StartViewer();
    ASSERT_NE(window, 0u);
    X.SendDeleteWindow(window);
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(X.Viewable(window));
    EXPECT_EQ(X.FindWindows("ProgressWnd").size(), 1u);
    EXPECT_FALSE(Viewer->Cancelled);
}

TEST_F(X11ViewerTest, AClickOnTheDrawnCancelButtonCancelsAndOneBesideItDoesNot) {
    const xcb_window_t window = StartViewer(true);
    ASSERT_NE(window, 0u);
    const QRect place = X.Geometry(window);
    const auto click = [&](int x, int y) {
        return Shell("xdotool mousemove " + std::to_string(place.x() + x) + " " +
                     std::to_string(place.y() + y) + " click 1");
    };
    ASSERT_EQ(click(place.width() - 125, place.height() - 18), 0);
    std::this_thread::sleep_for(200ms);
    EXPECT_FALSE(Viewer->Cancelled);
    ASSERT_EQ(click(place.width() - 70, place.height() - 18), 0);
    EXPECT_TRUE(Eventually([&] { return Viewer->Cancelled.load(); }));
    EXPECT_TRUE(X.Viewable(window));
}

}  // namespace
