#include "win32/MainWindow.h"

#include <commctrl.h>

#include <iterator>

#include "app/WindowLayout.h"
#include "app/WindowTexts.h"
#include "win32/Choosers.h"
#include "win32/DataViewerWindow.h"
#include "win32/MainWindowIds.h"
#include "win32/OemEdit.h"
#include "win32/RegionalCurrency.h"
#include "win32/WideText.h"

namespace {

// The browse button at the right end of a file name or folder box (inside the box's width).
constexpr int kBrowseWidth = 22;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;
constexpr UINT_PTR kMemoSubclass = 1;

// The instructions keep their line breaks; a multi-line box wants CR LF between lines.
std::wstring InstructionsText() {
    std::string text;
    for (const char* line : kInstructions) {
        if (!text.empty()) text += "\r\n";
        text += line;
    }
    return Wide(text);
}

// The instructions are read, not edited: Tab and Esc go to the window as in any other control,
// and the text is not selected whole when the focus arrives.
LRESULT CALLBACK MemoProc(HWND memo, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                          DWORD_PTR) {
    if (message == WM_GETDLGCODE) {
        return DefSubclassProc(memo, message, wParam, lParam) &
               ~(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_HASSETSEL);
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(memo, MemoProc, kMemoSubclass);
    return DefSubclassProc(memo, message, wParam, lParam);
}

HFONT TahomaOf(int pixels, int weight) {
    return CreateFontW(-pixels, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                       L"Tahoma");
}

// Whether every line of the instructions fits the memo's text area `area` in `font`, unwrapped.
bool InstructionsFit(HWND memo, HFONT font, const RECT& area) {
    HDC dc = GetDC(memo);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    bool fit =
        metrics.tmHeight * static_cast<LONG>(std::size(kInstructions)) <= area.bottom - area.top;
    for (const char* line : kInstructions) {
        const std::wstring text = Wide(line);
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        // The blank that ends some lines counts: the box wraps at it too.
        fit = fit && size.cx <= area.right - area.left;
    }
    SelectObject(dc, old);
    ReleaseDC(memo, dc);
    return fit;
}

// A label's size follows its text in its font.
void FitToText(HWND label, HFONT font) {
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, font);
    RECT rect{};
    const std::wstring text = Wide(TextOf(label));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
              DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    SetWindowPos(label, nullptr, 0, 0, rect.right, rect.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

TMainWindow::TMainWindow(HINSTANCE instance) : Main(Shell, ReadRegionalCurrency()) {
    static const ATOM windowClass = [instance] {
        WNDCLASSEXW cls{};
        cls.cbSize = sizeof(cls);
        cls.lpfnWndProc = WindowProc;
        // The dialog manager's own data: focus kept across activation, Enter on a focused button.
        cls.cbWndExtra = DLGWINDOWEXTRA;
        cls.hInstance = instance;
        cls.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
        cls.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                    GetSystemMetrics(SM_CXSMICON),
                                                    GetSystemMetrics(SM_CYSMICON), 0));
        cls.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
        cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        cls.lpszClassName = kMainWindowClass;
        return RegisterClassExW(&cls);
    }();
    (void)windowClass;

    HDC screen = GetDC(nullptr);
    Dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    Font = TahomaOf(MulDiv(11, Dpi, 96), FW_NORMAL);
    BoldFont = TahomaOf(MulDiv(11, Dpi, 96), FW_BOLD);

    RECT frame{0, 0, MulDiv(kMainClientWidth, Dpi, 96), MulDiv(kMainClientHeight, Dpi, 96)};
    AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
    Window = CreateWindowExW(kExStyle, kMainWindowClass, Wide(kMainCaption).c_str(), kStyle,
                             CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                             frame.bottom - frame.top, nullptr, nullptr, instance, this);
    Shell.SetHome(Window);
    CreateControls();
    Main.SetView(this);
    // After this window, whose goods table its grid shows; its save button presses this window's.
    Viewer = std::make_unique<TDataViewerWindow>(Window, Main, [this] {
        SendMessageW(Window, WM_COMMAND, MAKEWPARAM(mcBtnSaveToDBF, BN_CLICKED),
                     reinterpret_cast<LPARAM>(Control(mcBtnSaveToDBF)));
    });
}

TMainWindow::~TMainWindow() {
    Main.SetView(nullptr);
    // The viewer goes with the window, as on a close.
    if (Window) DestroyWindow(Window);
    DeleteObject(Font);
    DeleteObject(BoldFont);
    if (MemoFont) DeleteObject(MemoFont);
}

void TMainWindow::CreateControls() {
    const TMainInputs& start = Main.Defaults();
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(Window, GWLP_HINSTANCE));
    const TScale scale{Dpi};
    auto make = [&](const wchar_t* cls, const std::string& text, DWORD style, DWORD exStyle, int id,
                    const TPlace& place) {
        const TPlace at = scale(place);
        HWND control =
            CreateWindowExW(exStyle, cls, Wide(text).c_str(), WS_CHILD | WS_VISIBLE | style,
                            at.Left, at.Top, at.Width, at.Height, Window,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(Font), FALSE);
        return control;
    };
    auto place = [&](const wchar_t* cls, const std::string& text, DWORD style, DWORD exStyle,
                     TMainControl control) {
        return make(cls, text, style, exStyle, MainControlId(control), MainPlace(control));
    };
    auto label = [&](TMainControl control, const char* text) {
        FitToText(place(L"STATIC", text, SS_LEFT | SS_NOPREFIX, 0, control), Font);
    };
    auto edit = [&](int id, const std::string& text, const TPlace& at) {
        RestrictToOem(make(L"EDIT", text, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, id, at));
    };
    // A file name or folder box: the text box and its browse button share the box's width.
    auto nameBox = [&](TMainControl control, int browseId, const std::string& text) {
        const TPlace& box = MainPlace(control);
        edit(MainControlId(control), text,
             {box.Left, box.Top, box.Width - kBrowseWidth, box.Height});
        make(L"BUTTON", "...", BS_PUSHBUTTON, 0, browseId,
             {box.Left + box.Width - kBrowseWidth, box.Top, kBrowseWidth, box.Height});
    };
    auto checkBox = [&](TMainControl control, const char* text, bool checked) {
        HWND box = place(L"BUTTON", text, WS_TABSTOP | BS_AUTOCHECKBOX, 0, control);
        SendMessageW(box, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    };
    auto button = [&](TMainControl control, const char* text) {
        place(L"BUTTON", text, WS_TABSTOP | BS_PUSHBUTTON, 0, control);
    };

    HWND memo =
        place(L"EDIT", "", WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_LEFT,
              WS_EX_CLIENTEDGE, mwMemo1);
    FitInstructions(memo);
    SetWindowTextW(memo, InstructionsText().c_str());
    SetWindowSubclass(memo, MemoProc, kMemoSubclass, 0);

    label(mwLabel1, kPrintLabel);
    nameBox(mwEdOpenPRINT, mcBrowsePRINT, start.PrintFile);
    label(mwLabel2, kArticleLabel);
    nameBox(mwEdOpenARTICLE, mcBrowseARTICLE, start.ArticleFile);
    label(mwLabel6, kFolderLabel);
    nameBox(mwEdDBFFolder, mcBrowseDBFFolder, start.Folder);
    label(mwLabel3, kPrefixLabel);
    edit(mcEdBarCodePrefix, start.Prefix, MainPlace(mwEdBarCodePrefix));
    label(mwLabel4, kStartValueLabel);
    edit(mcEdBarCodeStartValue, start.StartValue, MainPlace(mwEdBarCodeStartValue));
    checkBox(mwCbEan13, kEan13Caption, start.Ean13);
    checkBox(mwCbWriteID, kWriteIDCaption, start.WriteID);
    label(mwLabel5, kNdsLabel);
    edit(mcEdNDSValue, start.NdsValue, MainPlace(mwEdNDSValue));

    HWND count =
        place(L"STATIC", InitialCountText(), SS_LEFT | SS_NOPREFIX, 0, mwLbBarCodesGeneratedCount);
    SendMessageW(count, WM_SETFONT, reinterpret_cast<WPARAM>(BoldFont), FALSE);
    FitToText(count, BoldFont);
    ShowWindow(count, SW_HIDE);

    button(mwButton1, kImportButton);
    button(mwButton2, kShowResultsButton);
    button(mwBtnSaveToDBF, kSaveButton);

    // Tab follows the order of the child windows: put the focusable ones in the focus order.
    HWND previous = HWND_TOP;
    for (const TMainControl control : kMainFocusOrder) {
        HWND next = Control(MainControlId(control));
        SetWindowPos(next, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = next;
    }
}

void TMainWindow::FitInstructions(HWND memo) {
    // The text keeps the Linux memo's margin of 4 pixels inside its frame (the box's own margin
    // follows the font and is wider).
    const int margin = MulDiv(4, Dpi, 96);
    SendMessageW(memo, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(margin, margin));
    RECT area{};
    SendMessageW(memo, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&area));
    // The instructions are read as their 17 lines: where this system's Tahoma is wider than the
    // one they were laid out in (Wine's own is), a pixel smaller keeps a line from breaking and
    // the last lines in view.
    for (int pixels = MulDiv(11, Dpi, 96) - 1;
         !InstructionsFit(memo, MemoFont ? MemoFont : Font, area) && pixels >= MulDiv(9, Dpi, 96);
         --pixels) {
        if (MemoFont) DeleteObject(MemoFont);
        MemoFont = TahomaOf(pixels, FW_NORMAL);
    }
    if (MemoFont) {
        SendMessageW(memo, WM_SETFONT, reinterpret_cast<WPARAM>(MemoFont), FALSE);
        SendMessageW(memo, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
                     MAKELPARAM(margin, margin));
    }
}

void TMainWindow::Show(int showCommand) {
    RECT frame{};
    GetWindowRect(Window, &frame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(Window, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(Window, showCommand);
    SetFocus(Control(mcMemo1));
    UpdateWindow(Window);
}

bool TMainWindow::PreTranslate(MSG& message) {
    if (Viewer && Viewer->PreTranslate(message)) return true;
    return Window && IsDialogMessageW(Window, &message);
}

LRESULT CALLBACK TMainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<TMainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->Window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TMainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefDlgProcW(window, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
}

LRESULT TMainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) Command(LOWORD(wParam));
            return 0;
        case WM_CTLCOLORSTATIC:
            // The read-only instructions keep the colours of text to read, not of the window.
            if (reinterpret_cast<HWND>(lParam) == Control(mcMemo1)) {
                HDC dc = reinterpret_cast<HDC>(wParam);
                SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
                SetBkColor(dc, GetSysColor(COLOR_WINDOW));
                return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
            }
            break;
        case WM_CLOSE:
            CloseRequested();
            return 0;
        case WM_SYSCOMMAND:
            // The system's close command (title bar menu, Alt+F4, the taskbar's close) is the same
            // request, whatever the default handling would make of it while a box is up.
            if ((wParam & 0xFFF0) == SC_CLOSE) {
                CloseRequested();
                return 0;
            }
            break;
        case WM_ENDSESSION:
            // The system may end the process any time after this returns; a handler's box that is
            // up keeps the window until it is answered, if the process lives that long.
            if (wParam) CloseRequested();
            return 0;
        case WM_DESTROY:
            Main.SetView(nullptr);
            Viewer.reset();
            PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrW(Window, GWLP_USERDATA, 0);
            Window = nullptr;
            break;
        default:
            break;
    }
    return DefDlgProcW(Window, message, wParam, lParam);
}

void TMainWindow::Command(int id) {
    switch (id) {
        case mcButton1:
            Main.ImportClick();
            break;
        case mcButton2:
            Main.ShowResultsClick();
            break;
        case mcBtnSaveToDBF:
            Main.SaveClick();
            break;
        // The choosers' modal loops hold a close of this window back, as a handler's box does.
        case mcBrowsePRINT:
            RunHandler(Shell, [this] { BrowseFile(mcEdOpenPRINT, PrintStart); });
            break;
        case mcBrowseARTICLE:
            RunHandler(Shell, [this] { BrowseFile(mcEdOpenARTICLE, ArticleStart); });
            break;
        case mcBrowseDBFFolder:
            RunHandler(Shell, [this] { BrowseFolder(); });
            break;
        default:
            // Enter and Esc (IDOK, IDCANCEL) do nothing here: the window has no default button.
            break;
    }
}

void TMainWindow::BrowseFile(int boxId, TFileChooserStart& start) {
    HWND box = Control(boxId);
    start.FollowBoxText(TextOf(box));
    if (const auto chosen = ChooseFileToOpen(Window, start.Folder(), start.Name())) {
        SetText(box, start.TakeChosenFile(*chosen));
    }
    SetFocus(box);
}

void TMainWindow::BrowseFolder() {
    HWND box = Control(mcEdDBFFolder);
    if (const auto chosen = ChooseFolder(Window, FolderChooserStart(TextOf(box)))) {
        SetText(box, *chosen);
    }
}

TMainInputs TMainWindow::Inputs() const {
    TMainInputs inputs;
    inputs.PrintFile = TextOf(Control(mcEdOpenPRINT));
    inputs.ArticleFile = TextOf(Control(mcEdOpenARTICLE));
    inputs.Folder = TextOf(Control(mcEdDBFFolder));
    inputs.Prefix = TextOf(Control(mcEdBarCodePrefix));
    inputs.StartValue = TextOf(Control(mcEdBarCodeStartValue));
    inputs.NdsValue = TextOf(Control(mcEdNDSValue));
    inputs.WriteID = SendMessageW(Control(mcCbWriteID), BM_GETCHECK, 0, 0) == BST_CHECKED;
    inputs.Ean13 = SendMessageW(Control(mcCbEan13), BM_GETCHECK, 0, 0) == BST_CHECKED;
    return inputs;
}

void TMainWindow::HideCount() {
    ShowWindow(Control(mcLbBarCodesGeneratedCount), SW_HIDE);
}

void TMainWindow::ShowCount(const std::string& text) {
    HWND count = Control(mcLbBarCodesGeneratedCount);
    SetText(count, text);
    FitToText(count, BoldFont);
    ShowWindow(count, SW_SHOW);
}

void TMainWindow::ShowViewer() {
    if (Viewer) Viewer->Show();
}

void TMainWindow::HideViewer() {
    if (Viewer) Viewer->Hide();
}

void TMainWindow::CloseRequested() {
    // Closing the main window ends the program at once, the viewer and any edit included.
    if (Window && Main.CloseRequested()) DestroyWindow(Window);
}

void TMainWindow::PostClose() {
    if (Window) PostMessageW(Window, WM_CLOSE, 0, 0);
}

void TMainWindow::Repaint() {
    // A pressed button is drawn released, and every window current, before the handler blocks
    // the thread.
    RedrawWindow(Window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    if (Viewer && IsWindowVisible(Viewer->Handle())) {
        RedrawWindow(Viewer->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
}
