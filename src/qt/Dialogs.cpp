#include "qt/Dialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QStandardPaths>

#include "app/BoxOwner.h"

namespace {

QMessageBox::Icon BoxIcon(TDialogIcon icon) {
    switch (icon) {
        case diWarning:
            return QMessageBox::Warning;
        case diInformation:
            return QMessageBox::Information;
        case diError:
            return QMessageBox::Critical;
        case diQuestion:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

class TQtDialogs : public IDialogs {
  public:
    void Message(QWidget* parent, TDialogIcon icon, const QString& title,
                 const QString& text) override {
        QMessageBox box(BoxIcon(icon), title, text, QMessageBox::Ok, parent);
        box.exec();
    }

    bool Confirm(QWidget* parent, const QString& title, const QString& text) override {
        QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Ok | QMessageBox::Cancel,
                        parent);
        box.setDefaultButton(QMessageBox::Ok);
        return box.exec() == QMessageBox::Ok;
    }

    std::optional<QString> OpenFile(QWidget* parent, const QString& title, const QString& folder,
                                    const QString& name, const QString& filter) override {
        QFileDialog dialog(parent, title, folder, filter);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        if (!name.isEmpty()) dialog.selectFile(name);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return std::nullopt;
        }
        return dialog.selectedFiles().constFirst();
    }

    std::optional<QString> ChooseFolder(QWidget* parent, const QString& title,
                                        const QString& start) override {
        QFileDialog dialog(parent, title, start);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::Directory);
        // Files stay listed for orientation; the chooser does not create folders.
        dialog.setOption(QFileDialog::ReadOnly, true);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return std::nullopt;
        }
        return dialog.selectedFiles().constFirst();
    }
};

TQtDialogs RealDialogs;
IDialogs* CurrentDialogs = &RealDialogs;

}  // namespace

IDialogs& Dialogs() {
    return *CurrentDialogs;
}

void SetDialogs(IDialogs* dialogs) {
    CurrentDialogs = dialogs ? dialogs : &RealDialogs;
}

QWidget* TQtShell::BoxParent() const {
    if (!Home) return nullptr;
    QWidget* home = Home->window();
    QWidget* active = QApplication::activeWindow();
    // Qt keeps no window last active apart from the active one.
    return BoxOwner<QWidget*>({home, active, active && home->isAncestorOf(active)});
}

void TQtShell::ShowBox(TDialogIcon icon, const std::string& title, const std::string& text) {
    Dialogs().Message(BoxParent(), icon, QString::fromStdString(title),
                      QString::fromStdString(text));
}

bool TQtShell::Confirm(const std::string& title, const std::string& text) {
    return Dialogs().Confirm(BoxParent(), QString::fromStdString(title),
                             QString::fromStdString(text));
}

TViewerShell::TKeyboardReturn TQtShell::KeyboardReturn() const {
    const QPointer<QWidget> back = BoxParent();
    return {nullptr, [back] {
                if (back) back->activateWindow();
            }};
}

std::string TQtShell::ProgramPath() const {
    return QCoreApplication::applicationFilePath().toStdString();
}

TSystemFolders TQtShell::SystemFolders() const {
    // No program folders: on Linux only a folder that takes no files (an installed /usr/bin)
    // moves the start, to the documents folder of the user's XDG settings, or home without one.
    TSystemFolders folders;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    folders.Documents =
        (!documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath())
            .toStdString();
    return folders;
}

void RunHandler(QWidget* parent, const std::function<void()>& body) {
    TQtShell shell(parent);
    RunHandler(shell, body);
}

std::optional<std::string> TQtShell::ClipboardText() const {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasText()) return std::nullopt;
    return data->text().toStdString();
}

void TQtShell::SetClipboardText(const std::string& text) {
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}
