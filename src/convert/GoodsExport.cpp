#include "convert/GoodsExport.h"

#include <exception>
#include <memory>
#include <stdexcept>
#include <string>

#include "dbf/DBF.h"
#include "import/GoodsTable.h"
#include "import/RunHost.h"
#include "text/CodePage.h"

namespace {

constexpr const char* kNoData = "Нет данных для сохранения в BDF!";
constexpr const char* kDirectoryFile = "Справочник.dbf";
constexpr const char* kReceiptFile = "Приходы.dbf";
constexpr const char* kProgressCaption = "Сохранение в DBF...";
constexpr const char* kCategoryPrefix = "Группа ";

struct TFieldLayout {
    const char* Name;
    TFldType Type;
    std::uint8_t Size;
    std::uint8_t Precision;
};

constexpr TFieldLayout kDirectoryFields[] = {
    {"CATEGORY", fldChar, 20, 0}, {"KOD", fldChar, 15, 0},       {"NAME", fldChar, 50, 0},
    {"NAME2", fldChar, 30, 0},    {"ZPRICE", fldNumeric, 10, 2}, {"RPRICE", fldNumeric, 10, 2},
    {"NDS", fldNumeric, 5, 0},
};

constexpr TFieldLayout kReceiptFields[] = {
    {"CATEGORY", fldChar, 20, 0}, {"ID", fldChar, 15, 0},        {"NAME", fldChar, 50, 0},
    {"KOLVO", fldNumeric, 10, 2}, {"ZPRICE", fldNumeric, 10, 2}, {"RPRICE", fldNumeric, 10, 2},
};

template <std::size_t N>
std::unique_ptr<TDBF> CreateTable(const TFieldLayout (&fields)[N], const std::string& path) {
    auto table = std::make_unique<TDBF>();
    for (const TFieldLayout& field : fields)
        table->AddFieldDefs(field.Name, field.Type, field.Size, field.Precision);
    table->SetTableName(path);
    table->CreateTable();
    table->SetCodePage(cpOEM);
    return table;
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

}  // namespace

std::string ExportFolderPath(const std::string& folder) {
    if (folder.empty()) return "/";
    // A folder typed the Windows way ends in "\": it stands for the delimiter.
    if (folder.back() == '\\') return folder.substr(0, folder.size() - 1) + "/";
    if (folder.back() == '/') return folder;
    return folder + "/";
}

void ExportGoods(const TExportInputs& inputs, TGoodsTable& goods, IRunHost& host) {
    if (!goods.IsOpen()) throw std::runtime_error(kNoData);
    const std::string folder = ExportFolderPath(inputs.Folder);
    const bool writeId = inputs.WriteID;

    goods.SuspendViews();
    std::unique_ptr<TDBF> directory;
    std::unique_ptr<TDBF> receipt;
    std::unique_ptr<IProgressSink> progress;

    // The clean-up order is fixed: the progress display first, then the receipt table, then the
    // directory table, with the views resumed before the directory table goes. Every step runs
    // even when one before it fails (a table whose final cut fails); the first failure is kept.
    // A table is held here only once CreateTable and its code page have succeeded.
    auto cleanUp = [&] {
        std::exception_ptr failure;
        auto step = [&](auto&& action) {
            try {
                action();
            } catch (...) {
                if (!failure) failure = std::current_exception();
            }
        };
        step([&] {
            if (progress) progress->Terminate();
        });
        progress.reset();
        step([&] {
            if (receipt && receipt->Active()) receipt->Close();
        });
        receipt.reset();
        step([&] {
            if (directory && directory->Active()) directory->Close();
        });
        goods.ResumeViews();
        directory.reset();
        if (failure) std::rethrow_exception(failure);
    };

    try {
        directory = CreateTable(kDirectoryFields, folder + kDirectoryFile);
        receipt = CreateTable(kReceiptFields, folder + kReceiptFile);
        progress = host.CreateProgress(kProgressCaption, true);

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
            directory->SetFieldData(1, texts.Category);
            directory->SetFieldData(2, texts.Kod);
            directory->SetFieldData(3, texts.Name);
            if (writeId) {
                texts.Take(gfID, texts.Value);
                directory->SetFieldData(4, texts.Value);
            }
            directory->SetFieldData(5, texts.Price);
            directory->SetFieldData(6, texts.Price);
            texts.Take(gfNDS, texts.Value);
            directory->SetFieldData(7, texts.Value);
            directory->Post();

            if (goods.AsAmount(gfOSTATOK) > 0) {
                receipt->Append();
                receipt->SetFieldData(1, texts.Category);
                receipt->SetFieldData(2, texts.Kod);
                receipt->SetFieldData(3, texts.Name);
                texts.Take(gfOSTATOK, texts.Value);
                receipt->SetFieldData(4, texts.Value);
                receipt->SetFieldData(5, texts.Price);
                receipt->SetFieldData(6, texts.Price);
                receipt->Post();
            }
            goods.MoveNext();
        }
    } catch (...) {
        try {
            cleanUp();
        } catch (...) {
            // The first failure is the one to report.
        }
        throw;
    }
    cleanUp();
    host.ShowInformation("Сообщение", "Данные сохранены!");
}
