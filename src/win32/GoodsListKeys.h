#pragma once

#include <windows.h>

#include <optional>

#include "app/GoodsGridController.h"

// The results grid's keys on Windows: the virtual key codes the grid controller knows, and the
// cell moves the list does by itself when the controller leaves a key to it.

// `key` as the controller knows it, with the modifiers held now.
TGridKeyPress GridKeyPress(WPARAM key);

// A cell of the grid (rows and goods columns from 0).
struct TGridCell {
    int Row = 0;
    int Column = 0;
    bool operator==(const TGridCell&) const = default;
};

// Where the list's own move for `key` goes from `at` (no current cell: -1) in a grid of `rows`
// by `columns` showing `page` rows: the arrows, Page Up and Down, Home and End (with Ctrl the
// first and last row). Nothing for another key, or for an empty grid; it stays inside the grid.
std::optional<TGridCell> ListMove(WPARAM key, bool ctrl, TGridCell at, int rows, int columns,
                                  int page);
