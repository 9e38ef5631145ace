#include "app/Shell.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "app/AppRules.h"

namespace {

class TWindowSink final : public IProgressSink {
  public:
    explicit TWindowSink(std::unique_ptr<IProgressWindow> window) : Window(std::move(window)) {}
    ~TWindowSink() override { Terminate(); }
    TWindowSink(const TWindowSink&) = delete;
    TWindowSink& operator=(const TWindowSink&) = delete;

    void SetPercent(double percent) override {
        if (Window) Window->SetPercent(percent);
    }

    void Terminate() override {
        if (!Window) return;
        // Taken out before Close, so no way back can close it a second time.
        const std::unique_ptr<IProgressWindow> window = std::move(Window);
        window->Close();
    }

  private:
    std::unique_ptr<IProgressWindow> Window;
};

// The main thread's handler frames and the closes held under them. Only the main thread runs
// handlers; the progress windows' threads never get here.
int FrameDepth = 0;
std::vector<THeldClose*> HeldCloses;

}  // namespace

void ShowErrorDisplay(IShell& shell, std::string_view message) {
    shell.ShowBox(diError, ApplicationTitle(shell.ProgramPath()), ErrorDisplayText(message));
}

bool RunHandler(IShell& shell, const std::function<void()>& body) {
    const THandlerFrame frame;
    try {
        body();
        return true;
    } catch (const std::exception& error) {
        ShowErrorDisplay(shell, error.what());
    } catch (...) {
        ShowErrorDisplay(shell, "Unknown error");
    }
    return false;
}

THandlerFrame::THandlerFrame() {
    ++FrameDepth;
}

THandlerFrame::~THandlerFrame() {
    if (--FrameDepth > 0) return;
    const std::vector<THeldClose*> held = std::move(HeldCloses);
    HeldCloses.clear();
    for (THeldClose* close : held) close->DeliverAgain();
}

THeldClose::THeldClose(std::function<void()> deliverAgain)
    : DeliverAgain(std::move(deliverAgain)) {}

THeldClose::~THeldClose() {
    std::erase(HeldCloses, this);
}

bool THeldClose::Request() {
    if (FrameDepth == 0) return true;
    if (std::find(HeldCloses.begin(), HeldCloses.end(), this) == HeldCloses.end()) {
        HeldCloses.push_back(this);
    }
    return false;
}

std::unique_ptr<IProgressSink> ProgressSinkOf(std::unique_ptr<IProgressWindow> window) {
    return std::make_unique<TWindowSink>(std::move(window));
}
