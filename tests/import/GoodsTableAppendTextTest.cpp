#include <gtest/gtest.h>

#include <string>

#include "import/GoodsTable.h"

namespace {

constexpr TGoodsField kFields[] = {gfID, gfNAME, gfKOD, gfOSTATOK, gfRPRICE, gfCATEGORY, gfNDS};

// The appending form gives the text rules' result after what the buffer held, for set and empty
// values, committed rows and the row being edited.
TEST(GoodsTableAppendText, AppendsWhatAsTextReturns) {
    TGoodsTable goods;
    goods.OpenTable();
    std::string out = "kept";
    goods.AsText(gfNAME, out);  // no current row: nothing to add
    EXPECT_EQ(out, "kept");

    goods.AppendRow();
    goods.SetInteger(gfID, -17);
    goods.SetText(gfNAME, "Шоколад «Алёнка» 100 г");
    goods.SetText(gfKOD, "4600000000000123");  // longer than a barcode kept in the row
    goods.SetFloat(gfOSTATOK, 2.5);
    goods.SetAmount(gfRPRICE, 349000);
    goods.SetInteger(gfCATEGORY, 5);
    goods.PostRow();
    goods.AppendRow();  // every value empty
    goods.PostRow();
    goods.AppendRow();
    goods.SetFloat(gfRPRICE, 1e20);
    goods.SetFloat(gfOSTATOK, -0.00015);
    goods.SetInteger(gfNDS, 18);  // still pending

    out.clear();
    goods.AsText(gfRPRICE, out);  // the pending row's value
    EXPECT_EQ(out, "1E20");
    for (int row = 1; row <= 3; ++row) {
        goods.SetRowNumber(row);
        for (TGoodsField field : kFields) {
            out = "Группа ";
            goods.AsText(field, out);
            EXPECT_EQ(out, "Группа " + goods.AsText(field)) << row << ' ' << GoodsFieldName(field);
        }
    }
    goods.SetRowNumber(1);
    out.clear();
    for (TGoodsField field : kFields) goods.AsText(field, out);
    EXPECT_EQ(out, "-17Шоколад «Алёнка» 100 г46000000000001232.534.95");
}

}  // namespace
