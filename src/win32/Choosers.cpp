#include "win32/Choosers.h"

#include <commdlg.h>
#include <shlobj.h>

#include <cwchar>

#include "app/WindowTexts.h"
#include "text/FileSystem.h"
#include "win32/WideText.h"

namespace {

struct TFolderChooser {
    std::wstring Start;
};

// The full path of a chooser's item, if it is a folder on a disk; paths past MAX_PATH included,
// which the file layer then opens in their extended-length form.
std::optional<std::wstring> FolderOf(PCIDLIST_ABSOLUTE item) {
    std::wstring path(32768, L'\0');
    if (!SHGetPathFromIDListEx(item, path.data(), static_cast<DWORD>(path.size()),
                               GPFIDL_DEFAULT)) {
        return std::nullopt;
    }
    path.resize(wcslen(path.c_str()));
    if (!DirectoryExists(Narrow(path))) return std::nullopt;
    return path;
}

int CALLBACK FolderChooserEvent(HWND dialog, UINT message, LPARAM lParam, LPARAM data) {
    const auto* chooser = reinterpret_cast<const TFolderChooser*>(data);
    switch (message) {
        case BFFM_INITIALIZED:
            SetWindowTextW(dialog, Wide(kFolderChooserTitle).c_str());
            SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE,
                         reinterpret_cast<LPARAM>(chooser->Start.c_str()));
            break;
        case BFFM_SELCHANGED:
            // Files are listed for orientation only: OK takes folders.
            SendMessageW(dialog, BFFM_ENABLEOK, 0,
                         FolderOf(reinterpret_cast<PCIDLIST_ABSOLUTE>(lParam)) ? TRUE : FALSE);
            break;
        default:
            break;
    }
    return 0;
}

}  // namespace

std::optional<std::string> ChooseFileToOpen(HWND owner, const std::string& folder,
                                            const std::string& name) {
    // "Все файлы (*.*)\0*.*\0\0": the filter's name, its pattern, and the list's end.
    std::wstring filter = Wide(kFileChooserFilter);
    filter.append(1, L'\0').append(L"*.*").append(2, L'\0');
    const std::wstring title = Wide(kFileChooserTitle);
    const std::wstring start = Wide(folder);
    // Room for long paths; the preset name is cut to fit.
    std::wstring file(32768, L'\0');
    const std::wstring preset = Wide(name).substr(0, file.size() - 1);
    preset.copy(file.data(), preset.size());

    OPENFILENAMEW chooser{};
    chooser.lStructSize = sizeof(chooser);
    chooser.hwndOwner = owner;
    chooser.lpstrFilter = filter.c_str();
    chooser.nFilterIndex = 1;
    chooser.lpstrFile = file.data();
    chooser.nMaxFile = static_cast<DWORD>(file.size());
    chooser.lpstrInitialDir = start.empty() ? nullptr : start.c_str();
    chooser.lpstrTitle = title.c_str();
    // The current folder stays, as on Linux: relative names in the boxes keep meaning the same.
    chooser.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_FILEMUSTEXIST |
                    OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&chooser)) return std::nullopt;
    file.resize(wcslen(file.c_str()));
    return Narrow(file);
}

std::optional<std::string> ChooseFolder(HWND owner, const std::string& start) {
    TFolderChooser chooser;
    // The shell wants a full path; "\" alone is the current drive's root.
    const std::wstring given = Wide(start);
    std::wstring full(32768, L'\0');
    const DWORD length =
        GetFullPathNameW(given.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    chooser.Start = length > 0 && length < full.size() ? full.substr(0, length) : given;

    BROWSEINFOW browse{};
    browse.hwndOwner = owner;
    browse.ulFlags =
        BIF_RETURNONLYFSDIRS | BIF_BROWSEINCLUDEFILES | BIF_NEWDIALOGSTYLE | BIF_NONEWFOLDERBUTTON;
    browse.lpfn = FolderChooserEvent;
    browse.lParam = reinterpret_cast<LPARAM>(&chooser);
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
    if (!chosen) return std::nullopt;
    const std::optional<std::wstring> folder = FolderOf(chosen);
    CoTaskMemFree(chosen);
    if (!folder) return std::nullopt;
    return Narrow(*folder);
}
