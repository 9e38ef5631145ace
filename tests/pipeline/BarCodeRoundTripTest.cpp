#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "PipelineSupport.h"
#include "convert/GoodsExport.h"
#include "convert/ImportRun.h"
#include "import/GoodsTable.h"

namespace {

// A barcode is code page 866 text like the name: whatever bytes the article list holds in the
// barcode columns come out in the directory table's KOD field, and the grid shows them as their
// characters in between.
TEST(BarCodeRoundTrip, ArticleBarCodeBytesReachTheDirectoryTableUnchanged) {
    TTempDir dir;
    std::filesystem::copy_file(K2L_TEST_DATA "/pipeline_article_cp866_barcodes.txt",
                               dir.File("ARTICLE.TXT"));
    TGoodsTable goods;
    TRecordingHost host;
    RunImport(ReportsIn(dir.Path()), goods, host);

    // What the grid shows: the characters, not stand-ins for undecodable bytes.
    ASSERT_EQ(goods.RowCount(), 5);
    EXPECT_EQ(goods.AsTextAt(1, gfKOD), "АБВ123");
    EXPECT_EQ(goods.AsTextAt(2, gfKOD), "░▒▓│┤─┼═╬█▄▌▀");
    EXPECT_EQ(goods.AsTextAt(3, gfKOD), "ЁёапряПЯЄєЇїЎ");
    EXPECT_EQ(goods.AsTextAt(4, gfKOD), "№12\u00A034¤■");
    EXPECT_EQ(goods.AsTextAt(5, gfKOD), "2220000000001");

    TExportInputs exportInputs;
    exportInputs.Folder = dir.Path().string();
    ExportGoods(exportInputs, goods, host);

    TDbfContents directory = ReadDbf(dir.File("Справочник.dbf"));
    ASSERT_EQ(directory.FieldNames.at(1), "KOD");
    std::vector<std::string> kod;
    for (const std::vector<std::string>& record : directory.Records) kod.push_back(record.at(1));
    // The barcode columns' bytes, blank-padded to the field's 15 characters.
    EXPECT_EQ(kod, (std::vector<std::string>{
                       "\x80\x81\x82"
                       "123         ",
                       "\xB0\xB1\xB2\xB3\xB4\xC4\xC5\xCD\xCE\xDB\xDC\xDD\xDF  ",
                       "\xF0\xF1\xA0\xAF\xE0\xEF\x8F\x9F\xF2\xF3\xF4\xF5\xF6  ",
                       "\xFC"
                       "12\xFF"
                       "34\xFD\xFE       ",
                       "2220000000001  ",
                   }));
}

}  // namespace
