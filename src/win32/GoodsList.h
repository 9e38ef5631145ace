#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>

#include "app/GoodsGridController.h"

// The results grid on Windows: a virtual list view (LVS_OWNERDATA) over the goods table with a row
// marker column in front, which reads each cell through the grid controller when the list view
// draws it (no row is copied), and one cell editor, an edit control laid over the current cell.
// What keys, clicks, moves and leaving the grid do is the controller's; this class maps the list
// view's messages onto it.
class TGoodsList final : private IGoodsGridView {
  public:
    // A child list view of `parent` with the control id `id`, drawn in `font` at `dpi`, a view
    // of `control`, which outlives it. `escape` runs for Esc pressed in the grid or its cell
    // editor (the viewer closes).
    TGoodsList(HWND parent, int id, TGoodsGridController& control, HFONT font,
               std::function<void()> escape, int dpi = 96);
    ~TGoodsList() override;
    TGoodsList(const TGoodsList&) = delete;
    TGoodsList& operator=(const TGoodsList&) = delete;

    HWND Handle() const { return List; }
    // The open cell editor, or nullptr.
    HWND CellEditor() const { return EditorOpen ? Editor : nullptr; }
    TGoodsGridController& Controller() const { return Control; }

    // The window moved to a resolution of `dpi`, drawn in `font` from now on: the marker and
    // every column keep their share of the width.
    void SetFont(HFONT font, int dpi);

    // A WM_NOTIFY of the list view to its parent (cell texts, drawing, moves); what the parent's
    // window procedure returns for it.
    LRESULT Notify(NMHDR* header);

    // The list view's column of a goods column: the row markers come first.
    static constexpr int kMarkerColumn = 0;
    static int ListColumn(int column) { return column + 1; }

  private:
    static LRESULT CALLBACK ListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR self);
    static LRESULT CALLBACK EditorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR self);
    LRESULT ListMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT EditorMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // A key of the grid while no cell editor is open; false leaves it to the list view.
    bool GridKeyDown(WPARAM key);
    // A key of the open cell editor; false leaves it to the edit control.
    bool EditorKeyDown(WPARAM key);
    // The grid's own handling of a key the controller left to it: Esc.
    bool ToolkitKey(WPARAM key);
    void Click(LPARAM point, bool twice);
    // The keyboard went from the grid or its editor to `to` (nullptr: outside the program).
    void FocusMoved(HWND to);
    // The keyboard's move out of the grid, once it has ended.
    void FocusLeftSettled();

    bool OpenEditor();
    void HideEditor();
    void PlaceEditor();
    void EditorTextChanged();

    void SyncColumns();
    void SetItemCount();
    // Shows `row` as the list view's current row without telling the controller.
    void SelectInList(int row);
    void EnsureVisible(int row, int column);
    void RedrawRow(int row);
    LRESULT CustomDraw(NMLVCUSTOMDRAW& draw);
    void DrawMarker(HDC dc, int row);
    int Scaled(int pixels) const { return MulDiv(pixels, Dpi, 96); }
    int MarkerWidth() const;

    // IGoodsGridView
    void BeginInsertRow(int row) override;
    void EndInsertRow() override;
    void BeginRemoveRow(int row) override;
    void EndRemoveRow() override;
    void BeginReset() override;
    void EndReset() override;
    void RowChanged(int row) override;
    void MarkerChanged(int row) override;
    int CurrentRow() const override { return Row; }
    int CurrentColumn() const override { return Column; }
    int PageRows() const override;
    void SetCurrentCell(int row, int column) override;
    void CloseEditor() override;
    void FocusEditor() override;

    TGoodsGridController& Control;
    std::function<void()> Escape;
    HFONT Font;
    int Dpi;
    HWND List = nullptr;
    HWND Editor = nullptr;
    int Count = 0;    // rows as the list view has followed them
    int Columns = 0;  // goods columns shown
    int Row = -1;     // the current cell
    int Column = -1;
    bool EditorOpen = false;
    int EditorRow = -1;
    int EditorColumn = -1;
    bool FillingEditor = false;  // the editor's text is being set, not typed
    bool FocusLeaving = false;   // inside the editor's WM_KILLFOCUS
    bool Selecting = false;      // the list view's current row is being set by this class
    bool RemovedCurrent = false;
};
