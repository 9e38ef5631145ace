#include <algorithm>
#include <chrono>

#include "progress/ProgressViewer.h"
#include "progress/ViewerDrawing.h"
#include "progress/ViewerLifetime.h"
#include "progress/ViewerRegistry.h"
#include "progress/ViewerWindow.h"

namespace {

std::int64_t MonotonicNow() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

TProgressViewer::~TProgressViewer() {
    // Waits for a started additional thread; a never-started one is simply released.
    AdditionalThread.reset();
}

void TProgressViewer::Terminate(std::function<void()> whenGone) {
    const bool live = WithLiveViewer(this, [&] {
        WhenGone = std::move(whenGone);
        SignalTerminate();
    });
    if (!live && whenGone) whenGone();
}

void TProgressViewer::SignalTerminate() {
    std::lock_guard<std::mutex> guard(TerminateLock);
    TerminatedFlag = true;
    TerminateWake.notify_all();
}

bool TProgressViewer::IsTerminated() const {
    std::lock_guard<std::mutex> guard(TerminateLock);
    return TerminatedFlag;
}

void TProgressViewer::WaitTick() {
    std::unique_lock<std::mutex> guard(TerminateLock);
    TerminateWake.wait_for(guard, std::chrono::milliseconds(std::max(Settings.RefreshInterval, 0)),
                           [this] { return TerminatedFlag; });
}

void TProgressViewer::ThreadMain() {
    // A viewer terminated before its thread began never opens a window.
    if (!IsTerminated()) {
        Execute();
    }
    ViewerGone(this);
    // From here Terminate finds the viewer gone and calls its own whenGone.
    const std::function<void()> whenGone = std::move(WhenGone);
    delete this;
    if (whenGone) whenGone();
}

void TProgressViewer::Execute() {
    WindowSystem = OpenViewerWindowSystem();
    ApplyScale(WindowSystem ? WindowSystem->Dpi() : 96);
    Width = Scale(kViewerInitialWidth);
    Height = Scale(kViewerInitialHeight);
    CentreOnWorkArea();
    ApplyRequests();
    CreateViewerWindow();
    StartTime = MonotonicNow();
    if (AdditionalThread) {
        AdditionalThread->Start();
    }
    while (!IsTerminated()) {
        Tick();
        WaitTick();
    }
    if (AdditionalThread) {
        AdditionalThread->Terminate();
    }
    if (Window) {
        Window->Hide();
        UnregisterViewerWindow(WindowHandle);
        Window.reset();
        WindowHandle = 0;
    }
    WindowSystem.reset();
}

void TProgressViewer::Tick() {
    ApplyRequests();
    PumpMessages();
    {
        std::lock_guard<std::recursive_mutex> guard(StringsLock);
        if (!LayoutValid) {
            try {
                RebuildLayout();
            } catch (...) {
                // Drawn again only when a line or the size changes.
            }
            LayoutValid = true;
        }
    }
    if (Window) {
        try {
            DrawProgress();
        } catch (...) {
            // The next tick draws again.
        }
    }
    // The cancel button is part of the frame; only its input is left to take.
    PumpMessages();
}

void TProgressViewer::ApplyRequests() {
    // The requests are read under GeometryLock and acted on after it is released: SetSize takes
    // StringsLock, which an owner may hold while it sets a request.
    int requestedWidth = 0;
    bool requestedCancel = false;
    {
        std::lock_guard<std::recursive_mutex> guard(GeometryLock);
        requestedWidth = RequestedWidth.Get();
        requestedCancel = RequestedCancelVisible.Get();
    }
    // The owner asks in the design's pixels; -1 keeps the width.
    const int width =
        requestedWidth < 0 ? requestedWidth : Scale(std::min(requestedWidth, kViewerMaxSize));
    if (width != Width) {
        SetSize(width, -1);
    }
    CancelVisible = requestedCancel;
}

void TProgressViewer::CreateViewerWindow() {
    if (!WindowSystem) {
        return;
    }
    Window = WindowSystem->CreateViewerWindow("ProgressWnd", Left, Top, Width, Height);
    if (!Window) {
        return;
    }
    WindowHandle = Window->Handle();
    RegisterViewerWindow(WindowHandle, this);
}

void TProgressViewer::PumpMessages() {
    TWindowEvent event;
    while (Window && Window->NextEvent(event)) {
        ViewerWindowProc(WindowHandle, event);
    }
}

void TProgressViewer::ViewerWindowProc(std::uint64_t handle, const TWindowEvent& event) {
    if (TProgressViewer* viewer = FindViewer(handle)) {
        viewer->WindowProc(event);
    }
}

void TProgressViewer::WindowProc(const TWindowEvent& event) {
    switch (event.Kind) {
        case wekEscape:
            DoCancel();
            break;
        case wekClick:
            if (CancelVisible &&
                CancelButtonRect(Width, Height, Scale).Contains(event.X, event.Y)) {
                DoCancel();
            }
            break;
        case wekClose:
            break;  // the window is closed only by Terminate
        case wekExpose:
            if (Window && !Painter->Frame().IsEmpty()) {
                Window->Present(Painter->Frame());
            }
            break;
        case wekDpiChanged:
            // The window layer has moved the window to the suggested place: the layout follows.
            ApplyScale(event.X);
            Left = event.Place.Left;
            Top = event.Place.Top;
            Width = event.Place.Width;
            Height = event.Place.Height;
            {
                std::lock_guard<std::recursive_mutex> guard(StringsLock);
                LayoutValid = false;
            }
            break;
    }
}

void TProgressViewer::ApplyScale(int dpi) {
    Scale = TViewerScale{dpi > 0 ? dpi : 96};
    Painter->SetScale(Scale);
}

void TProgressViewer::DoCancel() {
    Cancelled = true;
    OnCancel.Call(this);
}

void TProgressViewer::RebuildLayout() {
    const int total = Painter->MeasureStrings(Strings, Width, BackColor);
    if (total > 0) {
        SetSize(-1, total + Scale(kViewerHeightBelowText));
    }
    Painter->DrawBackground(Width, Height);
}

void TProgressViewer::DrawProgress() {
    TTickState state;
    double percent = Percent.load();
    state.PercentMode = PercentMode;
    state.Percent = percent;
    state.ShowPercentText = Settings.ShowPercentText;
    state.ShowElapsedTime = Settings.ShowElapsedTime;
    state.CancelVisible = CancelVisible;
    state.BarColor = Settings.BarColor;
    state.CancelCaption = Settings.CancelCaption;
    if (state.ShowElapsedTime) {
        state.ElapsedText =
            FormatElapsedLine(Settings.ElapsedFormat,
                              FormatElapsed(std::chrono::nanoseconds(MonotonicNow() - StartTime)));
    }
    const double drawn = Painter->DrawProgress(state);
    if (drawn != percent) {
        // Only when the owner has not written a newer value meanwhile.
        Percent.compare_exchange_strong(percent, drawn);
    }
    Window->Present(Painter->Frame());
}

void TProgressViewer::SetSize(int width, int height) {
    if (width == -1) {
        width = Width;
    }
    if (height == -1) {
        height = Height;
    }
    height = std::clamp(height, Scale(kViewerMinHeight), kViewerMaxSize);
    width = std::clamp(width, Scale(kViewerMinWidth), kViewerMaxSize);
    if (width == Width && height == Height) {
        return;
    }
    Height = height;
    Width = width;
    CentreOnWorkArea();
    if (Window) {
        Window->Place(Left, Top, Width, Height);
    }
    std::lock_guard<std::recursive_mutex> guard(StringsLock);
    LayoutValid = false;
}

void TProgressViewer::CentreOnWorkArea() {
    const TWorkArea area = WindowSystem ? WindowSystem->WorkArea() : kFallbackWorkArea;
    const TRect place = PlaceViewerWindow(area, Width, Height, Scale);
    Left = place.Left;
    Top = place.Top;
}

TAdditionalThread::TAdditionalThread(TProgressViewer* viewer,
                                     std::function<void(TProgressViewer*)> onExecute)
    : Viewer(viewer), OnExecute(std::move(onExecute)) {}

TAdditionalThread::~TAdditionalThread() {
    Terminate();
    WaitFor();
}

void TAdditionalThread::Start() {
    if (!Thread) {
        Thread = std::make_unique<std::thread>([this] { Execute(); });
    }
}

void TAdditionalThread::Terminate() {
    std::lock_guard<std::mutex> guard(Lock);
    Terminated = true;
    Wake.notify_all();
}

void TAdditionalThread::WaitFor() {
    if (Thread && Thread->joinable()) {
        Thread->join();
    }
}

void TAdditionalThread::Execute() {
    try {
        OnExecute(Viewer);
    } catch (...) {
        return;  // a failing work method ends the thread at once
    }
    // Idle until the viewer ends, as the viewer expects its helper to live that long.
    std::unique_lock<std::mutex> guard(Lock);
    Wake.wait(guard, [this] { return Terminated; });
}
