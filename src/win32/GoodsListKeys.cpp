#include "win32/GoodsListKeys.h"

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
        case VK_LEFT:
            return grLeft;
        case VK_RIGHT:
            return grRight;
        case VK_HOME:
            return grHome;
        case VK_END:
            return grEnd;
        case VK_F3:
            return grF3;
        case 'F':
            return grF;
        case 'Z':
            return grZ;
        case 'Y':
            return grY;
        case 'C':
            return grC;
        case 'V':
            return grV;
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
