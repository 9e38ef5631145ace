#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "import/GoodsTable.h"

// Test names and failure reports call a column by its name.
static void PrintTo(const TGoodsColumn& column, std::ostream* out) {
    *out << column.Name;
}

namespace {

std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

std::vector<TGoodsColumn> TextColumns() {
    std::vector<TGoodsColumn> texts;
    for (const TGoodsColumn& c : kGoodsColumns) {
        if (c.Kind == gkText) texts.push_back(c);
    }
    return texts;
}

class GoodsTextColumn : public testing::TestWithParam<TGoodsColumn> {};

// The width each text column keeps is the one its facts give, counted in characters (two UTF-8
// bytes each here), whether the row holds the text inline or in its shared store.
TEST_P(GoodsTextColumn, KeepsItsWidthInCharacters) {
    const TGoodsColumn& column = GetParam();
    const struct {
        int Given, Kept;
    } cases[] = {{column.Width - 1, column.Width - 1},
                 {column.Width, column.Width},
                 {column.Width + 1, column.Width},
                 {column.Width + 30, column.Width}};
    TGoodsTable t;
    t.OpenTable();
    for (const auto& c : cases) {
        t.AppendRow();
        t.SetText(column.Field, Repeat("Ж", c.Given));
        t.PostRow();
        EXPECT_EQ(t.AsText(column.Field), Repeat("Ж", c.Kept)) << c.Given;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryTextColumn, GoodsTextColumn, testing::ValuesIn(TextColumns()),
                         [](const testing::TestParamInfo<TGoodsColumn>& item) {
                             return std::string(item.param.Name);
                         });

// Each column has a place of its own in a row: writing one never changes another, whatever the
// order of the writes.
TEST(GoodsTableColumns, EveryColumnKeepsItsOwnValue) {
    auto textOf = [](int f) {
        const TGoodsColumn& c = kGoodsColumns[f];
        return c.Kind == gkText ? "Т" + std::to_string(f) : std::to_string(f + 1) + "1";
    };
    TGoodsTable t;
    t.OpenTable();
    t.AppendRow();
    for (int f = 0; f < kGoodsFieldCount; ++f) t.SetText(TGoodsField(f), textOf(f));
    t.AppendRow();
    for (int f = kGoodsFieldCount - 1; f >= 0; --f) t.SetText(TGoodsField(f), textOf(f));
    t.PostRow();
    for (int row = 1; row <= 2; ++row) {
        for (int f = 0; f < kGoodsFieldCount; ++f) {
            EXPECT_EQ(t.AsTextAt(row, TGoodsField(f)), textOf(f)) << row << ' ' << f;
        }
    }
}

}  // namespace
