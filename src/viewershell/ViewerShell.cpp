#include "viewershell/ViewerShell.h"

#include "progress/ProgressViewer.h"

namespace {

class TViewerWindow final : public IProgressWindow {
  public:
    TViewerWindow(const std::string& caption, bool percentMode, std::function<void()> giveBack)
        : Viewer(new TProgressViewer(caption, percentMode, false)), GiveBack(std::move(giveBack)) {}

    void SetPercent(double percent) override {
        // A plain store: the viewer thread only reads the value, so no ordering is needed.
        Viewer->Percent.store(percent, std::memory_order_relaxed);
    }

    void Close() override {
        // The viewer frees itself in its own thread after this; it is never touched again.
        Viewer->Terminate();
        Viewer = nullptr;
        if (GiveBack) GiveBack();
    }

  private:
    TProgressViewer* Viewer;
    std::function<void()> GiveBack;
};

}  // namespace

std::unique_ptr<IProgressWindow> TViewerShell::OpenProgress(const std::string& caption,
                                                            bool percentMode) {
    return std::make_unique<TViewerWindow>(caption, percentMode, KeyboardReturn());
}

void TViewerShell::SetProgressAppName(const std::string& name) {
    AppName = name;
}
