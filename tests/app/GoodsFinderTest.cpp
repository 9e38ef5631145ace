#include "app/GoodsFinder.h"

#include <gtest/gtest.h>

#include <random>

#include "AppSupport.h"

namespace {

TEST(FoldCase, CapitalsOfLatinAndCyrillicBecomeSmall) {
    struct TCase {
        const char* Text;
        const char* Want;
    };
    const TCase cases[] = {
        {"", ""},
        {"ABC xyz 5W-40", "abc xyz 5w-40"},
        {"АБВГДЕЖЗИЙКЛМНОП", "абвгдежзийклмноп"},
        {"РСТУФХЦЧШЩЪЫЬЭЮЯ", "рстуфхцчшщъыьэюя"},
        {"ЁЛКА Ёлка", "ёлка ёлка"},
        {"ЄЇЎ", "єїў"},  // the other capitals of code page 866
        {"уже маленькие ёж", "уже маленькие ёж"},
        {"№ 12 «Север»", "№ 12 «север»"},
    };
    for (const TCase& c : cases) EXPECT_EQ(FoldCase(c.Text), c.Want) << c.Text;
}

class GoodsFinderTest : public testing::Test {
  protected:
    GoodsFinderTest() {
        Goods.OpenTable();
        AddRow(Goods, "101", "Масло моторное 5W-40", "4600000000011");
        AddRow(Goods, "12", "Шоколад АЛЁНКА", "2220000000001");
        AddRow(Goods, "1012", "Вода питьевая", "ABC-12");
        AddRow(Goods, "7", "масло сливочное", "4600000000028");
        Goods.MoveFirst();
    }

    TFindResult After(const char* query, int row) {
        Finder.SetQuery(query);
        return Finder.FindAfter(row);
    }

    TGoodsTable Goods;
    TGoodsFinder Finder{Goods};
};

TEST_F(GoodsFinderTest, ByIdByBarcodeOrByAPartOfTheName) {
    struct TCase {
        const char* Query;
        int After;
        TFindResult Want;
    };
    const TCase cases[] = {
        {"12", 0, {2, false}},    // the ID 12, not 1012 nor 101
        {"0012", 0, {2, false}},  // the same number
        {"1012", 0, {3, false}},
        {"4600000000028", 0, {4, false}},
        {"460000000002", 0, {}},       // part of a barcode: no
        {"abc-12", 0, {3, false}},     // barcodes fold too
        {"  алёнка ", 0, {2, false}},  // trimmed, Cyrillic case and Ё
        {"МАСЛО", 0, {1, false}},
        {"МАСЛО", 1, {4, false}},
        {"масло", 4, {1, true}},  // past the end on from the first
        {"вода", 3, {3, true}},   // the row itself comes last
        {"сыр", 0, {}},
        {"", 0, {}},
        {"   ", 2, {}},
    };
    for (const TCase& c : cases) EXPECT_EQ(After(c.Query, c.After), c.Want) << c.Query;
}

TEST(GoodsFinder, EmptyAndClosedTablesFindNothing) {
    TGoodsTable goods;
    TGoodsFinder finder(goods);
    finder.SetQuery("x");
    EXPECT_EQ(finder.FindAfter(0), TFindResult{});
    goods.OpenTable();
    EXPECT_EQ(finder.FindAfter(0), TFindResult{});
}

// The rows' texts are searched together: a query that only the end of one row's text and the start
// of the next make up matches neither row.
TEST(GoodsFinder, AQueryAcrossTwoRowsMatchesNeither) {
    struct TCase {
        const char* Query;
        int Want;
    };
    const TCase cases[] = {
        {"аб", 0},    // "...а" + "б..." of the next name
        {"1234", 0},  // barcode "12" + barcode "34"
        {"34", 2},    // the second barcode whole
        {"ква", 3},   // the third name holds it
        {"да", 1},    // and the first name ends with it
    };
    TGoodsTable goods;
    goods.OpenTable();
    AddRow(goods, "1", "Вода", "12");
    AddRow(goods, "2", "Булка", "34");
    AddRow(goods, "3", "Квас", "");
    TGoodsFinder finder(goods);
    for (const TCase& c : cases) {
        finder.SetQuery(c.Query);
        EXPECT_EQ(finder.FindAfter(0).Row, c.Want) << c.Query;
    }
}

// The folded blocks follow every change: after each edit, insertion, deletion or import a find
// from every row gives what reading each row (Matches) gives; three rows a block, so blocks split,
// empty and go.
TEST(GoodsFinder, FindsFollowEveryChangeOfTheTable) {
    TGoodsTable goods;
    goods.OpenTable();
    TGoodsFinder finder(goods, 3);
    const char* names[] = {"", "Масло", "МАСЛО сливочное", "сыр", "Сырок масляный"};
    const char* kods[] = {"", "12", "МАСЛО", "4600000000011"};
    const char* ids[] = {"", "12", "7"};
    const char* queries[] = {"масло", "12", "сыр", "4600000000011", "о с"};
    std::mt19937 random(5);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int step = 0; step < 1500; ++step) {
        const int count = goods.RowCount();
        if (count > 0) goods.SetRowNumber(1 + pick(count));
        const int action = pick(6);
        if (action <= 1 || count == 0) {
            if (action == 0)
                goods.InsertRow();
            else
                goods.EditRow();
            goods.SetText(gfNAME, names[pick(5)]);
            goods.SetText(gfKOD, kods[pick(4)]);
            goods.SetText(gfID, ids[pick(3)]);
            if (pick(5) != 0) goods.PostRow();  // else left open: the finder sees it too
        } else if (action == 2 && count < 30) {
            goods.AppendRow();
            goods.SetText(gfNAME, names[pick(5)]);
            goods.PostRow();
        } else if (action == 3) {
            goods.DeleteRow();
        } else if (action == 4) {
            goods.SuspendViews();
            goods.EditRow();
            goods.SetText(gfNAME, names[pick(5)]);
            goods.PostRow();
            goods.ResumeViews();
        } else {  // every row walked while the views sleep, as an export's
            goods.SuspendViews();
            for (goods.MoveFirst(); !goods.AtEnd(); goods.MoveNext()) {
            }
            goods.ResumeViews();
        }
        finder.SetQuery(queries[pick(5)]);
        for (int after = 0; after <= goods.RowCount(); ++after) {
            TFindResult want;
            for (int i = 1; i <= goods.RowCount() && want.Row == 0; ++i) {
                const int row = (after + i - 1) % goods.RowCount() + 1;
                if (finder.Matches(row)) want = {row, row <= after};
            }
            ASSERT_EQ(finder.FindAfter(after), want)
                << "step " << step << " query " << finder.Query() << " after " << after;
        }
    }
}

class GridFindTest : public GoodsFinderTest {
  protected:
    TCallLog Log;
    TRecordingShell Shell{Log};
    TFakeGrid Grid{Goods, TCurrencyFormat::FromRegional(kRouble), Shell};
    TGridFind Find{Grid.Control};
};

TEST_F(GridFindTest, CtrlFThenF3WalkTheMatchesAndWrap) {
    EXPECT_FALSE(Find.CanFindNext());
    Grid.Select(0, gfNAME);
    EXPECT_EQ(Find.Find("масло"), "");
    EXPECT_EQ(Goods.RowNumber(), 4);
    EXPECT_EQ(Grid.Row, 3);
    EXPECT_TRUE(Find.CanFindNext());
    EXPECT_EQ(Find.FindNext(), TGridFind::kFindWrapped);
    EXPECT_EQ(Grid.Row, 0);
    EXPECT_EQ(Find.FindNext(), "");
    EXPECT_EQ(Grid.Row, 3);
    // No match leaves the current row where it is.
    EXPECT_EQ(Find.Find("сыр"), TGridFind::kFindNone);
    EXPECT_EQ(Grid.Row, 3);
    EXPECT_EQ(Find.Query(), "сыр");
    // The box confirmed again with the same text (case aside) goes on like F3.
    EXPECT_EQ(Find.Find(" МАСЛО"), TGridFind::kFindWrapped);
    EXPECT_EQ(Grid.Row, 0);
    EXPECT_EQ(Find.Find("масло"), "");
    EXPECT_EQ(Grid.Row, 3);
}

TEST_F(GridFindTest, TheOpenCellIsStoredFirstAndARefusedOneKeepsTheRow) {
    Grid.Select(0, gfOSTATOK);
    Grid.Type("2,5");
    EXPECT_EQ(Find.Find("вода"), "");
    EXPECT_EQ(Grid.Row, 0);
    EXPECT_EQ(Shell.Texts(), std::vector<std::string>{
                                 "'2,5' is not a valid floating point value for field 'OSTATOK'"});
    Grid.Type("2.5");
    EXPECT_EQ(Find.FindNext(), "");
    EXPECT_EQ(Grid.Row, 2);
    EXPECT_EQ(Goods.AsTextAt(1, gfOSTATOK), "2.5");
}

}  // namespace
