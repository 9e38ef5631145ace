#pragma once

// The main window's class and the ids of its controls: the window finds its controls by them,
// and so does the test driver.

inline constexpr const wchar_t* kMainWindowClass = L"TMainForm";

enum TMainControl : int {
    mcMemo1 = 101,
    mcLabel1,
    mcEdOpenPRINT,
    mcLabel2,
    mcEdOpenARTICLE,
    mcLabel6,
    mcEdDBFFolder,
    mcLabel3,
    mcEdBarCodePrefix,
    mcLabel4,
    mcEdBarCodeStartValue,
    mcCbWriteID,
    mcLabel5,
    mcEdNDSValue,
    mcLbBarCodesGeneratedCount,
    mcButton1,
    mcButton2,
    mcBtnSaveToDBF,
    // The browse buttons at the right end of the two file name boxes and the folder box.
    mcBrowsePRINT,
    mcBrowseARTICLE,
    mcBrowseDBFFolder,
    // Beside the start value: generated barcodes as EAN-13.
    mcCbEan13,
};
