#include "win32/DataViewerWindow.h"

#include <commctrl.h>

#include <string>

#include "app/MainController.h"
#include "app/WindowTexts.h"
#include "text/Utf16.h"
#include "win32/GoodsList.h"

namespace {

constexpr wchar_t kClassName[] = L"TDataViewerForm";
// The client area at 96 dpi; the controls keep their distances to its edges from there.
constexpr int kDesignWidth = 725;
constexpr int kDesignHeight = 537;
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;

std::wstring Wide(std::string_view text) {
    const std::u16string wide = Utf8ToUtf16(text);
    return std::wstring(wide.begin(), wide.end());
}

HMENU MenuId(int id) {
    return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
}

HFONT Tahoma(int height, int weight) {
    return CreateFontW(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, L"Tahoma");
}

}  // namespace

struct TDataViewerWindow::TImpl {
    TImpl(HWND owner, TMainController& controller, std::function<void()> saveClick);
    ~TImpl();
    TImpl(const TImpl&) = delete;
    TImpl& operator=(const TImpl&) = delete;

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Message(UINT message, WPARAM wParam, LPARAM lParam);
    int Scaled(int pixels) const { return MulDiv(pixels, Dpi, 96); }
    HWND Button(const char* text, int id, int width);
    void Arrange();
    // "Закрыть", Esc and the window's close box: the main window's controller closes the viewer.
    void BitBtn1Click() { Controller.CloseViewerClick(); }
    // Presses the main window's save button, so the export runs with that window's inputs.
    void Button3Click() {
        if (SaveClick) SaveClick();
    }
    // Tab between the grid and the two buttons, in their focus order.
    void FocusNext(HWND from, bool back);
    // The control that gets the keyboard when the window is activated.
    HWND FocusTarget() const;

    TMainController& Controller;
    std::function<void()> SaveClick;
    HWND Owner;
    int Dpi = 96;
    HFONT Font = nullptr;
    HFONT BoldFont = nullptr;
    HWND Window = nullptr;
    HWND Label1 = nullptr;
    std::unique_ptr<TGoodsList> DBGrid1;
    HWND BitBtn1 = nullptr;
    HWND Button3 = nullptr;
    HWND Focused = nullptr;  // the control that had the keyboard when the window was deactivated
};

TDataViewerWindow::TImpl::TImpl(HWND owner, TMainController& controller,
                                std::function<void()> saveClick)
    : Controller(controller), SaveClick(std::move(saveClick)), Owner(owner) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW windowClass{};
    if (!GetClassInfoExW(instance, kClassName, &windowClass)) {
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = Proc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
        windowClass.hbrBackground =
            reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
        windowClass.lpszClassName = kClassName;
        RegisterClassExW(&windowClass);
    }

    const HDC screen = GetDC(nullptr);
    Dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    Font = Tahoma(Scaled(11), FW_NORMAL);
    BoldFont = Tahoma(Scaled(13), FW_BOLD);

    RECT frame{0, 0, Scaled(kDesignWidth), Scaled(kDesignHeight)};
    AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
    // Owned by the main window: no taskbar button, always in front of it.
    Window = CreateWindowExW(0, kClassName, Wide(kViewerCaption).c_str(), kStyle, CW_USEDEFAULT,
                             CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                             owner, nullptr, instance, this);

    const std::wstring label = Wide(kViewerLabel);
    Label1 = CreateWindowExW(0, L"STATIC", label.c_str(), WS_CHILD | WS_VISIBLE | SS_NOPREFIX, 0, 0,
                             0, 0, Window, MenuId(kLabel1Id), instance, nullptr);
    SendMessageW(Label1, WM_SETFONT, reinterpret_cast<WPARAM>(BoldFont), FALSE);
    const HDC dc = GetDC(Label1);
    const HGDIOBJ old = SelectObject(dc, BoldFont);
    SIZE size{};
    GetTextExtentPoint32W(dc, label.c_str(), static_cast<int>(label.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(Label1, dc);
    MoveWindow(Label1, Scaled(8), Scaled(8), size.cx, size.cy, FALSE);

    // Created in their focus order.
    DBGrid1 = std::make_unique<TGoodsList>(Window, kDBGrid1Id, Controller.mdGoods,
                                           Controller.CurrencyFormat(), Controller.Shell(), Font,
                                           [this] { BitBtn1Click(); });
    BitBtn1 = Button(kCloseButton, kBitBtn1Id, 75);
    Button3 = Button(kSaveButton, kButton3Id, 162);
    Focused = DBGrid1->Handle();
    Arrange();
    Controller.SetGrid(&DBGrid1->Controller());
}

TDataViewerWindow::TImpl::~TImpl() {
    Controller.SetGrid(nullptr);
    DBGrid1.reset();
    if (Window) DestroyWindow(Window);
    DeleteObject(Font);
    DeleteObject(BoldFont);
}

HWND TDataViewerWindow::TImpl::Button(const char* text, int id, int width) {
    const HWND button = CreateWindowExW(
        0, L"BUTTON", Wide(text).c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0,
        Scaled(width), Scaled(25), Window, MenuId(id), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(Font), FALSE);
    return button;
}

void TDataViewerWindow::TImpl::Arrange() {
    // The grid keeps its distance to all four edges; the buttons keep their bottom corners.
    RECT client{};
    GetClientRect(Window, &client);
    const int w = client.right;
    const int h = client.bottom;
    const int bottom = h - Scaled(kDesignHeight - 504);
    MoveWindow(DBGrid1->Handle(), Scaled(8), Scaled(30), w - Scaled(kDesignWidth - 709),
               h - Scaled(kDesignHeight - 463), TRUE);
    MoveWindow(BitBtn1, w - Scaled(kDesignWidth - 642), bottom, Scaled(75), Scaled(25), TRUE);
    MoveWindow(Button3, Scaled(8), bottom, Scaled(162), Scaled(25), TRUE);
}

void TDataViewerWindow::TImpl::FocusNext(HWND from, bool back) {
    const HWND order[] = {DBGrid1->Handle(), BitBtn1, Button3};
    int at = 0;
    for (int i = 0; i < 3; ++i) {
        if (from == order[i] || IsChild(order[i], from)) at = i;
    }
    SetFocus(order[(at + (back ? 2 : 1)) % 3]);
}

HWND TDataViewerWindow::TImpl::FocusTarget() const {
    if (Focused && IsWindow(Focused) && IsWindowVisible(Focused) && IsChild(Window, Focused)) {
        return Focused;
    }
    return DBGrid1->Handle();
}

LRESULT CALLBACK TDataViewerWindow::TImpl::Proc(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TImpl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    // Messages before the controls exist, and after the window went, are the system's.
    if (!self || !self->DBGrid1 || self->Window != window) {
        if (message == WM_NCDESTROY && self) self->Window = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->Message(message, wParam, lParam);
}

LRESULT TDataViewerWindow::TImpl::Message(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) {
                if (LOWORD(wParam) == kBitBtn1Id) BitBtn1Click();
                if (LOWORD(wParam) == kButton3Id) Button3Click();
            }
            return 0;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (header->hwndFrom == DBGrid1->Handle()) return DBGrid1->Notify(header);
            break;
        }
        case WM_CLOSE:
            // Closing only hides the viewer.
            BitBtn1Click();
            return 0;
        case WM_SIZE:
            Arrange();
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focus = GetFocus();
                if (focus && IsChild(Window, focus)) Focused = focus;
            } else {
                SetFocus(FocusTarget());
            }
            return 0;
        case WM_SETFOCUS:
            SetFocus(FocusTarget());
            return 0;
        case WM_CTLCOLORSTATIC: {
            const HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        case WM_NCDESTROY: {
            const HWND gone = Window;
            Window = nullptr;
            return DefWindowProcW(gone, message, wParam, lParam);
        }
        default:
            break;
    }
    return DefWindowProcW(Window, message, wParam, lParam);
}

TDataViewerWindow::TDataViewerWindow(HWND owner, TMainController& controller,
                                     std::function<void()> saveClick)
    : Impl(std::make_unique<TImpl>(owner, controller, std::move(saveClick))) {}

TDataViewerWindow::~TDataViewerWindow() = default;

void TDataViewerWindow::Show() {
    const HWND window = Impl->Window;
    if (!window) return;
    // The program's icon in the title bar, as the main window has it by now.
    if (!SendMessageW(window, WM_GETICON, ICON_SMALL, 0) && Impl->Owner) {
        for (const WPARAM kind : {WPARAM{ICON_SMALL}, WPARAM{ICON_BIG}}) {
            const LRESULT icon = SendMessageW(Impl->Owner, WM_GETICON, kind, 0);
            if (icon) SendMessageW(window, WM_SETICON, kind, icon);
        }
    }
    ShowWindow(window, IsIconic(window) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(window);
    BringWindowToTop(window);
}

void TDataViewerWindow::Hide() {
    if (Impl->Window) ShowWindow(Impl->Window, SW_HIDE);
}

HWND TDataViewerWindow::Handle() const {
    return Impl->Window;
}

bool TDataViewerWindow::PreTranslate(MSG& message) {
    const HWND window = Impl->Window;
    if (!window || message.message != WM_KEYDOWN) return false;
    if (message.hwnd != window && !IsChild(window, message.hwnd)) return false;
    const HWND grid = Impl->DBGrid1->Handle();
    const bool inGrid = message.hwnd == grid || IsChild(grid, message.hwnd);
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    // Tab moves between the grid's cells; Ctrl+Tab leaves the grid, as in a dialog.
    if (message.wParam == VK_TAB && (ctrl || !inGrid)) {
        Impl->FocusNext(message.hwnd, GetKeyState(VK_SHIFT) < 0);
        return true;
    }
    if (inGrid) return false;
    switch (message.wParam) {
        case VK_ESCAPE:
            Impl->BitBtn1Click();
            return true;
        case VK_RETURN:
            if (message.hwnd == Impl->BitBtn1) Impl->BitBtn1Click();
            if (message.hwnd == Impl->Button3) Impl->Button3Click();
            return message.hwnd == Impl->BitBtn1 || message.hwnd == Impl->Button3;
        default:
            return false;
    }
}
