#include <atomic>
#include <chrono>
#include <future>

#include "ViewerFixture.h"
#include "progress/ViewerRegistry.h"

namespace {

using namespace std::chrono_literals;

bool WaitUntilGone(std::chrono::milliseconds timeout = 10s) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (LiveViewerCount() != 0) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

// A gate a viewer thread waits at until the test opens it.
struct TGate {
    std::promise<void> Reached;
    std::promise<void> Opened;
    std::shared_future<void> Open = Opened.get_future().share();

    std::function<void()> Hook() {
        return [this] {
            Reached.set_value();
            Open.wait();
        };
    }
};

class LifecycleTest : public ViewerTest {};

TEST_F(LifecycleTest, TerminateBeforeTheThreadBeginsShowsNoWindowAndFreesTheViewer) {
    TGate gate;
    SetViewerThreadStartHook(gate.Hook());
    std::atomic<bool> worked{false};
    auto* viewer =
        new TProgressViewer("Сразу", true, false, [&](TProgressViewer*) { worked = true; });
    gate.Reached.get_future().wait();
    viewer->Terminate();
    gate.Opened.set_value();
    ASSERT_TRUE(WaitUntilGone());
    WaitForViewerThreads();
    EXPECT_EQ(Recorder->OpenCount(), 0);
    EXPECT_TRUE(Recorder->Handles().empty());
    EXPECT_FALSE(worked);  // the additional thread was never started, and is released
}

TEST_F(LifecycleTest, TerminateAfterTheRunBeganShowsTheWindowOnceAndHidesItAtTheFirstCheck) {
    TGate gate;
    Recorder->SetOpenHook(gate.Hook());
    auto* viewer = new TProgressViewer("Сразу", true, false);
    gate.Reached.get_future().wait();
    viewer->Terminate();
    gate.Opened.set_value();
    ASSERT_TRUE(WaitUntilGone());
    WaitForViewerThreads();
    ASSERT_EQ(Recorder->Handles().size(), 1u);
    const TRecordedWindow window = Recorder->Window(Recorder->Handles()[0]);
    EXPECT_EQ(window.FrameCount, 0);
    EXPECT_TRUE(window.Hidden);
    EXPECT_TRUE(window.Destroyed);
    EXPECT_EQ(RegisteredWindowCount(), 0u);
}

TEST_F(LifecycleTest, TerminatedViewerHidesDestroysAndUnregistersItsWindow) {
    TProgressViewer* viewer = Start();
    const TViewerWindowHandle window = WindowOf();
    FrameAfter(window, 1);
    EXPECT_EQ(FindViewer(window), viewer);
    End(viewer);
    ASSERT_TRUE(WaitUntilGone());
    const TRecordedWindow recorded = Recorder->Window(window);
    EXPECT_TRUE(recorded.Hidden);
    EXPECT_TRUE(recorded.Destroyed);
    EXPECT_EQ(FindViewer(window), nullptr);
    EXPECT_EQ(RegisteredWindowCount(), 0u);
}

TEST_F(LifecycleTest, TwoViewersHaveTwoWindowsAndEscReachesOnlyTheOneWhoseWindowHasIt) {
    TProgressViewer* first = Start("Первый");
    TProgressViewer* second = Start("Второй");
    const TViewerWindowHandle a = WindowOf(1);
    const TViewerWindowHandle b = WindowOf(2);
    FrameAfter(a, 1);
    FrameAfter(b, 1);
    EXPECT_NE(a, b);
    EXPECT_EQ(RegisteredWindowCount(), 2u);
    TProgressViewer* ofB = FindViewer(b);
    ASSERT_TRUE(ofB == first || ofB == second);
    TProgressViewer* ofA = ofB == first ? second : first;
    EXPECT_EQ(FindViewer(a), ofA);

    Recorder->Send(b, {wekEscape, 0, 0});
    FrameAfter(b);
    FrameAfter(a);
    EXPECT_TRUE(ofB->Cancelled);
    EXPECT_FALSE(ofA->Cancelled);
    End(ofB);
    ASSERT_TRUE(Recorder->WaitUntil([&] { return Recorder->Window(b).Destroyed; }));
    EXPECT_EQ(RegisteredWindowCount(), 1u);
    const int frames = Recorder->Window(a).FrameCount;
    EXPECT_TRUE(Recorder->WaitForFrames(a, frames + 2));  // the other one goes on
}

TEST_F(LifecycleTest, AThousandCreateTerminateCyclesLeaveNothingBehind) {
    for (int i = 0; i < 1000; ++i) {
        auto* viewer = new TProgressViewer("Цикл", i % 2 == 0, i % 3 == 0);
        if (i % 10 == 0) {
            viewer->Percent = i / 10.0;
            viewer->PutString(5, "Строка");
        }
        viewer->Terminate();
    }
    WaitForViewerThreads();
    EXPECT_EQ(LiveViewerCount(), 0u);
    EXPECT_EQ(RegisteredWindowCount(), 0u);
    for (const TViewerWindowHandle handle : Recorder->Handles()) {
        EXPECT_TRUE(Recorder->Window(handle).Destroyed) << handle;
    }
}

TEST_F(LifecycleTest, ShutdownTerminatesALiveViewerAndWaitsForItAndItsAdditionalThread) {
    std::atomic<bool> workDone{false};
    Start("Живой", true, false, [&](TProgressViewer*) {
        std::this_thread::sleep_for(100ms);
        workDone = true;
    });
    const TViewerWindowHandle window = WindowOf();
    FrameAfter(window, 1);
    Owned.clear();  // the shut-down ends it
    ProgressViewerShutdown();
    EXPECT_TRUE(workDone);
    EXPECT_EQ(LiveViewerCount(), 0u);
    EXPECT_TRUE(Recorder->Window(window).Destroyed);
    EXPECT_FALSE(ClassRegistered);
    EXPECT_THROW(Start(), EProgressException);
    ProgressViewerStartup();
    EXPECT_TRUE(ClassRegistered);
    EXPECT_EQ(RegisteredWindowCount(), 0u);
}

TEST_F(LifecycleTest, ThrowingWorkMethodEndsOnlyItsThreadAndTerminateIsStillSafe) {
    std::atomic<bool> thrown{false};
    TProgressViewer* viewer = Start("Сбой", true, false, [&](TProgressViewer*) {
        thrown = true;
        throw std::runtime_error("work failed");
    });
    const TViewerWindowHandle window = WindowOf();
    ASSERT_TRUE(Recorder->WaitUntil([&] { return thrown.load(); }));
    const int frames = Recorder->Window(window).FrameCount;
    EXPECT_TRUE(Recorder->WaitForFrames(window, frames + 3));
    End(viewer);
    EXPECT_TRUE(WaitUntilGone());
}

TEST_F(LifecycleTest, WorkMethodThatTerminatesItsViewerEndsCleanly) {
    std::atomic<int> runs{0};
    Start("Сам", true, false, [&](TProgressViewer* viewer) {
        ++runs;
        viewer->Terminate();
    });
    Owned.clear();
    ASSERT_TRUE(WaitUntilGone());
    WaitForViewerThreads();
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(Recorder->Window(WindowOf()).Destroyed);
}

TEST_F(LifecycleTest, WithoutAWindowTheViewerRunsWindowlessAndStillEnds) {
    Recorder->SetCreateFails(true);
    std::promise<void> worked;
    TProgressViewer* viewer =
        Start("Без окна", true, false, [&](TProgressViewer*) { worked.set_value(); });
    // The work method starts once the window would have been shown.
    ASSERT_EQ(worked.get_future().wait_for(10s), std::future_status::ready);
    EXPECT_EQ(Recorder->OpenCount(), 1);
    viewer->PutString(9, "Строка");
    EXPECT_EQ(viewer->GetStrings().size(), 6u);
    End(viewer);
    ASSERT_TRUE(WaitUntilGone());
    EXPECT_TRUE(Recorder->Handles().empty());
}

TEST_F(LifecycleTest, WithoutAWindowSystemTheViewerRunsWindowless) {
    SetViewerWindowSystemFactory([] { return std::unique_ptr<IViewerWindowSystem>(); });
    std::promise<void> worked;
    TProgressViewer* viewer =
        Start("Без окон", true, false, [&](TProgressViewer*) { worked.set_value(); });
    ASSERT_EQ(worked.get_future().wait_for(10s), std::future_status::ready);
    End(viewer);
    EXPECT_TRUE(WaitUntilGone());
}

// What the owner's thread waits on: called once, when the viewer's window is gone and the viewer
// no longer counts as live.
struct TGoneCase {
    const char* Name;
    bool WindowShown;  // else terminated before the viewer's thread began
};

class ViewerGoneSignal : public ViewerTest, public testing::WithParamInterface<TGoneCase> {};

TEST_P(ViewerGoneSignal, ComesOnceAfterTheWindowHasGone) {
    TGate gate;
    if (!GetParam().WindowShown) SetViewerThreadStartHook(gate.Hook());
    TProgressViewer* viewer = Start("Конец");
    TViewerWindowHandle window = 0;
    if (GetParam().WindowShown) {
        window = WindowOf();
        FrameAfter(window, 1);
    } else {
        gate.Reached.get_future().wait();
    }
    std::atomic<int> calls{0};
    std::promise<std::pair<std::size_t, bool>> seen;
    Owned.clear();
    viewer->Terminate([&] {
        if (calls++ == 0) {
            seen.set_value({LiveViewerCount(), window == 0 || Recorder->Window(window).Destroyed});
        }
    });
    if (!GetParam().WindowShown) gate.Opened.set_value();
    auto signalled = seen.get_future();
    ASSERT_EQ(signalled.wait_for(10s), std::future_status::ready);
    const auto [live, destroyed] = signalled.get();
    EXPECT_EQ(live, 0u);
    EXPECT_TRUE(destroyed);
    WaitForViewerThreads();
    EXPECT_EQ(calls, 1);
}

INSTANTIATE_TEST_SUITE_P(Terminated, ViewerGoneSignal,
                         testing::Values(TGoneCase{"before_its_thread_began", false},
                                         TGoneCase{"with_its_window_shown", true}),
                         [](const auto& param) { return std::string(param.param.Name); });

}  // namespace
