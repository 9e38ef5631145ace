#pragma once

#include <windows.h>

#include <optional>
#include <string>

// The system's clipboard as Unicode text (CF_UNICODETEXT), the program's texts being UTF-8.

// The clipboard's text; nothing when it holds none or cannot be opened (another program has it).
std::optional<std::string> ReadClipboardText(HWND owner);
// Puts `text` on the clipboard, `owner` (a window of ours) owning it; false when it failed.
bool WriteClipboardText(HWND owner, const std::string& text);
