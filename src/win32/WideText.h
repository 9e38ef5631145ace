#pragma once

#include <windows.h>

#include <string>

#include "text/Utf16.h"

// The program's texts are UTF-8; Windows takes and gives UTF-16 (Wide and Narrow).

// A window's text (a control's content, a window's caption).
inline std::string TextOf(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

inline void SetText(HWND window, std::string_view text) {
    SetWindowTextW(window, Wide(text).c_str());
}
