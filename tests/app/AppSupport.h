#pragma once

#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/MainController.h"
#include "app/Shell.h"

// A temporary folder that removes itself, also when an assertion ends the test early.
class TTempDir {
  public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    const std::filesystem::path& Path() const { return Dir; }
    std::string File(const std::string& name) const { return (Dir / name).string(); }

  private:
    std::filesystem::path Dir;
};

// Copies a fixture of tests/data into `folder` under `name`.
void CopyFixture(const char* fixture, const std::filesystem::path& folder, const char* name);

// What a front end was asked to do, in order: one line each ("box 2|title|text",
// "progress open|caption", "inputs", "show viewer" ...), shared by the shell and the view below.
using TCallLog = std::vector<std::string>;

// Boxes answered from a script, progress windows recorded.
class TRecordingShell final : public IShell {
  public:
    struct TBox {
        TDialogIcon Icon;
        std::string Title;
        std::string Text;
    };
    struct TProgress {
        std::string Caption;
        bool PercentMode = false;
        std::vector<double> Percents;
        int Closes = 0;
    };

    explicit TRecordingShell(TCallLog& log, std::string programPath = "/opt/kelva/KELVA2LARMIS.exe")
        : Log(log), Path(std::move(programPath)) {}

    void ShowBox(TDialogIcon icon, const std::string& title, const std::string& text) override;
    bool Confirm(const std::string& title, const std::string& text) override;
    std::unique_ptr<IProgressWindow> OpenProgress(const std::string& caption,
                                                  bool percentMode) override;
    void SetProgressAppName(const std::string& name) override { AppName = name; }
    std::string ProgramPath() const override { return Path; }

    // The texts of every box shown so far (questions included), in order.
    std::vector<std::string> Texts() const;

    TCallLog& Log;
    std::string Path;
    std::vector<TBox> Boxes;
    std::deque<bool> ConfirmAnswers;  // a question nobody scripted is answered with Cancel
    std::vector<std::shared_ptr<TProgress>> Progress;
    std::string AppName;
};

// The main window's controls as a front end would hold them.
class TRecordingView final : public IMainView {
  public:
    explicit TRecordingView(TCallLog& log) : Log(log) {}

    TMainInputs Inputs() const override;
    void HideCount() override;
    void ShowCount(const std::string& text) override;
    void ShowViewer() override;
    void HideViewer() override;
    void Repaint() override { Log.push_back("repaint"); }
    bool FinishGridEditing() override {
        Log.push_back("finish grid");
        return GridAccepts;
    }

    TCallLog& Log;
    TMainInputs Typed;
    bool CountVisible = false;
    std::string CountText;
    bool ViewerVisible = false;
    bool GridAccepts = true;  // whether the grid's open cell is stored
};

// The records of a written dBASE table, raw bytes each (deletion flag at 0).
std::vector<std::string> DbfRecords(const std::string& path);
// One field of a record as UTF-8 text with its padding trimmed.
std::string DbfField(const std::string& record, int offset, int length);

// Field places (offset, length) in the directory table's records.
inline constexpr int kDirName[] = {36, 50};
inline constexpr int kDirRprice[] = {126, 10};
