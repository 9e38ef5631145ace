#include "app/MainController.h"

#include <clocale>

#include "app/AppRules.h"
#include "convert/GoodsExport.h"
#include "convert/ImportRun.h"
#include "text/DecimalSeparator.h"
#include "text/Defer.h"

TMainController::TMainController(IShell& shell, const TRegionalCurrency& regional)
    : Front(shell), Currency(TCurrencyFormat::FromRegional(regional)), Closing([this] {
          if (View) View->PostClose();
      }) {
    // "." for every number <-> text conversion, the C library's included (a toolkit may have set
    // it from the environment before).
    SetDecimalSeparator('.');
    std::setlocale(LC_NUMERIC, "C");
    Front.SetProgressAppName(kProgressAppName);
    Start.Folder = OutputFolderDefault(ProgramFolder(Front.ProgramPath()), Front.SystemFolders(),
                                       CanCreateFilesIn);
}

TMainInputs TMainController::Now() const {
    return View ? View->Inputs() : Start;
}

void TMainController::ImportClick() {
    RunHandler(Front, [&] {
        if (View) View->Repaint();
        const TMainInputs now = Now();
        TImportInputs inputs;
        inputs.ArticleFile = FileNameValue(now.ArticleFile);
        inputs.PrintFile = FileNameValue(now.PrintFile);
        inputs.Prefix = now.Prefix;
        inputs.StartValue = now.StartValue;
        inputs.NdsValue = now.NdsValue;
        inputs.Ean13 = now.Ean13;
        // The import's own rows are no steps to take back; emptying the table ends the history.
        if (Grid) Grid->History().Pause();
        TDefer resume([this] {
            if (Grid) Grid->History().Resume();
        });
        RunImport(inputs, mdGoods, *this, &Record);
    });
}

void TMainController::ShowResultsClick() {
    RunHandler(Front, [&] { ShowResults(); });
}

void TMainController::SaveClick() {
    RunHandler(Front, [&] {
        if (View) View->Repaint();
        if (Grid && !Grid->FinishEditing()) return;
        const TMainInputs now = Now();
        TExportInputs inputs;
        inputs.Folder = now.Folder;
        inputs.WriteID = now.WriteID;
        ExportGoods(inputs, mdGoods, *this);
    });
}

void TMainController::CloseViewerClick() {
    if (Grid && !Grid->FinishEditing()) return;
    if (View) View->HideViewer();
}

std::unique_ptr<IProgressSink> TMainController::CreateProgress(const std::string& caption,
                                                               bool percentMode) {
    return ProgressSinkOf(Front.OpenProgress(caption, percentMode));
}

void TMainController::ShowWarning(const std::string& caption, const std::string& text) {
    Front.ShowBox(diWarning, caption, text);
}

void TMainController::ShowInformation(const std::string& caption, const std::string& text) {
    Front.ShowBox(diInformation, caption, text);
}

void TMainController::HideCount() {
    if (View) View->HideCount();
}

void TMainController::ShowCount(const std::string& text) {
    if (View) View->ShowCount(text);
}

void TMainController::ShowResults() {
    if (View) View->ShowViewer();
}

std::string InitialCountText() {
    return GeneratedCountText(100);
}
