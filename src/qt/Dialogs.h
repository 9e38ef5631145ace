#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

class QWidget;

enum TDialogIcon : std::uint8_t { diWarning, diInformation, diError, diQuestion };

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

// The standard error display: an error box titled with the application title, showing the
// message with a full stop added by the display rule.
void ShowErrorDisplay(QWidget* parent, const QString& message);

// Runs one event handler's body; an exception never leaves it: its message goes to the standard
// error display and the window stays usable.
void RunHandler(QWidget* parent, const std::function<void()>& body);
