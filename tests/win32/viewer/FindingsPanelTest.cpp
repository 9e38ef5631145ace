// The results viewer's panel under Wine: the findings list beside the grid and the find box, on
// the real list views and edit control, driven with keystrokes and mouse messages.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include "FindCases.h"
#include "ViewerSupport.h"
#include "app/GoodsFinder.h"
#include "convert/GoodsChecks.h"
#include "text/Utf16.h"
#include "win32/RegionalCurrency.h"

namespace {

int Scaled(int pixels) {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return MulDiv(pixels, dpi, 96);
}

// The example reports imported (101 with a wrong check digit, 102 reported at -3 and price 0, 103
// generated), the viewer shown with the keyboard in its grid.
class TFindingsPanel : public testing::Test {
  protected:
    HWND List() const { return App.Control(TDataViewerWindow::kLstFindingsId); }
    HWND FindBox() const { return App.Control(TDataViewerWindow::kEdFindId); }
    std::string Caption() const { return TextOf(App.Control(TDataViewerWindow::kLbFindingsId)); }
    std::string Status() const { return TextOf(App.Control(TDataViewerWindow::kLbFindStatusId)); }

    // The list's lines as the list view shows them.
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        for (int line = 0; line < ListView_GetItemCount(List()); ++line) {
            wchar_t text[512]{};
            ListView_GetItemText(List(), line, 0, text, 512);
            const std::wstring wide(text);
            lines.push_back(Utf16ToUtf8(std::u16string(wide.begin(), wide.end())));
        }
        return lines;
    }
    // A click on a line of the list, as the mouse makes it.
    void ClickLine(int line) {
        RECT item{};
        ListView_GetItemRect(List(), line, &item, LVIR_BOUNDS);
        const LPARAM point = MAKELPARAM(Scaled(20), (item.top + item.bottom) / 2);
        PostMessageW(List(), WM_LBUTTONDOWN, MK_LBUTTON, point);
        PostMessageW(List(), WM_LBUTTONUP, 0, point);
        App.Pump();
    }
    // The grid's current row (from 0) as the table has it.
    int GridRow() { return App.Goods().RowNumber() - 1; }

    TViewerFixture App{RegionalCurrencyOf(L"ru-RU")};
};

}  // namespace

TEST(FindingsPanelBeforeImport, SaysInOneLineThatThereIsNothing) {
    TViewerFixture app(RegionalCurrencyOf(L"ru-RU"), false);
    const HWND list = app.Control(TDataViewerWindow::kLstFindingsId);
    ASSERT_EQ(ListView_GetItemCount(list), 1);
    wchar_t text[256]{};
    ListView_GetItemText(list, 0, 0, text, 256);
    EXPECT_EQ(Utf16ToUtf8(std::u16string(text, text + lstrlenW(text))), kNoFindings);
    EXPECT_EQ(TextOf(app.Control(TDataViewerWindow::kLbFindingsId)),
              std::string("Замечания перед загрузкой в ЛАРМИС:\n") + kNoFindings);
    EXPECT_EQ(TextOf(app.Control(TDataViewerWindow::kLbFindId)), "Найти (Ctrl+F, далее F3):");
}

TEST_F(TFindingsPanel, ListsTheExamplesFindingsAndAChosenOneSelectsItsRow) {
    EXPECT_EQ(Lines(), ExampleFindingLines());
    EXPECT_EQ(Caption(), kExampleFindingsCaption);
    // The one column holds the longest line: the list scrolls to its end.
    HDC dc = GetDC(List());
    const auto font = reinterpret_cast<HFONT>(SendMessageW(List(), WM_GETFONT, 0, 0));
    const HGDIOBJ old = SelectObject(dc, font);
    const std::u16string longest = Utf8ToUtf16(ExampleFindingLines()[2]);
    SIZE size{};
    GetTextExtentPoint32W(dc, reinterpret_cast<const wchar_t*>(longest.c_str()),
                          static_cast<int>(longest.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(List(), dc);
    EXPECT_GE(ListView_GetColumnWidth(List(), 0), size.cx);

    App.Click(2, gfNAME);
    for (const TChooseStep& step : ChooseSteps()) {
        SCOPED_TRACE(step.Rule);
        if (step.ByEnter) {
            // Ctrl+Shift+Tab from the grid: the list, the last stop.
            App.Key(VK_TAB, true, true);
            ASSERT_EQ(GetFocus(), List());
            ListView_SetItemState(List(), step.Line, LVIS_FOCUSED | LVIS_SELECTED,
                                  LVIS_FOCUSED | LVIS_SELECTED);
            App.Key(VK_RETURN);
        } else {
            ClickLine(step.Line);
        }
        EXPECT_EQ(GridRow(), step.Row);
        EXPECT_EQ(App.DrawnCurrentCell(), std::make_pair(step.Row, int{gfNAME}));
        EXPECT_EQ(GetFocus(), App.Grid());
    }

    // The barcode of 101 typed right and the row left: its finding goes, the others stay.
    App.Click(0, gfKOD);
    App.Type(kFixedBarcode);
    App.Key(VK_RETURN);
    App.Key(VK_DOWN);
    EXPECT_EQ(App.Goods().AsTextAt(1, gfKOD), kFixedBarcode);
    EXPECT_EQ(Lines(),
              (std::vector<std::string>{ExampleFindingLines()[0], ExampleFindingLines()[1]}));
    EXPECT_EQ(Caption(), kFixedFindingsCaption);
}

TEST_F(TFindingsPanel, FindBoxWalksTheMatches) {
    App.Click(0, gfNAME);
    const HWND controls[] = {App.Grid(), App.Control(TDataViewerWindow::kBitBtn1Id),
                             App.Control(TDataViewerWindow::kButton3Id), FindBox(), List()};
    for (const TFindStep& step : FindSteps()) {
        SCOPED_TRACE(step.Rule);
        SetFocus(App.Grid());
        App.Pump();
        if (step.Action == faF3) {
            App.Key(VK_F3);
        } else {
            App.Key('F', true);
            ASSERT_EQ(GetFocus(), FindBox());
            // The box's text is selected: typing replaces it.
            DWORD from = 0;
            DWORD to = 0;
            SendMessageW(FindBox(), EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                         reinterpret_cast<LPARAM>(&to));
            EXPECT_EQ(from, 0u);
            EXPECT_EQ(to, static_cast<DWORD>(GetWindowTextLengthW(FindBox())));
            if (step.Typed) App.Type(step.Typed);
            App.Key(VK_RETURN);
        }
        EXPECT_EQ(GridRow(), step.Row);
        EXPECT_EQ(Status(), step.Status);
        EXPECT_EQ(GetFocus(), controls[step.Focus]);
    }
}

TEST_F(TFindingsPanel, F3BeforeAnyFindPutsTheKeyboardIntoTheBoxAndACellOpenIsStoredFirst) {
    App.Click(1, gfNAME);
    App.Type("Кефир");
    App.Key(VK_F3);
    EXPECT_EQ(GetFocus(), FindBox());
    EXPECT_EQ(Status(), "");
    App.Type("хлеб");
    App.Key(VK_RETURN);
    EXPECT_EQ(GridRow(), 0);
    EXPECT_EQ(App.Goods().AsTextAt(2, gfNAME), "Кефир");
}

TEST(FindingsPanelLayout, SitsRightOfTheDesignControlsAndGrowsInHeight) {
    TViewerFixture app(RegionalCurrencyOf(L"ru-RU"), false);
    const auto place = [&](int id) {
        const RECT r = PlaceOf(app.Control(id));
        return std::vector<long>{r.left, r.top, r.right - r.left, r.bottom - r.top};
    };
    const auto design = [](std::vector<int> values) {
        std::vector<long> out;
        for (const int v : values) out.push_back(Scaled(v));
        return out;
    };
    EXPECT_EQ(place(TDataViewerWindow::kLbFindId), design({725, 8, 292, 16}));
    EXPECT_EQ(place(TDataViewerWindow::kEdFindId), design({725, 26, 292, 21}));
    EXPECT_EQ(place(TDataViewerWindow::kLbFindStatusId), design({725, 50, 292, 16}));
    EXPECT_EQ(place(TDataViewerWindow::kLbFindingsId), design({725, 72, 292, 110}));
    EXPECT_EQ(place(TDataViewerWindow::kLstFindingsId), design({725, 184, 292, 345}));

    const HWND window = app.Window();
    RECT frame{0, 0, Scaled(1233), Scaled(737)};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
    SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    app.Pump();
    EXPECT_EQ(place(TDataViewerWindow::kDBGrid1Id), design({8, 30, 909, 663}));
    EXPECT_EQ(place(TDataViewerWindow::kEdFindId), design({925, 26, 292, 21}));
    EXPECT_EQ(place(TDataViewerWindow::kLstFindingsId), design({925, 184, 292, 545}));
}

TEST(FindingsPanelLayout, TheCaptionHoldsEveryKindWithAMillionEach) {
    TViewerFixture app(RegionalCurrencyOf(L"ru-RU"), false);
    const HWND caption = app.Control(TDataViewerWindow::kLbFindingsId);
    std::string text = "Замечания перед загрузкой в ЛАРМИС:\n";
    for (int kind = 0; kind < kCheckKindCount; ++kind) {
        if (kind > 0) text += "; ";
        text += CheckKindTitle(static_cast<TCheckKind>(kind)) + std::string(": 1000000");
    }
    const std::u16string wide = Utf8ToUtf16(text);
    RECT place{};
    GetClientRect(caption, &place);
    RECT needed = place;
    HDC dc = GetDC(caption);
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(caption, WM_GETFONT, 0, 0)));
    DrawTextW(dc, reinterpret_cast<const wchar_t*>(wide.c_str()), static_cast<int>(wide.size()),
              &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(caption, dc);
    EXPECT_LE(needed.bottom, place.bottom);
}
