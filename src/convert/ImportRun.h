#pragma once

#include <cstdint>
#include <string>

class IRunHost;
class TGoodsTable;
struct TImportRecord;

// The main window's inputs that one import run reads, taken as they stand at the press of the
// button (the file names already reduced to their file name values).
struct TImportInputs {
    std::string ArticleFile = "ARTICLE.TXT";
    std::string PrintFile = "PRINT.TXT";
    std::string Prefix = "222";
    std::string StartValue = "1";
    std::string NdsValue = "18";
    // Generated barcodes as EAN-13 (prefix, counter in 12 digits, check digit).
    bool Ean13 = false;
};

// The refusals of the EAN-13 option, before anything is read.
inline constexpr const char* kEan13PrefixNotDigits =
    "Для штрих-кодов EAN-13 префикс должен состоять только из цифр!";
inline constexpr const char* kEan13NoRoom =
    "Для штрих-кодов EAN-13 префикс и стартовое значение должны занимать не больше 12 цифр!";

// The import run: checks the inputs, refills `goods` from the article list and the stock report
// (or the defaults with a warning), shows the count and the results. Failures are thrown as
// std::runtime_error with the message to show; clean-up runs on every way out. With a `record`,
// it is emptied once the inputs pass their checks and filled with what the checks before the load
// need; it is complete only when the run succeeds.
void RunImport(const TImportInputs& inputs, TGoodsTable& goods, IRunHost& host,
               TImportRecord* record = nullptr);

// The count label's text for `count` generated barcodes, its closing blank included.
std::string GeneratedCountText(std::int32_t count);
