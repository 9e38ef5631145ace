#include "convert/GoodsExport.h"

#include <exception>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "convert/ExportFields.h"
#include "dbf/DBF.h"
#include "import/GoodsTable.h"
#include "import/RunHost.h"
#include "text/CodePage.h"
#include "text/Defer.h"
#include "text/FileSystem.h"

namespace {

constexpr const char* kNoData = "Нет данных для сохранения в BDF!";
constexpr const char* kDirectoryFile = "Справочник.dbf";
constexpr const char* kReceiptFile = "Приходы.dbf";
constexpr const char* kProgressCaption = "Сохранение в DBF...";
constexpr const char* kWorkSuffix = ".tmp";
constexpr const char* kFolderFlush = "Flush: Ошибка записи папки на диск";

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

    // The current row's value as text after `prefix`, in code page 866, in `out`.
    void Take(TGoodsField field, std::string& out, const char* prefix = "") {
        Utf8.assign(prefix);
        Goods.AsText(field, Utf8);
        AnsiToOemText(Utf8, out);
    }

    std::string Category, Kod, Name, Price, Value;

  private:
    const TGoodsTable& Goods;
    std::string Utf8;
};

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
    const std::unique_ptr<IProgressSink> progress = host.CreateProgress(kProgressCaption, true);
    auto terminate = failure.Guard([&] {
        if (progress) progress->Terminate();
    });

    TRowTexts texts(goods);
    const int rowCount = goods.RowCount();
    goods.MoveFirst();
    while (!goods.AtEnd()) {
        const int row = goods.RowNumber();
        progress->SetRows(static_cast<std::size_t>(row), static_cast<std::size_t>(rowCount));
        progress->SetPercent(row / static_cast<double>(rowCount) * 100.0);
        texts.Take(gfCATEGORY, texts.Category, kCategoryPrefix);
        texts.Take(gfKOD, texts.Kod);
        texts.Take(gfNAME, texts.Name);
        texts.Take(gfRPRICE, texts.Price);

        directory->Append();
        directory->SetFieldData(dfCATEGORY, texts.Category);
        directory->SetFieldData(dfKOD, texts.Kod);
        directory->SetFieldData(dfNAME, texts.Name);
        if (writeId) {
            texts.Take(gfID, texts.Value);
            directory->SetFieldData(dfNAME2, texts.Value);
        }
        directory->SetFieldData(dfZPRICE, texts.Price);
        directory->SetFieldData(dfRPRICE, texts.Price);
        texts.Take(gfNDS, texts.Value);
        directory->SetFieldData(dfNDS, texts.Value);
        directory->Post();

        if (goods.AsAmount(gfOSTATOK) > 0) {
            receipt->Append();
            receipt->SetFieldData(rfCATEGORY, texts.Category);
            // The receipt's ID is the barcode, not the goods row's ID.
            receipt->SetFieldData(rfID, texts.Kod);
            receipt->SetFieldData(rfNAME, texts.Name);
            texts.Take(gfOSTATOK, texts.Value);
            receipt->SetFieldData(rfKOLVO, texts.Value);
            receipt->SetFieldData(rfZPRICE, texts.Price);
            receipt->SetFieldData(rfRPRICE, texts.Price);
            receipt->Post();
        }
        goods.MoveNext();
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
