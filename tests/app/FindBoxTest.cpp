#include "app/FindBox.h"

#include <gtest/gtest.h>

#include "AppSupport.h"
#include "app/FindingsList.h"
#include "import/ImportRecord.h"

namespace {

class FindBoxTest : public testing::Test {
  protected:
    FindBoxTest() {
        Goods.OpenTable();
        AddRow(Goods, "1", "Масло моторное", "4600000000011");
        AddRow(Goods, "2", "Вода", "4600000000028");
        AddRow(Goods, "3", "МАСЛО сливочное", "4600000000035");
        Goods.MoveFirst();
        Grid.Select(0, gfNAME);
    }

    TGoodsTable Goods;
    TCallLog Log;
    TRecordingShell Shell{Log};
    TFakeGrid Grid{Goods, TCurrencyFormat::FromRegional(kRouble), Shell};
    TFindBox Box{Grid.Control};
};

TEST_F(FindBoxTest, EnterOnTheSameTextGoesOnAsF3AndANewTextStartsAgain) {
    struct TStep {
        const char* Rule;
        const char* Typed;  // nullptr: F3
        int Row;            // the grid's current row afterwards (from 0)
        const char* Line;
    };
    const TStep steps[] = {
        {"F3 before any text leaves the row", nullptr, 0, "(none)"},
        {"a new text finds after the current row", "масло", 2, ""},
        {"the same text again goes on, past the end", "масло", 0, TGridFind::kFindWrapped},
        {"blanks around the same text change nothing", "  масло ", 2, ""},
        {"F3 goes on with the text", nullptr, 0, TGridFind::kFindWrapped},
        {"a new text starts from the current row", "вода", 1, ""},
        {"no match keeps the row", "сыр", 1, TGridFind::kFindNone},
        {"F3 without a match keeps it too", nullptr, 1, TGridFind::kFindNone},
    };
    for (const TStep& step : steps) {
        SCOPED_TRACE(step.Rule);
        const std::optional<std::string> line =
            step.Typed ? std::optional<std::string>(Box.Enter(step.Typed)) : Box.Next();
        EXPECT_EQ(line.value_or("(none)"), step.Line);
        EXPECT_EQ(Grid.Row, step.Row);
    }
}

TEST(FindingsCaption, TitleOverTheCountsOrTheNoneLine) {
    TGoodsTable goods;
    goods.OpenTable();
    TImportRecord record;
    TFindingsList list(goods, record);
    EXPECT_EQ(FindingsCaption(list),
              "Замечания перед загрузкой в ЛАРМИС:\nЗамечаний нет: таблицы можно загружать.");
    AddRow(goods, "1", "Масло", "4601234567893");
    AddRow(goods, "2", "Вода", "4601234567893");
    EXPECT_EQ(FindingsCaption(list),
              "Замечания перед загрузкой в ЛАРМИС:\nОдинаковый штрих-код: 2");
}

}  // namespace
