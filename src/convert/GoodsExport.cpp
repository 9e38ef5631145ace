#include "convert/GoodsExport.h"

#include <cstring>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "convert/ExportFields.h"
#include "dbf/DBF.h"
#include "import/ChunkFeed.h"
#include "import/GoodsTable.h"
#include "import/RunHost.h"
#include "text/CodePage.h"
#include "text/Defer.h"
#include "text/FileSystem.h"
#include "text/FixedPoint.h"

namespace {

constexpr const char* kNoData = "Нет данных для сохранения в BDF!";
constexpr const char* kDirectoryFile = "Справочник.dbf";
constexpr const char* kReceiptFile = "Приходы.dbf";
constexpr const char* kProgressCaption = "Сохранение в DBF...";
constexpr const char* kWorkSuffix = ".tmp";
constexpr const char* kFolderFlush = "Flush: Ошибка записи папки на диск";

// The records of a run of goods rows, made ahead of their writing.
struct TRecordChunk {
    int First = 0;                      // the first row (1-based)
    int Count = 0;                      // rows the chunk covers
    int Made = 0;                       // rows made, from First on
    std::string Directory;              // one record per made row
    std::string Receipt;                // one record per made row with a quantity on stock
    std::vector<std::uint8_t> OnStock;  // per made row: whether it has a receipt record

    void Clear() {
        Directory.clear();
        Receipt.clear();
        OnStock.clear();
    }
};

// Rows made in one go: a few hundred kilobytes of records, so little waits in memory.
constexpr int kChunkRows = 2048;

template <std::size_t N>
std::unique_ptr<TDBF> Described(const TFieldLayout (&fields)[N], const std::string& path) {
    auto table = std::make_unique<TDBF>();
    for (const TFieldLayout& field : fields)
        table->AddFieldDefs(field.Name, field.Type, field.Size, field.Precision);
    table->SetTableName(path);
    return table;
}

// A new table is made beside its older one under this name, which is no table's name, so that
// ЛАРМИС never lists it; a crash can leave it behind, and the next export replaces it.
std::string WorkNameOf(const TDBF& table) {
    return table.TableName() + kWorkSuffix;
}

// Takes both tables: only once nobody holds either older table and both new ones stand whole
// (header and code page) under their work names does either older table go, each replaced by
// its new one in one step. Anything that fails before the moves leaves both older tables as
// they were and removes the work files.
void TakeTables(TDBF& directory, TDBF& receipt) {
    for (const TDBF* table : {&directory, &receipt}) {
        if (const int error = CheckReplaceable(table->TableName()); error != 0) {
            throw EFCreateError(table->TableName(), error);
        }
    }
    auto dropWorkFiles = TDefer([&] {
        for (TDBF* table : {&directory, &receipt}) {
            if (table->WorkName().empty()) continue;
            try {
                if (table->Active()) table->Close();
            } catch (const ED&) {
                // The work file goes all the same; the failure being reported says what happened.
            }
            DeleteFileAt(table->WorkName());
        }
    });
    for (TDBF* table : {&directory, &receipt}) {
        table->CreateTableAs(WorkNameOf(*table));
        table->SetCodePage(cpOEM);
    }
    directory.MoveOverTableName();
    receipt.MoveOverTableName();
}

// Values go in as the goods table's text, converted to code page 866. The buffers live for the
// whole export, so a row costs no allocation.
class TRowTexts {
  public:
    explicit TRowTexts(const TGoodsTable& goods) : Goods(goods) {}

    // Row `row`'s value as text, in code page 866, in `out`.
    void Take(int row, TGoodsField field, std::string& out) const {
        if (GoodsColumn(field).Kind == gkText) {
            AnsiToOemText(Goods.TextViewAt(row, field), out);
        } else {
            // A number's text is ASCII, which code page 866 keeps as it is.
            out.clear();
            Goods.AppendTextAt(row, field, out);
        }
    }
    // The texts both tables take from row `row`.
    void TakeShared(int row) {
        static_assert(GoodsColumn(gfCATEGORY).Kind != gkText, "the group's number is ASCII");
        // Converted once, not for every chunk of rows.
        static const std::string categoryPrefix = AnsiToOemText(kCategoryPrefix);
        Category.assign(categoryPrefix);
        Goods.AppendTextAt(row, gfCATEGORY, Category);
        Take(row, gfKOD, Kod);
        Take(row, gfNAME, Name);
        Take(row, gfRPRICE, Price);
    }

    std::string Category, Kod, Name, Price, Value;

  private:
    const TGoodsTable& Goods;
};

// Whether row `row` goes into the receipt table: it has a quantity on stock.
bool OnStock(const TGoodsTable& goods, int row) {
    return !goods.IsEmptyAt(row, gfOSTATOK) && FloatToAmount(goods.AsFloatAt(row, gfOSTATOK)) > 0;
}

// Makes the two tables' records of whole chunks of rows, reading the goods table only, so that it
// can run beside the writing. A row with a value that a table refuses ends the chunk: the writer
// makes that row field by field and so raises the table's own message in its place.
class TRecordMaker {
  public:
    TRecordMaker(const TGoodsTable& goods, bool writeId, TDbfRecordLayout directory,
                 TDbfRecordLayout receipt)
        : Goods(goods),
          WriteId(writeId),
          Directory(std::move(directory)),
          Receipt(std::move(receipt)) {}

    void Make(TRecordChunk& chunk) const {
        TRowTexts texts(Goods);
        chunk.Directory.reserve(static_cast<std::size_t>(chunk.Count) * Directory.Length());
        for (int i = 0; i < chunk.Count; ++i) {
            if (!MakeRow(chunk.First + i, texts, chunk)) return;
            ++chunk.Made;
        }
    }

  private:
    // A value encodes to the same bytes in fields of the same kind: the price is encoded once
    // for the four price fields, and the receipt takes the directory's group, barcode and name.
    bool MakeRow(int row, TRowTexts& texts, TRecordChunk& chunk) const {
        char directory[DbfFormat::MaxRecordLength];
        std::memcpy(directory, Directory.BlankRecord(), Directory.Length());
        texts.TakeShared(row);
        if (!Directory.Encode(dfCATEGORY, texts.Category, directory) ||
            !Directory.Encode(dfKOD, texts.Kod, directory) ||
            !Directory.Encode(dfNAME, texts.Name, directory)) {
            return false;
        }
        if (WriteId) {
            texts.Take(row, gfID, texts.Value);
            if (!Directory.Encode(dfNAME2, texts.Value, directory)) return false;
        }
        if (!Directory.Encode(dfZPRICE, texts.Price, directory)) return false;
        if (!Copy(Directory, dfZPRICE, directory, Directory, dfRPRICE, directory, texts.Price))
            return false;
        texts.Take(row, gfNDS, texts.Value);
        if (!Directory.Encode(dfNDS, texts.Value, directory)) return false;

        const bool onStock = OnStock(Goods, row);
        if (onStock) {
            char receipt[DbfFormat::MaxRecordLength];
            std::memcpy(receipt, Receipt.BlankRecord(), Receipt.Length());
            texts.Take(row, gfOSTATOK, texts.Value);
            if (!Copy(Directory, dfCATEGORY, directory, Receipt, rfCATEGORY, receipt,
                      texts.Category) ||
                !Copy(Directory, dfKOD, directory, Receipt, rfID, receipt, texts.Kod) ||
                !Copy(Directory, dfNAME, directory, Receipt, rfNAME, receipt, texts.Name) ||
                !Receipt.Encode(rfKOLVO, texts.Value, receipt) ||
                !Copy(Directory, dfZPRICE, directory, Receipt, rfZPRICE, receipt, texts.Price) ||
                !Copy(Directory, dfZPRICE, directory, Receipt, rfRPRICE, receipt, texts.Price)) {
                return false;
            }
            chunk.Receipt.append(receipt, Receipt.Length());
        }
        chunk.Directory.append(directory, Directory.Length());
        chunk.OnStock.push_back(onStock ? 1 : 0);
        return true;
    }

    // Field `toNo` of `to` takes `value`, already encoded in field `fromNo` of `from`: its bytes
    // are copied where the fields are of one kind, else it is encoded.
    static bool Copy(const TDbfRecordLayout& fromLayout, std::int32_t fromNo, const char* from,
                     const TDbfRecordLayout& toLayout, std::int32_t toNo, char* to,
                     std::string_view value) {
        if (!toLayout.SameKind(toNo, fromLayout, fromNo)) return toLayout.Encode(toNo, value, to);
        std::memcpy(to + toLayout.Offset(toNo), from + fromLayout.Offset(fromNo),
                    toLayout.Width(toNo));
        return true;
    }

    const TGoodsTable& Goods;
    const bool WriteId;
    const TDbfRecordLayout Directory;
    const TDbfRecordLayout Receipt;
};

// Row `row` into both tables field by field, each value set as the goods table gives it.
void WriteRowByFields(int row, bool writeId, TRowTexts& texts, TDBF& directory, TDBF& receipt,
                      const TGoodsTable& goods) {
    texts.TakeShared(row);
    directory.Append();
    directory.SetFieldData(dfCATEGORY, texts.Category);
    directory.SetFieldData(dfKOD, texts.Kod);
    directory.SetFieldData(dfNAME, texts.Name);
    if (writeId) {
        texts.Take(row, gfID, texts.Value);
        directory.SetFieldData(dfNAME2, texts.Value);
    }
    directory.SetFieldData(dfZPRICE, texts.Price);
    directory.SetFieldData(dfRPRICE, texts.Price);
    texts.Take(row, gfNDS, texts.Value);
    directory.SetFieldData(dfNDS, texts.Value);
    directory.Post();

    if (OnStock(goods, row)) {
        receipt.Append();
        receipt.SetFieldData(rfCATEGORY, texts.Category);
        // The receipt's ID is the barcode, not the goods row's ID.
        receipt.SetFieldData(rfID, texts.Kod);
        receipt.SetFieldData(rfNAME, texts.Name);
        texts.Take(row, gfOSTATOK, texts.Value);
        receipt.SetFieldData(rfKOLVO, texts.Value);
        receipt.SetFieldData(rfZPRICE, texts.Price);
        receipt.SetFieldData(rfRPRICE, texts.Price);
        receipt.Post();
    }
}

// The first failure among the clean-up steps. A step runs from a guard's destructor, which must not
// throw, so its failure is kept here; the normal way out rethrows the first one once every guard
// has run, and on a way out by an exception that exception is the one reported.
class TCleanUpFailure {
  public:
    // A guard that runs `step` when its scope ends, whatever the steps before it did.
    template <class F>
    auto Guard(F step) {
        return TDefer([this, step] {
            try {
                step();
            } catch (...) {
                if (!First) First = std::current_exception();
            }
        });
    }
    void Rethrow() const {
        if (First) std::rethrow_exception(First);
    }

  private:
    std::exception_ptr First;
};

// Walks the goods table into both tables with the views suspended. The guards release in reverse
// order of declaration, which is the clean-up order: the progress display terminates, the receipt
// table closes and goes, the directory table closes, the views resume, and only then the
// directory table goes. A table is closed only once it has been taken.
void WriteTables(const std::string& folder, bool writeId, TGoodsTable& goods, IRunHost& host,
                 TCleanUpFailure& failure) {
    goods.SuspendViews();
    std::unique_ptr<TDBF> directory;
    auto resumeViews = failure.Guard([&] { goods.ResumeViews(); });
    directory = Described(kDirectoryFields, folder + kDirectoryFile);
    auto closeDirectory = failure.Guard([&] {
        if (directory->Active()) directory->Close();
    });
    const std::unique_ptr<TDBF> receipt = Described(kReceiptFields, folder + kReceiptFile);
    auto closeReceipt = failure.Guard([&] {
        if (receipt->Active()) receipt->Close();
    });
    TakeTables(*directory, *receipt);
    const std::size_t directoryLength = directory->RecordLayout().Length();
    const std::size_t receiptLength = receipt->RecordLayout().Length();
    const std::unique_ptr<IProgressSink> progress = host.CreateProgress(kProgressCaption, true);
    auto terminate = failure.Guard([&] {
        if (progress) progress->Terminate();
    });

    const int rowCount = goods.RowCount();
    goods.MoveFirst();
    {
        // The records are made on both cores; every file call stays on this thread, in the
        // order of a row-by-row walk: per row the directory record, then its receipt record.
        const TRecordMaker maker(goods, writeId, directory->RecordLayout(),
                                 receipt->RecordLayout());
        TChunkFeed<TRecordChunk> feed(rowCount, kChunkRows,
                                      [&maker](TRecordChunk& chunk) { maker.Make(chunk); });
        TRowTexts texts(goods);
        while (const TRecordChunk* chunk = feed.Next()) {
            std::size_t directoryAt = 0;
            std::size_t receiptAt = 0;
            for (int i = 0; i < chunk->Count; ++i) {
                const int row = chunk->First + i;
                progress->SetRows(static_cast<std::size_t>(row),
                                  static_cast<std::size_t>(rowCount));
                progress->SetPercent(row / static_cast<double>(rowCount) * 100.0);
                if (i >= chunk->Made) {
                    WriteRowByFields(row, writeId, texts, *directory, *receipt, goods);
                } else {
                    directory->Append();
                    directory->SetRecord(chunk->Directory.data() + directoryAt);
                    directory->Post();
                    directoryAt += directoryLength;
                    if (chunk->OnStock[static_cast<std::size_t>(i)] != 0) {
                        receipt->Append();
                        receipt->SetRecord(chunk->Receipt.data() + receiptAt);
                        receipt->Post();
                        receiptAt += receiptLength;
                    }
                }
                goods.MoveNext();
            }
        }
    }
    // "Данные сохранены!" means the tables are on the disk, and so are their names.
    directory->Flush();
    receipt->Flush();
    // The folder path without its final delimiter, unless that is all there is (the root).
    const std::string bare = folder.size() > 1 ? folder.substr(0, folder.size() - 1) : folder;
    if (const int error = FlushFolder(bare); error != 0) {
        throw ED(std::string(kFolderFlush) + " \"" + ExpandFileName(bare) + "\". " +
                 SysErrorMessage(error));
    }
}

}  // namespace

std::string ExportFolderPath(const std::string& folder) {
    if (folder.empty()) return std::string(1, kPathDelimiter);
    // A folder typed the Windows way ends in "\": where that is no delimiter, it stands for one.
    if (folder.back() == '\\' && !IsPathDelimiter('\\')) {
        return folder.substr(0, folder.size() - 1) + kPathDelimiter;
    }
    if (IsPathDelimiter(folder.back())) return folder;
    return folder + kPathDelimiter;
}

void ExportGoods(const TExportInputs& inputs, TGoodsTable& goods, IRunHost& host) {
    if (!goods.IsOpen()) throw std::runtime_error(kNoData);
    TCleanUpFailure failure;
    WriteTables(ExportFolderPath(inputs.Folder), inputs.WriteID, goods, host, failure);
    failure.Rethrow();
    host.ShowInformation("Сообщение", "Данные сохранены!");
}
