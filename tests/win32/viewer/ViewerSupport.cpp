#include "ViewerSupport.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "text/Utf16.h"

namespace {

INPUT KeyInput(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

TDisplayRequests* ActiveRequests = nullptr;

// Typed after a test's own keys: once it comes out of this thread's queue, so have they.
constexpr WORD kInputMarker = VK_F24;

}  // namespace

void TViewerHost::ShowViewer() {
    if (Viewer) Viewer->Show();
}

void TViewerHost::HideViewer() {
    if (Viewer) Viewer->Hide();
}

TViewerFixture::TViewerFixture(const TRegionalCurrency& regional, bool import)
    : Shell(Log, "C:\\kelva\\KELVA2LARMIS.exe") {
    CopyFixture("app_ARTICLE.TXT", Folder.Path(), "ARTICLE.TXT");
    CopyFixture("app_PRINT.TXT", Folder.Path(), "PRINT.TXT");
    std::filesystem::create_directory(Folder.Path() / "out");
    Host.Typed.ArticleFile = Folder.File("ARTICLE.TXT");
    Host.Typed.PrintFile = Folder.File("PRINT.TXT");
    Host.Typed.Folder = Folder.File("out");
    Controller = std::make_unique<TMainController>(Shell, regional);
    Controller->SetView(&Host);
    // Out of every window's way: a window opening under the pointer makes Wine read the
    // modifiers again from the X keyboard, which never saw the keys sent here.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    Owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300,
                            200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    Viewer = std::make_unique<TDataViewerWindow>(Owner, *Controller,
                                                 [this] { Controller->SaveClick(); });
    Host.Viewer = Viewer.get();
    if (import) Controller->ImportClick();
    Pump();
    if (import) WaitUntilActive();
}

void TViewerFixture::ShowViewer() {
    Controller->ShowResultsClick();
    Pump();
    WaitUntilActive();
}

void TViewerFixture::WaitUntilActive() {
    // A window manager activates a window when it has mapped it, a little later.
    const DWORD start = GetTickCount();
    while (GetActiveWindow() != Window()) {
        if (GetTickCount() - start > 10000) {
            ADD_FAILURE() << "the viewer did not become the active window";
            return;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        Pump();
    }
}

TViewerFixture::~TViewerFixture() {
    Host.Viewer = nullptr;
    Viewer.reset();
    DestroyWindow(Owner);
    Pump();
}

void TViewerFixture::Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) Dispatch(message);
}

void TViewerFixture::Dispatch(MSG& message) {
    if (Viewer && Viewer->PreTranslate(message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void TViewerFixture::Send(std::vector<INPUT> inputs) {
    inputs.push_back(KeyInput(kInputMarker, false));
    inputs.push_back(KeyInput(kInputMarker, true));
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    // Input goes to the thread of the foreground window: if that is not this one, the marker
    // never comes.
    const DWORD start = GetTickCount();
    MSG message;
    for (;;) {
        if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (GetTickCount() - start > 10000) {
                ADD_FAILURE() << "the keys did not reach the viewer; in front: "
                              << TextOf(GetForegroundWindow());
                return;
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        } else if (message.wParam != kInputMarker ||
                   (message.message != WM_KEYDOWN && message.message != WM_KEYUP)) {
            Dispatch(message);
        } else if (message.message == WM_KEYUP) {
            break;
        }
    }
    // What the keys posted in turn.
    Pump();
}

void TViewerFixture::Key(WORD key, bool ctrl, bool shift, bool alt) {
    std::vector<INPUT> inputs;
    if (ctrl) inputs.push_back(KeyInput(VK_CONTROL, false));
    if (shift) inputs.push_back(KeyInput(VK_SHIFT, false));
    if (alt) inputs.push_back(KeyInput(VK_MENU, false));
    inputs.push_back(KeyInput(key, false));
    inputs.push_back(KeyInput(key, true));
    if (alt) inputs.push_back(KeyInput(VK_MENU, true));
    if (shift) inputs.push_back(KeyInput(VK_SHIFT, true));
    if (ctrl) inputs.push_back(KeyInput(VK_CONTROL, true));
    Send(std::move(inputs));
}

void TViewerFixture::Type(const std::string& text) {
    for (const wchar_t character : Wide(text)) {
        std::vector<INPUT> inputs(2);
        for (INPUT& input : inputs) {
            input.type = INPUT_KEYBOARD;
            input.ki.wScan = character;
            input.ki.dwFlags = KEYEVENTF_UNICODE;
        }
        inputs[1].ki.dwFlags |= KEYEVENTF_KEYUP;
        Send(std::move(inputs));
    }
}

void TViewerFixture::Click(int row, int column, bool twice) {
    RECT cell{};
    ListView_GetSubItemRect(Grid(), row, column + 1, LVIR_BOUNDS, &cell);
    const LPARAM point = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    PostMessageW(Grid(), WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageW(Grid(), WM_LBUTTONUP, 0, point);
    if (twice) {
        PostMessageW(Grid(), WM_LBUTTONDBLCLK, MK_LBUTTON, point);
        PostMessageW(Grid(), WM_LBUTTONUP, 0, point);
    }
    Pump();
}

void TViewerFixture::Press(int id) {
    // A button's click as the mouse makes it: the button takes the keyboard first.
    SendMessageW(Control(id), BM_CLICK, 0, 0);
    Pump();
}

int TViewerFixture::RowCount() const {
    return ListView_GetItemCount(Grid());
}

std::string TViewerFixture::Cell(int row, int column) const {
    wchar_t text[300]{};
    LVITEMW item{};
    item.iSubItem = column + 1;
    item.pszText = text;
    item.cchTextMax = 300;
    SendMessageW(Grid(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
    return Narrow(text);
}

std::string TViewerFixture::Marker(int row) const {
    return Cell(row, -1);
}

std::vector<std::string> TViewerFixture::Titles() const {
    std::vector<std::string> titles;
    const HWND header = ListView_GetHeader(Grid());
    const int count = Header_GetItemCount(header);
    for (int column = 1; column < count; ++column) {
        wchar_t text[64]{};
        LVCOLUMNW facts{};
        facts.mask = LVCF_TEXT;
        facts.pszText = text;
        facts.cchTextMax = 64;
        SendMessageW(Grid(), LVM_GETCOLUMNW, static_cast<WPARAM>(column),
                     reinterpret_cast<LPARAM>(&facts));
        titles.push_back(Narrow(text));
    }
    return titles;
}

namespace {

std::vector<std::pair<int, int>>* DrawnCells = nullptr;

LRESULT CALLBACK DrawHook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && DrawnCells && call->message == WM_NOTIFY) {
        const auto* draw = reinterpret_cast<const NMLVCUSTOMDRAW*>(call->lParam);
        if (draw->nmcd.hdr.code == NM_CUSTOMDRAW &&
            draw->nmcd.dwDrawStage == (CDDS_ITEMPREPAINT | CDDS_SUBITEM) && draw->iSubItem > 0 &&
            draw->clrTextBk != GetSysColor(COLOR_WINDOW)) {
            DrawnCells->emplace_back(static_cast<int>(draw->nmcd.dwItemSpec), draw->iSubItem - 1);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

std::pair<int, int> TViewerFixture::DrawnCurrentCell() {
    std::vector<std::pair<int, int>> cells;
    DrawnCells = &cells;
    const HHOOK hook =
        SetWindowsHookExW(WH_CALLWNDPROCRET, DrawHook, nullptr, GetCurrentThreadId());
    InvalidateRect(Grid(), nullptr, TRUE);
    UpdateWindow(Grid());
    UnhookWindowsHookEx(hook);
    DrawnCells = nullptr;
    if (cells.size() != 1) return {-1, static_cast<int>(cells.size())};
    return cells.front();
}

HWND TViewerFixture::Editor() const {
    const HWND focus = GetFocus();
    wchar_t name[16]{};
    if (!focus || GetParent(focus) != Grid() || !IsWindowVisible(focus)) return nullptr;
    GetClassNameW(focus, name, 16);
    return lstrcmpiW(name, L"Edit") == 0 ? focus : nullptr;
}

std::string TViewerFixture::EditorText() const {
    const HWND editor = Editor();
    return editor ? TextOf(editor) : std::string("(no editor)");
}

std::vector<std::string> TViewerFixture::Directory() const {
    return DbfRecords(Folder.File("out/Справочник.dbf"));
}

WORD VirtualKeyOf(TGridKey key) {
    switch (key) {
        case grInsert:
            return VK_INSERT;
        case grDelete:
            return VK_DELETE;
        case grUp:
            return VK_UP;
        case grDown:
            return VK_DOWN;
        case grPageUp:
            return VK_PRIOR;
        case grPageDown:
            return VK_NEXT;
        case grTab:
        case grBacktab:
            return VK_TAB;
        case grEnter:
            return VK_RETURN;
        case grF2:
            return VK_F2;
        case grEscape:
            return VK_ESCAPE;
        case grLeft:
            return VK_LEFT;
        case grRight:
            return VK_RIGHT;
        case grHome:
            return VK_HOME;
        case grEnd:
            return VK_END;
        default:
            return 0;
    }
}

RECT PlaceOf(HWND window) {
    RECT place{};
    GetWindowRect(window, &place);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

TDisplayRequests::TDisplayRequests()
    : Handle(SetWindowsHookExW(WH_CALLWNDPROC, Hook, nullptr, GetCurrentThreadId())) {
    ActiveRequests = this;
}

TDisplayRequests::~TDisplayRequests() {
    UnhookWindowsHookEx(Handle);
    ActiveRequests = nullptr;
}

LRESULT CALLBACK TDisplayRequests::Hook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && ActiveRequests && call->message == WM_NOTIFY) {
        const auto* info = reinterpret_cast<const NMLVDISPINFOW*>(call->lParam);
        if (info->hdr.code == LVN_GETDISPINFOW) ActiveRequests->Rows.push_back(info->item.iItem);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
