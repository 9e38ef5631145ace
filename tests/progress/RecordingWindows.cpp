#include "RecordingWindows.h"

class TRecordingWindow : public IViewerWindow {
  public:
    TRecordingWindow(std::shared_ptr<TWindowRecorder> recorder, TViewerWindowHandle handle)
        : Recorder(std::move(recorder)), Id(handle) {}

    ~TRecordingWindow() override {
        std::lock_guard<std::recursive_mutex> guard(Recorder->Lock);
        Recorder->Windows[Id].Destroyed = true;
        Recorder->Changed();
    }

    TViewerWindowHandle Handle() const override { return Id; }

    void Place(int left, int top, int width, int height) override {
        std::lock_guard<std::recursive_mutex> guard(Recorder->Lock);
        TRecordedWindow& window = Recorder->Windows[Id];
        window.Placements.push_back(TRect{left, top, width, height});
        window.Hidden = false;
        Recorder->Changed();
    }

    void Present(const TFramePixels& frame) override {
        // A copy: the viewer goes on painting into its own images.
        TFrameImage image(frame);
        std::lock_guard<std::recursive_mutex> guard(Recorder->Lock);
        TRecordedWindow& window = Recorder->Windows[Id];
        window.Frames.push_back(std::move(image));
        if (window.Frames.size() > TWindowRecorder::kKeptFrames) {
            window.Frames.pop_front();
        }
        ++window.FrameCount;
        Recorder->Changed();
    }

    bool NextEvent(TWindowEvent& event) override {
        std::lock_guard<std::recursive_mutex> guard(Recorder->Lock);
        std::deque<TWindowEvent>& input = Recorder->Input[Id];
        if (input.empty()) {
            return false;
        }
        event = input.front();
        input.pop_front();
        Recorder->Changed();
        return true;
    }

    void Hide() override {
        std::lock_guard<std::recursive_mutex> guard(Recorder->Lock);
        Recorder->Windows[Id].Hidden = true;
        Recorder->Changed();
    }

  private:
    std::shared_ptr<TWindowRecorder> Recorder;
    TViewerWindowHandle Id;
};

class TRecordingWindowSystem : public IViewerWindowSystem {
  public:
    explicit TRecordingWindowSystem(std::shared_ptr<TWindowRecorder> recorder)
        : Recorder(std::move(recorder)) {}

    TWorkArea WorkArea() override {
        std::lock_guard<std::recursive_mutex> guard(Recorder->Lock);
        return Recorder->Area;
    }

    std::unique_ptr<IViewerWindow> CreateViewerWindow(const std::string& title, int left, int top,
                                                      int width, int height) override {
        std::lock_guard<std::recursive_mutex> guard(Recorder->Lock);
        if (Recorder->CreateFails) {
            return nullptr;
        }
        const TViewerWindowHandle handle = Recorder->NextHandle++;
        TRecordedWindow& window = Recorder->Windows[handle];
        window.Handle = handle;
        window.Title = title;
        window.Created = TRect{left, top, width, height};
        Recorder->Changed();
        return std::make_unique<TRecordingWindow>(Recorder, handle);
    }

  private:
    std::shared_ptr<TWindowRecorder> Recorder;
};

TViewerWindowSystemFactory TWindowRecorder::Factory() {
    std::weak_ptr<TWindowRecorder> weak = weak_from_this();
    return [weak]() -> std::unique_ptr<IViewerWindowSystem> {
        std::shared_ptr<TWindowRecorder> recorder = weak.lock();
        if (!recorder) {
            return nullptr;
        }
        std::function<void()> hook;
        {
            std::lock_guard<std::recursive_mutex> guard(recorder->Lock);
            ++recorder->Opens;
            hook = recorder->OpenHook;
            recorder->Changed();
        }
        if (hook) {
            hook();
        }
        return std::make_unique<TRecordingWindowSystem>(recorder);
    };
}

void TWindowRecorder::SetWorkArea(TWorkArea area) {
    std::lock_guard<std::recursive_mutex> guard(Lock);
    Area = area;
}

void TWindowRecorder::SetCreateFails(bool fails) {
    std::lock_guard<std::recursive_mutex> guard(Lock);
    CreateFails = fails;
}

void TWindowRecorder::SetOpenHook(std::function<void()> hook) {
    std::lock_guard<std::recursive_mutex> guard(Lock);
    OpenHook = std::move(hook);
}

void TWindowRecorder::Send(TViewerWindowHandle handle, TWindowEvent event) {
    std::lock_guard<std::recursive_mutex> guard(Lock);
    Input[handle].push_back(event);
}

int TWindowRecorder::OpenCount() const {
    std::lock_guard<std::recursive_mutex> guard(Lock);
    return Opens;
}

std::vector<TViewerWindowHandle> TWindowRecorder::Handles() const {
    std::lock_guard<std::recursive_mutex> guard(Lock);
    std::vector<TViewerWindowHandle> handles;
    for (const auto& entry : Windows) {
        handles.push_back(entry.first);
    }
    return handles;
}

TRecordedWindow TWindowRecorder::Window(TViewerWindowHandle handle, bool withFrames) const {
    std::lock_guard<std::recursive_mutex> guard(Lock);
    const auto found = Windows.find(handle);
    if (found == Windows.end()) {
        return TRecordedWindow();
    }
    if (withFrames) {
        return found->second;
    }
    TRecordedWindow window;
    window.Handle = found->second.Handle;
    window.Title = found->second.Title;
    window.Created = found->second.Created;
    window.Placements = found->second.Placements;
    window.FrameCount = found->second.FrameCount;
    window.Hidden = found->second.Hidden;
    window.Destroyed = found->second.Destroyed;
    return window;
}

TFrameImage TWindowRecorder::LastFrame(TViewerWindowHandle handle) const {
    std::lock_guard<std::recursive_mutex> guard(Lock);
    const auto found = Windows.find(handle);
    if (found == Windows.end() || found->second.Frames.empty()) {
        return TFrameImage();
    }
    return found->second.Frames.back();
}

bool TWindowRecorder::WaitUntil(const std::function<bool()>& done,
                                std::chrono::milliseconds timeout) const {
    std::unique_lock<std::recursive_mutex> guard(Lock);
    return Change.wait_for(guard, timeout, done);
}

bool TWindowRecorder::WaitForWindows(std::size_t count, std::chrono::milliseconds timeout) const {
    return WaitUntil([&] { return Windows.size() >= count; }, timeout);
}

bool TWindowRecorder::WaitForFrames(TViewerWindowHandle handle, int count,
                                    std::chrono::milliseconds timeout) const {
    return WaitUntil(
        [&] {
            const auto found = Windows.find(handle);
            return found != Windows.end() && found->second.FrameCount >= count;
        },
        timeout);
}

void TWindowRecorder::Changed() {
    Change.notify_all();
}
