#pragma once

// The main window's controls as the operator sees them when the program starts: one table of
// cases, run against the layer's table (tests/app) and through each front end's driver (the Qt
// form offscreen, the Win32 program under Wine).

#include <string_view>

enum TControlKind { ckMemo, ckLabel, ckFileBox, ckFolderBox, ckEdit, ckCheckBox, ckButton };

struct TMainControlCase {
    std::string_view Name;
    TControlKind Kind;
    // The text at start; nullptr where it follows the machine: the instructions (checked line by
    // line on their own) and the folder box (the program's folder).
    const char* Text;
    // left, top, width, height at 96 dpi; a label's width and height are 0: it is as large as its
    // text. A file or folder box holds its browse button at its right end on Windows.
    int Left, Top, Width, Height;
    bool Shown = true;
};

inline constexpr TMainControlCase kMainControlCases[] = {
    {"Memo1", ckMemo, nullptr, 8, 8, 492, 236},
    {"Label1", ckLabel, "Укажите расположение файла PRINT.TXT:", 8, 248, 0, 0},
    {"edOpenPRINT", ckFileBox, "PRINT.TXT", 8, 263, 492, 21},
    {"Label2", ckLabel, "Укажите расположение файла ARTICLE.LST или ARTICLE.TXT:", 8, 292, 0, 0},
    {"edOpenARTICLE", ckFileBox, "ARTICLE.TXT", 10, 308, 492, 21},
    {"Label6", ckLabel,
     "Укажите каталог для сохранения файлов \"Справочник.dbf\" и \"Приход.dbf\":", 8, 339, 0, 0},
    {"edDBFFolder", ckFolderBox, nullptr, 10, 355, 492, 21},
    {"Label3", ckLabel, "Укажите префикс для генератора штрих-кодов:", 8, 385, 0, 0},
    {"edBarCodePrefix", ckEdit, "222", 323, 382, 50, 21},
    {"Label4", ckLabel, "Укажите стартовое значение для генератора штрих-кодов:", 8, 409, 0, 0},
    {"edBarCodeStartValue", ckEdit, "1", 323, 406, 50, 21},
    {"cbEan13", ckCheckBox, "Штрих-коды EAN-13", 381, 408, 121, 17},
    {"cbWriteID", ckCheckBox, "При экспорте в DBF сохранять идентификатор записи", 8, 431, 297, 17},
    {"Label5", ckLabel, "Значение НДС:", 324, 433, 0, 0},
    {"edNDSValue", ckEdit, "18", 407, 429, 38, 21},
    {"lbBarCodesGeneratedCount", ckLabel,
     "Было найдено и обработано 100 наименований товара без штрих-кода. ", 8, 456, 0, 0, false},
    {"Button1", ckButton, "Обработать", 8, 482, 105, 25},
    {"Button2", ckButton, "Показать результаты", 119, 482, 130, 25},
    {"btnSaveToDBF", ckButton, "Сохранить в DBF-формате", 255, 482, 162, 25},
};

// The width of the browse button at the right end of a file or folder box on Windows.
inline constexpr int kBrowseButtonWidth = 22;

inline constexpr int kMainClientSize[] = {510, 520};

// Tab from the instructions on, through every focusable control and back to the instructions:
// the design's order, then the EAN-13 box.
inline constexpr std::string_view kMainFocusCases[] = {
    "Memo1",     "edOpenPRINT",     "edOpenARTICLE",       "Button1",
    "Button2",   "edBarCodePrefix", "edBarCodeStartValue", "btnSaveToDBF",
    "cbWriteID", "edNDSValue",      "edDBFFolder",         "cbEan13",
    "Memo1"};
