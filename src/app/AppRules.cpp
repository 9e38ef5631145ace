#include "app/AppRules.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <random>

#include "text/FileSystem.h"
#include "text/Utf16.h"

namespace {

// Every byte of a UTF-8 sequence is above 127, so the blanks and controls (codes 1..32) and the
// double quote are found byte by byte, as they are character by character.
bool IsBlankOrControl(char ch) {
    return static_cast<unsigned char>(ch) <= 32;
}

// The lower-case letter of `ch` in the scripts a program file name is written in (Latin, Greek,
// Cyrillic); any other character stays as it is.
char16_t LowerLetter(char16_t ch) {
    const auto pairLower = [ch] { return static_cast<char16_t>(ch | 1); };  // upper case is even
    if ((ch >= u'A' && ch <= u'Z') || (ch >= 0xC0 && ch <= 0xDE && ch != 0xD7) ||
        (ch >= 0x391 && ch <= 0x3AB && ch != 0x3A2) || (ch >= 0x410 && ch <= 0x42F)) {
        return static_cast<char16_t>(ch + 0x20);
    }
    if (ch >= 0x400 && ch <= 0x40F) return static_cast<char16_t>(ch + 0x50);
    if ((ch >= 0x100 && ch <= 0x12F) || (ch >= 0x132 && ch <= 0x137) ||
        (ch >= 0x14A && ch <= 0x177) || (ch >= 0x460 && ch <= 0x481) ||
        (ch >= 0x48A && ch <= 0x4BF) || (ch >= 0x4D0 && ch <= 0x52F)) {
        return pairLower();
    }
    // In these runs the upper-case letter is the odd one.
    if ((ch >= 0x139 && ch <= 0x148) || (ch >= 0x179 && ch <= 0x17E) ||
        (ch >= 0x4C1 && ch <= 0x4CE)) {
        return (ch & 1) != 0 ? static_cast<char16_t>(ch + 1) : ch;
    }
    switch (ch) {
        case 0x178:
            return 0xFF;
        case 0x386:
            return 0x3AC;
        case 0x388:
        case 0x389:
        case 0x38A:
            return static_cast<char16_t>(ch + 0x25);
        case 0x38C:
            return 0x3CC;
        case 0x38E:
        case 0x38F:
            return static_cast<char16_t>(ch + 0x3F);
        case 0x4C0:
            return 0x4CF;
        default:
            return ch;
    }
}

// A path as the comparison of folders sees it: UTF-16, one delimiter, and on Windows, where names
// differ by case only in how they are shown, in lower case.
std::u16string ComparedForm(std::string_view path) {
    std::u16string form = Utf8ToUtf16(path);
    for (char16_t& ch : form) {
        if (ch < 0x80 && IsPathDelimiter(static_cast<char>(ch))) {
            ch = static_cast<char16_t>(kPathDelimiter);
        } else if (kPathDelimiter == '\\') {
            ch = LowerLetter(ch);
        }
    }
    return form;
}

}  // namespace

std::string FirstCommandLineWord(std::string_view text) {
    const std::size_t n = text.size();
    std::size_t i = 0;
    for (;;) {
        while (i < n && text[i] != '\0' && IsBlankOrControl(text[i])) ++i;
        if (i + 1 < n && text[i] == '"' && text[i + 1] == '"') {
            i += 2;
        } else {
            break;
        }
    }
    std::string word;
    while (i < n && !IsBlankOrControl(text[i])) {
        if (text[i] == '"') {
            ++i;
            while (i < n && text[i] != '\0' && text[i] != '"') word += text[i++];
            if (i < n && text[i] == '"') ++i;
        } else {
            word += text[i++];
        }
    }
    return word;
}

std::string FileNameValue(const std::string& text) {
    if (!text.empty() && FileExists(text)) return text;
    return FirstCommandLineWord(text);
}

std::string ApplicationTitle(std::string_view programPath) {
    std::string name = ExtractFileName(std::string(programPath));
    name = name.substr(0, name.find('.'));
    std::u16string title = Utf8ToUtf16(name);
    for (std::size_t i = 1; i < title.size(); ++i) title[i] = LowerLetter(title[i]);
    return Utf16ToUtf8(title);
}

std::string ProgramFolder(std::string_view programPath) {
    std::size_t end = programPath.size();
    while (end > 0 && !IsPathDelimiter(programPath[end - 1])) --end;
    if (end == 0) return {};
    // A root keeps its delimiter: "/" alone, and on Windows "\" or a drive's "C:\".
    const bool root = end == 1 || (kPathDelimiter == '\\' && end == 3 && programPath[1] == ':');
    return std::string(programPath.substr(0, root ? end : end - 1));
}

bool IsValidFileName(std::string_view name) {
    return name.find_first_of("<>[]|\"") == std::string_view::npos;
}

std::string QuoteChosenPath(const std::string& path) {
    if (path.find(' ') != std::string::npos && (path.empty() || path.front() != '"')) {
        return '"' + path + '"';
    }
    return path;
}

bool IsInsideFolder(std::string_view path, std::string_view folder) {
    std::u16string outer = ComparedForm(folder);
    while (outer.size() > 1 && outer.back() == kPathDelimiter) outer.pop_back();
    if (outer.empty()) return false;
    const std::u16string inner = ComparedForm(path);
    // Past the folder's name the path goes on with a delimiter, or the folder is the root "/".
    return inner.starts_with(outer) &&
           (inner.size() == outer.size() || outer.back() == kPathDelimiter ||
            inner[outer.size()] == kPathDelimiter);
}

std::string OutputFolderDefault(const std::string& programFolder, const TSystemFolders& system,
                                const std::function<bool(const std::string&)>& canWrite) {
    if (system.Documents.empty() || programFolder.empty()) return programFolder;
    for (const std::string& folder : system.ProgramFolders) {
        if (IsInsideFolder(programFolder, folder)) return system.Documents;
    }
    return canWrite(programFolder) ? programFolder : system.Documents;
}

bool CanCreateFilesIn(const std::string& folder) {
    std::random_device device;
    std::mt19937_64 random(
        (std::uint64_t{device()} << 32) ^ device() ^
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    const std::string base =
        folder +
        (!folder.empty() && IsPathDelimiter(folder.back()) ? "" : std::string(1, kPathDelimiter));
    for (int attempt = 0; attempt < 8; ++attempt) {
        char name[40];
        std::snprintf(name, sizeof name, "kelva2larmis-%016llx.tmp",
                      static_cast<unsigned long long>(random()));
        const std::string probe = base + name;
        if (FileExists(probe) || DirectoryExists(probe)) continue;
        TFile file;
        if (file.Create(probe) != 0) return false;
        file.Close();
        DeleteFileAt(probe);
        return true;
    }
    return false;
}
