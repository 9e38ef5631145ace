#include "app/FileChooser.h"

#include "app/AppRules.h"
#include "text/FileSystem.h"

namespace {

std::string NameAfterFolder(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}

}  // namespace

void TFileChooserStart::FollowBoxText(const std::string& text) {
    const std::string value = FileNameValue(text);
    if (!IsValidFileName(value)) return;
    const std::string folder = ProgramFolder(value);
    if (!folder.empty() && DirectoryExists(folder)) StartFolder = folder;
    StartName = NameAfterFolder(value);
}

std::string TFileChooserStart::TakeChosenFile(const std::string& path) {
    StartFolder = ProgramFolder(path);
    StartName = NameAfterFolder(path);
    return QuoteChosenPath(path);
}

std::string FolderChooserStart(const std::string& text) {
    if (text.empty() || !DirectoryExists(text)) return "/";
    return text;
}
