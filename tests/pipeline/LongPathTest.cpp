// The export writes, replaces and reads back both tables in a folder past the system's
// 260-character limit: on a drive, typed with "/" and "..", and under Wine on a share.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "PipelineSupport.h"
#include "convert/GoodsExport.h"
#include "import/GoodsTable.h"

#ifdef _WIN32
#include <process.h>
#endif

namespace fs = std::filesystem;

namespace {

const std::string kDeep =
    std::string(90, 'a') + "/" + std::string(90, 'b') + "/" + std::string(90, 'c');

enum TForm : std::uint8_t { fmPlain, fmSlashesAndDots, fmShare };

class LongPathExport : public testing::TestWithParam<TForm> {
  protected:
    ~LongPathExport() override {
        std::error_code ignored;
        if (!Share.empty()) fs::remove_all(Share, ignored);
    }

    TTempDir Dir;
    fs::path Share;  // behind a share of the test's own
};

TEST_P(LongPathExport, WritesReplacesAndReadsBothTables) {
    fs::path real = Dir.Path() / PathOf(kDeep);                   // where the tables go
    std::string named = Utf8Of(fs::path(real).make_preferred());  // as the operator names it
#ifdef _WIN32
    if (GetParam() == fmSlashesAndDots) {
        named = Utf8Of(Dir.Path()) + "/x/../" + std::string(90, 'a') + "/./" +
                std::string(90, 'b') + "//" + std::string(90, 'c');
    } else if (GetParam() == fmShare) {
        const char* prefix = std::getenv("WINEPREFIX");
        if (prefix == nullptr) GTEST_SKIP() << "a share of the test's own needs Wine";
        // Wine finds \\server\share\ in its prefix's dosdevices\unc\server\share, on drive Z:.
        const std::string server = "k2l-" + std::to_string(_getpid());
        Share = PathOf("Z:" + std::string(prefix)) / "dosdevices" / "unc" / PathOf(server);
        real = Share / "tables" / PathOf(kDeep);
        named = "\\\\" + server + "\\tables\\" + Utf8Of(PathOf(kDeep).make_preferred());
    }
#else
    if (GetParam() != fmPlain) GTEST_SKIP() << "a form of Windows paths";
#endif
    fs::create_directories(real);
    ASSERT_GT(named.size(), 260u);

    TGoodsTable goods;
    TRecordingHost host;
    TExportInputs inputs;
    inputs.Folder = named;
    for (int id = 1; id <= 2; ++id) {
        goods.OpenTable();
        goods.AppendRow();
        goods.SetInteger(gfID, id);
        goods.SetText(gfKOD, "222000000000" + std::to_string(id));
        goods.SetText(gfOSTATOK, "1");
        goods.PostRow();
        // The second export replaces the first one's tables.
        ASSERT_EQ(FailureMessage([&] { ExportGoods(inputs, goods, host); }), "") << id;
    }
    for (const char* table : {"Справочник.dbf", "Приходы.dbf"}) {
        EXPECT_EQ(ReadDbf(Utf8Of(real / PathOf(table))).RecordCount, 2u) << table;
        EXPECT_FALSE(fs::exists(real / PathOf(std::string(table) + ".tmp"))) << table;
    }
}

std::string FormName(const testing::TestParamInfo<TForm>& param) {
    const char* const names[] = {"FolderPastTheLimit", "TypedWithSlashesAndDots", "OnAShare"};
    return names[param.param];
}

INSTANTIATE_TEST_SUITE_P(GoodsExport, LongPathExport,
                         testing::Values(fmPlain, fmSlashesAndDots, fmShare), FormName);

}  // namespace
