#include <gtest/gtest.h>

#include <functional>

#include "import/GoodsTable.h"

namespace {

// Views that wake after SuspendViews keep what they hold only when the count is as they saw it:
// every change of a value or of the rows must move it, and a walk that changes nothing must not.
struct TCountCase {
    const char* Rule;
    std::function<void(TGoodsTable&)> Act;
    bool Changes;
};

class GoodsTableChangeCount : public testing::TestWithParam<TCountCase> {};

TEST_P(GoodsTableChangeCount, MovesWithEveryChangeAndOnlyThen) {
    TGoodsTable goods;
    goods.OpenTable();
    for (const char* name : {"Хлеб", "Соль", "Чай"}) {
        goods.AppendRow();
        goods.SetText(gfNAME, name);
        goods.PostRow();
    }
    goods.SetRowNumber(2);
    const std::uint64_t before = goods.ChangeCount();
    GetParam().Act(goods);
    EXPECT_EQ(goods.ChangeCount() != before, GetParam().Changes);
}

void Edit(TGoodsTable& goods, const std::function<void(TGoodsTable&)>& set, bool post) {
    goods.EditRow();
    set(goods);
    if (post) goods.PostRow();
}

INSTANTIATE_TEST_SUITE_P(
    Steps, GoodsTableChangeCount,
    testing::Values(
        TCountCase{"a_walk_over_every_row_changes_nothing",
                   [](TGoodsTable& g) {
                       g.SuspendViews();
                       for (g.MoveFirst(); !g.AtEnd(); g.MoveNext()) {
                       }
                       g.ResumeViews();
                   },
                   false},
        TCountCase{"an_edit_begun_and_left_unchanged_changes_nothing",
                   [](TGoodsTable& g) {
                       g.EditRow();
                       g.MoveFirst();
                   },
                   false},
        TCountCase{"a_text_set",
                   [](TGoodsTable& g) {
                       Edit(
                           g, [](TGoodsTable& table) { table.SetText(gfKOD, "1"); }, true);
                   },
                   true},
        TCountCase{"an_integer_set",
                   [](TGoodsTable& g) {
                       Edit(
                           g, [](TGoodsTable& table) { table.SetInteger(gfID, 5); }, true);
                   },
                   true},
        TCountCase{"a_float_set",
                   [](TGoodsTable& g) {
                       Edit(
                           g, [](TGoodsTable& table) { table.SetFloat(gfOSTATOK, 2); }, true);
                   },
                   true},
        TCountCase{"a_value_emptied",
                   [](TGoodsTable& g) {
                       Edit(
                           g, [](TGoodsTable& table) { table.SetEmpty(gfNAME); }, true);
                   },
                   true},
        TCountCase{"an_edit_cancelled_puts_the_row_back",
                   [](TGoodsTable& g) {
                       Edit(
                           g, [](TGoodsTable& table) { table.SetText(gfNAME, "Сыр"); }, false);
                       g.CancelRow();
                   },
                   true},
        TCountCase{"a_row_inserted_and_dropped",
                   [](TGoodsTable& g) {
                       g.InsertRow();
                       g.CancelRow();
                   },
                   true},
        TCountCase{"a_row_deleted", [](TGoodsTable& g) { g.DeleteRow(); }, true},
        TCountCase{"the_rows_cleared", [](TGoodsTable& g) { g.ClearRows(); }, true}),
    [](const testing::TestParamInfo<TCountCase>& step) { return std::string(step.param.Rule); });

}  // namespace
