#include "win32/GoodsListKeys.h"

#include <algorithm>

namespace {

bool Held(int key) {
    return GetKeyState(key) < 0;
}

TGridKey KeyOf(WPARAM key, bool shift) {
    switch (key) {
        case VK_INSERT:
            return grInsert;
        case VK_DELETE:
            return grDelete;
        case VK_UP:
            return grUp;
        case VK_DOWN:
            return grDown;
        case VK_PRIOR:
            return grPageUp;
        case VK_NEXT:
            return grPageDown;
        case VK_TAB:
            return shift ? grBacktab : grTab;
        case VK_RETURN:
            return grEnter;
        case VK_F2:
            return grF2;
        case VK_ESCAPE:
            return grEscape;
        default:
            return grOther;
    }
}

}  // namespace

TGridKeyPress GridKeyPress(WPARAM key) {
    TGridKeyPress press;
    press.Shift = Held(VK_SHIFT);
    press.Ctrl = Held(VK_CONTROL);
    press.Alt = Held(VK_MENU) || Held(VK_LWIN) || Held(VK_RWIN);
    press.Key = KeyOf(key, press.Shift);
    return press;
}

std::optional<TGridCell> ListMove(WPARAM key, bool ctrl, TGridCell at, int rows, int columns,
                                  int page) {
    if (rows <= 0 || columns <= 0) return std::nullopt;
    // Without a current cell every move starts from the first one.
    const bool none = at.Row < 0;
    const int row = std::clamp(at.Row, 0, rows - 1);
    const int column = std::clamp(at.Column, 0, columns - 1);
    page = std::max(page, 1);
    switch (key) {
        case VK_UP:
            return TGridCell{std::max(row - 1, 0), column};
        case VK_DOWN:
            return TGridCell{none ? 0 : std::min(row + 1, rows - 1), column};
        case VK_PRIOR:
            return TGridCell{std::max(row - page, 0), column};
        case VK_NEXT:
            return TGridCell{std::min(row + page, rows - 1), column};
        case VK_LEFT:
            return TGridCell{row, std::max(column - 1, 0)};
        case VK_RIGHT:
            return TGridCell{row, std::min(column + 1, columns - 1)};
        case VK_HOME:
            return ctrl ? TGridCell{0, column} : TGridCell{row, 0};
        case VK_END:
            return ctrl ? TGridCell{rows - 1, column} : TGridCell{row, columns - 1};
        default:
            return std::nullopt;
    }
}
