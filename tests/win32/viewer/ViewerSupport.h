#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "AppSupport.h"
#include "app/MainController.h"
#include "win32/DataViewerWindow.h"
#include "win32/WideText.h"  // TextOf

// The main window as the viewer needs it: inputs typed in advance, the viewer shown and hidden.
class TViewerHost final : public IMainView {
  public:
    TMainInputs Inputs() const override { return Typed; }
    void HideCount() override {}
    void ShowCount(const std::string& /*text*/) override {}
    void ShowViewer() override;
    void HideViewer() override;
    void Repaint() override {}
    void PostClose() override {}

    TMainInputs Typed;
    TDataViewerWindow* Viewer = nullptr;
};

// The results viewer over a main window's controller, with boxes recorded and questions answered
// by the test shell, owned by a plain top-level window. The example reports are imported into a
// temporary folder; the tables are written to its "out" folder. The operator's actions go to the
// real windows as keystrokes (SendInput) and mouse messages, through the program's message loop
// with the viewer's PreTranslate.
class TViewerFixture {
  public:
    // `regional`: the price format's source; `import`: the example reports imported at once.
    explicit TViewerFixture(const TRegionalCurrency& regional, bool import = true);
    ~TViewerFixture();
    TViewerFixture(const TViewerFixture&) = delete;
    TViewerFixture& operator=(const TViewerFixture&) = delete;

    HWND Window() const { return Viewer->Handle(); }
    HWND Grid() const { return GetDlgItem(Window(), TDataViewerWindow::kDBGrid1Id); }
    HWND Control(int id) const { return GetDlgItem(Window(), id); }
    TGoodsTable& Goods() { return Controller->mdGoods; }

    // Runs the message loop until nothing is left in the queue.
    void Pump();
    // "Показать результаты": the viewer shown, and active once the window system has made it so
    // (the test fails when it does not become so).
    void ShowViewer();
    void WaitUntilActive();
    // A key pressed and released, with Ctrl, Shift or Alt held; handled when this returns (the
    // test fails when the key goes to another program).
    void Key(WORD key, bool ctrl = false, bool shift = false, bool alt = false);
    // Characters typed (UTF-8), each as a key of its own, handled as Key's.
    void Type(const std::string& text);
    // A left click (`twice`: a double click) in a grid cell; column -1 is the marker column.
    void Click(int row, int column, bool twice = false);
    // A click on one of the viewer's buttons.
    void Press(int id);

    // What the list view shows, asked of it as its drawing asks (UTF-8).
    int RowCount() const;
    std::string Cell(int row, int column) const;
    std::string Marker(int row) const;
    std::vector<std::string> Titles() const;
    // The current cell as the grid draws it: the one field cell not in the window colour.
    std::pair<int, int> DrawnCurrentCell();
    // The open cell editor: the focused edit control over the grid, or nullptr.
    HWND Editor() const;
    std::string EditorText() const;

    // The directory table's records as the last export wrote them.
    std::vector<std::string> Directory() const;

    TTempDir Folder;
    TCallLog Log;

    TRecordingShell Shell;
    TViewerHost Host;
    std::unique_ptr<TMainController> Controller;
    HWND Owner = nullptr;
    std::unique_ptr<TDataViewerWindow> Viewer;

  private:
    void Dispatch(MSG& message);
    // Sends `inputs` through the system's queue and handles messages until they have come.
    void Send(std::vector<INPUT> inputs);
};

// The virtual key of a grid key (Shift+Tab is Tab with Shift).
WORD VirtualKeyOf(TGridKey key);

// A window's client rectangle in its parent's client coordinates.
RECT PlaceOf(HWND window);

// The list rows that LVN_GETDISPINFO asked for while it is alive, as the grid's parent window
// receives them (a hook on the thread's window procedure calls).
class TDisplayRequests {
  public:
    TDisplayRequests();
    ~TDisplayRequests();
    TDisplayRequests(const TDisplayRequests&) = delete;
    TDisplayRequests& operator=(const TDisplayRequests&) = delete;
    std::vector<int> Rows;

  private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    HHOOK Handle;
};
