#include "winbase/WindowClass.h"

namespace {

TWindowTarget* TargetOf(HWND window) {
    return reinterpret_cast<TWindowTarget*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

template <LRESULT(CALLBACK* Default)(HWND, UINT, WPARAM, LPARAM)>
LRESULT CALLBACK WindowThunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    TWindowTarget* target = TargetOf(window);
    if (message == WM_NCDESTROY) DetachWindowTarget(window);
    return target ? target->WindowMessage(window, message, wParam, lParam)
                  : Default(window, message, wParam, lParam);
}

}  // namespace

bool RegisterWindowClass(const TWindowClass& windowClass) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, windowClass.Name, &existing)) return true;
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof cls;
    cls.style = windowClass.Style;
    cls.lpfnWndProc = windowClass.Dialog ? WindowThunk<DefDlgProcW> : WindowThunk<DefWindowProcW>;
    cls.cbWndExtra = windowClass.Dialog ? DLGWINDOWEXTRA : 0;
    cls.hInstance = instance;
    cls.hIcon = windowClass.Icon;
    cls.hIconSm = windowClass.SmallIcon;
    // The stock cursor is a number; the wide name carries it.
    cls.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    cls.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(windowClass.Background + 1));
    cls.lpszClassName = windowClass.Name;
    return RegisterClassExW(&cls) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CreateTargetWindow(TWindowTarget* target, DWORD exStyle, const wchar_t* className,
                        const wchar_t* title, DWORD style, int left, int top, int width, int height,
                        HWND owner) {
    // The creation parameter is the target itself, not the object around it, which may start
    // elsewhere: the window procedure reads it back as a target.
    return CreateWindowExW(exStyle, className, title, style, left, top, width, height, owner,
                           nullptr, GetModuleHandleW(nullptr), target);
}

void DetachWindowTarget(HWND window) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
}
