#include "app/ResultsViewerController.h"

#include <algorithm>
#include <iterator>

#include "app/MainController.h"

TResultsViewerController::TResultsViewerController(TMainController& main, IShell& shell)
    : Main(main),
      GridControl(main.mdGoods, main.CurrencyFormat(), shell),
      List(main.mdGoods, main.Record),
      Find(GridControl) {
    Main.SetGrid(&GridControl);
}

TResultsViewerController::~TResultsViewerController() {
    Main.ForgetGrid(&GridControl);
}

void TResultsViewerController::SetView(IResultsViewerView* view) {
    View = view;
    List.SetView(view);
}

bool TResultsViewerController::Key(TGridKeyPress press, TViewerControl at) {
    // The find keys work wherever the keyboard is, an open cell included (not with Alt:
    // Ctrl+Alt is AltGr, which types characters on some layouts).
    if (press.Key == grF && press.Ctrl && !press.Alt) {
        FindClick();
        return true;
    }
    if (press.Key == grF3) {
        FindNextClick();
        return true;
    }
    if (press.Key == grEscape) {
        BitBtn1Click();
        return true;
    }
    // Tab moves between the grid's cells; Ctrl+Tab leaves the grid, as in a dialog.
    if ((press.Key == grTab || press.Key == grBacktab) && (press.Ctrl || at != vcGrid)) {
        if (!View) return true;
        const auto* found = std::find(kViewerFocusOrder.begin(), kViewerFocusOrder.end(), at);
        const int count = static_cast<int>(kViewerFocusOrder.size());
        const int from = found == kViewerFocusOrder.end()
                             ? 0
                             : static_cast<int>(std::distance(kViewerFocusOrder.begin(), found));
        const bool back = press.Key == grBacktab || press.Shift;
        View->FocusControl(kViewerFocusOrder[(from + (back ? count - 1 : 1)) % count]);
        return true;
    }
    if (press.Key != grEnter || press.Alt) return false;
    switch (at) {
        case vcClose:
            BitBtn1Click();
            return true;
        case vcSave:
            Button3Click();
            return true;
        case vcFind:
            FindEnter();
            return true;
        case vcFindings:
            if (View) FindingChosen(View->FocusedFinding());
            return true;
        default:
            return false;
    }
}

void TResultsViewerController::BitBtn1Click() {
    Main.CloseViewerClick();
}

void TResultsViewerController::Button3Click() {
    if (View) View->PressMainSave();
}

void TResultsViewerController::FindClick() {
    if (!View) return;
    View->FocusControl(vcFind);
    View->SelectFindText();
}

void TResultsViewerController::FindEnter() {
    if (View) View->ShowFindStatus(Find.Enter(View->FindText()));
}

void TResultsViewerController::FindNextClick() {
    const std::optional<std::string> status = Find.Next();
    if (!status) return FindClick();
    if (View) View->ShowFindStatus(*status);
}

void TResultsViewerController::FindingChosen(int line) {
    if (List.Choose(line, GridControl) && View) View->FocusControl(vcGrid);
}
