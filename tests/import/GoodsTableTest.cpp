#include "import/GoodsTable.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// Writes down every notification as text, in order.
class TRecordingView : public IGoodsView {
  public:
    std::vector<std::string> Log;
    void GoodsBeginInsert(int row) override { Log.push_back("BeginInsert " + std::to_string(row)); }
    void GoodsEndInsert() override { Log.push_back("EndInsert"); }
    void GoodsBeginRemove(int row) override { Log.push_back("BeginRemove " + std::to_string(row)); }
    void GoodsEndRemove() override { Log.push_back("EndRemove"); }
    void GoodsRowChanged(int row) override { Log.push_back("RowChanged " + std::to_string(row)); }
    void GoodsCurrentChanged(int row) override { Log.push_back("Current " + std::to_string(row)); }
    void GoodsRefreshAll() override { Log.push_back("RefreshAll"); }
};

using TLog = std::vector<std::string>;

// An open table with one posted row per ID.
void Fill(TGoodsTable& t, const std::vector<int>& ids) {
    t.OpenTable();
    for (int id : ids) {
        t.AppendRow();
        t.SetInteger(gfID, id);
        t.PostRow();
    }
}

std::vector<int> Ids(const TGoodsTable& t) {
    std::vector<int> ids;
    for (int r = 1; r <= t.RowCount(); ++r) ids.push_back(std::stoi(t.AsTextAt(r, gfID)));
    return ids;
}

std::string Repeated(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

TEST(GoodsTable, ClearRowsOnAClosedTableDoesNothing) {
    TGoodsTable t;
    TRecordingView view;
    t.AttachView(&view);
    t.ClearRows();
    EXPECT_FALSE(t.IsOpen());
    EXPECT_EQ(t.State(), gsClosed);
    EXPECT_EQ(view.Log, TLog{});
}

TEST(GoodsTable, ClearRowsEmptiesAndMoveFirstThenSetsAtEnd) {
    TGoodsTable t;
    Fill(t, {1, 2, 3});
    t.OpenTable();  // already open: keeps its rows
    EXPECT_EQ(t.RowCount(), 3);
    t.ClearRows();
    EXPECT_EQ(t.RowCount(), 0);
    EXPECT_EQ(t.RowNumber(), 0);
    t.MoveFirst();
    EXPECT_TRUE(t.AtEnd());
    t.MoveNext();
    EXPECT_TRUE(t.AtEnd());
}

TEST(GoodsTable, ClearRowsCommitsAChangedPendingRowFirst) {
    TGoodsTable t;
    Fill(t, {1});
    TRecordingView view;
    t.AttachView(&view);
    t.EditRow();
    t.SetInteger(gfID, 5);
    t.ClearRows();
    EXPECT_EQ(t.State(), gsBrowse);
    EXPECT_EQ(view.Log, (TLog{"Current 1", "RowChanged 1", "Current 1", "RefreshAll"}));
}

TEST(GoodsTable, RowOperationsOnAClosedTableAreRefused) {
    const std::vector<std::function<void(TGoodsTable&)>> operations = {
        [](TGoodsTable& t) { t.AppendRow(); }, [](TGoodsTable& t) { t.InsertRow(); },
        [](TGoodsTable& t) { t.EditRow(); },   [](TGoodsTable& t) { t.DeleteRow(); },
        [](TGoodsTable& t) { t.MoveFirst(); }, [](TGoodsTable& t) { t.MoveNext(); },
    };
    for (std::size_t i = 0; i < operations.size(); ++i) {
        TGoodsTable t;
        try {
            operations[i](t);
            ADD_FAILURE() << "operation " << i << " did not fail";
        } catch (const EGoodsTable& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot perform this operation on a closed dataset");
        }
        EXPECT_EQ(t.RowCount(), 0);
    }
}

TEST(GoodsTable, SetRowNumberOutsideTheRowsChangesNothing) {
    TGoodsTable t;
    Fill(t, {10, 20, 30});
    t.SetRowNumber(2);
    for (int row : {0, -1, 4, 1000}) {
        t.SetRowNumber(row);
        EXPECT_EQ(t.RowNumber(), 2) << row;
        EXPECT_EQ(t.AsInteger(gfID), 20) << row;
    }
    t.SetRowNumber(3);
    EXPECT_EQ(t.AsInteger(gfID), 30);
}

TEST(GoodsTable, MoveNextWalksToTheEnd) {
    TGoodsTable t;
    Fill(t, {10, 20, 30});
    std::vector<int> seen;
    for (t.MoveFirst(); !t.AtEnd(); t.MoveNext()) seen.push_back(t.AsInteger(gfID));
    EXPECT_EQ(seen, (std::vector<int>{10, 20, 30}));
    EXPECT_EQ(t.RowNumber(), 3);  // the last row stays current
    t.SetRowNumber(1);
    EXPECT_FALSE(t.AtEnd());
}

TEST(GoodsTable, SettingIsRefusedUnlessInsertingOrEditing) {
    const std::vector<std::function<void(TGoodsTable&)>> setters = {
        [](TGoodsTable& t) { t.SetInteger(gfID, 1); },
        [](TGoodsTable& t) { t.SetFloat(gfOSTATOK, 1); },
        [](TGoodsTable& t) { t.SetAmount(gfRPRICE, 10000); },
        [](TGoodsTable& t) { t.SetText(gfNAME, "x"); },
        [](TGoodsTable& t) { t.SetEmpty(gfKOD); },
    };
    for (bool open : {false, true}) {
        for (std::size_t i = 0; i < setters.size(); ++i) {
            TGoodsTable t;
            if (open) Fill(t, {7});
            try {
                setters[i](t);
                ADD_FAILURE() << "setter " << i << " did not fail";
            } catch (const EGoodsTable& e) {
                EXPECT_EQ(std::string(e.what()), "Dataset not in edit or insert mode");
            }
            if (open) {
                EXPECT_EQ(t.AsText(gfID), "7");
            }
        }
    }
}

TEST(GoodsTable, AppendedRowStartsWithEveryValueEmpty) {
    TGoodsTable t;
    t.OpenTable();
    t.AppendRow();
    EXPECT_EQ(t.State(), gsInsert);
    for (int f = 0; f < kGoodsFieldCount; ++f) {
        EXPECT_TRUE(t.IsEmpty(TGoodsField(f))) << f;
        EXPECT_EQ(t.AsText(TGoodsField(f)), "") << f;
    }
    EXPECT_EQ(t.AsInteger(gfCATEGORY), 0);
    EXPECT_EQ(t.AsFloat(gfOSTATOK), 0.0);
    EXPECT_EQ(t.AsAmount(gfRPRICE), 0);
}

TEST(GoodsTable, TextsAreCutToTheColumnWidthInCharacters) {
    TGoodsTable t;
    t.OpenTable();
    t.AppendRow();
    t.SetText(gfNAME, Repeated("Ж", 60));  // two UTF-8 bytes each: the cut counts characters
    t.SetText(gfKOD, "1234567890123456789012345");
    t.PostRow();
    EXPECT_EQ(t.AsText(gfNAME), Repeated("Ж", 50));
    EXPECT_EQ(t.AsText(gfKOD), "12345678901234567890");
    t.EditRow();
    t.SetText(gfNAME, "Шоколад Алёнка 100г");
    t.SetText(gfKOD, "Ёлка-ёлка-ёлка-ёлка-ёлка");
    t.PostRow();
    EXPECT_EQ(t.AsText(gfNAME), "Шоколад Алёнка 100г");
    EXPECT_EQ(t.AsText(gfKOD), "Ёлка-ёлка-ёлка-ёлка-");
}

TEST(GoodsTable, AmountsAreStoredAsTenThousandths) {
    struct TCase {
        std::int64_t Amount;
        double Float;
        std::string Text;
    };
    const TCase cases[] = {
        {10000, 1.0, "1"}, {125000, 12.5, "12.5"}, {1, 0.0001, "0.0001"},
        {0, 0.0, "0"},     {-25000, -2.5, "-2.5"}, {349000, 34.9, "34.9"},
    };
    TGoodsTable t;
    t.OpenTable();
    for (const TCase& c : cases) {
        t.AppendRow();
        t.SetAmount(gfRPRICE, c.Amount);
        t.PostRow();
        EXPECT_EQ(t.AsFloat(gfRPRICE), c.Float) << c.Amount;
        EXPECT_EQ(t.AsText(gfRPRICE), c.Text) << c.Amount;
        EXPECT_EQ(t.AsAmount(gfRPRICE), c.Amount) << c.Amount;
        EXPECT_FALSE(t.IsEmpty(gfRPRICE));
    }
}

TEST(GoodsTable, FloatsReadAsGeneralText) {
    const std::pair<double, std::string> cases[] = {
        {1, "1"}, {12.5, "12.5"}, {0.0001, "0.0001"}, {0.00001, "1E-5"}, {1.5e20, "1.5E20"},
    };
    TGoodsTable t;
    t.OpenTable();
    t.AppendRow();
    for (const auto& [value, text] : cases) {
        t.SetFloat(gfOSTATOK, value);
        EXPECT_EQ(t.AsText(gfOSTATOK), text);
    }
}

TEST(GoodsTable, IntegersReadAsDecimalDigits) {
    TGoodsTable t;
    t.OpenTable();
    t.AppendRow();
    t.SetInteger(gfID, -2147483647 - 1);
    t.SetInteger(gfCATEGORY, 2147483647);
    t.SetInteger(gfNDS, 0);
    EXPECT_EQ(t.AsText(gfID), "-2147483648");
    EXPECT_EQ(t.AsText(gfCATEGORY), "2147483647");
    EXPECT_EQ(t.AsText(gfNDS), "0");
    EXPECT_FALSE(t.IsEmpty(gfNDS));
    EXPECT_EQ(t.AsFloat(gfCATEGORY), 2147483647.0);
}

struct TTextWrite {
    const char* Rule;
    TGoodsField Field;
    std::string Text;
    std::string Stored;  // the value read back as text
};

class GoodsTableValidTextWrite : public testing::TestWithParam<TTextWrite> {};

TEST_P(GoodsTableValidTextWrite, IsStoredByTheColumnsRule) {
    const TTextWrite& c = GetParam();
    TGoodsTable t;
    t.OpenTable();
    t.AppendRow();
    t.SetText(c.Field, c.Text);
    EXPECT_EQ(t.AsText(c.Field), c.Stored);
    EXPECT_TRUE(t.Modified());
}

INSTANTIATE_TEST_SUITE_P(
    Rules, GoodsTableValidTextWrite,
    testing::Values(TTextWrite{"Integer", gfID, "15", "15"},
                    TTextWrite{"IntegerAfterBlanks", gfID, "  -3", "-3"},
                    TTextWrite{"HexadecimalWithDollar", gfCATEGORY, "$1F", "31"},
                    TTextWrite{"HexadecimalWith0x", gfNDS, "0x12", "18"},
                    TTextWrite{"SmallestInteger", gfID, "-2147483648", "-2147483648"},
                    TTextWrite{"Quantity", gfOSTATOK, "12.5", "12.5"},
                    TTextWrite{"QuantityBetweenBlanks", gfOSTATOK, " 2 ", "2"},
                    TTextWrite{"PriceWithExponent", gfRPRICE, "1e3", "1000"},
                    TTextWrite{"PriceWithoutLeadingZero", gfRPRICE, "-.5", "-0.5"},
                    TTextWrite{"NameKeepsItsBlanks", gfNAME, " Кофе 3в1 ", " Кофе 3в1 "},
                    TTextWrite{"Barcode", gfKOD, "0", "0"}),
    [](const testing::TestParamInfo<TTextWrite>& write) { return std::string(write.param.Rule); });

class GoodsTableInvalidTextWrite : public testing::TestWithParam<TTextWrite> {};

// Stored holds the expected message here.
TEST_P(GoodsTableInvalidTextWrite, FailsWithTheMessageAndKeepsTheValue) {
    const TTextWrite& c = GetParam();
    TGoodsTable t;
    t.OpenTable();
    t.AppendRow();
    t.SetText(c.Field, "7");
    t.PostRow();
    t.EditRow();
    try {
        t.SetText(c.Field, c.Text);
        ADD_FAILURE() << "no error for " << c.Text;
    } catch (const EGoodsTable& e) {
        EXPECT_EQ(std::string(e.what()), c.Stored);
    }
    EXPECT_EQ(t.AsText(c.Field), "7");
    EXPECT_FALSE(t.Modified());
}

INSTANTIATE_TEST_SUITE_P(
    Rules, GoodsTableInvalidTextWrite,
    testing::Values(TTextWrite{"LetterInAnInteger", gfCATEGORY, "12a",
                               "'12a' is not a valid integer value for field 'CATEGORY'"},
                    TTextWrite{"BlankAfterAnInteger", gfID, "15 ",
                               "'15 ' is not a valid integer value for field 'ID'"},
                    TTextWrite{"IntegerBeyondTheLargest", gfID, "2147483648",
                               "'2147483648' is not a valid integer value for field 'ID'"},
                    TTextWrite{"DecimalForAnInteger", gfNDS, "1.5",
                               "'1.5' is not a valid integer value for field 'NDS'"},
                    TTextWrite{"CommaInAQuantity", gfOSTATOK, "2,5",
                               "'2,5' is not a valid floating point value for field 'OSTATOK'"},
                    TTextWrite{"PriceBeyondTheDouble", gfRPRICE, "1E400",
                               "'1E400' is not a valid floating point value for field 'RPRICE'"},
                    TTextWrite{"LettersForAPrice", gfRPRICE, "abc",
                               "'abc' is not a valid floating point value for field 'RPRICE'"}),
    [](const testing::TestParamInfo<TTextWrite>& write) { return std::string(write.param.Rule); });

TEST(GoodsTable, EmptyTextMakesAnyValueEmpty) {
    TGoodsTable t;
    t.OpenTable();
    t.AppendRow();
    for (int f = 0; f < kGoodsFieldCount; ++f) t.SetText(TGoodsField(f), "5");
    t.PostRow();
    t.EditRow();
    for (int f = 0; f < kGoodsFieldCount; ++f) {
        t.SetText(TGoodsField(f), "");
        EXPECT_TRUE(t.IsEmpty(TGoodsField(f))) << f;
        EXPECT_EQ(t.AsText(TGoodsField(f)), "") << f;
    }
}

TEST(GoodsTable, FloatIntoAnIntegerColumnRoundsHalfToEven) {
    TGoodsTable t;
    t.OpenTable();
    t.AppendRow();
    const std::pair<double, int> cases[] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {2.6, 3}};
    for (const auto& [value, want] : cases) {
        t.SetFloat(gfCATEGORY, value);
        EXPECT_EQ(t.AsInteger(gfCATEGORY), want) << value;
    }
    EXPECT_THROW(t.SetFloat(gfCATEGORY, 3e9), EGoodsTable);
    EXPECT_EQ(t.AsInteger(gfCATEGORY), 3);
}

TEST(GoodsTable, MoveCommitsAChangedInsertedRow) {
    for (bool first : {true, false}) {
        TGoodsTable t;
        Fill(t, {1});
        t.AppendRow();
        t.SetInteger(gfID, 2);
        first ? t.MoveFirst() : t.MoveNext();
        EXPECT_EQ(t.State(), gsBrowse);
        EXPECT_EQ(Ids(t), (std::vector<int>{1, 2}));
        // The committed row was the last one: MoveNext stays on it and reaches the end.
        EXPECT_EQ(t.RowNumber(), first ? 1 : 2);
        EXPECT_EQ(t.AtEnd(), !first);
    }
}

TEST(GoodsTable, MoveAbandonsAnUnchangedInsertedRow) {
    for (bool first : {true, false}) {
        TGoodsTable t;
        Fill(t, {1, 2});
        t.SetRowNumber(1);
        t.InsertRow();
        EXPECT_EQ(t.RowCount(), 3);
        first ? t.MoveFirst() : t.MoveNext();
        EXPECT_EQ(t.State(), gsBrowse);
        EXPECT_EQ(Ids(t), (std::vector<int>{1, 2}));
        // After the abandoned insertion row 1 is current again; MoveNext goes on from it.
        EXPECT_EQ(t.RowNumber(), first ? 1 : 2);
    }
}

TEST(GoodsTable, MoveCommitsAChangedEditAndAbandonsAnUnchangedOne) {
    TGoodsTable t;
    Fill(t, {1, 2});
    t.MoveFirst();
    t.EditRow();
    t.SetText(gfNAME, "Кофе 3в1 Нескафе");
    t.MoveNext();
    EXPECT_EQ(t.AsTextAt(1, gfNAME), "Кофе 3в1 Нескафе");
    t.EditRow();
    EXPECT_FALSE(t.Modified());
    t.MoveFirst();
    EXPECT_EQ(t.State(), gsBrowse);
    EXPECT_EQ(Ids(t), (std::vector<int>{1, 2}));
}

TEST(GoodsTable, CancelRowRestoresTheEditedRow) {
    TGoodsTable t;
    t.OpenTable();
    t.AppendRow();
    t.SetInteger(gfID, 15);
    t.SetText(gfNAME, "Омыватель стекла -20 5л");
    t.SetText(gfKOD, "4601234567890123");  // longer than a generated barcode
    t.SetFloat(gfOSTATOK, 12.5);
    t.PostRow();
    t.EditRow();
    t.SetInteger(gfID, 16);
    t.SetText(gfNAME, "Другое");
    t.SetText(gfKOD, "1");
    t.SetEmpty(gfOSTATOK);
    t.SetFloat(gfRPRICE, 3);
    t.CancelRow();
    EXPECT_EQ(t.State(), gsBrowse);
    EXPECT_EQ(t.AsText(gfID), "15");
    EXPECT_EQ(t.AsText(gfNAME), "Омыватель стекла -20 5л");
    EXPECT_EQ(t.AsText(gfKOD), "4601234567890123");
    EXPECT_EQ(t.AsText(gfOSTATOK), "12.5");
    EXPECT_TRUE(t.IsEmpty(gfRPRICE));
}

TEST(GoodsTable, CancelRowDropsTheInsertedRow) {
    TGoodsTable t;
    Fill(t, {1, 2, 3});
    t.SetRowNumber(2);
    t.InsertRow();
    EXPECT_EQ(t.RowNumber(), 2);
    t.SetInteger(gfID, 9);
    EXPECT_EQ(Ids(t), (std::vector<int>{1, 9, 2, 3}));
    t.CancelRow();
    EXPECT_EQ(Ids(t), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(t.RowNumber(), 2);
    EXPECT_EQ(t.AsInteger(gfID), 2);
}

TEST(GoodsTable, InsertRowGoesBeforeTheCurrentRow) {
    TGoodsTable t;
    Fill(t, {1, 2});
    t.SetRowNumber(2);
    t.InsertRow();
    t.SetInteger(gfID, 5);
    t.PostRow();
    EXPECT_EQ(Ids(t), (std::vector<int>{1, 5, 2}));
    EXPECT_EQ(t.RowNumber(), 2);
    TGoodsTable empty;
    empty.OpenTable();
    empty.InsertRow();
    empty.SetInteger(gfID, 8);
    empty.PostRow();
    EXPECT_EQ(Ids(empty), (std::vector<int>{8}));
}

TEST(GoodsTable, DeleteRowMakesTheNextOrTheNewLastRowCurrent) {
    TGoodsTable t;
    Fill(t, {1, 2, 3});
    t.SetRowNumber(2);
    t.DeleteRow();
    EXPECT_EQ(Ids(t), (std::vector<int>{1, 3}));
    EXPECT_EQ(t.AsInteger(gfID), 3);
    t.DeleteRow();
    EXPECT_EQ(Ids(t), (std::vector<int>{1}));
    EXPECT_EQ(t.RowNumber(), 1);
    t.DeleteRow();
    EXPECT_EQ(t.RowCount(), 0);
    EXPECT_EQ(t.RowNumber(), 0);
    EXPECT_TRUE(t.AtEnd());
    t.DeleteRow();  // nothing left: nothing happens
    EXPECT_EQ(t.RowCount(), 0);
}

TEST(GoodsTable, DeleteRowWhileInsertingCancelsTheInsertion) {
    TGoodsTable t;
    Fill(t, {1, 2});
    t.AppendRow();
    t.SetInteger(gfID, 3);
    t.DeleteRow();
    EXPECT_EQ(Ids(t), (std::vector<int>{1, 2}));
    EXPECT_EQ(t.State(), gsBrowse);
    EXPECT_EQ(t.RowNumber(), 2);
}

TEST(GoodsTable, DeleteRowWhileEditingRemovesTheRow) {
    TGoodsTable t;
    Fill(t, {1, 2});
    t.SetRowNumber(1);
    t.EditRow();
    t.SetInteger(gfID, 5);
    t.DeleteRow();
    EXPECT_EQ(Ids(t), (std::vector<int>{2}));
    EXPECT_EQ(t.State(), gsBrowse);
}

TEST(GoodsTable, EditRowOnAnEmptyTableStartsANewRow) {
    TGoodsTable t;
    t.OpenTable();
    t.EditRow();
    EXPECT_EQ(t.State(), gsInsert);
    EXPECT_EQ(t.RowCount(), 1);
    t.CancelRow();
    EXPECT_EQ(t.RowCount(), 0);
}

TEST(GoodsTable, ValuesOfOtherRowsReadWithoutMovingTheCurrentRow) {
    TGoodsTable t;
    t.OpenTable();
    for (int i = 1; i <= 3; ++i) {
        t.AppendRow();
        t.SetInteger(gfID, i * 10);
        if (i != 2) t.SetAmount(gfOSTATOK, i * 15000);
        t.PostRow();
    }
    t.SetRowNumber(1);
    EXPECT_EQ(t.AsTextAt(3, gfID), "30");
    EXPECT_EQ(t.AsFloatAt(3, gfOSTATOK), 4.5);
    EXPECT_TRUE(t.IsEmptyAt(2, gfOSTATOK));
    EXPECT_EQ(t.AsTextAt(2, gfOSTATOK), "");
    EXPECT_EQ(t.AsTextAt(4, gfID), "");
    EXPECT_EQ(t.RowNumber(), 1);
}

TEST(GoodsTable, ViewsHearOfInsertPostAndCancel) {
    TGoodsTable t;
    TRecordingView view;
    t.AttachView(&view);
    t.OpenTable();
    t.AppendRow();
    t.SetInteger(gfID, 1);
    t.PostRow();
    t.EditRow();
    t.CancelRow();
    t.AppendRow();
    t.CancelRow();
    EXPECT_EQ(view.Log,
              (TLog{"RefreshAll", "BeginInsert 1", "EndInsert", "Current 1", "RowChanged 1",
                    "Current 1", "Current 1", "RowChanged 1", "Current 1", "BeginInsert 2",
                    "EndInsert", "Current 2", "BeginRemove 2", "EndRemove", "Current 1"}));
}

TEST(GoodsTable, ViewsHearOfMovesAndDeletions) {
    TGoodsTable t;
    Fill(t, {1, 2});
    TRecordingView view;
    t.AttachView(&view);
    t.MoveFirst();
    t.MoveFirst();  // no change, no word
    t.SetRowNumber(2);
    t.MoveNext();  // only AtEnd changes
    t.DeleteRow();
    EXPECT_EQ(view.Log,
              (TLog{"Current 1", "Current 2", "BeginRemove 2", "EndRemove", "Current 1"}));
}

TEST(GoodsTable, SuspendedViewsHearNothingUntilTheLastResume) {
    TGoodsTable t;
    TRecordingView view;
    TRecordingView detached;
    t.AttachView(&view);
    t.AttachView(&detached);
    t.DetachView(&detached);
    t.SuspendViews();
    t.SuspendViews();
    Fill(t, {1, 2});
    t.ClearRows();
    Fill(t, {3});
    t.ResumeViews();
    EXPECT_EQ(view.Log, TLog{});
    t.ResumeViews();
    EXPECT_EQ(view.Log, TLog{"RefreshAll"});
    t.ResumeViews();  // an unmatched resume changes nothing
    t.MoveFirst();
    t.EditRow();
    EXPECT_EQ(view.Log, (TLog{"RefreshAll", "Current 1"}));
    EXPECT_EQ(detached.Log, TLog{});
}

// Many edits leave dead text behind; the table rebuilds its text store without losing a value,
// also the saved copy of a row being edited.
// Reserving room is invisible: a pending row, the current row, the texts and the views stay.
TEST(GoodsTable, ReservingRoomChangesNothingVisible) {
    TGoodsTable t;
    Fill(t, {1, 2});
    t.AppendRow();
    t.SetInteger(gfID, 3);
    t.SetText(gfNAME, "Антифриз");
    TRecordingView view;
    t.AttachView(&view);
    t.Reserve(100000, 8000000);
    EXPECT_TRUE(view.Log.empty());
    EXPECT_EQ(t.State(), gsInsert);
    EXPECT_TRUE(t.Modified());
    EXPECT_EQ(t.AsText(gfNAME), "Антифриз");
    t.PostRow();
    EXPECT_EQ(Ids(t), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(t.RowNumber(), 3);
    for (int r = 0; r < 3000; ++r) {
        t.AppendRow();
        t.SetText(gfNAME, "Тосол " + std::to_string(r));
        t.PostRow();
    }
    EXPECT_EQ(t.AsTextAt(3, gfNAME), "Антифриз");
    EXPECT_EQ(t.AsTextAt(3003, gfNAME), "Тосол 2999");
    t.DetachView(&view);
}

TEST(GoodsTable, TextsSurviveManyEdits) {
    TGoodsTable t;
    t.OpenTable();
    const int rows = 300;
    for (int r = 1; r <= rows; ++r) {
        t.AppendRow();
        t.SetText(gfNAME, "Масло моторное Лукойл 5W-40 4л №" + std::to_string(r));
        t.SetText(gfKOD, "Код-" + std::to_string(r) + "-длинный");
        t.PostRow();
    }
    t.SetRowNumber(1);
    t.EditRow();
    for (int i = 0; i < 40000; ++i) {
        int r = 2 + i % (rows - 1);
        t.SetRowNumber(r);
        t.EditRow();
        t.SetText(gfNAME, Repeated("ё", 30) + std::to_string(i));
        t.SetText(gfKOD, "Ш" + std::to_string(i) + "-длинный");
        t.PostRow();
    }
    t.SetRowNumber(1);
    t.EditRow();
    for (int i = 0; i < 20000; ++i) t.SetText(gfNAME, Repeated("щ", 50));
    t.CancelRow();
    EXPECT_EQ(t.AsTextAt(1, gfNAME), "Масло моторное Лукойл 5W-40 4л №1");
    EXPECT_EQ(t.AsTextAt(1, gfKOD), "Код-1-длинный");
    for (int i = 40000 - (rows - 1); i < 40000; ++i) {
        int r = 2 + i % (rows - 1);
        EXPECT_EQ(t.AsTextAt(r, gfNAME), Repeated("ё", 30) + std::to_string(i)) << r;
        EXPECT_EQ(t.AsTextAt(r, gfKOD), "Ш" + std::to_string(i) + "-длинный") << r;
    }
}

}  // namespace
