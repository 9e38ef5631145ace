#include "qt/ProgressSink.h"

#include "progress/ProgressViewer.h"

namespace {

class TViewerSink : public IProgressSink {
  public:
    TViewerSink(const std::string& caption, bool percentMode, std::function<void()> whenGone)
        : Viewer(new TProgressViewer(caption, percentMode, false)), WhenGone(std::move(whenGone)) {}
    ~TViewerSink() override { Terminate(); }

    void SetPercent(double percent) override {
        // A plain store: the viewer thread only reads the value, so no ordering is needed.
        if (Viewer) Viewer->Percent.store(percent, std::memory_order_relaxed);
    }

    void Terminate() override {
        if (!Viewer) return;
        // The viewer frees itself in its own thread after this; it is never touched again.
        Viewer->Terminate();
        Viewer = nullptr;
        if (WhenGone) WhenGone();
    }

  private:
    TProgressViewer* Viewer;
    std::function<void()> WhenGone;
};

}  // namespace

std::unique_ptr<IProgressSink> CreateViewerSink(const std::string& caption, bool percentMode,
                                                std::function<void()> whenGone) {
    return std::make_unique<TViewerSink>(caption, percentMode, std::move(whenGone));
}

void SetProgressAppName(const std::string& name) {
    AppName = name;
}
