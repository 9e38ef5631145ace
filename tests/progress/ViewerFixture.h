#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <ostream>
#include <vector>

#include "RecordingWindows.h"
#include "progress/ProgressViewer.h"
#include "progress/ViewerLifetime.h"

// Readable failure output for lines.
inline void PrintTo(const TViewerString& s, std::ostream* out) {
    *out << "{" << s.Key << ", \"" << s.Text << "\", align " << int(s.Alignment) << ", wrap "
         << s.WordWrap << ", \"" << s.FontName << "\", " << s.FontSize << " pt, style "
         << int(s.FontStyle) << ", colour " << std::hex << s.Color << std::dec << ", height "
         << s.Height << "}";
}

// Viewers on the recording window layer, with the unit settings restored after each test and
// every viewer the test left running terminated and waited for.
class ViewerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Saved = {AppName,         ShowPercentText, RefreshInterval, ShowElapsedTime,
                 BarColor,        CancelCaption,   DefaultFontName, DefaultFontColor,
                 DefaultFontSize, DefaultFontStyle};
        RefreshInterval = 10;  // faster ticks, same frames
        Recorder = std::make_shared<TWindowRecorder>();
        Recorder->SetWorkArea({0, 0, 1000, 800});
        SetViewerWindowSystemFactory(Recorder->Factory());
    }

    void TearDown() override {
        for (TProgressViewer* viewer : Owned) {
            viewer->Terminate();
        }
        Owned.clear();
        WaitForViewerThreads();
        SetViewerThreadStartHook(nullptr);
        SetViewerWindowSystemFactory(nullptr);
        AppName = Saved.AppName;
        ShowPercentText = Saved.ShowPercentText;
        RefreshInterval = Saved.RefreshInterval;
        ShowElapsedTime = Saved.ShowElapsedTime;
        BarColor = Saved.BarColor;
        CancelCaption = Saved.CancelCaption;
        DefaultFontName = Saved.DefaultFontName;
        DefaultFontColor = Saved.DefaultFontColor;
        DefaultFontSize = Saved.DefaultFontSize;
        DefaultFontStyle = Saved.DefaultFontStyle;
    }

    TProgressViewer* Start(const std::string& caption = "Обработка", bool percentMode = true,
                           bool showCancel = false,
                           std::function<void(TProgressViewer*)> work = nullptr) {
        auto* viewer = new TProgressViewer(caption, percentMode, showCancel, std::move(work));
        Owned.push_back(viewer);
        return viewer;
    }

    // Terminates a viewer the test started; it must not be used afterwards.
    void End(TProgressViewer* viewer) {
        Owned.erase(std::remove(Owned.begin(), Owned.end(), viewer), Owned.end());
        viewer->Terminate();
    }

    // The window of the n-th viewer (1-based in creation order).
    TViewerWindowHandle WindowOf(std::size_t n = 1) {
        EXPECT_TRUE(Recorder->WaitForWindows(n));
        const auto handles = Recorder->Handles();
        return handles.size() >= n ? handles[n - 1] : 0;
    }

    // A frame drawn at least `ticks` ticks from now.
    TFrameImage FrameAfter(TViewerWindowHandle window, int ticks = 2) {
        const int count = Recorder->Window(window).FrameCount + ticks;
        EXPECT_TRUE(Recorder->WaitForFrames(window, count));
        return Recorder->LastFrame(window);
    }

    static int TextHeight(const TProgressViewer* viewer) {
        const auto lines = viewer->GetStrings();
        return std::accumulate(lines.begin(), lines.end(), 0,
                               [](int sum, const TViewerString& s) { return sum + s.Height; });
    }

    std::shared_ptr<TWindowRecorder> Recorder;
    std::vector<TProgressViewer*> Owned;

  private:
    struct {
        std::string AppName;
        bool ShowPercentText;
        int RefreshInterval;
        bool ShowElapsedTime;
        TColor BarColor;
        std::string CancelCaption;
        std::string DefaultFontName;
        TColor DefaultFontColor;
        int DefaultFontSize;
        TFontStyles DefaultFontStyle;
    } Saved;
};
