#include "app/AppRules.h"

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
