#include "qt/FileNameEdit.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QStyle>

#include "app/WindowTexts.h"
#include "qt/Dialogs.h"
#include "qt/OemValidator.h"

TFileNameEdit::TFileNameEdit(TBrowseKind kind, QWidget* parent) : QLineEdit(parent), Kind(kind) {
    setValidator(new TOemValidator(this));
    Browse = addAction(style()->standardIcon(QStyle::SP_DirOpenIcon), TrailingPosition);
    Browse->setToolTip(QString::fromUtf8(kind == bkFile ? kFileChooserTitle : kFolderChooserTitle));
    connect(Browse, &QAction::triggered, this, &TFileNameEdit::BrowseClick);
}

void TFileNameEdit::BrowseClick() {
    // A handler like the buttons': the chooser's modal loop holds a close of the main window back.
    RunHandler(this, [this] {
        if (Kind == bkFile) {
            BrowseFile();
        } else {
            BrowseFolder();
        }
    });
    setFocus();
}

void TFileNameEdit::BrowseFile() {
    ChooserStart.FollowBoxText(text().toStdString());
    const auto chosen = Dialogs().OpenFile(
        this, QString::fromUtf8(kFileChooserTitle), QString::fromStdString(ChooserStart.Folder()),
        QString::fromStdString(ChooserStart.Name()), QString::fromUtf8(kFileChooserFilter));
    if (!chosen) return;
    const std::string path = QFileInfo(*chosen).absoluteFilePath().toStdString();
    setText(QString::fromStdString(ChooserStart.TakeChosenFile(path)));
}

void TFileNameEdit::BrowseFolder() {
    const QString start = QString::fromStdString(FolderChooserStart(text().toStdString()));
    const auto chosen = Dialogs().ChooseFolder(this, QString::fromUtf8(kFolderChooserTitle), start);
    if (!chosen) return;
    setText(QDir::cleanPath(QFileInfo(*chosen).absoluteFilePath()));
}
