#pragma once

#include "app/WindowLayout.h"

// The main window's class and the ids of its controls: the window finds its controls by them,
// and so does the test driver.

inline constexpr const wchar_t* kMainWindowClass = L"TMainForm";

// A control of the window's table has the id of its place in it; the browse buttons follow.
constexpr int MainControlId(TMainControl control) {
    return 101 + control;
}

enum TMainControlId : int {
    mcMemo1 = MainControlId(mwMemo1),
    mcLabel1 = MainControlId(mwLabel1),
    mcEdOpenPRINT = MainControlId(mwEdOpenPRINT),
    mcLabel2 = MainControlId(mwLabel2),
    mcEdOpenARTICLE = MainControlId(mwEdOpenARTICLE),
    mcLabel6 = MainControlId(mwLabel6),
    mcEdDBFFolder = MainControlId(mwEdDBFFolder),
    mcLabel3 = MainControlId(mwLabel3),
    mcEdBarCodePrefix = MainControlId(mwEdBarCodePrefix),
    mcLabel4 = MainControlId(mwLabel4),
    mcEdBarCodeStartValue = MainControlId(mwEdBarCodeStartValue),
    mcCbEan13 = MainControlId(mwCbEan13),
    mcCbWriteID = MainControlId(mwCbWriteID),
    mcLabel5 = MainControlId(mwLabel5),
    mcEdNDSValue = MainControlId(mwEdNDSValue),
    mcLbBarCodesGeneratedCount = MainControlId(mwLbBarCodesGeneratedCount),
    mcButton1 = MainControlId(mwButton1),
    mcButton2 = MainControlId(mwButton2),
    mcBtnSaveToDBF = MainControlId(mwBtnSaveToDBF),
    // The browse buttons at the right end of the two file name boxes and the folder box.
    mcBrowsePRINT = MainControlId(kMainControlCount),
    mcBrowseARTICLE,
    mcBrowseDBFFolder,
};

// What screen readers call the browse buttons, whose face shows only "...".
inline constexpr const char* kBrowsePrintName = "Выбрать файл PRINT.TXT";
inline constexpr const char* kBrowseArticleName = "Выбрать файл ARTICLE.LST или ARTICLE.TXT";
inline constexpr const char* kBrowseFolderName = "Выбрать каталог для сохранения файлов";
