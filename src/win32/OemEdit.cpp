#include "win32/OemEdit.h"

#include <commctrl.h>

#include <string>

#include "text/CodePage.h"

namespace {

constexpr UINT_PTR kOemSubclass = 0x866;

// Whether every character of a UTF-16 text has a byte in code page 866 (a lone surrogate has
// none).
bool AllOem(const std::u16string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t ch = text[i];
        if (ch >= 0xD800 && ch <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            ch = 0x10000 + ((ch - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        if (!IsOemRepresentable(ch)) return false;
    }
    return true;
}

std::u16string ClipboardText(HWND owner) {
    std::u16string text;
    if (!OpenClipboard(owner)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const char16_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

LRESULT CALLBACK OemEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                             DWORD_PTR) {
    switch (message) {
        case WM_CHAR:
            // Control characters (Backspace, Ctrl+C, Ctrl+V...) are keys, not text.
            if (wParam >= 0x20 && !AllOem(std::u16string(1, static_cast<char16_t>(wParam)))) {
                MessageBeep(MB_OK);
                return 0;
            }
            break;
        case WM_PASTE:
            if (!AllOem(ClipboardText(edit))) {
                MessageBeep(MB_OK);
                return 0;
            }
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(edit, OemEditProc, kOemSubclass);
            break;
        default:
            break;
    }
    return DefSubclassProc(edit, message, wParam, lParam);
}

}  // namespace

void RestrictToOem(HWND edit) {
    SetWindowSubclass(edit, OemEditProc, kOemSubclass, 0);
}
