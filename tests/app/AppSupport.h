#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "TestPlatform.h"
#include "app/GoodsGridController.h"
#include "app/MainController.h"
#include "app/ResultsViewerController.h"
#include "app/Shell.h"

// A temporary folder that removes itself, also when an assertion ends the test early. Its paths
// are UTF-8 with the platform's delimiters, as the program's own are; PathOf opens them.
class TTempDir {
  public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    const std::filesystem::path& Path() const { return Dir; }
    std::string Folder() const { return Utf8Of(Dir); }
    // `name` may go through subfolders, written with "/".
    std::string File(const std::string& name) const {
        return Utf8Of((Dir / PathOf(name)).make_preferred());
    }

  private:
    std::filesystem::path Dir;
};

// The rouble's money format as Russian regional settings give it.
inline const TRegionalCurrency kRouble{"1,00\u00A0\u20BD", "-1,00\u00A0\u20BD", ",", "-"};

// Appends and posts a row with its ID, name and barcode; the other fields stay empty.
void AddRow(TGoodsTable& goods, const char* id, const char* name, const char* kod);

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
    TSystemFolders SystemFolders() const override { return Folders; }

    // The texts of every box shown so far (questions included), in order.
    std::vector<std::string> Texts() const;

    TCallLog& Log;
    std::string Path;
    TSystemFolders Folders;  // none: the output folder starts in the program's own
    std::vector<TBox> Boxes;
    std::deque<bool> ConfirmAnswers;  // a question nobody scripted is answered with Cancel
    std::vector<std::shared_ptr<TProgress>> Progress;
    std::string AppName;
    std::function<void()> WhileBoxIsUp;  // runs inside every box and question
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
    void PostClose() override { Log.push_back("post close"); }

    TCallLog& Log;
    TMainInputs Typed;
    bool CountVisible = false;
    std::string CountText;
    bool ViewerVisible = false;
};

// A grid window as a toolkit runs one over the grid controller: a current cell that follows the
// rows appearing and going, one cell editor, the cell moves the controller asks for; every move
// of the current cell is reported back. The operator's actions are the methods below.
class TFakeGrid final : public IGoodsGridView {
  public:
    TFakeGrid(TGoodsTable& goods, const TCurrencyFormat& currency, IShell& shell);
    // A view of someone else's grid controller.
    explicit TFakeGrid(TGoodsGridController& control);
    ~TFakeGrid() override { Control.SetView(nullptr); }
    TFakeGrid(const TFakeGrid&) = delete;
    TFakeGrid& operator=(const TFakeGrid&) = delete;

    // A click on a cell.
    void Select(int row, int column);
    // The operator types `text` into the current cell, replacing what its editor holds (an editor
    // opens first when none is open), as far as the editor takes it.
    void Type(const std::string& text);
    void Press(TGridKey key, bool shift = false, bool ctrl = false, bool alt = false);
    // The keyboard goes to another control of the window.
    void Leave() { Control.FocusLeft(); }

    // IGoodsGridView
    void BeginInsertRow(int row) override;
    void EndInsertRow() override { ++ShownRows; }
    void BeginRemoveRow(int row) override;
    void EndRemoveRow() override;
    void BeginReset() override { EditorOpen = false; }
    void EndReset() override;
    void RowChanged(int row) override { Redrawn.push_back(row); }
    void MarkerChanged(int row) override { MarkersRedrawn.push_back(row); }
    int CurrentRow() const override { return Row; }
    int CurrentColumn() const override { return Column; }
    int PageRows() const override { return Page; }
    void SetCurrentCell(int row, int column) override;
    void CloseEditor() override { EditorOpen = false; }
    void FocusEditor() override { ++EditorFocused; }

  private:
    void Attach();
    std::optional<TGoodsGridController> Own;

  public:
    TGoodsGridController& Control;
    int Row = -1;
    int Column = -1;
    int Page = 4;       // rows shown at once
    int ShownRows = 0;  // rows as the view has followed them
    bool EditorOpen = false;
    int EditorRow = -1;
    std::string EditorText;
    int EditorFocused = 0;
    int ViewerCloses = 0;
    std::vector<int> Redrawn;
    std::vector<int> MarkersRedrawn;

  private:
    void OpenEditor();
    bool RemovedCurrent = false;
};

// The viewer window as the viewer controller sees it: where the keyboard is, the find box's text.
// With a grid, the keyboard leaving the grid is reported to it, as a toolkit's focus change is.
class TFakeViewer final : public IResultsViewerView {
  public:
    void FindingsChanged() override { ++Changes; }
    void FocusControl(TViewerControl control) override;
    void SelectFindText() override { ++Selected; }
    std::string FindText() const override { return BoxText; }
    void ShowFindStatus(const std::string& text) override { Status = text; }
    int FocusedFinding() const override { return FocusedLine; }
    void PressMainSave() override;

    TFakeGrid* Grid = nullptr;
    TMainController* Main = nullptr;  // whose save button PressMainSave presses
    TViewerControl Focus = vcGrid;
    std::string BoxText;
    std::string Status;
    int FocusedLine = -1;
    int Changes = 0;
    int Selected = 0;
    int Saves = 0;
};

// The records of a written dBASE table, raw bytes each (deletion flag at 0).
std::vector<std::string> DbfRecords(const std::string& path);
// One field of a record as UTF-8 text with its padding trimmed.
std::string DbfField(const std::string& record, int offset, int length);

// Field places (offset, length) in the directory table's records.
inline constexpr int kDirName[] = {36, 50};
inline constexpr int kDirRprice[] = {126, 10};
