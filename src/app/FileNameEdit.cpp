#include "app/FileNameEdit.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QStyle>

#include "app/AppRules.h"
#include "app/Dialogs.h"
#include "app/OemValidator.h"
#include "text/FileSystem.h"

namespace {

const QString kFileChooserTitle = QStringLiteral("Список");
const QString kFileChooserFilter = QStringLiteral("Все файлы (*.*)");
const QString kFolderChooserTitle = QStringLiteral("Select Directory");

}  // namespace

TFileNameEdit::TFileNameEdit(TBrowseKind kind, QWidget* parent) : QLineEdit(parent), Kind(kind) {
    setValidator(new TOemValidator(this));
    Browse = addAction(style()->standardIcon(QStyle::SP_DirOpenIcon), TrailingPosition);
    Browse->setToolTip(kind == bkFile ? kFileChooserTitle : kFolderChooserTitle);
    connect(Browse, &QAction::triggered, this, &TFileNameEdit::BrowseClick);
}

void TFileNameEdit::BrowseClick() {
    if (Kind == bkFile) {
        BrowseFile();
    } else {
        BrowseFolder();
    }
    setFocus();
}

void TFileNameEdit::BrowseFile() {
    const QString value = FileNameValue(text());
    if (IsValidFileName(value)) {
        const qsizetype slash = value.lastIndexOf(u'/');
        const QString folder = ProgramFolder(value);
        if (!folder.isEmpty() && DirectoryExists(folder.toStdString())) ChooserFolder = folder;
        ChooserName = value.endsWith(u'/') ? QString() : value.mid(slash + 1);
    }
    const auto chosen =
        Dialogs().OpenFile(this, kFileChooserTitle, ChooserFolder, ChooserName, kFileChooserFilter);
    if (!chosen) return;
    const QFileInfo file(*chosen);
    setText(QuoteChosenPath(file.absoluteFilePath()));
    ChooserFolder = file.absolutePath();
    ChooserName = file.fileName();
}

void TFileNameEdit::BrowseFolder() {
    QString start = text();
    if (start.isEmpty() || !DirectoryExists(start.toStdString())) start = QStringLiteral("/");
    const auto chosen = Dialogs().ChooseFolder(this, kFolderChooserTitle, start);
    if (!chosen) return;
    setText(QDir::cleanPath(QFileInfo(*chosen).absoluteFilePath()));
}
