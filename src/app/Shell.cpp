#include "app/Shell.h"

#include <exception>

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

}  // namespace

void ShowErrorDisplay(IShell& shell, std::string_view message) {
    shell.ShowBox(diError, ApplicationTitle(shell.ProgramPath()), ErrorDisplayText(message));
}

bool RunHandler(IShell& shell, const std::function<void()>& body) {
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

std::unique_ptr<IProgressSink> ProgressSinkOf(std::unique_ptr<IProgressWindow> window) {
    return std::make_unique<TWindowSink>(std::move(window));
}
