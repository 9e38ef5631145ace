#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "app/FindBox.h"
#include "app/FindingsList.h"
#include "app/GoodsGridController.h"

class TMainController;

// The results viewer's controls that take the keyboard, in their focus order, and the rest.
enum TViewerControl : std::uint8_t {
    vcGrid,      // DBGrid1 and its cell editor
    vcClose,     // BitBtn1, "Закрыть"
    vcSave,      // Button3, "Сохранить в DBF-формате"
    vcFind,      // edFind
    vcFindings,  // lstFindings
    vcOther
};

inline constexpr std::array<TViewerControl, 5> kViewerFocusOrder = {vcGrid, vcClose, vcSave, vcFind,
                                                                    vcFindings};

// What the viewer's behaviour needs of a front end's viewer window (besides its grid, which is an
// IGoodsGridView of the grid controller).
class IResultsViewerView : public IFindingsView {
  public:
    // Gives the keyboard to a control.
    virtual void FocusControl(TViewerControl control) = 0;
    // Selects the whole text of the find box.
    virtual void SelectFindText() = 0;
    virtual std::string FindText() const = 0;
    // The line beside the find box.
    virtual void ShowFindStatus(const std::string& text) = 0;
    // The findings list's focused line; -1 for none.
    virtual int FocusedFinding() const = 0;
    // Presses the main window's save button, as a click on it would.
    virtual void PressMainSave() = 0;
};

// The results viewer without its controls: it owns the grid's behaviour over the main window's
// goods table, the findings list and the find box, and decides what the viewer's keys do (the
// find keys, Esc, Enter on its buttons, the find box and the findings list, and Tab between its
// controls); the grid's own keys go to the grid controller.
class TResultsViewerController {
  public:
    // Registers the grid with `main`, whose handlers store its open cell first; `shell` shows the
    // grid's boxes.
    TResultsViewerController(TMainController& main, IShell& shell);
    ~TResultsViewerController();
    TResultsViewerController(const TResultsViewerController&) = delete;
    TResultsViewerController& operator=(const TResultsViewerController&) = delete;

    // The viewer window; nullptr detaches it.
    void SetView(IResultsViewerView* view);

    TGoodsGridController& Grid() { return GridControl; }
    const TFindingsList& Findings() const { return List; }

    // A key pressed while `at` has the keyboard (the grid's cell editor counts as the grid); true
    // when the viewer used it, and it must go no further. Keys of the grid it leaves to the grid.
    bool Key(TGridKeyPress press, TViewerControl at);

    // "Закрыть", Esc and the window's close box: the main window's controller closes the viewer.
    void BitBtn1Click();
    // Presses the main window's save button, which stores the open cell and exports with that
    // window's inputs.
    void Button3Click();
    // Ctrl+F: the find box takes the keyboard. Enter there finds (again), F3 finds the next.
    void FindClick();
    void FindEnter();
    void FindNextClick();
    // A line of the findings list chosen: its row becomes the grid's current row.
    void FindingChosen(int line);
    // The findings' caption over their list.
    std::string FindingsCaption() const { return ::FindingsCaption(List); }

  private:
    TMainController& Main;
    IResultsViewerView* View = nullptr;
    TGoodsGridController GridControl;
    TFindingsList List;
    TFindBox Find;  // over the grid
};
