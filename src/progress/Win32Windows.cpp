// The Windows backend of the viewer's window layer: each viewer thread creates its own window of
// the viewer class and takes that window's messages itself, so the window stays painted and
// answers Esc while the program's thread is busy, and the program's message loop never sees it.

#include "winbase/WindowClass.h"  // windows.h first

#include <windowsx.h>

#include <deque>

#include "progress/ViewerWindow.h"
#include "text/Utf16.h"
#include "winbase/Dpi.h"

namespace {

constexpr const wchar_t* kViewerClassName = L"ProgressViewerFormClass";

class TWin32Window final : public IViewerWindow, private TWindowTarget {
  public:
    // The native window is created by Open, once the object exists to receive its messages.
    bool Open(const std::string& title, int left, int top, int width, int height) {
        const std::wstring caption = Wide(title);
        // A tool window has no taskbar button; a popup has no frame and no caption bar.
        Hwnd = CreateTargetWindow(this, WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kViewerClassName,
                                  caption.c_str(), WS_POPUP, left, top, width, height, nullptr);
        if (!Hwnd) {
            return false;
        }
        ShowWindow(Hwnd, SW_SHOW);
        // Esc must reach this window, not the busy program's window, which would take it only
        // after the long step. Our process owns the foreground, so this is allowed.
        SetForegroundWindow(Hwnd);
        SetFocus(Hwnd);
        return true;
    }

    ~TWin32Window() override {
        if (Hwnd) {
            // Called in the thread that created the window, as DestroyWindow requires.
            DetachWindowTarget(Hwnd);
            DestroyWindow(Hwnd);
        }
    }

    TViewerWindowHandle Handle() const override { return reinterpret_cast<std::uintptr_t>(Hwnd); }

    void Place(int left, int top, int width, int height) override {
        SetWindowPos(Hwnd, HWND_TOPMOST, left, top, width, height, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    }

    void Present(const TFramePixels& frame) override {
        if (frame.IsEmpty()) {
            return;
        }
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = frame.Width;
        info.bmiHeader.biHeight = -1;  // one top-down row per call: any row distance will do
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        HDC dc = GetDC(Hwnd);
        if (!dc) {
            return;
        }
        if (frame.BytesPerLine == static_cast<std::ptrdiff_t>(frame.Width) * 4) {
            // The usual case: the whole frame in one copy, so it never shows half drawn.
            info.bmiHeader.biHeight = -frame.Height;
            SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(frame.Width),
                              static_cast<DWORD>(frame.Height), 0, 0, 0,
                              static_cast<UINT>(frame.Height), frame.Bits, &info, DIB_RGB_COLORS);
        } else {
            for (int y = 0; y < frame.Height; ++y) {
                SetDIBitsToDevice(dc, 0, y, static_cast<DWORD>(frame.Width), 1, 0, 0, 0, 1,
                                  frame.Row(y), &info, DIB_RGB_COLORS);
            }
        }
        ReleaseDC(Hwnd, dc);
    }

    bool NextEvent(TWindowEvent& event) override {
        MSG message;
        // Never waits: the viewer thread draws its next frame on time whatever comes in.
        while (Events.empty() && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                continue;  // this thread has no loop of its own to end
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (Events.empty()) {
            return false;
        }
        event = Events.front();
        Events.pop_front();
        return true;
    }

    void Hide() override { ShowWindow(Hwnd, SW_HIDE); }

  private:
    // The window's messages, in this thread: the ones the viewer answers become its events.
    LRESULT WindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case WM_KEYDOWN:
                // Every key-down, auto-repeats included.
                if (wParam == VK_ESCAPE) Events.push_back({wekEscape, 0, 0});
                return 0;
            case WM_LBUTTONDOWN:
                Events.push_back({wekClick, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
                return 0;
            case WM_CLOSE:
                // Alt+F4 and other close requests end here: only Terminate closes the window.
                Events.push_back({wekClose, 0, 0});
                return 0;
            case WM_DPICHANGED: {
                // Sent to a per-monitor aware window only: it takes the suggested place and the
                // viewer lays itself out again for the new resolution.
                const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
                const TRect place{suggested->left, suggested->top,
                                  suggested->right - suggested->left,
                                  suggested->bottom - suggested->top};
                SetWindowPos(hwnd, nullptr, place.Left, place.Top, place.Width, place.Height,
                             SWP_NOZORDER | SWP_NOACTIVATE);
                Events.push_back({wekDpiChanged, HIWORD(wParam), 0, place});
                return 0;
            }
            case WM_ERASEBKGND:
                return 1;  // the frame covers every pixel
            case WM_PAINT: {
                PAINTSTRUCT paint;
                BeginPaint(hwnd, &paint);
                EndPaint(hwnd, &paint);
                Events.push_back({wekExpose, 0, 0});
                return 0;
            }
            default:
                return DefWindowProcW(hwnd, message, wParam, lParam);
        }
    }

    HWND Hwnd = nullptr;
    std::deque<TWindowEvent> Events;
};

class TWin32WindowSystem : public IViewerWindowSystem {
  public:
    // The window opens on the work area of the primary monitor, in the pixels of the program's
    // own awareness; a per-monitor aware program draws it sharp at that monitor's resolution.
    int Dpi() override { return PrimaryMonitorDpi(); }

    TWorkArea WorkArea() override {
        RECT area{};
        if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0)) {
            return kFallbackWorkArea;
        }
        return TWorkArea{area.left, area.top, area.right, area.bottom};
    }

    std::unique_ptr<IViewerWindow> CreateViewerWindow(const std::string& title, int left, int top,
                                                      int width, int height) override {
        auto window = std::make_unique<TWin32Window>();
        if (!window->Open(title, left, top, width, height)) {
            return nullptr;
        }
        return window;
    }
};

}  // namespace

bool RegisterPlatformViewerClass() {
    TWindowClass windowClass;
    windowClass.Name = kViewerClassName;
    windowClass.Style = CS_HREDRAW | CS_VREDRAW;
    // The stock resources are numbers; the narrow names carry them as well as the wide ones.
    windowClass.Icon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    windowClass.Background = COLOR_WINDOW;
    return RegisterWindowClass(windowClass);
}

std::unique_ptr<IViewerWindowSystem> OpenPlatformWindowSystem() {
    return std::make_unique<TWin32WindowSystem>();
}
