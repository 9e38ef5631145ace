#include "viewershell/ViewerShell.h"

#include "progress/ProgressViewer.h"

namespace {

class TViewerWindow final : public IProgressWindow {
  public:
    TViewerWindow(const std::string& caption, bool percentMode, TViewerShell::TKeyboardReturn back)
        : Viewer(new TProgressViewer(caption, percentMode, false)), Back(std::move(back)) {}

    void SetPercent(double percent) override {
        // A plain store: the viewer thread only reads the value, so no ordering is needed.
        Viewer->Percent.store(percent, std::memory_order_relaxed);
    }

    void Close() override {
        // The viewer frees itself in its own thread after this; it is never touched again.
        Viewer->Terminate(std::move(Back.WindowGone));
        Viewer = nullptr;
        if (Back.GiveBack) Back.GiveBack();
    }

  private:
    TProgressViewer* Viewer;
    TViewerShell::TKeyboardReturn Back;
};

}  // namespace

std::unique_ptr<IProgressWindow> TViewerShell::OpenProgress(const std::string& caption,
                                                            bool percentMode) {
    return std::make_unique<TViewerWindow>(caption, percentMode, KeyboardReturn());
}

void TViewerShell::SetProgressAppName(const std::string& name) {
    AppName = name;
}
