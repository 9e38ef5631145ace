#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "text/Utf16.h"

// Drives another Windows program of ours from a test program: under Wine both run in the same
// prefix and on the same X display, so the test finds the program's windows and controls by
// class, title and control id and works them with real messages and keystrokes, never with pixel
// positions. Texts are UTF-8 here and UTF-16 at every system call.

using namespace std::chrono_literals;

// How long a test waits for a window to come or go before it fails (Wine's first window of a
// session can take seconds).
inline constexpr std::chrono::milliseconds kWindowWait = 20s;

// A program started by the test; ended hard, if it still runs, when this goes.
class TProgram {
  public:
    // Starts `program` with `arguments` in `folder` (empty: the test's own). Fails the calling
    // test (ADD_FAILURE) when it cannot start.
    TProgram(const std::string& program, const std::vector<std::string>& arguments,
             const std::string& folder = {});
    ~TProgram();
    TProgram(const TProgram&) = delete;
    TProgram& operator=(const TProgram&) = delete;

    DWORD Pid() const { return Info.dwProcessId; }
    bool Running() const;
    // Waits for its end; its exit code, or -1 when it still runs after `timeout`.
    int WaitExit(std::chrono::milliseconds timeout = kWindowWait);
    void Kill();

  private:
    PROCESS_INFORMATION Info{};
};

// Polls `probe` until it returns true or `timeout` passes; true when it did.
bool WaitFor(const std::function<bool()>& probe, std::chrono::milliseconds timeout = kWindowWait);

// The visible top-level windows of process `pid` with class `className` ("" for any) and title
// `title` ("" for any), in the system's Z order.
std::vector<HWND> TopWindows(DWORD pid, const std::string& className, const std::string& title);
// The first of them, waiting until there is one; nullptr after `timeout`.
HWND WaitTopWindow(DWORD pid, const std::string& className, const std::string& title,
                   std::chrono::milliseconds timeout = kWindowWait);
// Waits until `window` is hidden or destroyed; true when it is.
bool WaitGone(HWND window, std::chrono::milliseconds timeout = kWindowWait);

// Every descendant of `parent`, in the system's order (Z order within each level).
std::vector<HWND> Children(HWND parent);
// The descendant of `parent` with control id `id`; nullptr when there is none.
HWND ControlById(HWND parent, int id);
// The first descendant of class `className` whose text is `text` ("" for any).
HWND ControlByText(HWND parent, const std::string& className, const std::string& text);

std::string ClassOf(HWND window);
std::string TextOf(HWND window);
bool IsShown(HWND window);
// The window's client area on the screen.
RECT ScreenClientRect(HWND window);
// The client area's size.
SIZE ClientSize(HWND window);
// The window that has the keyboard focus in the thread that owns `window`.
HWND FocusOf(HWND window);

// Sets a control's text as a program would (WM_SETTEXT).
void SetText(HWND control, const std::string& text);
// Presses a button: BM_CLICK, posted, so a handler that opens a box does not block the test.
void Click(HWND button);
// Ticks or clears a check box (BM_SETCHECK).
void SetChecked(HWND checkBox, bool checked);
bool IsChecked(HWND checkBox);

// Keys, as posted messages to `target` (a control or window of the program): WM_KEYDOWN, the
// WM_CHAR that TranslateMessage would make, WM_KEYUP. The modifiers of PostKey cannot be posted
// (the target reads the keyboard state, not the message); use SendKeys for chords.
void PostKey(HWND target, UINT virtualKey);
void PostChars(HWND target, const std::string& text);

// Keystrokes through the system's input queue (SendInput): they go to the window that has the
// focus in the foreground window, with Shift, Ctrl or Alt held as listed, like a typing person.
// `window` is made the foreground window first (the calling test fails when it does not come).
// They are queued in order when these return and each goes to the focus of its time, so keys
// for one thread's windows may follow one another at once; wait for what they do.
// With `taken` the modifiers are held until it holds (at most 5 s): the program reads them when
// it takes the key, which on a loaded machine may be long after the key came. The program's
// thread is held while a call's keys are queued, so that under Wine nothing comes between them.
void SendKeys(HWND window, std::initializer_list<WORD> modifiers, WORD virtualKey,
              const std::function<bool()>& taken = {});
void SendText(HWND window, const std::string& text);

// Under Wine, the pointer entering a window (one that opens or closes under it) makes its program
// read Ctrl, Shift and Alt again from the X keyboard, which knows nothing of keys sent by
// SendInput: a chord then loses its modifiers half-way. So the pointer stays in the screen's
// bottom-right corner, where no window of the tests opens; a test program using this driver has
// it put there before its first test.
void PointerAside();

// A message box ("#32770") of process `pid`, its texts read from its controls.
struct TMessageBox {
    HWND Handle = nullptr;
    std::string Title;
    std::string Text;
    std::vector<std::string> Buttons;  // button captions, in order
    // The system icon it shows: IDI_ERROR, IDI_WARNING, IDI_INFORMATION, IDI_QUESTION as their
    // numbers (MAKEINTRESOURCE values); 0 for none or one not recognised.
    int Icon = 0;
};

// Waits for a message box of process `pid`; Handle is nullptr after `timeout`.
TMessageBox WaitMessageBox(DWORD pid, std::chrono::milliseconds timeout = kWindowWait);
// Answers a box with one of its buttons (IDOK, IDCANCEL...) and waits until it has gone; true
// when it went.
bool AnswerBox(const TMessageBox& box, int buttonId = IDOK);

// A capture of the screen area of `window` (its frame included when `withFrame`), as 32-bit
// pixels 0x00RRGGBB, row by row from the top.
struct TCapture {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Pixels;
    std::uint32_t At(int x, int y) const { return Pixels[y * Width + x]; }
};
TCapture CaptureWindow(HWND window, bool withFrame = false);
