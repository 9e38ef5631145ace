#include "dbf/GoodsExport.h"

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
std::unique_ptr<TDBF> CreateTable(const TFieldLayout (&fields)[N], const std::string& path,
                                  bool& created) {
    auto table = std::make_unique<TDBF>();
    for (const TFieldLayout& field : fields)
        table->AddFieldDefs(field.Name, field.Type, field.Size, field.Precision);
    table->SetTableName(path);
    table->CreateTable();
    created = true;
    table->SetCodePage(cpOEM);
    return table;
}

// Values go in as the goods table's text, converted to code page 866.
void SetText(TDBF& table, int fieldNo, const std::string& text) {
    table.SetFieldData(fieldNo, AnsiToOemText(text));
}

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
    bool directoryCreated = false;
    bool receiptCreated = false;
    std::unique_ptr<IProgressSink> progress;

    // The clean-up order is fixed: the progress display first, then the receipt table, then the
    // directory table, with the views resumed before the directory table goes.
    auto cleanUp = [&] {
        if (progress) {
            progress->Terminate();
            progress.reset();
        }
        if (receipt && receiptCreated && receipt->Active()) receipt->Close();
        receipt.reset();
        if (directory && directoryCreated && directory->Active()) directory->Close();
        goods.ResumeViews();
        directory.reset();
    };

    try {
        directory = CreateTable(kDirectoryFields, folder + kDirectoryFile, directoryCreated);
        receipt = CreateTable(kReceiptFields, folder + kReceiptFile, receiptCreated);
        progress = host.CreateProgress(kProgressCaption, true);

        const double rowCount = goods.RowCount();
        goods.MoveFirst();
        while (!goods.AtEnd()) {
            progress->SetPercent(goods.RowNumber() / rowCount * 100.0);
            const std::string category = kCategoryPrefix + goods.AsText(gfCATEGORY);
            const std::string kod = goods.AsText(gfKOD);
            const std::string name = goods.AsText(gfNAME);
            const std::string price = goods.AsText(gfRPRICE);

            directory->Append();
            SetText(*directory, 1, category);
            SetText(*directory, 2, kod);
            SetText(*directory, 3, name);
            if (writeId) SetText(*directory, 4, goods.AsText(gfID));
            SetText(*directory, 5, price);
            SetText(*directory, 6, price);
            SetText(*directory, 7, goods.AsText(gfNDS));
            directory->Post();

            if (goods.AsAmount(gfOSTATOK) > 0) {
                receipt->Append();
                SetText(*receipt, 1, category);
                SetText(*receipt, 2, kod);
                SetText(*receipt, 3, name);
                SetText(*receipt, 4, goods.AsText(gfOSTATOK));
                SetText(*receipt, 5, price);
                SetText(*receipt, 6, price);
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
