#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "viewershell/ViewerShell.h"

class QWidget;

// Every message box and chooser of the program goes through this interface, so tests can answer
// them without a modal loop. The real one uses QMessageBox and QFileDialog.
class IDialogs {
  public:
    virtual ~IDialogs() = default;
    // A modal box with an icon and one OK button; returns when it has been closed.
    virtual void Message(QWidget* parent, TDialogIcon icon, const QString& title,
                         const QString& text) = 0;
    // A modal question with OK and Cancel; true for OK.
    virtual bool Confirm(QWidget* parent, const QString& title, const QString& text) = 0;
    // A file chooser for opening one existing file; nullopt when cancelled.
    virtual std::optional<QString> OpenFile(QWidget* parent, const QString& title,
                                            const QString& folder, const QString& name,
                                            const QString& filter) = 0;
    // A folder chooser; nullopt when cancelled.
    virtual std::optional<QString> ChooseFolder(QWidget* parent, const QString& title,
                                                const QString& start) = 0;
};

// The dialogs in use: the real ones unless a test has set its own.
IDialogs& Dialogs();
// Replaces the dialogs in use (not owned); nullptr brings back the real ones.
void SetDialogs(IDialogs* dialogs);

// The shell of the Qt windows: boxes through Dialogs() over the active one of `home`'s windows
// (`home`'s own window when none of them is active), progress windows of TProgressViewer that
// hand the keyboard back to the window that was active when they opened.
class TQtShell final : public TViewerShell {
  public:
    explicit TQtShell(QWidget* home) : Home(home) {}

    void ShowBox(TDialogIcon icon, const std::string& title, const std::string& text) override;
    bool Confirm(const std::string& title, const std::string& text) override;
    std::string ProgramPath() const override;
    TSystemFolders SystemFolders() const override;
    std::optional<std::string> ClipboardText() const override;
    void SetClipboardText(const std::string& text) override;

    // The window a box belongs to.
    QWidget* BoxParent() const;

  private:
    TKeyboardReturn KeyboardReturn() const override;

    QWidget* Home;
};

// Runs one event handler's body with the standard error display over `parent`.
void RunHandler(QWidget* parent, const std::function<void()>& body);
