#pragma once

#include <windows.h>

#include <string>

#include "text/Utf16.h"

// The program's texts are UTF-8; Windows takes and gives UTF-16.

inline std::wstring Wide(const std::string& text) {
    const std::u16string wide = Utf8ToUtf16(text);
    return std::wstring(wide.begin(), wide.end());
}

inline std::string Narrow(const std::wstring& text) {
    return Utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

// A window's text (a control's content, a window's caption).
inline std::string TextOf(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

inline void SetText(HWND window, const std::string& text) {
    SetWindowTextW(window, Wide(text).c_str());
}
