#include "app/FileChooser.h"

#include "app/AppRules.h"
#include "text/FileSystem.h"

void TFileChooserStart::FollowBoxText(const std::string& text) {
    const std::string value = FileNameValue(text);
    if (!IsValidFileName(value)) return;
    const std::string folder = ProgramFolder(value);
    if (!folder.empty() && DirectoryExists(folder)) StartFolder = folder;
    StartName = ExtractFileName(value);
}

std::string TFileChooserStart::TakeChosenFile(const std::string& path) {
    StartFolder = ProgramFolder(path);
    StartName = ExtractFileName(path);
    return QuoteChosenPath(path);
}

std::string FolderChooserStart(const std::string& text) {
    if (text.empty() || !DirectoryExists(text)) return std::string(1, kPathDelimiter);
    return text;
}
