#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

// Where the controls of the main window and of the results viewer sit, in the design's 96-dpi
// pixels of their window's client area, and the main window's focus order. Plain numbers, so
// both front ends place their controls from the same table and scale them the same way.

// A rectangle of 96-dpi pixels (or of the screen's, once scaled).
struct TPlace {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;

    bool operator==(const TPlace&) const = default;
};

// The design's pixels at the screen's resolution: times Dpi / 96, rounded half away from zero.
struct TScale {
    int Dpi = 96;

    int operator()(int pixels) const;
    TPlace operator()(const TPlace& place) const;
};

// How far right a control at `place` may reach: `gap` short of the left edge of the nearest of
// `others` to its right whose rows meet its own, or `limit` when none does.
int RightLimit(const TPlace& place, std::span<const TPlace> others, int limit, int gap);

// Where a window of `width` x `height` opens: centred on `screen`, but never with its title bar
// above or left of the work area `work` (a window taller than the work area starts at its top).
TPlace OpeningPlace(int width, int height, const TPlace& screen, const TPlace& work);

// The main window: a fixed client area.
inline constexpr int kMainClientWidth = 510;
inline constexpr int kMainClientHeight = 520;

enum TMainControl : std::uint8_t {
    mwMemo1,
    mwLabel1,
    mwEdOpenPRINT,
    mwLabel2,
    mwEdOpenARTICLE,
    mwLabel6,
    mwEdDBFFolder,
    mwLabel3,
    mwEdBarCodePrefix,
    mwLabel4,
    mwEdBarCodeStartValue,
    mwCbEan13,
    mwCbWriteID,
    mwLabel5,
    mwEdNDSValue,
    mwLbBarCodesGeneratedCount,
    mwButton1,
    mwButton2,
    mwBtnSaveToDBF,
    kMainControlCount
};

// A label's Width and Height are 0: it is as large as its text in its font.
struct TMainControlPlace {
    TMainControl Control;
    std::string_view Name;
    TPlace Place;
};

// Every control of the main window, in the order of TMainControl (a control's entry is
// kMainControls[control]).
inline constexpr std::array<TMainControlPlace, kMainControlCount> kMainControls{{
    {mwMemo1, "Memo1", {8, 8, 492, 236}},
    {mwLabel1, "Label1", {8, 248, 0, 0}},
    {mwEdOpenPRINT, "edOpenPRINT", {8, 263, 492, 21}},
    {mwLabel2, "Label2", {8, 292, 0, 0}},
    {mwEdOpenARTICLE, "edOpenARTICLE", {10, 308, 492, 21}},
    {mwLabel6, "Label6", {8, 339, 0, 0}},
    {mwEdDBFFolder, "edDBFFolder", {10, 355, 492, 21}},
    {mwLabel3, "Label3", {8, 385, 0, 0}},
    {mwEdBarCodePrefix, "edBarCodePrefix", {323, 382, 50, 21}},
    {mwLabel4, "Label4", {8, 409, 0, 0}},
    {mwEdBarCodeStartValue, "edBarCodeStartValue", {323, 406, 50, 21}},
    // Beside the start value, in the generator's inputs; the design's controls keep their places.
    {mwCbEan13, "cbEan13", {381, 408, 121, 17}},
    {mwCbWriteID, "cbWriteID", {8, 431, 297, 17}},
    {mwLabel5, "Label5", {324, 433, 0, 0}},
    {mwEdNDSValue, "edNDSValue", {407, 429, 38, 21}},
    {mwLbBarCodesGeneratedCount, "lbBarCodesGeneratedCount", {8, 456, 0, 0}},
    {mwButton1, "Button1", {8, 482, 105, 25}},
    {mwButton2, "Button2", {119, 482, 130, 25}},
    {mwBtnSaveToDBF, "btnSaveToDBF", {255, 482, 162, 25}},
}};

inline constexpr const TPlace& MainPlace(TMainControl control) {
    return kMainControls[control].Place;
}

// The design's order, then the EAN-13 box, so the operator's familiar order stays. Tab goes on
// from the last to the first.
inline constexpr std::array<TMainControl, 12> kMainFocusOrder{
    mwMemo1,     mwEdOpenPRINT,     mwEdOpenARTICLE,       mwButton1,
    mwButton2,   mwEdBarCodePrefix, mwEdBarCodeStartValue, mwBtnSaveToDBF,
    mwCbWriteID, mwEdNDSValue,      mwEdDBFFolder,         mwCbEan13};

// The results viewer: the design's client area, and at its right the find box and the findings
// list. The window grows by the panel; the design's controls keep their places and anchors in the
// part left of it.
inline constexpr int kViewerDesignWidth = 725;
inline constexpr int kViewerDesignHeight = 537;
inline constexpr int kFindPanelWidth = 300;
inline constexpr int kFindPanelGap = 8;
inline constexpr int kViewerClientWidth = kViewerDesignWidth + kFindPanelWidth + kFindPanelGap;
inline constexpr int kViewerClientHeight = kViewerDesignHeight;

// Which edges of a control keep their distance to the same edge of the client area as the window
// is resized. Both of a pair: the control grows with the window; only the far one: it moves.
using TAnchors = std::uint8_t;
inline constexpr TAnchors akLeft = 1;
inline constexpr TAnchors akTop = 2;
inline constexpr TAnchors akRight = 4;
inline constexpr TAnchors akBottom = 8;

enum TViewerWidget : std::uint8_t {
    vwLabel1,
    vwDBGrid1,
    vwBitBtn1,
    vwButton3,
    vwLbFind,
    vwEdFind,
    vwLbFindStatus,
    vwLbFindings,
    vwLstFindings,
    kViewerControlCount
};

// Place: in a client area of kViewerClientWidth x kViewerClientHeight. Label1's Width and
// Height are 0: it is as large as its text in its font.
struct TViewerControlPlace {
    TViewerWidget Control;
    std::string_view Name;
    TPlace Place;
    TAnchors Anchors;
};

inline constexpr int kFindPanelLeft = kViewerDesignWidth;
inline constexpr int kFindPanelInner = kFindPanelWidth - 8;

// Every control of the results viewer, in the order of TViewerWidget.
inline constexpr std::array<TViewerControlPlace, kViewerControlCount> kViewerControls{{
    {vwLabel1, "Label1", {8, 8, 0, 0}, akLeft | akTop},
    {vwDBGrid1, "DBGrid1", {8, 30, 709, 463}, akLeft | akTop | akRight | akBottom},
    {vwBitBtn1, "BitBtn1", {642, 504, 75, 25}, akRight | akBottom},
    {vwButton3, "Button3", {8, 504, 162, 25}, akLeft | akBottom},
    {vwLbFind, "lbFind", {kFindPanelLeft, 8, kFindPanelInner, 16}, akRight | akTop},
    {vwEdFind, "edFind", {kFindPanelLeft, 26, kFindPanelInner, 21}, akRight | akTop},
    {vwLbFindStatus, "lbFindStatus", {kFindPanelLeft, 50, kFindPanelInner, 16}, akRight | akTop},
    // Room for the caption and the counts of every kind at once, wrapped.
    {vwLbFindings, "lbFindings", {kFindPanelLeft, 72, kFindPanelInner, 110}, akRight | akTop},
    {vwLstFindings,
     "lstFindings",
     {kFindPanelLeft, 184, kFindPanelInner, 345},
     akRight | akTop | akBottom},
}};

// Where a control of the results viewer sits in a client area of `width` x `height` pixels of
// the screen, its design place scaled by `scale` and moved or grown by its anchors.
TPlace ViewerPlace(TViewerWidget control, int width, int height, TScale scale = {});
