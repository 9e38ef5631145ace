// The results viewer's window under Wine: the real list view and cell editor, driven with
// keystrokes and mouse messages through the program's message loop.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cwctype>
#include <tuple>

#include "GridKeyCases.h"
#include "ViewerSupport.h"
#include "win32/RegionalCurrency.h"

namespace {

// Prices in the Russian regional format: "34.90 ₽" (the separator stays ".").
TRegionalCurrency Rouble() {
    return RegionalCurrencyOf(L"ru-RU");
}

class TViewer : public ::testing::Test {
  protected:
    TViewerFixture App{Rouble()};
};

std::string Value(TViewerFixture& app, int row, TGoodsField field) {
    return app.Goods().AsTextAt(row, field);
}

}  // namespace

TEST(ViewerWindow, KeepsItsControlsAtTheirPlacesAndDistancesWhenResized) {
    TViewerFixture app(Rouble(), false);
    const HWND window = app.Window();
    const auto scaled = [](int pixels) {
        const HDC screen = GetDC(nullptr);
        const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        return MulDiv(pixels, dpi, 96);
    };
    const auto place = [&](int id) {
        const RECT r = PlaceOf(app.Control(id));
        return std::vector<long>{r.left, r.top, r.right - r.left, r.bottom - r.top};
    };
    const auto design = [&](std::vector<int> values) {
        std::vector<long> out;
        for (const int v : values) out.push_back(scaled(v));
        return out;
    };
    RECT client{};
    GetClientRect(window, &client);
    // The window is wider by the findings panel at its right (308 pixels); the design's part is
    // the 725 x 537 left of it.
    EXPECT_EQ(client.right, scaled(725 + 308));
    EXPECT_EQ(client.bottom, scaled(537));
    EXPECT_EQ(place(TDataViewerWindow::kDBGrid1Id), design({8, 30, 709, 463}));
    EXPECT_EQ(place(TDataViewerWindow::kBitBtn1Id), design({642, 504, 75, 25}));
    EXPECT_EQ(place(TDataViewerWindow::kButton3Id), design({8, 504, 162, 25}));
    EXPECT_EQ(place(TDataViewerWindow::kLabel1Id)[0], scaled(8));
    EXPECT_EQ(place(TDataViewerWindow::kLabel1Id)[1], scaled(8));

    // Enlarging the window enlarges the grid only; the buttons keep their bottom corners.
    RECT frame{0, 0, scaled(925 + 308), scaled(737)};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
    SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    app.Pump();
    EXPECT_EQ(place(TDataViewerWindow::kDBGrid1Id), design({8, 30, 909, 663}));
    EXPECT_EQ(place(TDataViewerWindow::kBitBtn1Id), design({842, 704, 75, 25}));
    EXPECT_EQ(place(TDataViewerWindow::kButton3Id), design({8, 704, 162, 25}));
}

TEST(ViewerWindow, IsTheOwnedSizeableWindowWithTheTextsAndTahoma) {
    TViewerFixture app(Rouble(), false);
    const HWND window = app.Window();
    EXPECT_EQ(TextOf(window), "Данные, полученные из KELVA");
    EXPECT_EQ(TextOf(app.Control(TDataViewerWindow::kLabel1Id)),
              "Отредактируйте данные при необходимости!");
    EXPECT_EQ(TextOf(app.Control(TDataViewerWindow::kBitBtn1Id)), "Закрыть");
    EXPECT_EQ(TextOf(app.Control(TDataViewerWindow::kButton3Id)), "Сохранить в DBF-формате");
    // Owned by the main window: no taskbar button of its own.
    EXPECT_EQ(GetWindow(window, GW_OWNER), app.Owner);
    EXPECT_EQ(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
              WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
    EXPECT_FALSE(IsWindowVisible(window));

    const auto font = [&](int id) {
        LOGFONTW facts{};
        const auto handle =
            reinterpret_cast<HFONT>(SendMessageW(app.Control(id), WM_GETFONT, 0, 0));
        GetObjectW(handle, sizeof facts, &facts);
        return std::make_tuple(std::wstring(facts.lfFaceName), facts.lfHeight, facts.lfWeight);
    };
    EXPECT_EQ(font(TDataViewerWindow::kDBGrid1Id), std::make_tuple(L"Tahoma", -11L, 400L));
    EXPECT_EQ(font(TDataViewerWindow::kButton3Id), std::make_tuple(L"Tahoma", -11L, 400L));
    EXPECT_EQ(font(TDataViewerWindow::kLabel1Id), std::make_tuple(L"Tahoma", -13L, 700L));
}

TEST_F(TViewer, ShowsTheFieldsAndTheirValuesAsTheQtGridDoes) {
    EXPECT_TRUE(IsWindowVisible(App.Window()));
    EXPECT_EQ(App.Titles(), (std::vector<std::string>{"ID", "NAME", "KOD", "OSTATOK", "RPRICE",
                                                      "CATEGORY", "NDS"}));
    EXPECT_EQ(App.RowCount(), 3);
    EXPECT_EQ(App.Cell(0, gfID), "101");
    EXPECT_EQ(App.Cell(0, gfNAME), "Хлеб белый");
    EXPECT_EQ(App.Cell(0, gfOSTATOK), "12.5");
    EXPECT_EQ(App.Cell(0, gfRPRICE), "34.90 ₽");
    EXPECT_EQ(App.Cell(2, gfRPRICE), "10.25 ₽");
    EXPECT_EQ(App.Cell(2, gfCATEGORY), "1");
    EXPECT_EQ(App.Cell(2, gfNDS), "18");
    EXPECT_EQ(App.Cell(2, gfKOD).size(), 13u);
    // The table's current row carries the marker and the current cell; the keyboard is in the
    // grid.
    ASSERT_EQ(App.Goods().RowNumber(), 3);
    EXPECT_EQ(App.Marker(2), "►");
    EXPECT_EQ(App.Marker(1), "");
    EXPECT_EQ(GetFocus(), App.Grid());
    EXPECT_EQ(App.DrawnCurrentCell(), std::make_pair(2, 0));
    // NAME is the widest column (50 characters), KOD next (20).
    EXPECT_GT(ListView_GetColumnWidth(App.Grid(), 1 + gfNAME),
              ListView_GetColumnWidth(App.Grid(), 1 + gfKOD));
    EXPECT_GT(ListView_GetColumnWidth(App.Grid(), 1 + gfKOD),
              ListView_GetColumnWidth(App.Grid(), 1 + gfID));
}

// A dead key followed by a key it does not combine with, or a character outside the BMP, gives
// two characters from one keystroke: both are queued for the grid before its editor opens.
TEST_F(TViewer, EveryCharacterOfOneKeystrokeReachesTheCellItOpens) {
    App.Click(1, gfNAME);
    PostMessageW(App.Grid(), WM_CHAR, L'^', 0);
    PostMessageW(App.Grid(), WM_CHAR, L'x', 0);
    App.Pump();
    EXPECT_EQ(App.EditorText(), "^x");
}

// What the cell editor does, the list view's own (its values are in the shared editing table).
TEST_F(TViewer, TheCellEditorSitsOverItsCellShowsALongTextFromItsStartAndOpensOnADoubleClick) {
    App.Click(1, gfRPRICE);
    App.Key(VK_F2);
    RECT cell{};
    ListView_GetSubItemRect(App.Grid(), 1, 1 + gfRPRICE, LVIR_BOUNDS, &cell);
    const RECT editor = PlaceOf(App.Editor());
    EXPECT_GE(editor.left, cell.left);
    EXPECT_LE(editor.right, cell.right);
    EXPECT_GE(editor.top, cell.top);
    EXPECT_LE(editor.bottom, cell.bottom);
    App.Key(VK_RETURN);
    App.Click(2, gfKOD);
    App.Key(VK_F2);
    EXPECT_EQ(App.EditorText(), App.Cell(2, gfKOD));
    EXPECT_EQ(SendMessageW(App.Editor(), EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    App.Key(VK_RETURN);
    App.Click(0, gfNAME, true);
    EXPECT_EQ(App.EditorText(), "Хлеб белый");
}

class TGridKeys : public ::testing::TestWithParam<int> {};

TEST_P(TGridKeys, LeaveTheCellTheRowsAndTheValuesOfTheTable) {
    const TGridKeyCase& c = GridKeyCases()[static_cast<std::size_t>(GetParam())];
    TViewerFixture app(Rouble());
    if (c.Answer >= 0) app.Shell.ConfirmAnswers.push_back(c.Answer == 1);
    app.Click(c.From.Row, c.From.Column);
    for (const TGridStep& step : c.Steps) {
        if (step.Typed) {
            app.Type(step.Typed);
        } else {
            app.Key(VirtualKeyOf(step.Press.Key), step.Press.Ctrl, step.Press.Shift,
                    step.Press.Alt);
        }
    }
    EXPECT_EQ(app.DrawnCurrentCell(), std::make_pair(c.To.Row, c.To.Column));
    EXPECT_EQ(app.Goods().RowNumber(), c.To.Row + 1);
    EXPECT_EQ(app.Editor(), nullptr);
    EXPECT_EQ(app.RowCount(), c.Rows);
    EXPECT_EQ(app.Goods().State(), c.State);
    EXPECT_EQ(app.Marker(c.To.Row), MarkerOf(c.State));
    for (const TGridValue& value : c.Values) {
        EXPECT_EQ(Value(app, value.Row, value.Field), value.Text) << value.Row;
        EXPECT_EQ(app.Cell(value.Row - 1, value.Field), value.Text) << value.Row;
    }
    ASSERT_EQ(app.Shell.Boxes.size(), c.Answer >= 0 ? 1u : 0u);
    if (c.Answer >= 0) {
        EXPECT_EQ(app.Shell.Boxes[0].Title, "Confirm");
        EXPECT_EQ(app.Shell.Boxes[0].Text, "Delete record?");
    }
}

INSTANTIATE_TEST_SUITE_P(Viewer, TGridKeys,
                         ::testing::Range(0, static_cast<int>(GridKeyCases().size())),
                         [](const auto& test) { return GridKeyCaseName(test.param); });

TEST_F(TViewer, ShownAgainItsGridHasTheKeyboardAndTheCloseBoxOnlyHidesIt) {
    App.Key(VK_ESCAPE);
    ASSERT_FALSE(IsWindowVisible(App.Window()));
    App.ShowViewer();
    EXPECT_EQ(GetFocus(), App.Grid());
    SendMessageW(App.Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
    App.Pump();
    EXPECT_FALSE(IsWindowVisible(App.Window()));
    EXPECT_TRUE(IsWindow(App.Window()));
}

TEST_F(TViewer, TabMovesBetweenTheButtonsAndTheGridAndTheButtonsTakeEnterAndEsc) {
    const HWND close = App.Control(TDataViewerWindow::kBitBtn1Id);
    const HWND save = App.Control(TDataViewerWindow::kButton3Id);
    App.Key(VK_TAB, true);
    EXPECT_EQ(GetFocus(), close);
    App.Key(VK_TAB);
    EXPECT_EQ(GetFocus(), save);
    App.Key(VK_TAB, false, true);
    EXPECT_EQ(GetFocus(), close);
    App.Key(VK_TAB, false, true);
    EXPECT_EQ(GetFocus(), App.Grid());
    // Back from the grid through the findings list and the find box to the save button.
    App.Key(VK_TAB, true, true);
    EXPECT_EQ(GetFocus(), App.Control(TDataViewerWindow::kLstFindingsId));
    App.Key(VK_TAB, false, true);
    EXPECT_EQ(GetFocus(), App.Control(TDataViewerWindow::kEdFindId));
    App.Key(VK_TAB, false, true);
    EXPECT_EQ(GetFocus(), save);
    App.Key(VK_RETURN);
    EXPECT_EQ(App.Shell.Texts(), std::vector<std::string>{"Данные сохранены!"});
    App.Key(VK_ESCAPE);
    EXPECT_FALSE(IsWindowVisible(App.Window()));
}

TEST_F(TViewer, ColumnWidthsTheOperatorSetSurviveANewImport) {
    ListView_SetColumnWidth(App.Grid(), 1 + gfNAME, 77);
    App.Controller->ImportClick();
    App.Pump();
    EXPECT_EQ(ListView_GetColumnWidth(App.Grid(), 1 + gfNAME), 77);
}

TEST_F(TViewer, ClosingTheMainWindowTakesTheViewerAlongWithoutAQuestion) {
    App.Click(0, gfNAME);
    App.Type("Батон");
    DestroyWindow(App.Owner);
    App.Pump();
    EXPECT_FALSE(IsWindow(App.Window()));
    EXPECT_EQ(App.Shell.Texts(), std::vector<std::string>{});
    App.Viewer.reset();
    EXPECT_EQ(App.Goods().RowCount(), 3);
}

TEST(ViewerWindow, AMillionRowsShowAtOnceAndOnlyTheVisibleOnesAreAskedFor) {
    constexpr int kRows = 1'000'000;
    TViewerFixture app(Rouble(), false);
    TGoodsTable& goods = app.Goods();
    // Filled as an import fills it: the views follow once, at the end.
    goods.SuspendViews();
    goods.OpenTable();
    goods.Reserve(kRows, std::size_t{kRows} * 24);
    for (int i = 1; i <= kRows; ++i) {
        goods.AppendRow();
        goods.SetInteger(gfID, i);
        goods.SetText(gfNAME, "Товар номер " + std::to_string(i));
        goods.SetAmount(gfRPRICE, 125000 + i);
        goods.PostRow();
    }
    goods.MoveFirst();
    goods.ResumeViews();
    app.ShowViewer();
    EXPECT_EQ(app.RowCount(), kRows);

    const int page = ListView_GetCountPerPage(app.Grid());
    const auto asked = [&](const auto& act) {
        TDisplayRequests requests;
        act();
        InvalidateRect(app.Grid(), nullptr, TRUE);
        UpdateWindow(app.Grid());
        return requests.Rows;
    };
    std::vector<int> rows = asked([] {});
    ASSERT_FALSE(rows.empty());
    EXPECT_LE(*std::max_element(rows.begin(), rows.end()), page + 1);
    // Ctrl+End goes to the last row; only the rows around it are asked for.
    rows = asked([&] { app.Key(VK_END, true); });
    ASSERT_FALSE(rows.empty());
    EXPECT_GE(*std::min_element(rows.begin(), rows.end()), kRows - page - 2);
    EXPECT_EQ(goods.RowNumber(), kRows);
    EXPECT_EQ(app.Marker(kRows - 1), "►");
    EXPECT_EQ(app.Cell(kRows - 1, gfNAME), "Товар номер 1000000");
    EXPECT_EQ(app.Cell(kRows - 1, gfRPRICE), "112.50 ₽");
}

struct TRegionalCase {
    const wchar_t* Locale;
    const char* Positive;
    const char* Point;
    const char* Shown;  // 1234.5 in the grid
};

class TRegional : public ::testing::TestWithParam<TRegionalCase> {};

TEST_P(TRegional, PriceTakesTheSignPlaceAndDecimalsButKeepsThePoint) {
    const TRegionalCase& regional = GetParam();
    const TRegionalCurrency read = RegionalCurrencyOf(regional.Locale);
    EXPECT_EQ(read.PositiveText, regional.Positive);
    EXPECT_EQ(read.DecimalPoint, regional.Point);
    EXPECT_EQ(TCurrencyFormat::FromRegional(read).Format(1234.5), regional.Shown);
}

INSTANTIATE_TEST_SUITE_P(Viewer, TRegional,
                         ::testing::Values(TRegionalCase{L"ru-RU", "1,00 ₽", ",", "1234.50 ₽"},
                                           TRegionalCase{L"de-DE", "1,00 €", ",", "1234.50 €"},
                                           TRegionalCase{L"en-US", "$1.00", ".", "$1234.50"},
                                           TRegionalCase{L"xx-unknown", "", "", "1234.50"}),
                         [](const auto& test) {
                             std::string name;
                             for (const wchar_t* c = test.param.Locale; *c; ++c) {
                                 if (std::iswalnum(*c)) name += static_cast<char>(*c);
                             }
                             return name;
                         });

TEST(RegionalCurrency, TheUsersSettingsAreTheUserDefaultLocales) {
    wchar_t name[LOCALE_NAME_MAX_LENGTH]{};
    ASSERT_GT(GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH), 0);
    const TRegionalCurrency user = ReadRegionalCurrency();
    const TRegionalCurrency named = RegionalCurrencyOf(name);
    EXPECT_FALSE(user.PositiveText.empty());
    EXPECT_EQ(user.PositiveText, named.PositiveText);
    EXPECT_EQ(user.NegativeText, named.NegativeText);
    EXPECT_EQ(user.DecimalPoint, named.DecimalPoint);
    EXPECT_EQ(user.MinusSign, named.MinusSign);
}
