#include "win32/GoodsList.h"

#include <algorithm>
#include <string>

#include "win32/GoodsListKeys.h"
#include "win32/WideText.h"

namespace {

constexpr UINT_PTR kSubclassId = 1;
constexpr int kEditorId = 1;
// Posted to the list when the keyboard has gone to another control of the window.
constexpr UINT kFocusLeftMessage = WM_APP + 0x4C;

int TextWidth(HDC dc, const std::wstring& text) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

}  // namespace

TGoodsList::TGoodsList(HWND parent, int id, TGoodsGridController& control, HFONT font,
                       std::function<void()> escape, int dpi)
    : Control(control), Escape(std::move(escape)), Font(font), Dpi(dpi) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    // Clipping the children keeps the list's own painting off the cell editor.
    List = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                           WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN | LVS_REPORT |
                               LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
                           0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           instance, nullptr);
    SendMessageW(List, WM_SETFONT, reinterpret_cast<WPARAM>(Font), FALSE);
    // Drawn off screen first: no flicker while rows scroll or the window is resized.
    ListView_SetExtendedListViewStyle(List, LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER);
    Editor = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_CLIPSIBLINGS | ES_AUTOHSCROLL, 0, 0, 0,
                             0, List, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditorId)),
                             instance, nullptr);
    SendMessageW(Editor, WM_SETFONT, reinterpret_cast<WPARAM>(Font), FALSE);
    SetWindowSubclass(List, ListProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    SetWindowSubclass(Editor, EditorProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));

    // The marker column: as wide as the widest marker and a margin, never dragged.
    LVCOLUMNW marker{};
    marker.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    marker.fmt = LVCFMT_LEFT;
    marker.cx = MarkerWidth();
    marker.pszText = const_cast<wchar_t*>(L"");
    SendMessageW(List, LVM_INSERTCOLUMNW, kMarkerColumn, reinterpret_cast<LPARAM>(&marker));

    SyncColumns();
    Count = Control.RowCount();
    SetItemCount();
    const int current = Control.Table().RowNumber();
    if (Count > 0 && current > 0) {
        Column = 0;
        SelectInList(current - 1);
    }
    Control.SetView(this);
}

int TGoodsList::MarkerWidth() const {
    const HDC dc = GetDC(List);
    const HGDIOBJ old = SelectObject(dc, Font);
    const int width = TextWidth(dc, Wide(TGoodsGridController::kMarkerBrowse)) + Scaled(12);
    SelectObject(dc, old);
    ReleaseDC(List, dc);
    return width;
}

void TGoodsList::SetFont(HFONT font, int dpi) {
    const int oldDpi = Dpi;
    Font = font;
    Dpi = dpi;
    SendMessageW(List, WM_SETFONT, reinterpret_cast<WPARAM>(Font), FALSE);
    SendMessageW(Editor, WM_SETFONT, reinterpret_cast<WPARAM>(Font), FALSE);
    ListView_SetColumnWidth(List, kMarkerColumn, MarkerWidth());
    for (int column = 0; column < Columns; ++column) {
        const int width = ListView_GetColumnWidth(List, ListColumn(column));
        ListView_SetColumnWidth(List, ListColumn(column), MulDiv(width, dpi, oldDpi));
    }
    if (EditorOpen) PlaceEditor();
    InvalidateRect(List, nullptr, TRUE);
}

TGoodsList::~TGoodsList() {
    Control.SetView(nullptr);
    // The window may outlive this object (its parent destroys it): it must not call back.
    RemoveWindowSubclass(Editor, EditorProc, kSubclassId);
    RemoveWindowSubclass(List, ListProc, kSubclassId);
    DestroyWindow(List);
}

LRESULT CALLBACK TGoodsList::ListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR /*id*/, DWORD_PTR self) {
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, ListProc, kSubclassId);
        return DefSubclassProc(window, message, wParam, lParam);
    }
    return reinterpret_cast<TGoodsList*>(self)->ListMessage(message, wParam, lParam);
}

LRESULT CALLBACK TGoodsList::EditorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR /*id*/, DWORD_PTR self) {
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, EditorProc, kSubclassId);
        return DefSubclassProc(window, message, wParam, lParam);
    }
    return reinterpret_cast<TGoodsList*>(self)->EditorMessage(message, wParam, lParam);
}

LRESULT TGoodsList::ListMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kFocusLeftMessage:
            FocusLeftSettled();
            return 0;
        case WM_GETDLGCODE:
            // Tab, Enter and Esc are the grid's keys, not a dialog's.
            return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_KEYDOWN:
            if (GridKeyDown(wParam)) return 0;
            break;
        case WM_CHAR:
            // Typing opens the cell's editor with the typed character; the list's own search by
            // typed text does not apply. One keystroke may queue two characters here (a dead
            // key's accent and the next letter, a surrogate pair): the second goes to the editor
            // the first opened.
            if (wParam >= 0x20 && wParam != 0x7F && (EditorOpen || OpenEditor())) {
                SendMessageW(Editor, WM_CHAR, wParam, lParam);
            }
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            Click(lParam, message == WM_LBUTTONDBLCLK);
            return 0;
        case WM_RBUTTONDBLCLK:
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
            return 0;
        case WM_KILLFOCUS: {
            const LRESULT result = DefSubclassProc(List, message, wParam, lParam);
            FocusMoved(reinterpret_cast<HWND>(wParam));
            return result;
        }
        case WM_SETFOCUS: {
            const LRESULT result = DefSubclassProc(List, message, wParam, lParam);
            RedrawRow(Row);
            return result;
        }
        case WM_COMMAND:
            if (reinterpret_cast<HWND>(lParam) == Editor) {
                if (HIWORD(wParam) == EN_CHANGE) EditorTextChanged();
                return 0;
            }
            break;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHEADERW*>(lParam);
            switch (header->hdr.code) {
                case HDN_BEGINTRACKW:
                case HDN_BEGINTRACKA:
                case HDN_DIVIDERDBLCLICKW:
                case HDN_DIVIDERDBLCLICKA:
                    if (header->iItem == kMarkerColumn) return TRUE;
                    break;
                case HDN_ITEMCHANGEDW:
                case HDN_ITEMCHANGEDA: {
                    const LRESULT result = DefSubclassProc(List, message, wParam, lParam);
                    PlaceEditor();
                    return result;
                }
                default:
                    break;
            }
            break;
        }
        case WM_VSCROLL:
        case WM_HSCROLL:
        case WM_MOUSEWHEEL:
        case WM_MOUSEHWHEEL:
        case WM_SIZE: {
            const LRESULT result = DefSubclassProc(List, message, wParam, lParam);
            PlaceEditor();
            return result;
        }
        default:
            break;
    }
    return DefSubclassProc(List, message, wParam, lParam);
}

LRESULT TGoodsList::EditorMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS | DefSubclassProc(Editor, message, wParam, lParam);
        case WM_KEYDOWN:
            if (EditorKeyDown(wParam)) return 0;
            break;
        case WM_CHAR:
            // The characters of the keys the grid has taken (a single-line edit would beep).
            if (wParam == '\t' || wParam == '\r' || wParam == '\n' || wParam == 0x1B) return 0;
            break;
        case WM_KILLFOCUS: {
            const LRESULT result = DefSubclassProc(Editor, message, wParam, lParam);
            FocusLeaving = true;
            FocusMoved(reinterpret_cast<HWND>(wParam));
            FocusLeaving = false;
            return result;
        }
        default:
            break;
    }
    return DefSubclassProc(Editor, message, wParam, lParam);
}

bool TGoodsList::GridKeyDown(WPARAM key) {
    // A key the open editor did not get (it has the keyboard whenever it is open).
    if (EditorOpen) return true;
    switch (Control.GridKey(GridKeyPress(key))) {
        case koToolkit:
            return ToolkitKey(key);
        case koEdit:
            OpenEditor();
            return true;
        default:
            return true;
    }
}

bool TGoodsList::EditorKeyDown(WPARAM key) {
    switch (Control.EditorKey(GridKeyPress(key))) {
        case koToolkit:
            return false;
        case koGridToolkit:
            // The cell is stored and closed; the grid's own moves take the key.
            ToolkitKey(key);
            return true;
        case koCloseViewer:
            if (Escape) Escape();
            return true;
        default:
            return true;
    }
}

bool TGoodsList::ToolkitKey(WPARAM key) {
    if (key == VK_ESCAPE) {
        if (Escape) Escape();
        return true;
    }
    // The cell moves are the controller's: one it left (a closed table) does nothing at all.
    switch (key) {
        case VK_UP:
        case VK_DOWN:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_LEFT:
        case VK_RIGHT:
        case VK_HOME:
        case VK_END:
            return true;
        default:
            return false;
    }
}

int TGoodsList::PageRows() const {
    return ListView_GetCountPerPage(List);
}

void TGoodsList::Click(LPARAM point, bool twice) {
    if (!Control.Clicked()) return;
    SetFocus(List);
    LVHITTESTINFO hit{};
    hit.pt.x = static_cast<short>(LOWORD(point));
    hit.pt.y = static_cast<short>(HIWORD(point));
    if (ListView_SubItemHitTest(List, &hit) < 0 || hit.iItem < 0 || hit.iItem >= Count) return;
    const bool onCell = hit.iSubItem > kMarkerColumn && hit.iSubItem <= Columns;
    SetCurrentCell(hit.iItem, onCell ? hit.iSubItem - 1 : std::max(Column, 0));
    if (twice && onCell) OpenEditor();
}

void TGoodsList::FocusMoved(HWND to) {
    // Another window taking over (a box, the main window) or the keyboard leaving the program
    // settles nothing; nor does a move between the list and its editor.
    if (!to || to == List || to == Editor) return;
    if (GetAncestor(to, GA_ROOT) != GetAncestor(List, GA_ROOT)) return;
    // Settled once the move is over: a click on a button that stores the cell itself (the
    // viewer's save) must not meet a refused text twice, and the refusal takes the keyboard back.
    PostMessageW(List, kFocusLeftMessage, 0, 0);
}

void TGoodsList::FocusLeftSettled() {
    const HWND now = GetFocus();
    if (!now || now == List || now == Editor) return;
    if (GetAncestor(now, GA_ROOT) != GetAncestor(List, GA_ROOT)) return;
    Control.FocusLeft();
}

bool TGoodsList::OpenEditor() {
    if (EditorOpen || !Control.CanEdit(Row, Column)) return false;
    EnsureVisible(Row, Column);
    EditorRow = Row;
    EditorColumn = Column;
    const int width = TGoodsGridController::EditorMaxLength(Column);
    // 0 lifts the limit.
    SendMessageW(Editor, EM_SETLIMITTEXT, static_cast<WPARAM>(width), 0);
    // Laid over its cell before it takes the text, which then shows from its start.
    EditorOpen = true;
    PlaceEditor();
    FillingEditor = true;
    SetWindowTextW(Editor, Wide(Control.CellEditText(Row, Column)).c_str());
    FillingEditor = false;
    SendMessageW(Editor, EM_SETMODIFY, FALSE, 0);
    SendMessageW(Editor, EM_SETSEL, 0, -1);
    ShowWindow(Editor, SW_SHOW);
    SetFocus(Editor);
    Control.EditorOpened(Row, Column);
    return true;
}

void TGoodsList::HideEditor() {
    if (!EditorOpen) return;
    EditorOpen = false;
    const bool hadKeyboard = GetFocus() == Editor && !FocusLeaving;
    ShowWindow(Editor, SW_HIDE);
    // A hidden window keeps the keyboard unless it is given away.
    if (hadKeyboard) SetFocus(List);
    RedrawRow(EditorRow);
}

void TGoodsList::PlaceEditor() {
    if (!EditorOpen) return;
    RECT cell{};
    if (!ListView_GetSubItemRect(List, EditorRow, ListColumn(EditorColumn), LVIR_BOUNDS, &cell)) {
        return;
    }
    // Below the column titles, which stay drawn over a cell scrolled under them.
    SetWindowPos(Editor, ListView_GetHeader(List), cell.left + 1, cell.top,
                 cell.right - cell.left - 1, cell.bottom - cell.top - 1, SWP_NOACTIVATE);
}

void TGoodsList::EditorTextChanged() {
    if (!EditorOpen || FillingEditor) return;
    Control.EditorTextChanged(TextOf(Editor), SendMessageW(Editor, EM_GETMODIFY, 0, 0) != 0);
}

void TGoodsList::SyncColumns() {
    // Widths are set when the columns appear; widths the operator dragged survive every later
    // refresh (each import and export ends with one).
    const int wanted = Control.ColumnCount();
    if (wanted == Columns) return;
    for (; Columns > 0; --Columns) ListView_DeleteColumn(List, ListColumn(Columns - 1));
    const HDC dc = GetDC(List);
    const HGDIOBJ old = SelectObject(dc, Font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const auto textWidth = [&](std::string_view text) { return TextWidth(dc, Wide(text)); };
    for (; Columns < wanted; ++Columns) {
        const TGoodsColumn& facts = GoodsColumn(static_cast<TGoodsField>(Columns));
        std::wstring title = Wide(facts.Name);
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = facts.Align == gaLeft ? LVCFMT_LEFT : LVCFMT_RIGHT;
        column.cx = TGoodsGridController::ColumnWidth(
            Columns, static_cast<int>(metrics.tmAveCharWidth), textWidth, Scaled(12));
        column.pszText = title.data();
        column.iSubItem = ListColumn(Columns);
        SendMessageW(List, LVM_INSERTCOLUMNW, static_cast<WPARAM>(ListColumn(Columns)),
                     reinterpret_cast<LPARAM>(&column));
    }
    SelectObject(dc, old);
    ReleaseDC(List, dc);
}

void TGoodsList::SetItemCount() {
    // The list keeps only the number: each cell is asked for when it is drawn. A list that
    // moves its current row by itself meanwhile is set right by the caller.
    Selecting = true;
    SendMessageW(List, LVM_SETITEMCOUNT, static_cast<WPARAM>(Count), LVSICF_NOSCROLL);
    Selecting = false;
    InvalidateRect(List, nullptr, TRUE);
}

void TGoodsList::SelectInList(int row) {
    Row = row;
    Selecting = true;
    if (row >= 0 && row < Count) {
        ListView_SetItemState(List, row, LVIS_FOCUSED | LVIS_SELECTED,
                              LVIS_FOCUSED | LVIS_SELECTED);
    } else {
        ListView_SetItemState(List, -1, 0, LVIS_FOCUSED | LVIS_SELECTED);
    }
    Selecting = false;
}

void TGoodsList::EnsureVisible(int row, int column) {
    if (row < 0 || row >= Count) return;
    ListView_EnsureVisible(List, row, FALSE);
    // The marker column scrolls with the others: the first goods column is shown with it.
    if (column == 0) {
        const int scrolled = GetScrollPos(List, SB_HORZ);
        if (scrolled != 0) ListView_Scroll(List, -scrolled, 0);
        return;
    }
    RECT cell{};
    RECT client{};
    if (!ListView_GetSubItemRect(List, row, ListColumn(column), LVIR_BOUNDS, &cell)) return;
    GetClientRect(List, &client);
    int shift = 0;
    if (cell.right > client.right) shift = cell.right - client.right;
    if (cell.left - shift < 0) shift = cell.left;
    if (shift != 0) ListView_Scroll(List, shift, 0);
}

void TGoodsList::RedrawRow(int row) {
    if (row >= 0 && row < Count) ListView_RedrawItems(List, row, row);
}

LRESULT TGoodsList::Notify(NMHDR* header) {
    switch (header->code) {
        case LVN_GETDISPINFOW: {
            LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
            if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return 0;
            std::wstring text;
            if (item.iItem >= 0 && item.iItem < Control.RowCount()) {
                if (item.iSubItem == kMarkerColumn) {
                    text = Wide(Control.RowMarker(item.iItem));
                } else if (item.iSubItem <= std::min(Columns, Control.ColumnCount())) {
                    text = Wide(Control.CellText(item.iItem, item.iSubItem - 1));
                }
            }
            const std::size_t length =
                std::min(text.size(), static_cast<std::size_t>(item.cchTextMax - 1));
            std::copy_n(text.data(), length, item.pszText);
            item.pszText[length] = L'\0';
            return 0;
        }
        case NM_CUSTOMDRAW:
            return CustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(header));
        case LVN_ITEMCHANGED: {
            // The list's own moves (this class makes its own; the list may still move by itself).
            const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
            if (Selecting || change->iItem < 0 || !(change->uChanged & LVIF_STATE)) return 0;
            if ((change->uNewState & LVIS_FOCUSED) && !(change->uOldState & LVIS_FOCUSED) &&
                change->iItem != Row) {
                const int old = Row;
                Row = change->iItem;
                if (Column < 0) Column = 0;
                RedrawRow(old);
                Control.CurrentCellMoved(Row);
            }
            return 0;
        }
        default:
            return 0;
    }
}

LRESULT TGoodsList::CustomDraw(NMLVCUSTOMDRAW& draw) {
    switch (draw.nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT:
            return CDRF_NOTIFYSUBITEMDRAW;
        case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
            const int row = static_cast<int>(draw.nmcd.dwItemSpec);
            // The grid shows its current cell, not the list's selected row.
            draw.nmcd.uItemState &= ~static_cast<UINT>(CDIS_SELECTED | CDIS_FOCUS);
            if (draw.iSubItem == kMarkerColumn) {
                DrawMarker(draw.nmcd.hdc, row);
                return CDRF_SKIPDEFAULT;
            }
            if (row == Row && draw.iSubItem == ListColumn(Column)) {
                // In the selection colours while the grid has the keyboard.
                const HWND focus = GetFocus();
                const bool active = focus == List || focus == Editor;
                draw.clrTextBk = GetSysColor(active ? COLOR_HIGHLIGHT : COLOR_BTNFACE);
                draw.clrText = GetSysColor(active ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT);
            } else {
                draw.clrTextBk = GetSysColor(COLOR_WINDOW);
                draw.clrText = GetSysColor(COLOR_WINDOWTEXT);
            }
            return CDRF_NEWFONT;
        }
        default:
            return CDRF_DODEFAULT;
    }
}

void TGoodsList::DrawMarker(HDC dc, int row) {
    RECT cell{};
    if (!ListView_GetSubItemRect(List, row, kMarkerColumn, LVIR_LABEL, &cell)) return;
    FillRect(dc, &cell, GetSysColorBrush(COLOR_BTNFACE));
    const std::string marker = Control.RowMarker(row);
    if (marker.empty()) return;
    const HGDIOBJ oldBrush = SelectObject(dc, GetSysColorBrush(COLOR_BTNTEXT));
    const HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    const int x = (cell.left + cell.right) / 2;
    const int y = (cell.top + cell.bottom) / 2;
    if (marker == TGoodsGridController::kMarkerBrowse) {
        // A drawn triangle: the character is missing from many fonts (Tahoma among them).
        const POINT triangle[] = {
            {x - Scaled(2), y - Scaled(4)}, {x - Scaled(2), y + Scaled(5)}, {x + Scaled(3), y}};
        Polygon(dc, triangle, 3);
    } else {
        std::wstring text = Wide(marker);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        DrawTextW(dc, text.data(), static_cast<int>(text.size()), &cell,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
}

void TGoodsList::BeginInsertRow(int row) {
    if (Row >= row) ++Row;
    if (EditorOpen && EditorRow >= row) ++EditorRow;
}

void TGoodsList::EndInsertRow() {
    ++Count;
    SetItemCount();
    if (Row >= 0) SelectInList(Row);
    PlaceEditor();
}

void TGoodsList::BeginRemoveRow(int row) {
    RemovedCurrent = Row == row;
    if (Row > row) --Row;
    // An editor goes with its row.
    if (EditorOpen && EditorRow == row) {
        HideEditor();
    } else if (EditorOpen && EditorRow > row) {
        --EditorRow;
    }
}

void TGoodsList::EndRemoveRow() {
    --Count;
    SetItemCount();
    // As list views do: the row that takes the removed one's place becomes current.
    if (RemovedCurrent) {
        RemovedCurrent = false;
        Row = std::min(Row, Count - 1);
    }
    SelectInList(Row);
    PlaceEditor();
}

void TGoodsList::BeginReset() {
    HideEditor();
}

void TGoodsList::EndReset() {
    SyncColumns();
    Count = Control.RowCount();
    SetItemCount();
    Column = -1;
    SelectInList(-1);
}

void TGoodsList::RowChanged(int row) {
    RedrawRow(row);
}

void TGoodsList::MarkerChanged(int row) {
    RedrawRow(row);
}

void TGoodsList::SetCurrentCell(int row, int column) {
    if (row < 0 || row >= Count || column < 0 || column >= Columns) return;
    const int oldRow = Row;
    Column = column;
    if (row != oldRow) SelectInList(row);
    EnsureVisible(row, column);
    RedrawRow(oldRow);
    RedrawRow(row);
    PlaceEditor();
    if (row != oldRow) Control.CurrentCellMoved(row);
}

void TGoodsList::CloseEditor() {
    HideEditor();
}

void TGoodsList::FocusEditor() {
    if (EditorOpen) SetFocus(Editor);
}
