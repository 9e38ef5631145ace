#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "convert/GoodsExport.h"
#include "convert/ImportRun.h"

inline constexpr const char* kUsage =
    "usage: kelva2larmis-convert [--article FILE] [--print FILE] [--out DIR] [--prefix TEXT]\n"
    "                            [--start TEXT] [--vat TEXT] [--write-id] [--quiet]\n"
    "                            [--ean13] [--check | --check-only]\n";

inline constexpr const char* kHelp =
    "Переносит справочник товаров и остатки из отчётов KELVA в таблицы ЛАРМИС.\n"
    "Converts the KELVA goods reports into the two dBASE tables that ЛАРМИС loads.\n"
    "\n"
    "  --article FILE  список товаров KELVA (по умолчанию ARTICLE.TXT)\n"
    "                  KELVA article list (default ARTICLE.TXT)\n"
    "  --print FILE    отчёт об остатках (по умолчанию PRINT.TXT); если его нет, Цена=1, "
    "Остаток=0\n"
    "                  stock report (default PRINT.TXT); when missing, price 1 and quantity 0\n"
    "  --out DIR       каталог для \"Справочник.dbf\" и \"Приходы.dbf\" (по умолчанию текущий)\n"
    "                  folder for \"Справочник.dbf\" and \"Приходы.dbf\" (default: current "
    "folder)\n"
    "  --prefix TEXT   префикс генератора штрих-кодов (по умолчанию 222)\n"
    "                  barcode generator prefix (default 222)\n"
    "  --start TEXT    стартовое значение генератора штрих-кодов (по умолчанию 1)\n"
    "                  barcode generator start value (default 1)\n"
    "  --vat TEXT      значение НДС, 0..100 (по умолчанию 18)\n"
    "                  VAT rate in percent, 0..100 (default 18)\n"
    "  --write-id      сохранять код товара KELVA в поле NAME2\n"
    "                  write the KELVA article code into field NAME2\n"
    "  --quiet         без строки хода работы\n"
    "                  no progress line\n"
    "  --ean13         создавать штрих-коды EAN-13: префикс и счетчик в 12 цифрах и\n"
    "                  контрольная цифра (префикс только из цифр)\n"
    "                  generate EAN-13 barcodes: prefix and counter in 12 digits and the\n"
    "                  check digit (the prefix must be digits only)\n"
    "  --check         после чтения вывести замечания, затем записать таблицы как обычно\n"
    "                  print the findings after the import, then write the tables as usual\n"
    "  --check-only    только вывести замечания, таблицы не записывать\n"
    "                  print the findings and write no tables\n"
    "  --help          эта справка / this help\n"
    "  --version       версия программы / program version\n"
    "\n"
    "Коды выхода / exit codes: 0 готово / done, 1 ошибка / error, 2 неверный вызов / usage "
    "error.\n"
    "\n"
    "Замечания / findings (stdout): kind<TAB>ID<TAB>barcode<TAB>detail, then\n"
    "summary<TAB>kind<TAB>count for every kind:\n"
    "  duplicate-barcode  один штрих-код у нескольких товаров / goods sharing a barcode\n"
    "  duplicate-id       код товара в нескольких строках, остатки получает первая /\n"
    "                     an article code on several rows; only the first gets the stock\n"
    "  not-in-stock       товара нет в PRINT.TXT, цена или остаток пусты /\n"
    "                     not in the stock report: price or quantity empty\n"
    "  unknown-in-stock   строка PRINT.TXT с кодом, которого нет в списке товаров /\n"
    "                     a stock line whose code names no article\n"
    "  price-by-rule      цена 0 или меньше (или нет PRINT.TXT) заменена на 1 /\n"
    "                     a price of 0 or below (or no stock report) became 1\n"
    "  stock-by-rule      отрицательный остаток заменен на 0 / a negative quantity became 0\n"
    "  check-digit        неверная контрольная цифра EAN/UPC или не только цифры /\n"
    "                     wrong EAN/UPC check digit, or not all digits\n"
    "  replaced-character символа нет в кодовой странице 866: запишется «\"», «-» или «?» /\n"
    "                     a character code page 866 lacks: written as its plain form or \"?\"\n"
    "  does-not-fit       штрих-код, цена, остаток или НДС шире поля таблицы: запись\n"
    "                     прервется / a value wider than its table field: the export stops\n";

// Exit codes of the converter.
inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// What the command line asks for: the main window's inputs (their defaults where an option is
// absent; the tables go into the current folder) and the converter's own switches.
struct TConvertOptions {
    TImportInputs Import;
    TExportInputs Export{"."};
    bool Quiet = false;
    // Print the checks' findings after the import; CheckOnly: and write no tables.
    bool Check = false;
    bool CheckOnly = false;
    // --help or -h was met: the rest of the line was not read, nothing is to be converted.
    bool Help = false;
    // --version was met: likewise, only the version is to be printed.
    bool Version = false;
};

// A command line the converter refuses, with the reason ("unknown argument: x",
// "--out needs a value").
struct TUsageError {
    std::string Message;
};

// Reads the arguments after the program name, left to right: an option's value is the next
// argument taken as it is (even one starting with "--"); a later option overrides an earlier
// one; the first unknown argument or missing value, or a help or version option, ends the
// reading.
std::variant<TConvertOptions, TUsageError> ParseConvertArgs(
    const std::vector<std::string_view>& args);
