// A whole import of a fuzzed article list and stock report, then the export of what it gave.
// Input: one option byte, the article list bytes, and optionally "%%PRINT%%" followed by the stock
// report bytes (without it there is no stock report and the defaults apply).

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "convert/GoodsExport.h"
#include "convert/ImportRun.h"
#include "import/ArticleReader.h"
#include "import/GoodsTable.h"
#include "text/CodePage.h"
#include "text/FileSystem.h"
#include "text/FixedPoint.h"

namespace {

constexpr std::string_view kStockMarker = "%%PRINT%%";

const char* const kPrefixes[] = {"222", "0222", "2147483647", "7"};
const char* const kStartValues[] = {"1", "0", "2147483646", "2147483647"};
const char* const kNdsValues[] = {"18", "0", "100", "7"};

// The failures a file's contents may cause: the barcode counter running out and a number
// beyond the fixed-point range. Anything else from the readers is a fault.
bool ExpectedImportFailure(const std::string& message) {
    return message == kBarCodeRangeExhausted || message == EInvalidOp::kMessage;
}

struct TTableFile {
    std::uint32_t Count = 0;
    std::size_t Size = 0;
};

// Header count and geometry agree with the file on disk.
TTableFile CheckTable(const std::string& path, std::size_t headerLength, std::size_t recordLength) {
    std::string bytes = fuzz::ReadFile(path);
    FUZZ_CHECK(bytes.size() >= headerLength + 1, path + " is too short");
    FUZZ_CHECK(fuzz::Le(bytes, 8, 2) == headerLength, "header length of " + path);
    FUZZ_CHECK(fuzz::Le(bytes, 10, 2) == recordLength, "record length of " + path);
    TTableFile table;
    table.Count = fuzz::Le(bytes, 4, 4);
    table.Size = bytes.size();
    FUZZ_CHECK(bytes.size() == headerLength + table.Count * recordLength + 1,
               path + ": size does not match the header count");
    FUZZ_CHECK(bytes.back() == '\x1A', path + " does not end in 0x1A");
    for (std::uint32_t r = 0; r < table.Count; ++r)
        FUZZ_CHECK(bytes[headerLength + r * recordLength] == ' ', "deletion flag of a record");
    return table;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::uint8_t options = data[0];
    std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);

    std::string_view article = input;
    std::string_view stock;
    bool hasStock = false;
    if (std::size_t at = input.find(kStockMarker); at != std::string_view::npos) {
        article = input.substr(0, at);
        stock = input.substr(at + kStockMarker.size());
        hasStock = true;
    }

    TImportInputs inputs;
    inputs.ArticleFile = fuzz::ScratchFile("ARTICLE.TXT");
    inputs.PrintFile = fuzz::ScratchFile("PRINT.TXT");
    inputs.Prefix = kPrefixes[options & 3];
    inputs.StartValue = kStartValues[(options >> 2) & 3];
    inputs.NdsValue = kNdsValues[(options >> 4) & 3];
    fuzz::WriteFile(inputs.ArticleFile, article);
    std::filesystem::remove(inputs.PrintFile);
    if (hasStock) fuzz::WriteFile(inputs.PrintFile, stock);

    TGoodsTable goods;
    fuzz::TCountingHost host;
    bool imported = false;
    try {
        RunImport(inputs, goods, host);
        imported = true;
    } catch (const std::exception& error) {
        FUZZ_CHECK(ExpectedImportFailure(error.what()), std::string("import: ") + error.what());
    }
    FUZZ_CHECK(host.Created == host.Terminated, "a progress display was left running");
    FUZZ_CHECK(host.Created <= (hasStock ? 1 : 0), "unexpected progress display");
    if (imported) FUZZ_CHECK(host.Warnings == (hasStock ? 0 : 1), "missing stock report warning");
    FUZZ_CHECK(host.Counts == (imported ? 1 : 0), "count shown after a failure");
    FUZZ_CHECK(goods.IsOpen(), "the table stays open after a run");
    FUZZ_CHECK(goods.State() == gsBrowse, "a row was left pending");

    std::int64_t inStock = 0;
    goods.MoveFirst();
    while (!goods.AtEnd()) {
        FUZZ_CHECK(goods.AsInteger(gfID) > 0, "row without a positive code");
        FUZZ_CHECK(!goods.AsText(gfNAME).empty(), "row without a name");
        // Barcodes are text converted from code page 866: 13 characters, up to 3 bytes each.
        FUZZ_CHECK(Utf8Length(goods.AsText(gfKOD)) <= 13, "barcode longer than 13 characters");
        if (imported && !hasStock) {
            FUZZ_CHECK(goods.AsAmount(gfOSTATOK) == 0, "default quantity");
            FUZZ_CHECK(goods.AsAmount(gfRPRICE) == 10000, "default price");
        }
        if (!goods.IsEmpty(gfRPRICE))
            FUZZ_CHECK(goods.AsAmount(gfRPRICE) > 0, "price not positive");
        if (goods.AsAmount(gfOSTATOK) > 0) ++inStock;
        FUZZ_CHECK(goods.AsAmount(gfOSTATOK) >= 0, "negative quantity");
        goods.MoveNext();
    }

    // The high bit writes the tables the way large ones are written (reserved ahead).
    SetGrowAheadThreshold((options & 0x80) != 0 ? 1 : 0);
    TExportInputs exportInputs;
    exportInputs.Folder = fuzz::ScratchFolder().string();
    exportInputs.WriteID = (options & 0x40) != 0;
    const int createdBefore = host.Created;
    bool exported = false;
    try {
        ExportGoods(exportInputs, goods, host);
        exported = true;
    } catch (const std::exception& error) {
        // Only a value that does not fit its field (a price written as 1E9) stops the export.
        FUZZ_CHECK(fuzz::StartsWith(error.what(), "SetFieldData: "),
                   std::string("export: ") + error.what());
    }
    FUZZ_CHECK(host.Created == createdBefore + 1, "the export shows one progress display");
    FUZZ_CHECK(host.Created == host.Terminated, "the export left its progress display running");
    TTableFile directory = CheckTable(fuzz::ScratchFile("Справочник.dbf"), 257, 141);
    TTableFile receipt = CheckTable(fuzz::ScratchFile("Приходы.dbf"), 225, 116);
    if (exported) {
        FUZZ_CHECK(directory.Count == static_cast<std::uint32_t>(goods.RowCount()),
                   "a directory record per row");
        FUZZ_CHECK(receipt.Count == static_cast<std::uint64_t>(inStock),
                   "a receipt record per row in stock");
    }
    return 0;
}
