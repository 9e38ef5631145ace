#include "app/FindingsList.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "AppSupport.h"
#include "import/ImportRecord.h"

namespace {

void AddStockedRow(TGoodsTable& goods, const char* id, const char* name, const char* kod) {
    goods.AppendRow();
    goods.SetText(gfID, id);
    goods.SetText(gfNAME, name);
    goods.SetText(gfKOD, kod);
    goods.SetText(gfOSTATOK, "1");
    goods.SetText(gfRPRICE, "2");
    goods.PostRow();
}

class TCountingView final : public IFindingsView {
  public:
    void FindingsChanged() override { ++Changes; }
    int Changes = 0;
};

class FindingsListTest : public testing::Test {
  protected:
    FindingsListTest() { List.SetView(&View); }
    ~FindingsListTest() override { List.SetView(nullptr); }

    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        for (int i = 0; i < List.LineCount(); ++i) lines.push_back(List.LineText(i));
        return lines;
    }

    TCallLog Log;
    TRecordingShell Shell{Log};
    TGoodsTable Goods;
    TImportRecord Record;
    TFakeGrid Grid{Goods, TCurrencyFormat::FromRegional(kRouble), Shell};
    TFindingsList List{Goods, Record};
    TCountingView View;
};

TEST_F(FindingsListTest, NothingToShowIsOneLineThatNamesNoRow) {
    const std::vector<std::string> none = {kNoFindings};
    EXPECT_EQ(Lines(), none);
    EXPECT_EQ(List.SummaryText(), kNoFindings);
    EXPECT_EQ(List.RowOf(0), 0);
    EXPECT_FALSE(List.Choose(0, Grid.Control));
    Goods.OpenTable();
    AddStockedRow(Goods, "1", "Хлеб", "4006381333931");
    EXPECT_EQ(Lines(), none);
    EXPECT_GE(View.Changes, 2);
}

TEST_F(FindingsListTest, ChoosingAFindingMakesItsRowCurrentInTheGrid) {
    Goods.OpenTable();
    AddStockedRow(Goods, "1", "Хлеб", "4006381333931");
    AddStockedRow(Goods, "2", "Молоко", "5901234123457");
    AddStockedRow(Goods, "3", "Сахар", "4006381333931");
    AddStockedRow(Goods, "4", "Соль", "12A");
    Goods.MoveFirst();
    EXPECT_EQ(Lines(), (std::vector<std::string>{
                           "Одинаковый штрих-код | 1 | 4006381333931 | Хлеб | штрих-код у 2 "
                           "товаров (первый в строке 1): сканер не различит их",
                           "Одинаковый штрих-код | 3 | 4006381333931 | Сахар | штрих-код у 2 "
                           "товаров (первый в строке 1): сканер не различит их",
                           "Штрих-код не прочтет сканер | 4 | 12A | Соль | штрих-код не только из "
                           "цифр: сканер его не прочтет"}));
    EXPECT_EQ(List.SummaryText(), "Одинаковый штрих-код: 2; Штрих-код не прочтет сканер: 1");
    EXPECT_EQ(List.Counts()[ckDuplicateBarcode], 2);
    EXPECT_TRUE(List.Choose(1, Grid.Control));
    EXPECT_EQ(Goods.RowNumber(), 3);
    EXPECT_EQ(Grid.Row, 2);  // the grid counts from 0
    EXPECT_TRUE(List.Choose(2, Grid.Control));
    EXPECT_EQ(Grid.Row, 3);
    EXPECT_FALSE(List.Choose(3, Grid.Control));
    EXPECT_EQ(Grid.Row, 3);
}

TEST_F(FindingsListTest, FixingABarcodeInTheGridTakesItsFindingAway) {
    Goods.OpenTable();
    AddStockedRow(Goods, "1", "Хлеб", "4006381333931");
    AddStockedRow(Goods, "2", "Молоко", "4006381333931");
    Goods.MoveFirst();
    ASSERT_EQ(List.Findings().size(), 2u);
    List.Choose(1, Grid.Control);
    Grid.Select(1, gfKOD);
    Grid.Type("5901234123457");
    // The typed text alone changes nothing; the finding goes when the row is posted.
    EXPECT_EQ(List.Findings().size(), 2u);
    const int before = View.Changes;
    Grid.Press(grUp);
    EXPECT_GT(View.Changes, before);
    EXPECT_EQ(Lines(), std::vector<std::string>{kNoFindings});
    // An edit that makes a duplicate again brings it back; deleting the row takes it away.
    Grid.Select(1, gfKOD);
    Grid.Type("4006381333931");
    Grid.Press(grUp);
    EXPECT_EQ(List.Findings().size(), 2u);
    Shell.ConfirmAnswers.push_back(true);
    Grid.Select(1, gfKOD);
    Grid.Press(grDelete, false, true);
    EXPECT_EQ(Goods.RowCount(), 1);
    EXPECT_EQ(Lines(), std::vector<std::string>{kNoFindings});
}

TEST_F(FindingsListTest, AStockLineIsListedButNamesNoRow) {
    Goods.OpenTable();
    AddStockedRow(Goods, "1", "Хлеб", "4006381333931");
    Record.HasStockReport = true;
    Record.Receive(1, {10000, 20000});
    Record.UnknownLines.push_back({7, 99});
    Record.Finish();
    List.Refresh();
    EXPECT_EQ(Lines(), std::vector<std::string>{"Строка отчета без товара | 99 | строка 7 отчета "
                                                "об остатках: товара с этим кодом нет, ее не "
                                                "загрузят"});
    EXPECT_EQ(List.RowOf(0), 0);
    EXPECT_FALSE(List.Choose(0, Grid.Control));
}

// A barcode on 600 rows and a code on 400, where the list keeps each group's rows sorted as well:
// rows leave and join them in the middle and before the first, the groups shrink below the length
// and grow past it again from the end.
TEST_F(FindingsListTest, LongGroupsFollowRowsThatLeaveAndJoinThemAnywhere) {
    Goods.OpenTable();
    const char* shared = "4006381333931";
    for (int row = 1; row <= 1200; ++row)
        AddStockedRow(Goods, std::to_string(row % 3 == 0 ? 5 : row).c_str(), "Хлеб",
                      row % 2 == 0 ? shared : "");
    // Rows First, First + By, ... up to Last take the text.
    struct TStep {
        int First, Last, By;
        TGoodsField Field;
        const char* Text;
    };
    const TStep steps[] = {
        {600, 600, 1, gfKOD, ""}, {600, 601, 1, gfKOD, shared}, {2, 2, 1, gfKOD, ""},
        {1, 3, 2, gfKOD, shared}, {699, 699, 1, gfID, "9999"},  {702, 702, 1, gfRPRICE, "7.5"},
        {2, 1000, 2, gfKOD, ""},  {3, 999, 3, gfID, "6"},       {1000, 2, -2, gfKOD, shared},
        {999, 3, -3, gfID, "5"},
    };
    for (const TStep& step : steps) {
        for (int row = step.First; step.By > 0 ? row <= step.Last : row >= step.Last;
             row += step.By) {
            Goods.SetRowNumber(row);
            Goods.EditRow();
            Goods.SetText(step.Field, step.Text);
            Goods.PostRow();
        }
        ASSERT_EQ(List.Findings(), CheckGoods(Goods, Record)) << "rows from " << step.First;
    }
}

// Whatever the operator does, the list holds what a fresh check of the table would find, though it
// checks only the rows a change concerns: a long random walk of edits, cancels, inserts and
// deletes, watched also by a list whose index keeps two rows a block, so blocks split and empty.
TEST_F(FindingsListTest, EveryChangeLeavesTheListAsAFreshCheckWouldMakeIt) {
    Goods.OpenTable();
    const char* ids[] = {"", "1", "2", "3", "4"};
    // Besides the cross-row cases: characters the tables replace, and values they cannot hold.
    const char* kods[] = {
        "",   "4006381333931",    "4006381333931 ", "4006381333932", "2220000000001", "A1",
        "  ", "1234567890123456", "40–06"};
    const char* amounts[] = {"", "0", "1", "2.5", "10000000", "-1000000", "1E15"};
    const char* names[] = {"", "Хлеб", "Соль", "Чай «Липтон»", "Сок “Добрый”"};
    const char* rates[] = {"", "18", "100000", "-10000"};
    const int kodCount = static_cast<int>(std::size(kods));
    const int amountCount = static_cast<int>(std::size(amounts));
    const int nameCount = static_cast<int>(std::size(names));
    for (int i = 0; i < 6; ++i) {
        AddStockedRow(Goods, ids[1 + i % 4], names[i % 3], kods[i % 7]);
    }
    Record.HasStockReport = true;
    Record.Receive(1, {-10000, 0});
    Record.Receive(2, {20000, -10000});
    Record.UnknownLines.push_back({3, 40});
    Record.Generated.push_back("2220000000001");
    Record.Finish();
    List.Refresh();
    TFindingsList small(Goods, Record, 2);
    const auto holds = [&](const TFindingsList& list, const std::vector<TFinding>& fresh) {
        if (list.Findings() != fresh || list.Counts() != CountByKind(fresh)) return false;
        for (std::size_t line = 0; line < fresh.size(); ++line)
            if (list.FindingAt(static_cast<int>(line)) != fresh[line]) return false;
        return true;
    };

    std::mt19937 random(14);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int step = 0; step < 3000; ++step) {
        const int count = Goods.RowCount();
        if (count > 0) Goods.SetRowNumber(1 + pick(count));
        std::string did;
        switch (pick(10)) {
            case 0:
            case 1:
            case 2: {  // an edit of one value, mostly posted
                Goods.EditRow();
                const auto field = static_cast<TGoodsField>(pick(kGoodsFieldCount));
                const char* text = field == gfID     ? ids[pick(5)]
                                   : field == gfKOD  ? kods[pick(kodCount)]
                                   : field == gfNAME ? names[pick(nameCount)]
                                   : field == gfNDS  ? rates[pick(4)]
                                   : field == gfOSTATOK || field == gfRPRICE
                                       ? amounts[pick(amountCount)]
                                       : "5";
                Goods.SetText(field, text);
                did = std::string("edit ") + GoodsFieldName(field) + " '" + text + "'";
                if (pick(4) == 0) {
                    Goods.CancelRow();
                    did += " cancelled";
                } else {
                    Goods.PostRow();
                }
                break;
            }
            case 3:  // a new row left as it is
                Goods.InsertRow();
                Goods.CancelRow();
                did = "insert cancelled";
                break;
            case 4:  // a new row with a name (and price) only, or with a code
                Goods.InsertRow();
                Goods.SetText(gfNAME, names[1 + pick(nameCount - 1)]);
                Goods.SetText(gfRPRICE, amounts[pick(amountCount)]);
                if (pick(2) == 0) Goods.SetText(gfID, ids[1 + pick(4)]);
                Goods.PostRow();
                did = "insert";
                break;
            case 5:
                Goods.DeleteRow();
                did = "delete";
                break;
            case 6:  // an edit while the views sleep, as an export's
                Goods.EditRow();
                Goods.SetText(gfKOD, kods[pick(kodCount)]);
                Goods.SuspendViews();
                Goods.PostRow();
                Goods.ResumeViews();
                did = "edit unseen";
                break;
            case 7: {  // the views wake in the middle of an edit that then goes back
                Goods.EditRow();
                const std::string kod = Goods.AsText(gfKOD);
                Goods.SetText(gfKOD, kods[pick(kodCount)]);
                Goods.SuspendViews();
                Goods.ResumeViews();
                Goods.SetText(gfKOD, kod);
                Goods.PostRow();
                did = "edit seen half-way";
                break;
            }
            case 8:
                if (count < 40)
                    AddStockedRow(Goods, ids[pick(5)], names[pick(nameCount)],
                                  kods[pick(kodCount)]);
                did = "append";
                break;
            case 9:  // every row walked while the views sleep, as an export's
                Goods.SuspendViews();
                for (Goods.MoveFirst(); !Goods.AtEnd(); Goods.MoveNext()) {
                }
                Goods.ResumeViews();
                did = "walk unseen";
                break;
        }
        const std::vector<TFinding> fresh = CheckGoods(Goods, Record);
        ASSERT_EQ(List.Findings(), fresh) << "step " << step << ": " << did;
        ASSERT_TRUE(holds(List, fresh)) << "step " << step << ": " << did;
        ASSERT_TRUE(holds(small, fresh)) << "step " << step << ": " << did;
    }
}

}  // namespace
