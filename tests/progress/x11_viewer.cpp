// Real windows on a real (virtual) X display: run under xvfb-run with a 1280 x 1024 x 24 screen.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <numeric>
#include <string>

#include "PixelProbe.h"
#include "WindowWait.h"
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

// Runs an X tool (xdotool) to completion: its input has been taken by the server when it returns.
int Shell(const std::string& command) {
    return std::system(command.c_str());
}

class X11ViewerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display) {
            GTEST_SKIP() << "no X display";
        }
        // An X server refuses connections while it resets after its last client has gone: run
        // Xvfb with -noreset.
        ASSERT_TRUE(X.Open()) << "cannot connect to " << display;
        SetViewerWindowSystemFactory(nullptr);
    }

    void TearDown() override {
        if (Viewer) {
            Viewer->Terminate();
            Viewer = nullptr;
        }
        WaitForViewerThreads();
    }

    // Starts a viewer and waits until its window is shown at its laid-out size with its first
    // frame drawn; 0 when it is not.
    xcb_window_t StartViewer(bool showCancel = false) {
        Viewer = new TProgressViewer("Проверка окна", true, showCancel);
        Viewer->OnCancel = [this](TProgressViewer*) { ++Cancels; };
        xcb_window_t window = 0;
        const bool shown = Eventually([&] {
            const auto found = X.FindWindows("ProgressWnd");
            window = found.size() == 1 ? found[0] : 0;
            if (window == 0 || !X.Viewable(window) || X.Geometry(window).height() <= 70) {
                return false;
            }
            const QImage shot = X.Capture(window);
            return !shot.isNull() && Pixel(shot, 0, 0) == kBlack && Pixel(shot, 1, 1) == kFace;
        });
        return shown ? window : 0;
    }

    bool InputTaken(xcb_window_t window) {
        X.Sync();
        return ::InputTaken(*Viewer, [&] { return BarFill(X.Capture(window)); });
    }

    TXDisplay X;
    TProgressViewer* Viewer = nullptr;
    std::atomic<int> Cancels{0};
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
    const QImage before = X.Capture(window);
    EXPECT_EQ(BarFill(before), 0);
    const QRect elapsed(1, before.height() - 25, 448, 14);

    Viewer->Percent = 37.9;
    // The elapsed time goes on: "0:00:00" becomes "0:00:01" a second later.
    QImage after;
    EXPECT_TRUE(Eventually([&] {
        after = X.Capture(window);
        return BarFill(after) == 153 && before.copy(elapsed) != after.copy(elapsed);
    }));
    EXPECT_EQ(BarFill(after), 153);
    EXPECT_EQ(Pixel(after, 1, 1), kFace);
    EXPECT_EQ(Pixel(after, 0, 0), kBlack);
    EXPECT_NE(before.copy(elapsed), after.copy(elapsed));
}

TEST_F(X11ViewerTest, EscTypedIntoTheWindowCancelsOnceAndTheWindowStays) {
    const xcb_window_t window = StartViewer();
    ASSERT_NE(window, 0u);
    // The viewer takes the focus when it is mapped, so Esc reaches it and not the main window.
    ASSERT_TRUE(Eventually([&] { return X.Focus() == window; }));
    ASSERT_EQ(Shell("xdotool key Escape"), 0);
    ASSERT_TRUE(Eventually([&] { return Cancels >= 1; }));
    EXPECT_TRUE(Viewer->Cancelled);
    ASSERT_TRUE(InputTaken(window));
    EXPECT_EQ(Cancels, 1);
    EXPECT_TRUE(X.Viewable(window));
}

TEST_F(X11ViewerTest, ACloseRequestLeavesTheWindowOpen) {
    const xcb_window_t window = StartViewer();
    ASSERT_NE(window, 0u);
    X.SendDeleteWindow(window);
    ASSERT_TRUE(InputTaken(window));
    EXPECT_TRUE(X.Viewable(window));
    EXPECT_EQ(X.FindWindows("ProgressWnd").size(), 1u);
    EXPECT_EQ(Cancels, 0);
    EXPECT_FALSE(Viewer->Cancelled);
}

TEST_F(X11ViewerTest, AClickOnTheDrawnCancelButtonCancelsAndOneBesideItDoesNot) {
    const xcb_window_t window = StartViewer(true);
    ASSERT_NE(window, 0u);
    const QRect place = X.Geometry(window);
    const auto click = [&](int x, int y) {
        return Shell("xdotool mousemove --sync " + std::to_string(place.x() + x) + " " +
                     std::to_string(place.y() + y) + " click 1");
    };
    ASSERT_EQ(click(place.width() - 125, place.height() - 18), 0);
    // The click on the button that must cancel comes after the one beside it.
    ASSERT_EQ(click(place.width() - 70, place.height() - 18), 0);
    ASSERT_TRUE(Eventually([&] { return Cancels >= 1; }));
    ASSERT_TRUE(InputTaken(window));
    EXPECT_EQ(Cancels, 1);
    EXPECT_TRUE(X.Viewable(window));
}

}  // namespace
