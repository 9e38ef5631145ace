#pragma once

#include <string>

#include "app/CurrencyFormat.h"
#include "app/GoodsGridController.h"
#include "app/Shell.h"
#include "import/GoodsTable.h"
#include "import/ImportRecord.h"
#include "import/RunHost.h"

// The main window's inputs as they stand, as typed (UTF-8); a new value holds the window's
// defaults, the output folder aside (the controller fills in its start).
struct TMainInputs {
    std::string PrintFile = "PRINT.TXT";
    std::string ArticleFile = "ARTICLE.TXT";
    std::string Folder;
    std::string Prefix = "222";
    std::string StartValue = "1";
    std::string NdsValue = "18";
    bool WriteID = false;
    bool Ean13 = false;  // generated barcodes as EAN-13 (the check box under the generator)
};

// What the main window's behaviour needs of a front end's main window and results viewer.
class IMainView {
  public:
    virtual ~IMainView() = default;
    // The inputs as they stand now (nothing is cached between runs).
    virtual TMainInputs Inputs() const = 0;
    virtual void HideCount() = 0;
    virtual void ShowCount(const std::string& text) = 0;
    // Makes the results viewer visible without a modal loop and brings it to the front.
    virtual void ShowViewer() = 0;
    virtual void HideViewer() = 0;
    // Draws what is pending (a pressed button released) before a handler blocks the thread.
    virtual void Repaint() = 0;
    // Queues a close request to the main window: it arrives from the event loop, not at once.
    virtual void PostClose() = 0;
};

// The main window without its controls: it owns the goods table of the process, holds the
// defaults, runs the handlers of both windows in their order of steps and is the import run's
// and the export's host, showing boxes and progress through the front end's shell.
class TMainController final : public IRunHost {
  public:
    // The window-creation steps: "." as the decimal separator of every conversion, the progress
    // windows' application name, the output folder's start (the program's folder, or the user's
    // documents where that is installed or takes no files: OutputFolderDefault), and the price
    // format of the regional settings, read once here.
    TMainController(IShell& shell, const TRegionalCurrency& regional);
    TMainController(const TMainController&) = delete;
    TMainController& operator=(const TMainController&) = delete;

    // The front end's windows; the controller never calls them before this (nullptr detaches).
    void SetView(IMainView* view) { View = view; }
    // The results viewer's grid, whose open cell the handlers store first (nullptr: none).
    void SetGrid(TGoodsGridController* grid) { Grid = grid; }
    // Forgets `grid` if it is the registered one (a newer viewer's grid stays).
    void ForgetGrid(const TGoodsGridController* grid) {
        if (Grid == grid) Grid = nullptr;
    }

    // The start values of the inputs.
    const TMainInputs& Defaults() const { return Start; }
    // The price format of the regional settings as read at start-up.
    const TCurrencyFormat& CurrencyFormat() const { return Currency; }
    IShell& Shell() const { return Front; }

    // "Обработать": the import run with the file name values of the two file boxes.
    void ImportClick();
    // "Показать результаты": the results viewer, nothing else.
    void ShowResultsClick();
    // "Сохранить в DBF-формате" of either window: the open cell is stored first, so the export
    // writes what the operator sees; a refused cell stops it.
    void SaveClick();
    // "Закрыть" and Esc in the results viewer: the open cell is stored first; a refused one keeps
    // the viewer open.
    void CloseViewerClick();
    // The main window's close (its close button, the system's close command, the session's end):
    // true when the front end is to carry it out now, which ends the program. Under a running
    // handler it is held and asked for again (PostClose) once the outermost handler has ended.
    bool CloseRequested() { return Closing.Request(); }

    // IRunHost
    std::unique_ptr<IProgressSink> CreateProgress(const std::string& caption,
                                                  bool percentMode) override;
    void ShowWarning(const std::string& caption, const std::string& text) override;
    void ShowInformation(const std::string& caption, const std::string& text) override;
    void HideCount() override;
    void ShowCount(const std::string& text) override;
    void ShowResults() override;

    TGoodsTable mdGoods;
    // What the last import run noted beside the table, for the checks before the load.
    TImportRecord Record;

    // The headline of the progress windows.
    static constexpr const char* kProgressAppName = "ЛАРМИС";

  private:
    TMainInputs Now() const;

    IShell& Front;
    IMainView* View = nullptr;
    TGoodsGridController* Grid = nullptr;
    TMainInputs Start;
    TCurrencyFormat Currency;
    THeldClose Closing;
};

// The count label's text before the first run; never shown (the run sets its own count first).
std::string InitialCountText();
