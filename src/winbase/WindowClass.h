#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

// A window's messages go to the object that created it: CreateWindowExW gets the object as its
// creation parameter, and the class's procedure hands every message from WM_NCCREATE to
// WM_NCDESTROY to it. Messages before and after go to the class's default procedure.
class TWindowTarget {
  public:
    virtual LRESULT WindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;

  protected:
    ~TWindowTarget() = default;
};

struct TWindowClass {
    const wchar_t* Name = nullptr;
    // A dialog-like window: room for the dialog manager's data, DefDlgProcW as the default.
    bool Dialog = false;
    UINT Style = 0;
    HICON Icon = nullptr;
    HICON SmallIcon = nullptr;
    int Background = COLOR_BTNFACE;  // a system colour index
};

// Registers the class in this module once; later calls, and a class already there, find it
// registered. False when the system refuses it.
bool RegisterWindowClass(const TWindowClass& windowClass);

// A window of a registered class whose messages go to `target`; null when it cannot be made.
HWND CreateTargetWindow(TWindowTarget* target, DWORD exStyle, const wchar_t* className,
                        const wchar_t* title, DWORD style, int left, int top, int width, int height,
                        HWND owner);

// No message reaches the window's target after this (called by a target that goes before its
// window does).
void DetachWindowTarget(HWND window);

// Owns a window of this thread made by CreateTargetWindow: destroys it when it goes, its target
// detached first, so that an owner declared after what its messages use goes before them. A
// window destroyed by the system (with its owner) is let go on WM_NCDESTROY with Release.
class TTargetWindow {
  public:
    TTargetWindow() = default;
    explicit TTargetWindow(HWND window) : Window(window) {}
    ~TTargetWindow() { Reset(); }
    TTargetWindow(TTargetWindow&& other) noexcept : Window(other.Release()) {}
    TTargetWindow& operator=(TTargetWindow&& other) noexcept {
        if (this != &other) {
            Reset();
            Window = other.Release();
        }
        return *this;
    }
    TTargetWindow(const TTargetWindow&) = delete;
    TTargetWindow& operator=(const TTargetWindow&) = delete;

    HWND Get() const { return Window; }
    explicit operator bool() const { return Window != nullptr; }
    // The window, no longer owned.
    HWND Release() {
        const HWND window = Window;
        Window = nullptr;
        return window;
    }
    void Reset() {
        if (const HWND window = Release()) {
            DetachWindowTarget(window);
            DestroyWindow(window);
        }
    }

  private:
    HWND Window = nullptr;
};
