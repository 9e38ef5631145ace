#include "win32/Clipboard.h"

#include <cstring>

#include "win32/WideText.h"

namespace {

// Closes the clipboard on every way out.
class TOpenClipboard {
  public:
    explicit TOpenClipboard(HWND owner) : Opened(OpenClipboard(owner) != FALSE) {}
    ~TOpenClipboard() {
        if (Opened) CloseClipboard();
    }
    TOpenClipboard(const TOpenClipboard&) = delete;
    TOpenClipboard& operator=(const TOpenClipboard&) = delete;
    explicit operator bool() const { return Opened; }

  private:
    bool Opened;
};

}  // namespace

std::optional<std::string> ReadClipboardText(HWND owner) {
    TOpenClipboard clipboard(owner);
    if (!clipboard) return std::nullopt;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (!data) return std::nullopt;
    const auto* text = static_cast<const wchar_t*>(GlobalLock(data));
    if (!text) return std::nullopt;
    // The text ends at its first null, but never beyond the memory that holds it.
    const std::size_t room = GlobalSize(data) / sizeof(wchar_t);
    std::size_t length = 0;
    while (length < room && text[length] != L'\0') ++length;
    const std::wstring copy(text, length);
    GlobalUnlock(data);
    return Narrow(copy);
}

bool WriteClipboardText(HWND owner, const std::string& text) {
    const std::wstring wide = Wide(text);
    const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    // The clipboard takes memory that is movable and, once it has it, its own.
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory) return false;
    void* to = GlobalLock(memory);
    if (!to) {
        GlobalFree(memory);
        return false;
    }
    std::memcpy(to, wide.c_str(), bytes);
    GlobalUnlock(memory);
    TOpenClipboard clipboard(owner);
    if (!clipboard || !EmptyClipboard() || !SetClipboardData(CF_UNICODETEXT, memory)) {
        GlobalFree(memory);
        return false;
    }
    return true;
}
