// The program's windows at the resolution the Wine prefix gives (its LogPixels), made in this
// process, which carries the program's manifest: their sizes, every control's text inside its
// rectangle, no control over another, the window order screen readers read, and the focus cues.
// dpi_fit.sh runs it once per resolution with K2L_DPI set to the one expected.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <oleacc.h>

#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/WindowLayout.h"
#include "app/WindowTexts.h"
#include "progress/GdiPainter.h"
#include "progress/ProgressViewer.h"
#include "progress/ViewerFrame.h"
#include "progress/ViewerLayout.h"
#include "progress/ViewerLifetime.h"
#include "win32/DataViewerWindow.h"
#include "win32/MainWindow.h"
#include "win32/MainWindowIds.h"
#include "win32/WideText.h"

namespace {

int ExpectedDpi() {
    const char* dpi = std::getenv("K2L_DPI");
    return dpi ? std::atoi(dpi) : 96;
}

SIZE ClientSize(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    return {rect.right, rect.bottom};
}

SIZE OuterSize(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

RECT PlaceInParent(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64]{};
    GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return name;
}

// The control's text in the font it draws with, and that font's line height.
SIZE TextExtent(HWND control, const std::wstring& text) {
    HDC dc = GetDC(control);
    HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return {size.cx, metrics.tmHeight};
}

// What a control's face takes beside its text: a check box's square and the gap after it (16
// pixels at 96 dpi), a push button's edges.
int FaceRoom(HWND control, int dpi) {
    if (ClassOf(control) != L"Button") return 0;
    const LONG_PTR type = GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK;
    if (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX) return MulDiv(16, dpi, 96);
    return MulDiv(4, dpi, 96);
}

std::vector<HWND> VisibleChildren(HWND window) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsWindowVisible(child)) children.push_back(child);
    }
    return children;
}

std::string Name(HWND control) {
    return "control " + std::to_string(GetDlgCtrlID(control)) + " \"" +
           Narrow(Wide(TextOf(control))) + "\"";
}

// Every label's, check box's and button's text within its control, every one-line box at least
// as tall as its font's line.
void ExpectTextsFit(HWND window, int dpi) {
    for (HWND control : VisibleChildren(window)) {
        const std::wstring cls = ClassOf(control);
        const SIZE client = ClientSize(control);
        const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
        if (cls == L"Static") {
            // Wrapped at the control's width as the control wraps it.
            const std::wstring text = Wide(TextOf(control));
            HDC dc = GetDC(control);
            HGDIOBJ old =
                SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
            RECT needed{0, 0, client.cx, 0};
            DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed,
                      DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
            SelectObject(dc, old);
            ReleaseDC(control, dc);
            EXPECT_LE(needed.right, client.cx) << Name(control) << " is cut off";
            EXPECT_LE(needed.bottom, client.cy) << Name(control) << " is cut at the bottom";
        } else if (cls == L"Button") {
            const std::wstring text = Wide(TextOf(control));
            if (text.empty()) continue;
            const SIZE extent = TextExtent(control, text);
            EXPECT_LE(extent.cx + FaceRoom(control, dpi), client.cx)
                << Name(control) << " is cut off";
            EXPECT_LE(extent.cy, client.cy) << Name(control) << " is cut at the bottom";
        } else if (cls == L"Edit" && !(style & ES_MULTILINE)) {
            EXPECT_LE(TextExtent(control, L"Ay").cy, client.cy) << Name(control) << " is too low";
        }
    }
}

// No two controls of the window share a pixel, so none covers another's text.
void ExpectNoOverlap(HWND window) {
    const std::vector<HWND> children = VisibleChildren(window);
    for (size_t i = 0; i < children.size(); ++i) {
        for (size_t j = i + 1; j < children.size(); ++j) {
            RECT a = PlaceInParent(children[i]);
            RECT b = PlaceInParent(children[j]);
            RECT both{};
            EXPECT_FALSE(IntersectRect(&both, &a, &b))
                << Name(children[i]) << " and " << Name(children[j]) << " overlap: " << a.left
                << "," << a.top << "-" << a.right << "," << a.bottom << " and " << b.left << ","
                << b.top << "-" << b.right << "," << b.bottom;
        }
    }
}

std::wstring AccessibleName(HWND control) {
    IAccessible* accessible = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                          IID_IAccessible,
                                          reinterpret_cast<void**>(&accessible)))) {
        return L"(none)";
    }
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::wstring result = SUCCEEDED(accessible->get_accName(self, &name)) && name ? name : L"";
    SysFreeString(name);
    accessible->Release();
    return result;
}

// The program's two windows, made once for the whole run.
std::unique_ptr<TMainWindow> Main;
HWND Viewer = nullptr;

class TProgramWindows : public testing::Environment {
  public:
    void SetUp() override {
        CoInitialize(nullptr);
        INITCOMMONCONTROLSEX controls{sizeof(controls),
                                      ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        ProgressViewerStartup();
        Main = std::make_unique<TMainWindow>(GetModuleHandleW(nullptr));
        Main->Show(SW_SHOW);
        Main->Controller().ShowResultsClick();
        Viewer = FindWindowW(L"TDataViewerForm", nullptr);
    }
    void TearDown() override {
        Main.reset();
        ProgressViewerShutdown();
        CoUninitialize();
    }
};

[[maybe_unused]] testing::Environment* const kProgramWindows =
    testing::AddGlobalTestEnvironment(new TProgramWindows);

template <typename TCase>
std::string CaseName(const testing::TestParamInfo<TCase>& param) {
    return param.param.Name;
}

class DpiFit : public testing::Test {};

TEST_F(DpiFit, TheProgramDeclaresPerMonitorAwarenessAndGetsThePrefixsResolution) {
    EXPECT_EQ(GetAwarenessFromDpiAwarenessContext(GetThreadDpiAwarenessContext()),
              DPI_AWARENESS_PER_MONITOR_AWARE);
    EXPECT_EQ(static_cast<int>(GetDpiForWindow(Main->Handle())), ExpectedDpi());
}

struct TWindowCase {
    const char* Name;
    bool Viewer;
    int ClientWidth;
    int ClientHeight;
};

class DpiFitWindow : public DpiFit, public testing::WithParamInterface<TWindowCase> {
  protected:
    HWND Window() const { return GetParam().Viewer ? Viewer : Main->Handle(); }
};

TEST_P(DpiFitWindow, ClientAreaIsTheDesignsScaled) {
    ASSERT_NE(Window(), nullptr);
    const TScale scale{ExpectedDpi()};
    const SIZE client = ClientSize(Window());
    const SIZE outer = OuterSize(Window());
    std::printf("%d dpi: %s %ldx%ld (client %ldx%ld)\n", ExpectedDpi(), GetParam().Name, outer.cx,
                outer.cy, client.cx, client.cy);
    EXPECT_EQ(client.cx, scale(GetParam().ClientWidth));
    EXPECT_EQ(client.cy, scale(GetParam().ClientHeight));
}

TEST_P(DpiFitWindow, EveryTextFitsItsControl) {
    ASSERT_NE(Window(), nullptr);
    ExpectTextsFit(Window(), ExpectedDpi());
}

TEST_P(DpiFitWindow, NoControlCoversAnother) {
    ASSERT_NE(Window(), nullptr);
    ExpectNoOverlap(Window());
}

// Moved to a monitor of another resolution (the message Windows sends then; Wine has one
// monitor): new fonts, every text still inside its control, the suggested rectangle taken; and
// back again.
TEST_P(DpiFitWindow, AMoveToAnotherResolutionRescalesFontsAndPlaces) {
    ASSERT_NE(Window(), nullptr);
    const int dpi = ExpectedDpi();
    const int other = dpi == 144 ? 192 : 144;
    RECT before{};
    GetWindowRect(Window(), &before);
    HWND first = GetWindow(Window(), GW_CHILD);
    const LONG lineBefore = TextExtent(first, L"Ay").cy;
    const auto moveTo = [&](int to, RECT suggested) {
        SendMessageW(Window(), WM_DPICHANGED, MAKEWPARAM(to, to),
                     reinterpret_cast<LPARAM>(&suggested));
    };
    const RECT suggested{before.left, before.top,
                         before.left + MulDiv(before.right - before.left, other, dpi),
                         before.top + MulDiv(before.bottom - before.top, other, dpi)};
    moveTo(other, suggested);
    RECT after{};
    GetWindowRect(Window(), &after);
    EXPECT_EQ(after.right - after.left, suggested.right - suggested.left);
    EXPECT_EQ(after.bottom - after.top, suggested.bottom - suggested.top);
    // The line height in the new font is the old one times other / dpi, give or take a tenth.
    const LONG scaledLine = TextExtent(first, L"Ay").cy * dpi;
    EXPECT_NEAR(scaledLine, lineBefore * other, lineBefore * other / 10)
        << "the fonts did not follow";
    ExpectTextsFit(Window(), other);
    ExpectNoOverlap(Window());
    moveTo(dpi, before);
    EXPECT_EQ(TextExtent(first, L"Ay").cy, lineBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, DpiFitWindow,
    testing::Values(TWindowCase{"main_window", false, kMainClientWidth, kMainClientHeight},
                    TWindowCase{"results_viewer", true, kViewerClientWidth, kViewerClientHeight}),
    CaseName<TWindowCase>);

TEST_F(DpiFit, InstructionsKeepTheirLinesAndTheLastInView) {
    HWND memo = GetDlgItem(Main->Handle(), mcMemo1);
    EXPECT_EQ(SendMessageW(memo, EM_GETLINECOUNT, 0, 0),
              static_cast<LRESULT>(std::size(kInstructions)));
    RECT area{};
    SendMessageW(memo, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&area));
    const SIZE line = TextExtent(memo, L"Ay");
    EXPECT_LE(line.cy * static_cast<LONG>(std::size(kInstructions)), area.bottom - area.top);
}

TEST_F(DpiFit, MainWindowOpensWithItsTitleBarOnTheWorkArea) {
    RECT frame{};
    GetWindowRect(Main->Handle(), &frame);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(Main->Handle(), MONITOR_DEFAULTTOPRIMARY), &monitor);
    EXPECT_GE(frame.top, monitor.rcWork.top);
    EXPECT_GE(frame.left, monitor.rcWork.left);
}

// Tab walks the design's focus order, though each label now comes right before its box.
TEST_F(DpiFit, TabStillWalksTheDesignsFocusOrder) {
    HWND at = GetDlgItem(Main->Handle(), mcMemo1);
    for (size_t i = 1; i < std::size(kMainFocusOrder); ++i) {
        at = GetNextDlgTabItem(Main->Handle(), at, FALSE);
        EXPECT_EQ(GetDlgCtrlID(at), MainControlId(kMainFocusOrder[i])) << "step " << i;
    }
}

struct TNameCase {
    const char* Name;
    bool Viewer;
    int Id;
    const char* Expected;
};

class DpiFitName : public DpiFit, public testing::WithParamInterface<TNameCase> {};

TEST_P(DpiFitName, ScreenReadersFindTheControlsName) {
    HWND control = GetDlgItem(GetParam().Viewer ? Viewer : Main->Handle(), GetParam().Id);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(Narrow(AccessibleName(control)), GetParam().Expected);
}

// A box's name is its label's text, found right before it in the window order. (The names given
// by Dynamic Annotation, of the browse buttons, the grid and the findings list, are Windows'
// accessibility layer's: Wine's does not read them.)
INSTANTIATE_TEST_SUITE_P(
    MainWindow, DpiFitName,
    testing::Values(TNameCase{"print", false, mcEdOpenPRINT, kPrintLabel},
                    TNameCase{"article", false, mcEdOpenARTICLE, kArticleLabel},
                    TNameCase{"folder", false, mcEdDBFFolder, kFolderLabel},
                    TNameCase{"prefix", false, mcEdBarCodePrefix, kPrefixLabel},
                    TNameCase{"start_value", false, mcEdBarCodeStartValue, kStartValueLabel},
                    TNameCase{"nds", false, mcEdNDSValue, kNdsLabel}),
    CaseName<TNameCase>);

// The viewer's requests to change its focus cues, as the system receives them.
int CueRequests = 0;
WNDPROC ViewerProc = nullptr;

LRESULT CALLBACK CountCueRequests(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CHANGEUISTATE && LOWORD(wParam) == UIS_CLEAR &&
        (HIWORD(wParam) & UISF_HIDEFOCUS)) {
        ++CueRequests;
    }
    return CallWindowProcW(ViewerProc, window, message, wParam, lParam);
}

TEST_F(DpiFit, AKeyInTheViewerAsksForFocusCues) {
    ASSERT_NE(Viewer, nullptr);
    HWND grid = GetDlgItem(Viewer, TDataViewerWindow::kDBGrid1Id);
    ViewerProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(Viewer, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountCueRequests)));
    MSG click{grid, WM_LBUTTONDOWN, 0, 0, 0, {}};
    Main->PreTranslate(click);
    EXPECT_EQ(CueRequests, 0) << "a click must not show the cues";
    MSG key{grid, WM_KEYDOWN, VK_DOWN, 0, 0, {}};
    Main->PreTranslate(key);
    SetWindowLongPtrW(Viewer, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ViewerProc));
    EXPECT_EQ(CueRequests, 1);
}

// The progress window shown at `width` x (its text block + the design's 70), laid out at `dpi`;
// null when it is not within ten seconds.
HWND WaitForProgressWindow(TProgressViewer& viewer, int dpi) {
    const TViewerScale scale{dpi};
    TGdiTextMeasurer measurer;
    const int width = scale(kViewerInitialWidth);
    int block = 0;
    for (const TViewerString& line : viewer.GetStrings()) {
        const TViewerFont font{line.FontName, line.FontSize, line.FontStyle, dpi};
        if (!line.Text.empty()) {
            block +=
                measurer.TextHeight(font, line.Text, width - 2 * scale(kTextLeft), line.WordWrap);
        }
    }
    const SIZE expected{width, block + scale(kViewerHeightBelowText)};
    const auto deadline = GetTickCount64() + 10000;
    for (HWND window = nullptr; GetTickCount64() < deadline; Sleep(10)) {
        window = window ? window : FindWindowW(L"ProgressViewerFormClass", nullptr);
        const SIZE client = window ? ClientSize(window) : SIZE{};
        if (window && IsWindowVisible(window) && client.cx == expected.cx &&
            client.cy == expected.cy) {
            return window;
        }
    }
    return nullptr;
}

// Drawn sharp at the monitor's resolution: per-monitor aware, the design's sizes scaled, the
// fonts with them, and laid out again when the resolution changes.
TEST_F(DpiFit, ProgressWindowIsTheDesignsScaled) {
    auto* viewer = new TProgressViewer("Проверка окна", true, true);
    const int dpi = ExpectedDpi();
    HWND window = WaitForProgressWindow(*viewer, dpi);
    ASSERT_NE(window, nullptr) << "not shown at the design's size scaled to " << dpi;
    const SIZE client = ClientSize(window);
    std::printf("%d dpi: progress_window %ldx%ld\n", dpi, client.cx, client.cy);
    EXPECT_EQ(GetAwarenessFromDpiAwarenessContext(GetWindowDpiAwarenessContext(window)),
              DPI_AWARENESS_PER_MONITOR_AWARE);
    // The texts below the text block fit their places.
    const TViewerScale scale{dpi};
    TGdiTextMeasurer measurer;
    const TViewerFont regular{kUiFontName, kUiFontSize, 0, dpi};
    const TRect button = CancelButtonRect(client.cx, client.cy, scale);
    EXPECT_LE(measurer.TextWidth(regular, CancelCaption), button.Width - 4);
    EXPECT_LE(measurer.TextHeight(regular, CancelCaption, 0, false), button.Height - 4);
    EXPECT_LE(
        scale(kBarLeft) + measurer.TextWidth(regular, FormatElapsedLine(ElapsedFormat, "0:00:00")),
        button.Left);
    const TViewerFont bold{kUiFontName, kUiFontSize, fsBold, dpi};
    EXPECT_LE(scale(kPercentTextTop) + measurer.TextHeight(bold, "100 %", 0, false),
              scale(kBarHeight));

    const int other = dpi == 144 ? 192 : 144;
    RECT before{};
    GetWindowRect(window, &before);
    const RECT suggested{before.left, before.top,
                         before.left + MulDiv(before.right - before.left, other, dpi),
                         before.top + MulDiv(before.bottom - before.top, other, dpi)};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(other, other),
                 reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(WaitForProgressWindow(*viewer, other), window) << "not laid out again at " << other;
    viewer->Terminate();
    WaitForViewerThreads();
}

}  // namespace
