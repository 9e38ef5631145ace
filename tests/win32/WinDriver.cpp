#include "WinDriver.h"

#include <gtest/gtest.h>

#include <thread>

#include "WineStart.h"
#include "text/Utf16.h"

namespace {

// A window of a hung program must not hang the test: every message sent waits this long at most.
constexpr UINT kSendTimeoutMs = 5000;

std::wstring QuoteArgument(const std::wstring& argument) {
    // The command line's quoting rules (CommandLineToArgvW): backslashes before a quote double.
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) {
        return argument;
    }
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t ch : argument) {
        if (ch == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(ch == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += ch;
    }
    quoted.append(backslashes * 2, L'\\');
    quoted += L'"';
    return quoted;
}

LRESULT SendWait(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
    return static_cast<LRESULT>(result);
}

struct TTopSearch {
    DWORD Pid;
    std::wstring ClassName;
    std::wstring Title;
    std::vector<HWND> Found;
};

BOOL CALLBACK CollectTop(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<TTopSearch*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search.Pid || !IsWindowVisible(window)) return TRUE;
    if (!search.ClassName.empty() && Wide(ClassOf(window)) != search.ClassName) return TRUE;
    if (!search.Title.empty() && Wide(TextOf(window)) != search.Title) return TRUE;
    search.Found.push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM data) {
    reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
    return TRUE;
}

INPUT KeyInput(WORD virtualKey, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

// Makes `window` the foreground window, so that input through the queue goes to it; fails the
// calling test when it does not come.
bool BringForward(HWND window) {
    if (GetForegroundWindow() != window) SetForegroundWindow(window);
    if (WaitFor([&] { return GetForegroundWindow() == window; })) return true;
    ADD_FAILURE() << "window " << window << " (\"" << TextOf(window)
                  << "\") did not come to the front; the keys would go elsewhere";
    return false;
}

// Pixels drawn by `draw` into a memory DC of `width` x `height` (32 bits, top-down rows), as
// 0x00RRGGBB. `screen` is the screen's DC, for copies from it.
TCapture DrawnPixels(int width, int height,
                     const std::function<void(HDC memory, HDC screen)>& draw) {
    TCapture capture;
    capture.Width = width;
    capture.Height = height;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    draw(memory, screen);
    GdiFlush();
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    capture.Pixels.assign(pixels, pixels + width * height);
    for (std::uint32_t& pixel : capture.Pixels) pixel &= 0x00FFFFFF;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return capture;
}

// The pixels of `icon` drawn at `width` x `height` over `background` (0x00RRGGBB).
std::vector<std::uint32_t> IconPixels(HICON icon, int width, int height, std::uint32_t background) {
    return DrawnPixels(width, height,
                       [&](HDC memory, HDC) {
                           HBRUSH brush = CreateSolidBrush(
                               RGB(background >> 16, (background >> 8) & 0xFF, background & 0xFF));
                           RECT all{0, 0, width, height};
                           FillRect(memory, &all, brush);
                           DeleteObject(brush);
                           DrawIconEx(memory, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
                       })
        .Pixels;
}

// Which system icon an icon control of another program shows. Icon handles are the other
// process's own, so the control's pixels on the screen are compared with each system icon drawn
// here over the same background; the best match counts when nearly every pixel agrees.
int SystemIconShown(HWND control) {
    const TCapture shown = CaptureWindow(control);
    if (shown.Pixels.empty()) return 0;
    // IDI_ERROR, IDI_WARNING, IDI_INFORMATION, IDI_QUESTION.
    const int icons[] = {32513, 32515, 32516, 32514};
    int best = 0;
    size_t bestMatches = 0;
    for (int icon : icons) {
        const std::vector<std::uint32_t> drawn = IconPixels(
            LoadIconW(nullptr, MAKEINTRESOURCEW(icon)), shown.Width, shown.Height, shown.At(0, 0));
        size_t matches = 0;
        for (size_t i = 0; i < drawn.size(); ++i) matches += drawn[i] == shown.Pixels[i];
        if (matches > bestMatches) {
            bestMatches = matches;
            best = icon;
        }
    }
    return bestMatches * 10 >= shown.Pixels.size() * 9 ? best : 0;
}

}  // namespace

TProgram::TProgram(const std::string& program, const std::vector<std::string>& arguments,
                   const std::string& folder) {
    std::wstring commandLine = QuoteArgument(Wide(program));
    for (const std::string& argument : arguments)
        commandLine += L" " + QuoteArgument(Wide(argument));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    const std::wstring wideFolder = Wide(folder);
    if (!StartProcess(commandLine, false, folder.empty() ? nullptr : wideFolder.c_str(), startup,
                      Info)) {
        ADD_FAILURE() << "cannot start " << program << ": error " << GetLastError();
        Info = {};
    }
}

TProgram::~TProgram() {
    Kill();
    if (Info.hThread) CloseHandle(Info.hThread);
    if (Info.hProcess) CloseHandle(Info.hProcess);
}

bool TProgram::Running() const {
    return Info.hProcess && WaitForSingleObject(Info.hProcess, 0) == WAIT_TIMEOUT;
}

int TProgram::WaitExit(std::chrono::milliseconds timeout) {
    if (!Info.hProcess) return -1;
    if (WaitForSingleObject(Info.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(Info.hProcess, &code);
    return static_cast<int>(code);
}

void TProgram::Kill() {
    if (!Running()) return;
    TerminateProcess(Info.hProcess, 99);
    WaitForSingleObject(Info.hProcess, 10000);
}

bool WaitFor(const std::function<bool()>& probe, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (probe()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        // Our own windows' messages (SetForegroundWindow's among them) keep flowing meanwhile.
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        std::this_thread::sleep_for(20ms);
    }
}

std::vector<HWND> TopWindows(DWORD pid, const std::string& className, const std::string& title) {
    TTopSearch search{pid, Wide(className), Wide(title), {}};
    EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

HWND WaitTopWindow(DWORD pid, const std::string& className, const std::string& title,
                   std::chrono::milliseconds timeout) {
    HWND found = nullptr;
    WaitFor(
        [&] {
            const std::vector<HWND> windows = TopWindows(pid, className, title);
            found = windows.empty() ? nullptr : windows.front();
            return found != nullptr;
        },
        timeout);
    return found;
}

bool WaitGone(HWND window, std::chrono::milliseconds timeout) {
    return WaitFor([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeout);
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

HWND ControlById(HWND parent, int id) {
    for (HWND child : Children(parent)) {
        if (GetDlgCtrlID(child) == id) return child;
    }
    return nullptr;
}

HWND ControlByText(HWND parent, const std::string& className, const std::string& text) {
    for (HWND child : Children(parent)) {
        if (ClassOf(child) != className) continue;
        if (text.empty() || TextOf(child) == text) return child;
    }
    return nullptr;
}

std::string ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return Narrow(name);
}

std::string TextOf(HWND window) {
    const auto length = SendWait(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const auto got =
        SendWait(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(got));
    return Narrow(text);
}

bool IsShown(HWND window) {
    return IsWindow(window) && IsWindowVisible(window);
}

RECT ScreenClientRect(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

SIZE ClientSize(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

void SetText(HWND control, const std::string& text) {
    const std::wstring wide = Wide(text);
    SendWait(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

void Click(HWND button) {
    PostMessageW(button, BM_CLICK, 0, 0);
}

void SetChecked(HWND checkBox, bool checked) {
    SendWait(checkBox, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool IsChecked(HWND checkBox) {
    return SendWait(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void PostKey(HWND target, UINT virtualKey) {
    const UINT scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    const LPARAM down = 1 | static_cast<LPARAM>(scan << 16);
    const LPARAM up = down | (1L << 30) | (1L << 31);
    PostMessageW(target, WM_KEYDOWN, virtualKey, down);
    // The program's loop translates the key itself (TranslateMessage): Enter, Esc, Tab and the
    // letters get their WM_CHAR there.
    PostMessageW(target, WM_KEYUP, virtualKey, up);
}

void PostChars(HWND target, const std::string& text) {
    for (wchar_t ch : Wide(text)) PostMessageW(target, WM_CHAR, ch, 1);
}

namespace {

// Windows queues the events of one SendInput call together, with no other input between them.
// Wine queues them one at a time, and a program that reads its X events in between may put its
// own input there: a window it has just shown reaches X only when the program next looks, and
// the X focus that follows makes Wine set Ctrl, Shift and Alt to what the X keyboard holds,
// which never saw SendInput's keys, so a chord's Ctrl was let go before its key. The thread of
// `window` is therefore held while the events are queued. Not for the test's own windows: its
// thread is the one sending.
void SendAtOnce(HWND window, std::vector<INPUT>& inputs) {
    DWORD pid = 0;
    const DWORD tid = GetWindowThreadProcessId(window, &pid);
    HANDLE thread = nullptr;
    if (pid != 0 && pid != GetCurrentProcessId()) {
        thread = OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT, FALSE, tid);
    }
    const bool held = thread && SuspendThread(thread) != static_cast<DWORD>(-1);
    if (held) {
        // SuspendThread only asks; asking for the context waits until the thread has stopped.
        CONTEXT context{};
        context.ContextFlags = CONTEXT_CONTROL;
        GetThreadContext(thread, &context);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (held) ResumeThread(thread);
    if (thread) CloseHandle(thread);
}

}  // namespace

void SendKeys(HWND window, std::initializer_list<WORD> modifiers, WORD virtualKey,
              const std::function<bool()>& taken) {
    if (!BringForward(window)) return;
    std::vector<INPUT> inputs;
    for (WORD modifier : modifiers) inputs.push_back(KeyInput(modifier, false));
    inputs.push_back(KeyInput(virtualKey, false));
    inputs.push_back(KeyInput(virtualKey, true));
    if (taken) {
        SendAtOnce(window, inputs);
        WaitFor(taken, 5s);
        inputs.clear();
    }
    for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) {
        inputs.push_back(KeyInput(*it, true));
    }
    SendAtOnce(window, inputs);
}

void PointerAside() {
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
}

namespace {

class TPointerAside final : public ::testing::Environment {
  public:
    void SetUp() override { PointerAside(); }
};

[[maybe_unused]] ::testing::Environment* const kPointerAside =
    ::testing::AddGlobalTestEnvironment(new TPointerAside);

}  // namespace

void SendText(HWND window, const std::string& text) {
    if (!BringForward(window)) return;
    std::vector<INPUT> inputs;
    for (wchar_t ch : Wide(text)) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wScan = static_cast<WORD>(ch);
        input.ki.dwFlags = KEYEVENTF_UNICODE;
        inputs.push_back(input);
        input.ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

TMessageBox WaitMessageBox(DWORD pid, std::chrono::milliseconds timeout) {
    TMessageBox box;
    box.Handle = WaitTopWindow(pid, "#32770", "", timeout);
    if (!box.Handle) return box;
    box.Title = TextOf(box.Handle);
    for (HWND child : Children(box.Handle)) {
        const std::string className = ClassOf(child);
        if (className == "Button") {
            box.Buttons.push_back(TextOf(child));
        } else if (className == "Static") {
            const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
            if ((style & SS_TYPEMASK) == SS_ICON) {
                // A box just shown may not have drawn its icon yet.
                WaitFor([&] { return (box.Icon = SystemIconShown(child)) != 0; });
            } else if (box.Text.empty()) {
                box.Text = TextOf(child);
            }
        }
    }
    return box;
}

bool AnswerBox(const TMessageBox& box, int buttonId) {
    if (!box.Handle) return false;
    PostMessageW(box.Handle, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), 0);
    return WaitFor([&] { return !IsWindow(box.Handle); });
}

TCapture CaptureWindow(HWND window, bool withFrame) {
    RECT rect{};
    if (withFrame) {
        GetWindowRect(window, &rect);
    } else {
        rect = ScreenClientRect(window);
    }
    TCapture capture;
    capture.Width = rect.right - rect.left;
    capture.Height = rect.bottom - rect.top;
    if (capture.Width <= 0 || capture.Height <= 0) return TCapture{};
    const LONG left = rect.left;
    const LONG top = rect.top;
    return DrawnPixels(capture.Width, capture.Height, [&](HDC memory, HDC screen) {
        BitBlt(memory, 0, 0, capture.Width, capture.Height, screen, left, top, SRCCOPY);
    });
}
