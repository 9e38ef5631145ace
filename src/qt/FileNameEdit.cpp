#include "qt/FileNameEdit.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QStyle>

#include "app/AppRules.h"
#include "qt/Dialogs.h"
#include "qt/OemValidator.h"
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
    const std::string value = FileNameValue(text().toStdString());
    if (IsValidFileName(value)) {
        const std::string folder = ProgramFolder(value);
        if (!folder.empty() && DirectoryExists(folder))
            ChooserFolder = QString::fromStdString(folder);
        ChooserName = QString::fromStdString(value.substr(value.rfind('/') + 1));
    }
    const auto chosen =
        Dialogs().OpenFile(this, kFileChooserTitle, ChooserFolder, ChooserName, kFileChooserFilter);
    if (!chosen) return;
    const QFileInfo file(*chosen);
    setText(QString::fromStdString(QuoteChosenPath(file.absoluteFilePath().toStdString())));
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
