#include "win32/DataViewerWindow.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <string>
#include <utility>

#include "app/FindBox.h"
#include "app/FindingsList.h"
#include "app/MainController.h"
#include "app/WindowLayout.h"
#include "app/WindowTexts.h"
#include "win32/GoodsList.h"
#include "win32/WideText.h"
#include "winbase/GdiObjects.h"
#include "winbase/WindowClass.h"

namespace {

constexpr wchar_t kClassName[] = L"TDataViewerForm";
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
// The findings list's one column is made as wide as the widest of this many first lines: wide
// enough to scroll to the end of every line of a usual list, and no slower for a million.
constexpr int kMeasuredLines = 500;

HMENU MenuId(int id) {
    return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
}

}  // namespace

struct TDataViewerWindow::TImpl final : private IFindingsView, private TWindowTarget {
    TImpl(HWND owner, TMainController& controller, std::function<void()> saveClick);
    ~TImpl() override;
    TImpl(const TImpl&) = delete;
    TImpl& operator=(const TImpl&) = delete;

    LRESULT WindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT Message(UINT message, WPARAM wParam, LPARAM lParam);
    int Scaled(int pixels) const { return MulDiv(pixels, Dpi, 96); }
    HWND Button(const char* text, int id, int width);
    HWND Child(const wchar_t* cls, const char* text, DWORD style, DWORD exStyle, int id);
    void CreatePanel();
    void Arrange();
    // "Закрыть", Esc and the window's close box: the main window's controller closes the viewer.
    void BitBtn1Click() { Controller.CloseViewerClick(); }
    // Presses the main window's save button, so the export runs with that window's inputs.
    void Button3Click() {
        if (SaveClick) SaveClick();
    }
    // Ctrl+F: the find box takes the keyboard. Enter there finds (again), F3 finds the next.
    void FindClick();
    void FindEnter();
    void FindNextClick();
    // A line of the findings list chosen: its row becomes the grid's current row.
    void FindingChosen(int line);
    // The findings list's lines and caption as the layer has them now.
    void FindingsChanged() override;
    void FitFindingsColumn();
    LRESULT FindingsNotify(NMHDR* header);
    // Tab between the grid, the two buttons, the find box and the findings list, in this order.
    void FocusNext(HWND from, bool back);
    // The control that gets the keyboard when the window is activated.
    HWND FocusTarget() const;

    TMainController& Controller;
    std::function<void()> SaveClick;
    HWND Owner;
    int Dpi = 96;
    TFont Font;
    TFont BoldFont;
    HWND Window = nullptr;
    HWND Label1 = nullptr;
    std::unique_ptr<TGoodsList> DBGrid1;
    HWND BitBtn1 = nullptr;
    HWND Button3 = nullptr;
    TFindingsList Findings;
    std::unique_ptr<TFindBox> Find;  // over the grid, made with it
    HWND lbFind = nullptr;
    HWND edFind = nullptr;
    HWND lbFindStatus = nullptr;
    HWND lbFindings = nullptr;
    HWND lstFindings = nullptr;
    HWND Focused = nullptr;  // the control that had the keyboard when the window was deactivated
};

TDataViewerWindow::TImpl::TImpl(HWND owner, TMainController& controller,
                                std::function<void()> saveClick)
    : Controller(controller),
      SaveClick(std::move(saveClick)),
      Owner(owner),
      Findings(controller.mdGoods, controller.Record) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    TWindowClass windowClass;
    windowClass.Name = kClassName;
    RegisterWindowClass(windowClass);

    const HDC screen = GetDC(nullptr);
    Dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    Font = TahomaFont(Scaled(11), FW_NORMAL);
    BoldFont = TahomaFont(Scaled(13), FW_BOLD);

    RECT frame{0, 0, Scaled(kViewerClientWidth), Scaled(kViewerClientHeight)};
    AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
    // Owned by the main window: no taskbar button, always in front of it.
    Window = CreateTargetWindow(this, 0, kClassName, Wide(kViewerCaption).c_str(), kStyle,
                                CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                                frame.bottom - frame.top, owner);

    const std::wstring label = Wide(kViewerLabel);
    Label1 = CreateWindowExW(0, L"STATIC", label.c_str(), WS_CHILD | WS_VISIBLE | SS_NOPREFIX, 0, 0,
                             0, 0, Window, MenuId(kLabel1Id), instance, nullptr);
    SendMessageW(Label1, WM_SETFONT, reinterpret_cast<WPARAM>(BoldFont.Get()), FALSE);
    const HDC dc = GetDC(Label1);
    const HGDIOBJ old = SelectObject(dc, BoldFont.Get());
    SIZE size{};
    GetTextExtentPoint32W(dc, label.c_str(), static_cast<int>(label.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(Label1, dc);
    const TPlace& place = kViewerControls[vwLabel1].Place;
    MoveWindow(Label1, Scaled(place.Left), Scaled(place.Top), size.cx, size.cy, FALSE);

    // Created in their focus order.
    DBGrid1 = std::make_unique<TGoodsList>(Window, kDBGrid1Id, Controller.mdGoods,
                                           Controller.CurrencyFormat(), Controller.Shell(),
                                           Font.Get(), [this] { BitBtn1Click(); });
    BitBtn1 = Button(kCloseButton, kBitBtn1Id, 75);
    Button3 = Button(kSaveButton, kButton3Id, 162);
    CreatePanel();
    Focused = DBGrid1->Handle();
    Arrange();
    Controller.SetGrid(&DBGrid1->Controller());
}

TDataViewerWindow::TImpl::~TImpl() {
    Findings.SetView(nullptr);
    Controller.SetGrid(nullptr);
    DBGrid1.reset();
    if (Window) DestroyWindow(Window);
}

HWND TDataViewerWindow::TImpl::Button(const char* text, int id, int width) {
    const HWND button = CreateWindowExW(
        0, L"BUTTON", Wide(text).c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0,
        Scaled(width), Scaled(25), Window, MenuId(id), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(Font.Get()), FALSE);
    return button;
}

HWND TDataViewerWindow::TImpl::Child(const wchar_t* cls, const char* text, DWORD style,
                                     DWORD exStyle, int id) {
    const HWND child =
        CreateWindowExW(exStyle, cls, Wide(text).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                        Window, MenuId(id), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(Font.Get()), FALSE);
    return child;
}

void TDataViewerWindow::TImpl::CreatePanel() {
    Find = std::make_unique<TFindBox>(DBGrid1->Controller());
    lbFind = Child(L"STATIC", TGridFind::kFindLabel, SS_LEFT | SS_NOPREFIX, 0, kLbFindId);
    edFind = Child(L"EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, kEdFindId);
    // The hint shows in the empty box (common controls 6, which the program's manifest asks for).
    SendMessageW(edFind, EM_SETCUEBANNER, TRUE,
                 reinterpret_cast<LPARAM>(Wide(TGridFind::kFindHint).c_str()));
    lbFindStatus = Child(L"STATIC", "", SS_LEFT | SS_NOPREFIX, 0, kLbFindStatusId);
    lbFindings = Child(L"STATIC", "", SS_LEFT | SS_NOPREFIX, 0, kLbFindingsId);
    lstFindings = Child(WC_LISTVIEWW, "",
                        WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_NOCOLUMNHEADER |
                            LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                        WS_EX_CLIENTEDGE, kLstFindingsId);
    ListView_SetExtendedListViewStyle(lstFindings, LVS_EX_FULLROWSELECT);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = Scaled(kFindPanelWidth);
    SendMessageW(lstFindings, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    Findings.SetView(this);
    FindingsChanged();
}

void TDataViewerWindow::TImpl::Arrange() {
    RECT client{};
    GetClientRect(Window, &client);
    const std::pair<TViewerControl, HWND> controls[] = {{vwDBGrid1, DBGrid1->Handle()},
                                                        {vwBitBtn1, BitBtn1},
                                                        {vwButton3, Button3},
                                                        {vwLbFind, lbFind},
                                                        {vwEdFind, edFind},
                                                        {vwLbFindStatus, lbFindStatus},
                                                        {vwLbFindings, lbFindings},
                                                        {vwLstFindings, lstFindings}};
    for (const auto& [control, handle] : controls) {
        const TPlace place = ViewerPlace(control, client.right, client.bottom, TScale{Dpi});
        MoveWindow(handle, place.Left, place.Top, place.Width, place.Height, TRUE);
    }
}

void TDataViewerWindow::TImpl::FindClick() {
    SetFocus(edFind);
    SendMessageW(edFind, EM_SETSEL, 0, -1);
}

void TDataViewerWindow::TImpl::FindEnter() {
    SetText(lbFindStatus, Find->Enter(TextOf(edFind)));
}

void TDataViewerWindow::TImpl::FindNextClick() {
    const std::optional<std::string> status = Find->Next();
    if (!status) return FindClick();
    SetText(lbFindStatus, *status);
}

void TDataViewerWindow::TImpl::FindingChosen(int line) {
    if (Findings.Choose(line, DBGrid1->Controller())) SetFocus(DBGrid1->Handle());
}

void TDataViewerWindow::TImpl::FindingsChanged() {
    SetText(lbFindings, FindingsCaption(Findings));
    // The list keeps only the number: each line is asked for when it is drawn.
    SendMessageW(lstFindings, LVM_SETITEMCOUNT, static_cast<WPARAM>(Findings.LineCount()),
                 LVSICF_NOSCROLL);
    FitFindingsColumn();
    InvalidateRect(lstFindings, nullptr, TRUE);
}

void TDataViewerWindow::TImpl::FitFindingsColumn() {
    const HDC dc = GetDC(lstFindings);
    const HGDIOBJ old = SelectObject(dc, Font.Get());
    int widest = 0;
    const int lines = std::min(Findings.LineCount(), kMeasuredLines);
    for (int line = 0; line < lines; ++line) {
        const std::wstring text = Wide(Findings.LineText(line));
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        widest = std::max(widest, static_cast<int>(size.cx));
    }
    SelectObject(dc, old);
    ReleaseDC(lstFindings, dc);
    RECT client{};
    GetClientRect(lstFindings, &client);
    ListView_SetColumnWidth(lstFindings, 0,
                            std::max(widest + Scaled(12), static_cast<int>(client.right)));
}

LRESULT TDataViewerWindow::TImpl::FindingsNotify(NMHDR* header) {
    switch (header->code) {
        case LVN_GETDISPINFOW: {
            LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
            if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return 0;
            const std::wstring text = Wide(Findings.LineText(item.iItem));
            const std::size_t length =
                std::min(text.size(), static_cast<std::size_t>(item.cchTextMax - 1));
            std::copy_n(text.data(), length, item.pszText);
            item.pszText[length] = L'\0';
            return 0;
        }
        case NM_CLICK:
        case NM_DBLCLK: {
            const int line = reinterpret_cast<NMITEMACTIVATE*>(header)->iItem;
            if (line >= 0) FindingChosen(line);
            return 0;
        }
        default:
            return 0;
    }
}

void TDataViewerWindow::TImpl::FocusNext(HWND from, bool back) {
    const HWND order[] = {DBGrid1->Handle(), BitBtn1, Button3, edFind, lstFindings};
    constexpr int count = static_cast<int>(std::size(order));
    int at = 0;
    for (int i = 0; i < count; ++i) {
        if (from == order[i] || IsChild(order[i], from)) at = i;
    }
    SetFocus(order[(at + (back ? count - 1 : 1)) % count]);
}

HWND TDataViewerWindow::TImpl::FocusTarget() const {
    if (Focused && IsWindow(Focused) && IsWindowVisible(Focused) && IsChild(Window, Focused)) {
        return Focused;
    }
    return DBGrid1->Handle();
}

LRESULT TDataViewerWindow::TImpl::WindowMessage(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
    // Messages before the controls exist, and after the window went, are the system's.
    if (!DBGrid1 || Window != window) {
        if (message == WM_NCDESTROY) Window = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return Message(message, wParam, lParam);
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
            if (header->hwndFrom == lstFindings) return FindingsNotify(header);
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
    // The find keys work wherever the keyboard is in the viewer, an open cell included (not with
    // Alt: Ctrl+Alt is AltGr, which types characters on some layouts).
    if (message.wParam == 'F' && ctrl && GetKeyState(VK_MENU) >= 0) {
        Impl->FindClick();
        return true;
    }
    if (message.wParam == VK_F3) {
        Impl->FindNextClick();
        return true;
    }
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
            if (message.hwnd == Impl->edFind) Impl->FindEnter();
            if (message.hwnd == Impl->lstFindings) {
                Impl->FindingChosen(ListView_GetNextItem(Impl->lstFindings, -1, LVNI_FOCUSED));
            }
            return message.hwnd == Impl->BitBtn1 || message.hwnd == Impl->Button3 ||
                   message.hwnd == Impl->edFind || message.hwnd == Impl->lstFindings;
        default:
            return false;
    }
}
