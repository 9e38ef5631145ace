#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "app/FileChooser.h"
#include "app/MainController.h"
#include "win32/Win32Shell.h"
#include "winbase/GdiObjects.h"
#include "winbase/WindowClass.h"

class TDataViewerWindow;

// The main window on Windows' own controls: the operator's instructions, every input of the
// import and the export, the count line and the three buttons, a fixed-size dialog window. It
// only maps its controls: the behaviour is the main window's controller, which owns the goods
// table of the process and runs the handlers. The results viewer is created with it, hidden.
class TMainWindow final : private IMainView, private TWindowTarget {
  public:
    // Creates the window and every control with its start value, hidden, then the results viewer.
    explicit TMainWindow(HINSTANCE instance);
    ~TMainWindow() override;
    TMainWindow(const TMainWindow&) = delete;
    TMainWindow& operator=(const TMainWindow&) = delete;

    // Shows the window centred on the screen (its title bar on the work area), the focus in the
    // instructions.
    void Show(int showCommand);
    HWND Handle() const { return Window; }
    TMainController& Controller() { return Main; }

    // The message loop's first look at a message: the results viewer's keys, then the dialog
    // keys of this window (Tab, Shift+Tab, Space, Enter). True when the message was used.
    bool PreTranslate(MSG& message);

  private:
    LRESULT WindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void CreateControls();
    // Fonts, the window's size and every control's place for `dpi`.
    void ApplyDpi(int dpi);
    // Labels, check boxes and buttons whose scaled text outgrows its place: widened up to the
    // next control, else drawn in a smaller font.
    void FitTexts();
    // The instructions' margins and, where they would not fit in Font, their font.
    void FitInstructions(HWND memo);
    HWND Control(int id) const { return GetDlgItem(Window, id); }
    void Command(int id);
    void BrowseFile(int boxId, TFileChooserStart& start);
    void BrowseFolder();

    // IMainView
    TMainInputs Inputs() const override;
    void HideCount() override;
    void ShowCount(const std::string& text) override;
    void ShowViewer() override;
    void HideViewer() override;
    void Repaint() override;
    void PostClose() override;

    // A close request (WM_CLOSE, SC_CLOSE, the session's end): the window goes when no handler
    // runs; otherwise the controller holds it until the outermost handler has ended.
    void CloseRequested();

    TWin32Shell Shell;
    TMainController Main;
    HWND Window = nullptr;
    TFont Font;
    TFont BoldFont;
    TFont MemoFont;                  // the instructions' own, when Font is too wide for them
    std::vector<TFont> FittedFonts;  // smaller fonts of texts that would not fit
    int Dpi = 96;
    TFileChooserStart PrintStart;
    TFileChooserStart ArticleStart;
    std::unique_ptr<TDataViewerWindow> Viewer;
};
