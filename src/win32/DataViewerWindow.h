#pragma once

#include <windows.h>

#include <functional>
#include <memory>

class TMainController;

// The results viewer: a resizable window owned by the main window (no taskbar entry, always in
// front of it) whose grid is a virtual list view over the main window's goods table. At its right,
// beside the design's controls, the find box (Ctrl+F, Enter and F3) and the findings list with its
// counts; choosing a finding selects its row. Closing it only hides it.
class TDataViewerWindow {
  public:
    // Creates the viewer hidden and registers its grid with the controller, whose handlers store
    // the open cell first. `saveClick` presses the main window's save button, whose handler
    // stores the open cell and exports with that window's inputs.
    TDataViewerWindow(HWND owner, TMainController& controller, std::function<void()> saveClick);
    // Unregisters the grid from the controller and destroys the window.
    ~TDataViewerWindow();
    TDataViewerWindow(const TDataViewerWindow&) = delete;
    TDataViewerWindow& operator=(const TDataViewerWindow&) = delete;

    // Makes the viewer visible without a modal loop and brings it to the front.
    void Show();
    void Hide();
    HWND Handle() const;

    // The ids of the viewer's controls (Label1, the grid DBGrid1, "Закрыть" BitBtn1 and
    // "Сохранить в DBF-формате" Button3; the find box's caption lbFind, the box edFind and the
    // line under it lbFindStatus; the findings list's caption lbFindings and the list
    // lstFindings), by which tests find them.
    static constexpr int kLabel1Id = 1001;
    static constexpr int kDBGrid1Id = 1002;
    static constexpr int kBitBtn1Id = 1003;
    static constexpr int kButton3Id = 1004;
    static constexpr int kLbFindId = 1005;
    static constexpr int kEdFindId = 1006;
    static constexpr int kLbFindStatusId = 1007;
    static constexpr int kLbFindingsId = 1008;
    static constexpr int kLstFindingsId = 1009;

    // Gives the viewer the first look at a message of the program's message loop (the grid's and
    // the cell editor's keys, the dialog keys of its buttons); true when the viewer used it and
    // the loop must not translate or dispatch it.
    bool PreTranslate(MSG& message);

  private:
    struct TImpl;
    std::unique_ptr<TImpl> Impl;
};
