// The results viewer's panel under Wine: the findings list beside the grid and the find box, on
// the real list views and edit control, driven with keystrokes and mouse messages.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

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

TEST_F(TFindingsPanel, ListsTheImportedFindingsWithACountPerKind) {
    const std::vector<std::string> want = {
        "Цена заменена на 1 | 102 | 2220000000001 | Молоко 3,2% | цена в отчете 0: установлена 1",
        "Отрицательный остаток заменен на 0 | 102 | 2220000000001 | Молоко 3,2% | остаток в "
        "отчете -3: установлен 0",
        "Штрих-код не прочтет сканер | 101 | 4601234567890 | Хлеб белый | неверная контрольная "
        "цифра (должна быть 3): сканер его не прочтет",
    };
    EXPECT_EQ(Lines(), want);
    EXPECT_EQ(Caption(),
              "Замечания перед загрузкой в ЛАРМИС:\nЦена заменена на 1: 1; Отрицательный остаток "
              "заменен на 0: 1; Штрих-код не прочтет сканер: 1");
    // The one column holds the longest line: the list scrolls to its end.
    HDC dc = GetDC(List());
    const auto font = reinterpret_cast<HFONT>(SendMessageW(List(), WM_GETFONT, 0, 0));
    const HGDIOBJ old = SelectObject(dc, font);
    const std::u16string longest = Utf8ToUtf16(want[2]);
    SIZE size{};
    GetTextExtentPoint32W(dc, reinterpret_cast<const wchar_t*>(longest.c_str()),
                          static_cast<int>(longest.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(List(), dc);
    EXPECT_GE(ListView_GetColumnWidth(List(), 0), size.cx);
}

TEST_F(TFindingsPanel, AChosenFindingSelectsItsRowAndAFixedBarcodeTakesItAway) {
    App.Click(2, gfNAME);
    ClickLine(2);
    EXPECT_EQ(GridRow(), 0);
    EXPECT_EQ(App.DrawnCurrentCell(), std::make_pair(0, int{gfNAME}));
    EXPECT_EQ(GetFocus(), App.Grid());
    ClickLine(0);
    EXPECT_EQ(GridRow(), 1);
    // From the keyboard: Enter on the list's focused line.
    App.Key(VK_TAB, true, true);
    ASSERT_EQ(GetFocus(), List());
    App.Key(VK_END);
    App.Key(VK_RETURN);
    EXPECT_EQ(GridRow(), 0);
    EXPECT_EQ(GetFocus(), App.Grid());

    // The barcode of 101 typed right and the row left: its finding goes, the others stay.
    App.Click(0, gfKOD);
    App.Type("4601234567893");
    App.Key(VK_RETURN);
    App.Key(VK_DOWN);
    EXPECT_EQ(App.Goods().AsTextAt(1, gfKOD), "4601234567893");
    ASSERT_EQ(Lines().size(), 2u);
    for (const std::string& line : Lines()) EXPECT_EQ(line.find("4601234567"), std::string::npos);
    EXPECT_EQ(Caption(),
              "Замечания перед загрузкой в ЛАРМИС:\nЦена заменена на 1: 1; "
              "Отрицательный остаток заменен на 0: 1");
}

TEST_F(TFindingsPanel, CtrlFFindsByNameIdOrBarcodeAndF3GoesOnWithWrap) {
    App.Click(0, gfNAME);
    struct TStep {
        const char* Rule;
        WORD Key;           // 0: the text typed into the box and Enter
        const char* Typed;  // replaces the box's text
        int Row;
        const char* Status;
    };
    const TStep steps[] = {
        {"capitals find a Cyrillic name", 0, "САХАР", 2, ""},
        {"F3 goes on past the end to the only match", VK_F3, nullptr, 2, TGridFind::kFindWrapped},
        {"an article code, after the last row", 0, "101", 0, TGridFind::kFindWrapped},
        {"a barcode", 0, "2220000000001", 1, ""},
        {"Enter again on the same text goes on", VK_RETURN, nullptr, 1, TGridFind::kFindWrapped},
        {"no match keeps the row", 0, "сыр", 1, TGridFind::kFindNone},
    };
    for (const TStep& step : steps) {
        SCOPED_TRACE(step.Rule);
        SetFocus(App.Grid());
        App.Pump();
        if (step.Key == VK_F3) {
            App.Key(VK_F3);
        } else {
            App.Key('F', true);
            ASSERT_EQ(GetFocus(), FindBox());
            if (step.Typed) App.Type(step.Typed);
            App.Key(VK_RETURN);
        }
        EXPECT_EQ(GridRow(), step.Row);
        EXPECT_EQ(Status(), step.Status);
    }
    // Ctrl+F selects the box's text, so typing replaces it.
    App.Key('F', true);
    App.Type("молоко");
    EXPECT_EQ(TextOf(FindBox()), "молоко");
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
