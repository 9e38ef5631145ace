// Real windows of the Windows half under Wine on a virtual X display: run under xvfb-run with a
// 1280 x 1024 x 24 screen. Input is real: keystrokes and clicks through SendInput, close
// requests as messages; pixels come from a capture of the screen.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <numeric>
#include <vector>

#include "FrameImage.h"
#include "PixelProbe.h"
#include "WindowWait.h"
#include "progress/ProgressViewer.h"
#include "progress/ViewerLifetime.h"
#include "progress/ViewerWindow.h"

namespace {

using namespace std::chrono_literals;

int TextHeight(const TProgressViewer* viewer) {
    const auto lines = viewer->GetStrings();
    return std::accumulate(lines.begin(), lines.end(), 0,
                           [](int sum, const TViewerString& s) { return sum + s.Height; });
}

HWND FindViewerWindow() {
    return FindWindowW(L"ProgressViewerFormClass", L"ProgressWnd");
}

RECT WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

// What the screen shows inside `rect`, as the user sees it (other windows included).
TFrameImage CaptureScreen(const RECT& rect) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    TFrameImage image(TFramePixels{width, height, static_cast<std::ptrdiff_t>(width) * 4,
                                   static_cast<const std::uint8_t*>(bits)});
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return image;
}

void Keys(std::initializer_list<std::pair<WORD, bool>> strokes) {
    std::vector<INPUT> inputs;
    for (const auto& [key, up] : strokes) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// A left click at a point of the screen. The point travels with the button's input: under Wine,
// SetCursorPos moves the pointer only once the thread owning the window there takes the move, so
// a click sent right after it lands where the pointer was before.
void ClickAt(int x, int y) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT inputs[3]{};
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
        input.mi.dx = (x * 65536 + width - 1) / width;
        input.mi.dy = (y * 65536 + height - 1) / height;
        input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    }
    inputs[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
    inputs[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
    SendInput(3, inputs, sizeof(INPUT));
}

// The window that has the keyboard focus in the thread owning `window`.
HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus
                                                                              : nullptr;
}

class WineViewerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // Wine hands the Unix environment on: without a display there is no screen to test.
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display) {
            GTEST_SKIP() << "no X display";
        }
        SetViewerWindowSystemFactory(nullptr);
        // Out of the window's way (a click test leaves it there): a window opening under the
        // pointer makes Wine read the modifiers again from the X keyboard, which never saw the
        // keys sent here, and Alt+F4 would arrive as F4.
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    }

    void TearDown() override {
        if (Viewer) {
            Viewer->Terminate();
            Viewer = nullptr;
        }
        WaitForViewerThreads();
        EXPECT_TRUE(Eventually([] { return FindViewerWindow() == nullptr; }));
    }

    // Starts a viewer and waits until its window is shown at its laid-out size with its first
    // frame on the screen; nullptr when it is not.
    HWND StartViewer(bool showCancel = false) {
        Viewer = new TProgressViewer("Проверка окна", true, showCancel);
        Viewer->OnCancel = [this](TProgressViewer*) { ++Cancels; };
        HWND window = nullptr;
        const bool shown = Eventually([&] {
            window = FindViewerWindow();
            return window && IsWindowVisible(window) &&
                   WindowRect(window).bottom - WindowRect(window).top > kViewerMinHeight &&
                   Painted(window);
        });
        return shown ? window : nullptr;
    }

    // The viewer has taken the keyboard where it is shown, so keys typed now reach it.
    static bool HasTheKeyboard(HWND window) {
        return Eventually(
            [&] { return GetForegroundWindow() == window && FocusOf(window) == window; });
    }

    // The window's own picture has reached the screen: its black outline and its face.
    static bool Painted(HWND window) {
        const TFrameImage shot = CaptureScreen(WindowRect(window));
        return Pixel(shot, 0, 0) == kBlack && Pixel(shot, 1, 1) == kFace;
    }

    bool InputTaken(HWND window) {
        return ::InputTaken(*Viewer, [&] { return BarFill(CaptureScreen(WindowRect(window))); });
    }

    TProgressViewer* Viewer = nullptr;
    std::atomic<int> Cancels{0};
};

TEST_F(WineViewerTest,
       WindowIsAFramelessTopmostToolWindowAboveTheWorkAreaBottomAndGoesOnTerminate) {
    const HWND window = StartViewer();
    ASSERT_NE(window, nullptr);
    RECT area{};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0));
    const int height = TextHeight(Viewer) + 70;
    const RECT rect = WindowRect(window);
    EXPECT_EQ(rect.left, (area.right - area.left - 450) / 2);
    EXPECT_EQ(rect.top, area.bottom - height - 100);
    EXPECT_EQ(rect.right - rect.left, 450);
    EXPECT_EQ(rect.bottom - rect.top, height);

    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
    EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_THICKFRAME), static_cast<DWORD>(WS_POPUP));
    EXPECT_EQ(exStyle & WS_EX_TOPMOST, static_cast<DWORD>(WS_EX_TOPMOST));
    EXPECT_EQ(exStyle & WS_EX_TOOLWINDOW, static_cast<DWORD>(WS_EX_TOOLWINDOW));  // no taskbar
    // The window belongs to the viewer's thread, not to this one.
    EXPECT_NE(GetWindowThreadProcessId(window, nullptr), GetCurrentThreadId());

    Viewer->Terminate();
    Viewer = nullptr;
    EXPECT_TRUE(Eventually([] { return FindViewerWindow() == nullptr; }));
}

TEST_F(WineViewerTest, BarOnTheScreenIsFilledByTheTruncatedShareOf406Pixels) {
    const HWND window = StartViewer();
    ASSERT_NE(window, nullptr);
    const struct {
        double Percent;
        int Done;
    } cases[] = {{37.9, 153}, {60, 243}};
    for (const auto& step : cases) {
        Viewer->Percent = step.Percent;
        int done = -1;
        // This thread never pumps: every frame comes from the viewer's own thread.
        EXPECT_TRUE(Eventually([&] {
            done = BarFill(CaptureScreen(WindowRect(window)));
            return done == step.Done;
        })) << step.Percent;
        EXPECT_EQ(done, step.Done) << step.Percent;
    }
}

TEST_F(WineViewerTest, EscTypedIntoTheWindowCancelsOnceAndTheWindowStays) {
    const HWND window = StartViewer();
    ASSERT_NE(window, nullptr);
    // The viewer takes the focus when it is shown, so the keystroke reaches it.
    ASSERT_TRUE(HasTheKeyboard(window));
    Keys({{VK_ESCAPE, false}, {VK_ESCAPE, true}});
    ASSERT_TRUE(Eventually([&] { return Cancels >= 1; }));
    EXPECT_TRUE(Viewer->Cancelled);
    // Once the key's release is taken too, still one cancel for one press.
    ASSERT_TRUE(InputTaken(window));
    EXPECT_EQ(Cancels, 1);
    EXPECT_TRUE(IsWindowVisible(window));
}

TEST_F(WineViewerTest, AClickOnTheDrawnCancelButtonCancelsAndOneBesideItDoesNot) {
    const HWND window = StartViewer(true);
    ASSERT_NE(window, nullptr);
    const RECT rect = WindowRect(window);
    ClickAt(rect.right - 125, rect.bottom - 18);
    // The click on the button that must cancel comes after the one beside it.
    ClickAt(rect.right - 70, rect.bottom - 18);
    ASSERT_TRUE(Eventually([&] { return Cancels >= 1; }));
    ASSERT_TRUE(InputTaken(window));
    EXPECT_EQ(Cancels, 1);
    EXPECT_TRUE(IsWindowVisible(window));
}

TEST_F(WineViewerTest, CloseRequestsLeaveTheWindowOpen) {
    const HWND window = StartViewer();
    ASSERT_NE(window, nullptr);
    const struct {
        const char* Name;
        std::function<bool()> Ask;
    } requests[] = {
        {"WM_CLOSE", [&] { return PostMessageW(window, WM_CLOSE, 0, 0) != FALSE; }},
        {"SC_CLOSE", [&] { return PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0) != FALSE; }},
        {"Alt+F4",
         [&] {
             if (!HasTheKeyboard(window)) {
                 return false;
             }
             Keys({{VK_MENU, false}, {VK_F4, false}, {VK_F4, true}, {VK_MENU, true}});
             return true;
         }},
    };
    for (const auto& request : requests) {
        ASSERT_TRUE(request.Ask()) << request.Name;
        ASSERT_TRUE(InputTaken(window)) << request.Name;
        EXPECT_EQ(FindViewerWindow(), window) << request.Name;
        EXPECT_TRUE(IsWindowVisible(window)) << request.Name;
    }
    EXPECT_EQ(Cancels, 0);
    EXPECT_FALSE(Viewer->Cancelled);
}

// The program's window while a long step runs: shown, in front, and not pumping.
LRESULT CALLBACK BusyWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST_F(WineViewerTest, EscGoesToTheViewerWhileTheProgramsWindowIsBusy) {
    WNDCLASSW busyClass{};
    busyClass.lpfnWndProc = BusyWindowProc;
    busyClass.hInstance = GetModuleHandleW(nullptr);
    busyClass.lpszClassName = L"BusyProgramWindow";
    RegisterClassW(&busyClass);
    const HWND busy =
        CreateWindowExW(0, L"BusyProgramWindow", L"Busy", WS_POPUP | WS_VISIBLE, 100, 100, 300, 200,
                        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(busy, nullptr);
    SetForegroundWindow(busy);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&message);
    }
    ASSERT_EQ(GetForegroundWindow(), busy);

    // From here this thread only waits, as a handler does during a long step.
    const HWND window = StartViewer();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(HasTheKeyboard(window));
    Keys({{VK_ESCAPE, false}, {VK_ESCAPE, true}});
    ASSERT_TRUE(Eventually([&] { return Cancels >= 1; }));
    EXPECT_TRUE(Painted(window));

    // No key was left for the busy window to act on after the step.
    EXPECT_FALSE(PeekMessageW(&message, busy, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE));
    DestroyWindow(busy);
    UnregisterClassW(L"BusyProgramWindow", GetModuleHandleW(nullptr));
}

}  // namespace
