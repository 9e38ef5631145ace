#pragma once

#include <QPersistentModelIndex>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>

#include "qt/GoodsGridModel.h"

class QLineEdit;
class TGoodsGrid;

// Cell editors of the goods grid: a line edit limited to the field's width. Storing, moving and
// closing are the grid's business, so a refused text can stay in its editor.
class TGoodsCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    explicit TGoodsCellDelegate(TGoodsGrid* grid);
    // The grid is going: its editor's last events (focus leaving as it dies) are not its business.
    void Detach() { Grid = nullptr; }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

  protected:
    bool eventFilter(QObject* object, QEvent* event) override;

  private:
    TGoodsGrid* Grid;
};

// The editable grid over the goods table, behaving as data-aware grids do: typing, Enter or F2
// starts editing the current row; a cell's text is stored when the cell is left; the row is
// committed (or an untouched new one dropped) when another row becomes current; Insert inserts,
// Down on the last row appends, Ctrl+Delete deletes after a confirmation.
class TGoodsGrid : public QTableView {
    Q_OBJECT
  public:
    TGoodsGrid(TGoodsTable& table, const TCurrencyFormat& currency, QWidget* parent);
    ~TGoodsGrid() override;

    TGoodsGridModel* GridModel() const { return Model; }
    // The open cell editor, or nullptr.
    QLineEdit* CellEditor() const;

    // Stores the open editor's text (when it was changed) and closes it. A refused text is
    // reported through the standard error display and stays in its editor: false then.
    bool CommitEditor();
    // Closes the open editor without storing its text.
    void DiscardEditor();
    // What leaving the grid does: commit the editor, and drop a new row left without a change.
    bool FinishEditing();

    static const QString kConfirmTitle;
    static const QString kConfirmDelete;

  signals:
    // Esc was pressed in a cell editor.
    void EscapePressed();

  protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

  private:
    friend class TGoodsCellDelegate;
    void EditorCreated(QLineEdit* editor, const QModelIndex& index);
    // The cell editor lost the focus to `to` (nullptr: outside the program).
    void EditorFocusLost(QWidget* to, Qt::FocusReason reason);
    void SyncCurrent(int row);
    void DropUntouchedRow();
    void ResizeColumns();
    bool InsideGrid(const QWidget* widget) const;

    TGoodsTable& Goods;
    TGoodsGridModel* Model;
    TGoodsCellDelegate* Delegate;
    QPointer<QLineEdit> Editor;
    QPersistentModelIndex EditIndex;
    bool Syncing = false;
    bool Committing = false;
    int SizedColumns = -1;  // the column count the widths were set for
};
