// windows.h would otherwise define min and max as macros; shellapi.h needs it first.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <memory>

#include "cli/Console.h"
#include "text/Utf16.h"

namespace {

// Null when the process has no such stream (started without a console and not redirected).
HANDLE Handle(TStream stream) {
    HANDLE handle = ::GetStdHandle(stream == stOut ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

bool IsConsoleHandle(HANDLE handle) {
    DWORD mode = 0;
    return handle != nullptr && ::GetConsoleMode(handle, &mode) != 0;
}

void WriteWide(HANDLE handle, std::u16string_view text) {
    // Old consoles take at most 64 KB per call; a piece never ends between the two halves of a
    // surrogate pair.
    constexpr std::size_t kPiece = 8192;
    while (!text.empty()) {
        std::size_t size = std::min(text.size(), kPiece);
        if (size < text.size() && text[size - 1] >= 0xD800 && text[size - 1] <= 0xDBFF) --size;
        const std::wstring piece(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(size));
        DWORD written = 0;
        if (!::WriteConsoleW(handle, piece.data(), static_cast<DWORD>(piece.size()), &written,
                             nullptr))
            return;
        text.remove_prefix(size);
    }
}

void WriteBytes(HANDLE handle, std::string_view text) {
    while (!text.empty()) {
        DWORD written = 0;
        const auto size = static_cast<DWORD>(std::min<std::size_t>(text.size(), 1 << 20));
        if (!::WriteFile(handle, text.data(), size, &written, nullptr) || written == 0) return;
        text.remove_prefix(written);
    }
}

struct TLocalFree {
    void operator()(LPWSTR* memory) const { ::LocalFree(memory); }
};

}  // namespace

void PrepareProcess() {}

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    // The narrow argv has been through the ANSI code page: Cyrillic arrives as "?".
    int count = 0;
    std::unique_ptr<LPWSTR[], TLocalFree> wide(::CommandLineToArgvW(::GetCommandLineW(), &count));
    if (!wide) return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i) {
        const std::wstring_view arg(wide[i]);
        args.push_back(Utf16ToUtf8(std::u16string(arg.begin(), arg.end())));
    }
    return args;
}

bool IsConsole(TStream stream) {
    return IsConsoleHandle(Handle(stream));
}

void WriteText(TStream stream, std::string_view text) {
    HANDLE handle = Handle(stream);
    if (handle == nullptr) return;
    if (IsConsoleHandle(handle))
        WriteWide(handle, Utf8ToUtf16(text));
    else
        WriteBytes(handle, text);
}

void ShowStatusLine(std::string_view text) {
    HANDLE handle = Handle(stErr);
    WriteWide(handle, u"\r" + Utf8ToUtf16(text));
    // Blank the rest of the row with the console's own call rather than "\033[K": it needs no
    // virtual terminal mode, so every console (and the mode the user set) stays as it is.
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!::GetConsoleScreenBufferInfo(handle, &info)) return;
    const auto rest = static_cast<DWORD>(std::max(0, info.dwSize.X - info.dwCursorPosition.X));
    DWORD blanked = 0;
    ::FillConsoleOutputCharacterW(handle, L' ', rest, info.dwCursorPosition, &blanked);
}

void ClearStatusLine() {
    ShowStatusLine("");
}
