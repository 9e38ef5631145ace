#include "win32/DataViewerWindow.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "app/MainController.h"
#include "app/ResultsViewerController.h"
#include "app/WindowLayout.h"
#include "app/WindowTexts.h"
#include "win32/Accessible.h"
#include "win32/GoodsList.h"
#include "win32/GoodsListKeys.h"
#include "win32/WideText.h"
#include "winbase/Dpi.h"
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

struct TDataViewerWindow::TImpl final : private IResultsViewerView, private TWindowTarget {
    TImpl(HWND owner, TMainController& controller, std::function<void()> saveClick);
    ~TImpl() override;
    TImpl(const TImpl&) = delete;
    TImpl& operator=(const TImpl&) = delete;

    LRESULT WindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT Message(UINT message, WPARAM wParam, LPARAM lParam);
    int Scaled(int pixels) const { return MulDiv(pixels, Dpi, 96); }
    // Fonts, Label1's size and the lists' columns for `dpi`.
    void ApplyDpi(int dpi);
    HWND Button(const char* text, int id, int width);
    HWND Child(const wchar_t* cls, const char* text, DWORD style, DWORD exStyle, int id);
    void CreatePanel();
    void Arrange();
    void FitFindingsColumn();
    LRESULT FindingsNotify(NMHDR* header);
    // The control that gets the keyboard when the window is activated.
    HWND FocusTarget() const;
    // Which of the viewer's controls holds `window`.
    TViewerControl ControlOf(HWND window) const;

    // IResultsViewerView
    void FindingsChanged() override;
    void FocusControl(TViewerControl control) override;
    void SelectFindText() override;
    std::string FindText() const override { return TextOf(edFind); }
    void ShowFindStatus(const std::string& text) override { SetText(lbFindStatus, text); }
    int FocusedFinding() const override;
    void PressMainSave() override {
        if (SaveClick) SaveClick();
    }

    std::function<void()> SaveClick;
    HWND Owner;
    int Dpi = 96;
    TFont Font;
    TFont BoldFont;
    // Declared after the fonts its controls draw in, so that it goes before them.
    TTargetWindow Window;
    HWND Label1 = nullptr;
    TResultsViewerController Viewer;
    std::unique_ptr<TGoodsList> DBGrid1;  // a view of the viewer's grid: it goes first
    HWND BitBtn1 = nullptr;
    HWND Button3 = nullptr;
    HWND lbFind = nullptr;
    HWND edFind = nullptr;
    HWND lbFindStatus = nullptr;
    HWND lbFindings = nullptr;
    HWND lstFindings = nullptr;
    HWND Focused = nullptr;  // the control that had the keyboard when the window was deactivated
};

TDataViewerWindow::TImpl::TImpl(HWND owner, TMainController& controller,
                                std::function<void()> saveClick)
    : SaveClick(std::move(saveClick)), Owner(owner), Viewer(controller, controller.Shell()) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    TWindowClass windowClass;
    windowClass.Name = kClassName;
    RegisterWindowClass(windowClass);

    // Owned by the main window: no taskbar button, always in front of it. Sized once it can be
    // asked for the resolution it is drawn at.
    Window = TTargetWindow(CreateTargetWindow(this, 0, kClassName, Wide(kViewerCaption).c_str(),
                                              kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                              kViewerClientWidth, kViewerClientHeight, owner));
    Dpi = WindowDpi(Window.Get());
    Font = TahomaFont(Scaled(11), FW_NORMAL);
    BoldFont = TahomaFont(Scaled(13), FW_BOLD);
    const SIZE frame =
        FrameSize(Scaled(kViewerClientWidth), Scaled(kViewerClientHeight), kStyle, 0, Dpi);
    SetWindowPos(Window.Get(), nullptr, 0, 0, frame.cx, frame.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    // Created in their focus order, each label right before what it names.
    Label1 = CreateWindowExW(0, L"STATIC", Wide(kViewerLabel).c_str(),
                             WS_CHILD | WS_VISIBLE | SS_NOPREFIX, 0, 0, 0, 0, Window.Get(),
                             MenuId(kLabel1Id), instance, nullptr);
    SendMessageW(Label1, WM_SETFONT, reinterpret_cast<WPARAM>(BoldFont.Get()), FALSE);
    DBGrid1 = std::make_unique<TGoodsList>(
        Window.Get(), kDBGrid1Id, Viewer.Grid(), Font.Get(), [this] { Viewer.BitBtn1Click(); },
        Dpi);
    // Label1 asks the operator to edit: the grid's name says what it holds.
    SetAccessibleName(DBGrid1->Handle(), kViewerCaption);
    BitBtn1 = Button(kCloseButton, kBitBtn1Id, 75);
    Button3 = Button(kSaveButton, kButton3Id, 162);
    CreatePanel();
    Focused = DBGrid1->Handle();
    ApplyDpi(Dpi);
    Arrange();
}

TDataViewerWindow::TImpl::~TImpl() {
    Viewer.SetView(nullptr);
    // The grid's list view notifies the window as it goes: the view is gone by then.
    DBGrid1.reset();
}

void TDataViewerWindow::TImpl::ApplyDpi(int dpi) {
    Dpi = dpi;
    // The controls draw in the old fonts until they have the new ones: those go at the end.
    const TFont oldFonts[] = {std::move(Font), std::move(BoldFont)};
    Font = TahomaFont(Scaled(11), FW_NORMAL);
    BoldFont = TahomaFont(Scaled(13), FW_BOLD);
    SendMessageW(Label1, WM_SETFONT, reinterpret_cast<WPARAM>(BoldFont.Get()), FALSE);
    for (const HWND control :
         {BitBtn1, Button3, lbFind, edFind, lbFindStatus, lbFindings, lstFindings}) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(Font.Get()), FALSE);
    }
    DBGrid1->SetFont(Font.Get(), dpi);

    // Label1 is as large as its text.
    const std::wstring label = Wide(kViewerLabel);
    const HDC dc = GetDC(Label1);
    const HGDIOBJ old = SelectObject(dc, BoldFont.Get());
    SIZE size{};
    GetTextExtentPoint32W(dc, label.c_str(), static_cast<int>(label.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(Label1, dc);
    const TPlace& place = kViewerControls[vwLabel1].Place;
    MoveWindow(Label1, Scaled(place.Left), Scaled(place.Top), size.cx, size.cy, FALSE);
    FitFindingsColumn();
    InvalidateRect(Window.Get(), nullptr, TRUE);
}

HWND TDataViewerWindow::TImpl::Button(const char* text, int id, int width) {
    const HWND button = CreateWindowExW(
        0, L"BUTTON", Wide(text).c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0,
        Scaled(width), Scaled(25), Window.Get(), MenuId(id), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(Font.Get()), FALSE);
    return button;
}

HWND TDataViewerWindow::TImpl::Child(const wchar_t* cls, const char* text, DWORD style,
                                     DWORD exStyle, int id) {
    const HWND child =
        CreateWindowExW(exStyle, cls, Wide(text).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                        Window.Get(), MenuId(id), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(Font.Get()), FALSE);
    return child;
}

void TDataViewerWindow::TImpl::CreatePanel() {
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
    // Its caption above shows the counts too: the list's name is the caption alone.
    SetAccessibleName(lstFindings, kFindingsLabel);
    Viewer.SetView(this);
    FindingsChanged();
}

void TDataViewerWindow::TImpl::Arrange() {
    RECT client{};
    GetClientRect(Window.Get(), &client);
    const std::pair<TViewerWidget, HWND> controls[] = {{vwDBGrid1, DBGrid1->Handle()},
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

void TDataViewerWindow::TImpl::FocusControl(TViewerControl control) {
    const HWND controls[] = {DBGrid1->Handle(), BitBtn1, Button3, edFind, lstFindings};
    if (control == vcOther) return;
    // The grid's open cell keeps the keyboard inside the grid.
    const HWND editor = DBGrid1->CellEditor();
    SetFocus(control == vcGrid && editor ? editor : controls[control]);
}

void TDataViewerWindow::TImpl::SelectFindText() {
    SendMessageW(edFind, EM_SETSEL, 0, -1);
}

int TDataViewerWindow::TImpl::FocusedFinding() const {
    return ListView_GetNextItem(lstFindings, -1, LVNI_FOCUSED);
}

TViewerControl TDataViewerWindow::TImpl::ControlOf(HWND window) const {
    const std::pair<HWND, TViewerControl> controls[] = {{DBGrid1->Handle(), vcGrid},
                                                        {BitBtn1, vcClose},
                                                        {Button3, vcSave},
                                                        {edFind, vcFind},
                                                        {lstFindings, vcFindings}};
    for (const auto& [control, kind] : controls) {
        if (window == control || IsChild(control, window)) return kind;
    }
    return vcOther;
}

void TDataViewerWindow::TImpl::FindingsChanged() {
    SetText(lbFindings, Viewer.FindingsCaption());
    // The list keeps only the number: each line is asked for when it is drawn.
    SendMessageW(lstFindings, LVM_SETITEMCOUNT, static_cast<WPARAM>(Viewer.Findings().LineCount()),
                 LVSICF_NOSCROLL);
    FitFindingsColumn();
    InvalidateRect(lstFindings, nullptr, TRUE);
}

void TDataViewerWindow::TImpl::FitFindingsColumn() {
    const HDC dc = GetDC(lstFindings);
    const HGDIOBJ old = SelectObject(dc, Font.Get());
    int widest = 0;
    const TFindingsList& findings = Viewer.Findings();
    const int lines = std::min(findings.LineCount(), kMeasuredLines);
    for (int line = 0; line < lines; ++line) {
        const std::wstring text = Wide(findings.LineText(line));
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
            const std::wstring text = Wide(Viewer.Findings().LineText(item.iItem));
            const std::size_t length =
                std::min(text.size(), static_cast<std::size_t>(item.cchTextMax - 1));
            std::copy_n(text.data(), length, item.pszText);
            item.pszText[length] = L'\0';
            return 0;
        }
        case NM_CLICK:
        case NM_DBLCLK: {
            const int line = reinterpret_cast<NMITEMACTIVATE*>(header)->iItem;
            if (line >= 0) Viewer.FindingChosen(line);
            return 0;
        }
        default:
            return 0;
    }
}

HWND TDataViewerWindow::TImpl::FocusTarget() const {
    if (Focused && IsWindow(Focused) && IsWindowVisible(Focused) &&
        IsChild(Window.Get(), Focused)) {
        return Focused;
    }
    return DBGrid1->Handle();
}

LRESULT TDataViewerWindow::TImpl::WindowMessage(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
    // Messages before the controls exist, and after the window went, are the system's.
    if (!DBGrid1 || Window.Get() != window) {
        // Destroyed with its owner, not by Window.
        if (message == WM_NCDESTROY && Window.Get() == window) Window.Release();
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return Message(message, wParam, lParam);
}

LRESULT TDataViewerWindow::TImpl::Message(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) {
                if (LOWORD(wParam) == kBitBtn1Id) Viewer.BitBtn1Click();
                if (LOWORD(wParam) == kButton3Id) Viewer.Button3Click();
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
            Viewer.BitBtn1Click();
            return 0;
        case WM_SIZE:
            Arrange();
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focus = GetFocus();
                if (focus && IsChild(Window.Get(), focus)) Focused = focus;
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
        case WM_DPICHANGED: {
            // Moved to a monitor of another resolution: fonts for it, and the window where the
            // system suggests (its WM_SIZE places the controls).
            ApplyDpi(HIWORD(wParam));
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(Window.Get(), nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_NCDESTROY:
            // Destroyed with its owner, not by Window.
            return DefWindowProcW(Window.Release(), message, wParam, lParam);
        default:
            break;
    }
    return DefWindowProcW(Window.Get(), message, wParam, lParam);
}

TDataViewerWindow::TDataViewerWindow(HWND owner, TMainController& controller,
                                     std::function<void()> saveClick)
    : Impl(std::make_unique<TImpl>(owner, controller, std::move(saveClick))) {}

TDataViewerWindow::~TDataViewerWindow() = default;

void TDataViewerWindow::Show() {
    const HWND window = Impl->Window.Get();
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
    // Focus cues as the last input asks: hidden after a click, shown after a key.
    SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEFOCUS), 0);
}

void TDataViewerWindow::Hide() {
    if (Impl->Window) ShowWindow(Impl->Window.Get(), SW_HIDE);
}

HWND TDataViewerWindow::Handle() const {
    return Impl->Window.Get();
}

bool TDataViewerWindow::PreTranslate(MSG& message) {
    const HWND window = Impl->Window.Get();
    if (!window || (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN)) {
        return false;
    }
    if (message.hwnd != window && !IsChild(window, message.hwnd)) return false;
    // Windows hides focus cues until the keyboard is used; from the first key on they show (the
    // system passes the change on to the controls only when the state changes).
    SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    if (message.message != WM_KEYDOWN) return false;
    return Impl->Viewer.Key(GridKeyPress(message.wParam), Impl->ControlOf(message.hwnd));
}
