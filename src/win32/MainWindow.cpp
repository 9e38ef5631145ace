#include "win32/MainWindow.h"

#include <commctrl.h>

#include <iterator>
#include <vector>

#include "app/WindowLayout.h"
#include "app/WindowTexts.h"
#include "win32/Accessible.h"
#include "win32/Choosers.h"
#include "win32/DataViewerWindow.h"
#include "win32/MainWindowIds.h"
#include "win32/OemEdit.h"
#include "win32/RegionalCurrency.h"
#include "win32/WideText.h"
#include "winbase/Dpi.h"
#include "winbase/WindowClass.h"

namespace {

// The browse button at the right end of a file name or folder box (inside the box's width).
constexpr int kBrowseWidth = 22;
constexpr DWORD kMainStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
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

// The size of a control's text in `font`, on one line.
SIZE TextSize(HWND control, HFONT font) {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, font);
    RECT rect{};
    const std::wstring text = Wide(TextOf(control));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
              DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return {rect.right, rect.bottom};
}

// A label's size follows its text in its font.
void FitToText(HWND label, HFONT font) {
    const SIZE size = TextSize(label, font);
    SetWindowPos(label, nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The control's rectangle in its parent's client area.
TPlace PlaceOf(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace

TMainWindow::TMainWindow(HINSTANCE instance) : Main(Shell, ReadRegionalCurrency()) {
    TWindowClass cls;
    cls.Name = kMainWindowClass;
    // The dialog manager's own data: focus kept across activation, Enter on a focused button.
    cls.Dialog = true;
    cls.Icon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    cls.SmallIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                  GetSystemMetrics(SM_CXSMICON),
                                                  GetSystemMetrics(SM_CYSMICON), 0));
    RegisterWindowClass(cls);

    // Made on the primary monitor, where Show centres it, and sized for that monitor's
    // resolution once the window can be asked for it.
    Window = CreateTargetWindow(this, kExStyle, kMainWindowClass, Wide(kMainCaption).c_str(),
                                kMainStyle, 0, 0, kMainClientWidth, kMainClientHeight, nullptr);
    Shell.SetHome(Window);
    CreateControls();
    ApplyDpi(WindowDpi(Window));
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
}

void TMainWindow::CreateControls() {
    const TMainInputs& start = Main.Defaults();
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(Window, GWLP_HINSTANCE));
    // Made in the window order: the focus order, each label right before its box, where screen
    // readers look for a box's name; Tab follows the same order through the boxes.
    auto make = [&](const wchar_t* cls, const std::string& text, DWORD style, DWORD exStyle,
                    int id) {
        return CreateWindowExW(exStyle, cls, Wide(text).c_str(), WS_CHILD | WS_VISIBLE | style, 0,
                               0, 0, 0, Window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               instance, nullptr);
    };
    auto label = [&](TMainControl control, const std::string& text) {
        make(L"STATIC", text, SS_LEFT | SS_NOPREFIX, 0, MainControlId(control));
    };
    auto edit = [&](TMainControl control, const std::string& text) {
        RestrictToOem(make(L"EDIT", text, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
                           MainControlId(control)));
    };
    auto checkBox = [&](TMainControl control, const char* text, bool checked) {
        HWND box = make(L"BUTTON", text, WS_TABSTOP | BS_AUTOCHECKBOX, 0, MainControlId(control));
        SendMessageW(box, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    };
    auto button = [&](TMainControl control, const char* text) {
        make(L"BUTTON", text, WS_TABSTOP | BS_PUSHBUTTON, 0, MainControlId(control));
    };
    // A file name or folder box: the text box and its browse button, named for screen readers.
    auto nameBox = [&](TMainControl control, int browseId, const std::string& text,
                       const char* browseName) {
        edit(control, text);
        SetAccessibleName(make(L"BUTTON", "...", BS_PUSHBUTTON, 0, browseId), browseName);
    };

    for (const TMainControl control : kMainFocusOrder) {
        switch (control) {
            case mwMemo1: {
                HWND memo = make(L"EDIT", "",
                                 WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_LEFT,
                                 WS_EX_CLIENTEDGE, mcMemo1);
                SetWindowTextW(memo, InstructionsText().c_str());
                SetWindowSubclass(memo, MemoProc, kMemoSubclass, 0);
                break;
            }
            case mwEdOpenPRINT:
                label(mwLabel1, kPrintLabel);
                nameBox(control, mcBrowsePRINT, start.PrintFile, kBrowsePrintName);
                break;
            case mwEdOpenARTICLE:
                label(mwLabel2, kArticleLabel);
                nameBox(control, mcBrowseARTICLE, start.ArticleFile, kBrowseArticleName);
                break;
            case mwEdDBFFolder:
                label(mwLabel6, kFolderLabel);
                nameBox(control, mcBrowseDBFFolder, start.Folder, kBrowseFolderName);
                break;
            case mwEdBarCodePrefix:
                label(mwLabel3, kPrefixLabel);
                edit(control, start.Prefix);
                break;
            case mwEdBarCodeStartValue:
                label(mwLabel4, kStartValueLabel);
                edit(control, start.StartValue);
                break;
            case mwEdNDSValue:
                label(mwLabel5, kNdsLabel);
                edit(control, start.NdsValue);
                break;
            case mwCbWriteID:
                checkBox(control, kWriteIDCaption, start.WriteID);
                break;
            case mwCbEan13:
                checkBox(control, kEan13Caption, start.Ean13);
                break;
            case mwButton1:
                button(control, kImportButton);
                break;
            case mwButton2:
                button(control, kShowResultsButton);
                break;
            case mwBtnSaveToDBF:
                button(control, kSaveButton);
                break;
            default:
                break;
        }
    }
    ShowWindow(
        make(L"STATIC", InitialCountText(), SS_LEFT | SS_NOPREFIX, 0, mcLbBarCodesGeneratedCount),
        SW_HIDE);
}

void TMainWindow::ApplyDpi(int dpi) {
    Dpi = dpi;
    const TScale scale{dpi};
    // The controls still draw in the fonts of the old resolution until they are given the new
    // ones: those go when this returns.
    const TFont oldFonts[] = {std::move(Font), std::move(BoldFont), std::move(MemoFont)};
    const std::vector<TFont> oldFitted = std::move(FittedFonts);
    FittedFonts.clear();
    Font = TahomaFont(scale(11), FW_NORMAL);
    BoldFont = TahomaFont(scale(11), FW_BOLD);

    const SIZE frame =
        FrameSize(scale(kMainClientWidth), scale(kMainClientHeight), kMainStyle, kExStyle, dpi);
    SetWindowPos(Window, nullptr, 0, 0, frame.cx, frame.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    auto put = [&](int id, const TPlace& design, HFONT font) {
        HWND control = Control(id);
        const TPlace at = scale(design);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SetWindowPos(control, nullptr, at.Left, at.Top, at.Width, at.Height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        // A label is as large as its text.
        if (design.Width == 0) FitToText(control, font);
    };
    for (const TMainControlPlace& entry : kMainControls) {
        const int id = MainControlId(entry.Control);
        const TPlace& box = entry.Place;
        int browseId = 0;
        if (entry.Control == mwEdOpenPRINT) browseId = mcBrowsePRINT;
        if (entry.Control == mwEdOpenARTICLE) browseId = mcBrowseARTICLE;
        if (entry.Control == mwEdDBFFolder) browseId = mcBrowseDBFFolder;
        if (browseId) {
            // The text box and its browse button share the box's width.
            put(id, {box.Left, box.Top, box.Width - kBrowseWidth, box.Height}, Font.Get());
            put(browseId, {box.Left + box.Width - kBrowseWidth, box.Top, kBrowseWidth, box.Height},
                Font.Get());
        } else {
            put(id, box, entry.Control == mwLbBarCodesGeneratedCount ? BoldFont.Get() : Font.Get());
        }
    }
    FitInstructions(Control(mcMemo1));
    FitTexts();
    InvalidateRect(Window, nullptr, TRUE);
}

void TMainWindow::FitTexts() {
    const TScale scale{Dpi};
    std::vector<TPlace> places;
    for (const TMainControlPlace& entry : kMainControls) {
        places.push_back(PlaceOf(Control(MainControlId(entry.Control))));
    }
    const int limit = scale(kMainClientWidth - 8);
    // The check box's square (13 pixels at 96 dpi) and the room between it and the text.
    const int checkRoom = scale(18);
    const int buttonRoom = scale(12);
    for (const TMainControlPlace& entry : kMainControls) {
        const bool isLabel = entry.Place.Width == 0;
        const bool isCheckBox = entry.Control == mwCbEan13 || entry.Control == mwCbWriteID;
        const bool isButton = entry.Control == mwButton1 || entry.Control == mwButton2 ||
                              entry.Control == mwBtnSaveToDBF;
        if (!isLabel && !isCheckBox && !isButton) continue;
        HWND control = Control(MainControlId(entry.Control));
        TPlace& place = places[entry.Control];
        const int room = isCheckBox ? checkRoom : isButton ? buttonRoom : 0;
        const int widest = RightLimit(place, places, limit, scale(4)) - place.Left;
        const bool bold = entry.Control == mwLbBarCodesGeneratedCount;
        HFONT font = bold ? BoldFont.Get() : Font.Get();
        int pixels = scale(11);
        // Where the design's pixels are too tight for the scaled text, the control grows to
        // the next control or the window's edge, and past that the text gets a smaller font.
        // A label cannot grow: its text ends where the next control begins. At the design's own
        // resolution every rectangle stays the design's; a text too wide for it gets a smaller
        // font.
        const int bound = isLabel     ? widest
                          : Dpi == 96 ? place.Width
                                      : std::max(place.Width, widest);
        while (TextSize(control, font).cx + room > bound && pixels > scale(8)) {
            FittedFonts.push_back(TahomaFont(--pixels, bold ? FW_BOLD : FW_NORMAL));
            font = FittedFonts.back().Get();
        }
        const int wanted = TextSize(control, font).cx + room;
        if (wanted > place.Width && !isLabel && Dpi != 96) place.Width = std::min(wanted, widest);
        if (font != (bold ? BoldFont.Get() : Font.Get())) {
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        }
        if (isLabel) {
            FitToText(control, font);
        } else {
            SetWindowPos(control, nullptr, 0, 0, place.Width, place.Height,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
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
         !InstructionsFit(memo, MemoFont ? MemoFont.Get() : Font.Get(), area) &&
         pixels >= MulDiv(9, Dpi, 96);
         --pixels) {
        MemoFont = TahomaFont(pixels, FW_NORMAL);
    }
    if (MemoFont) {
        SendMessageW(memo, WM_SETFONT, reinterpret_cast<WPARAM>(MemoFont.Get()), FALSE);
        SendMessageW(memo, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
                     MAKELPARAM(margin, margin));
    }
}

void TMainWindow::Show(int showCommand) {
    RECT frame{};
    GetWindowRect(Window, &frame);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(Window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const auto place = [](const RECT& rect) {
        return TPlace{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
    };
    const TPlace at = OpeningPlace(frame.right - frame.left, frame.bottom - frame.top,
                                   place(monitor.rcMonitor), place(monitor.rcWork));
    SetWindowPos(Window, nullptr, at.Left, at.Top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(Window, showCommand);
    SetFocus(Control(mcMemo1));
    // Focus cues as the last input asks: hidden after a click, shown after a key.
    SendMessageW(Window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEFOCUS), 0);
    UpdateWindow(Window);
}

bool TMainWindow::PreTranslate(MSG& message) {
    if (Viewer && Viewer->PreTranslate(message)) return true;
    return Window && IsDialogMessageW(Window, &message);
}

LRESULT TMainWindow::WindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) Window = window;
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
        case WM_DPICHANGED: {
            // Moved to a monitor of another resolution: fonts and places for it, and the window
            // where the system suggests.
            ApplyDpi(HIWORD(wParam));
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(Window, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
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
            Window = nullptr;
            break;
        default:
            break;
    }
    return DefDlgProcW(window, message, wParam, lParam);
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
    FitToText(count, reinterpret_cast<HFONT>(SendMessageW(count, WM_GETFONT, 0, 0)));
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
