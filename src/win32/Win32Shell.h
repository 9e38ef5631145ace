#pragma once

#include <windows.h>

#include "viewershell/ViewerShell.h"

// The shell of the Win32 windows: message boxes (MessageBoxW) over the active one of the
// program's windows, progress windows of TProgressViewer, the program's own path and the known
// folders of the system (SHGetKnownFolderPath).
class TWin32Shell final : public TViewerShell {
  public:
    // The main window: boxes belong to it when none of its windows is active.
    void SetHome(HWND home) { Home = home; }

    void ShowBox(TDialogIcon icon, const std::string& title, const std::string& text) override;
    bool Confirm(const std::string& title, const std::string& text) override;
    std::string ProgramPath() const override;
    TSystemFolders SystemFolders() const override;
    std::optional<std::string> ClipboardText() const override;
    void SetClipboardText(const std::string& text) override;

    // The window a box belongs to: the active window when it is the main window or one it owns,
    // else the one of them last active.
    HWND BoxOwner() const;

  private:
    TKeyboardReturn KeyboardReturn() const override;
    int Box(const std::string& title, const std::string& text, UINT type);

    HWND Home = nullptr;
};
