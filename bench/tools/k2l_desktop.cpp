// The desktop program's two long steps through its layer, without windows: "Обработать" until
// the results viewer stands filled with its findings, then "Сохранить в DBF-формате" until its
// box. Boxes and progress windows are answered by a silent shell; the times (wall, and the
// process's CPU time, which a machine shared with other work leaves comparable) go to stdout.
//   k2l_desktop FOLDER OUT   (FOLDER holds ARTICLE.TXT and PRINT.TXT; OUT takes the tables)
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>

#include "app/MainController.h"
#include "app/ResultsViewerController.h"
#include "app/Shell.h"

namespace {

using TClock = std::chrono::steady_clock;

class TSilentProgress final : public IProgressWindow {
  public:
    void SetPercent(double) override {}
    void Close() override {}
};

class TSilentShell final : public IShell {
  public:
    void ShowBox(TDialogIcon, const std::string& title, const std::string& text) override {
        Boxed = TClock::now();
        BoxedCpu = std::clock();
        std::fprintf(stderr, "box: %s: %s\n", title.c_str(), text.c_str());
    }
    bool Confirm(const std::string&, const std::string&) override { return true; }
    std::unique_ptr<IProgressWindow> OpenProgress(const std::string&, bool) override {
        return std::make_unique<TSilentProgress>();
    }
    void SetProgressAppName(const std::string&) override {}
    std::string ProgramPath() const override { return "/nonexistent/kelva2larmis"; }
    TSystemFolders SystemFolders() const override { return {}; }
    TClock::time_point Boxed{};
    std::clock_t BoxedCpu = 0;
};

class TView final : public IMainView {
  public:
    TView(TMainController& main, TSilentShell& shell, TMainInputs inputs)
        : Main(main), Shell(shell), Now(std::move(inputs)) {}
    TMainInputs Inputs() const override { return Now; }
    void HideCount() override {}
    void ShowCount(const std::string&) override {}
    // The viewer's layer as a front end makes it: the grid, the findings checked, the find box.
    void ShowViewer() override {
        if (!Viewer) Viewer = std::make_unique<TResultsViewerController>(Main, Shell);
        Findings = Viewer->Findings().LineCount();
    }
    void HideViewer() override {}
    void Repaint() override {}
    void PostClose() override {}

    std::unique_ptr<TResultsViewerController> Viewer;
    int Findings = 0;

  private:
    TMainController& Main;
    TSilentShell& Shell;
    TMainInputs Now;
};

double Seconds(TClock::time_point from, TClock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: k2l_desktop FOLDER OUT\n");
        return 2;
    }
    const std::string folder = argv[1];
    TMainInputs inputs;
    inputs.ArticleFile = folder + "/ARTICLE.TXT";
    inputs.PrintFile = folder + "/PRINT.TXT";
    inputs.Folder = argv[2];
    TSilentShell shell;
    TMainController main(shell, {"1,00 ₽", "-1,00 ₽", ",", "-"});
    TView view(main, shell, inputs);
    main.SetView(&view);

    const TClock::time_point start = TClock::now();
    const std::clock_t startCpu = std::clock();
    main.ImportClick();
    const TClock::time_point filled = TClock::now();
    const std::clock_t filledCpu = std::clock();
    main.SaveClick();
    const auto cpu = [](std::clock_t from, std::clock_t to) {
        return static_cast<double>(to - from) / CLOCKS_PER_SEC;
    };
    std::printf("rows %d findings %d import %.3f s (cpu %.3f s) save %.3f s (cpu %.3f s)\n",
                main.mdGoods.RowCount(), view.Findings, Seconds(start, filled),
                cpu(startCpu, filledCpu), Seconds(filled, shell.Boxed),
                cpu(filledCpu, shell.BoxedCpu));
    main.SetView(nullptr);
    return 0;
}
