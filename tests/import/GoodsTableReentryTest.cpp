#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "import/GoodsTable.h"

namespace {

// A view that acts on the table from inside the end of a removal, as a grid does when it
// settles its current row: it must find the table consistent again.
class TActingView final : public IGoodsView {
  public:
    explicit TActingView(TGoodsTable& table) : Table(table) {}
    void GoodsBeginInsert(int) override {}
    void GoodsEndInsert() override {}
    void GoodsBeginRemove(int) override {}
    void GoodsEndRemove() override {
        Seen.push_back(std::to_string(Table.RowCount()) + "/" + std::to_string(Table.RowNumber()) +
                       "/" + std::to_string(static_cast<int>(Table.State())));
        Table.CancelRow();  // a second cancel must find nothing left to cancel
    }
    void GoodsRowChanged(int) override {}
    void GoodsCurrentChanged(int) override {}
    void GoodsRefreshAll() override {}

    std::vector<std::string> Seen;

  private:
    TGoodsTable& Table;
};

void AddRow(TGoodsTable& table, int id) {
    table.AppendRow();
    table.SetInteger(gfID, id);
    table.PostRow();
}

TEST(GoodsTableReentry, ViewsSeeASettledTableWhenARemovalEnds) {
    TGoodsTable table;
    table.OpenTable();
    AddRow(table, 1);
    AddRow(table, 2);
    TActingView view(table);
    table.AttachView(&view);

    table.AppendRow();  // an untouched new last row, then dropped
    table.CancelRow();
    table.SetRowNumber(1);
    table.DeleteRow();

    const std::string browse = std::to_string(static_cast<int>(gsBrowse));
    EXPECT_EQ(view.Seen, (std::vector<std::string>{"2/2/" + browse, "1/1/" + browse}));
    EXPECT_EQ(table.RowCount(), 1);
    EXPECT_EQ(table.AsInteger(gfID), 2);
    table.DetachView(&view);
}

}  // namespace
