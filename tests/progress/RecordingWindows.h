#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "FrameImage.h"
#include "progress/ViewerLayout.h"
#include "progress/ViewerWindow.h"

// A window system that records instead of showing: every window created, placed, presented,
// hidden and destroyed, with its latest frames; input is queued by the test and delivered at
// the viewer's next pump. Thread-safe; shared by all viewer threads that use its factory.

struct TRecordedWindow {
    TViewerWindowHandle Handle = 0;
    std::string Title;
    TRect Created;                   // place and size at creation
    std::vector<TRect> Placements;   // every Place call, in order
    std::deque<TFrameImage> Frames;  // the latest frames, oldest first
    int FrameCount = 0;              // all frames ever presented
    bool Hidden = false;
    bool Destroyed = false;
};

class TWindowRecorder : public std::enable_shared_from_this<TWindowRecorder> {
  public:
    static constexpr std::size_t kKeptFrames = 64;

    // The factory to install with SetViewerWindowSystemFactory.
    TViewerWindowSystemFactory Factory();

    void SetWorkArea(TWorkArea area);
    // Makes window creation fail (the viewer then runs windowless).
    void SetCreateFails(bool fails);
    // Runs in the viewer thread each time it opens its window system, before any window exists.
    void SetOpenHook(std::function<void()> hook);

    // Queues input for a window; the viewer takes it at its next pump.
    void Send(TViewerWindowHandle handle, TWindowEvent event);

    int OpenCount() const;
    std::vector<TViewerWindowHandle> Handles() const;
    // What was recorded of a window; its frames only when asked for.
    TRecordedWindow Window(TViewerWindowHandle handle, bool withFrames = false) const;
    // The window's latest frame (null before the first).
    TFrameImage LastFrame(TViewerWindowHandle handle) const;

    // Waits until `done` holds (checked after every recorded change) or the timeout passes;
    // returns whether it holds.
    bool WaitUntil(const std::function<bool()>& done,
                   std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
    // Waits until `count` windows have been created.
    bool WaitForWindows(std::size_t count,
                        std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
    // Waits until the window has shown at least `count` frames.
    bool WaitForFrames(TViewerWindowHandle handle, int count,
                       std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;

  private:
    friend class TRecordingWindow;
    friend class TRecordingWindowSystem;

    void Changed();

    mutable std::recursive_mutex Lock;
    mutable std::condition_variable_any Change;
    TWorkArea Area = kFallbackWorkArea;
    bool CreateFails = false;
    std::function<void()> OpenHook;
    int Opens = 0;
    TViewerWindowHandle NextHandle = 1;
    std::map<TViewerWindowHandle, TRecordedWindow> Windows;
    std::map<TViewerWindowHandle, std::deque<TWindowEvent>> Input;
};
