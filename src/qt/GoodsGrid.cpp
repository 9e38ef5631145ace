#include "qt/GoodsGrid.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>
#include <exception>

#include "qt/Dialogs.h"

const QString TGoodsGrid::kConfirmTitle = QStringLiteral("Confirm");
const QString TGoodsGrid::kConfirmDelete = QStringLiteral("Delete record?");

TGoodsCellDelegate::TGoodsCellDelegate(TGoodsGrid* grid) : QStyledItemDelegate(grid), Grid(grid) {}

QWidget* TGoodsCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& /*option*/,
                                          const QModelIndex& index) const {
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    if (!Grid) return editor;
    const TGoodsColumn& column = GoodsColumn(static_cast<TGoodsField>(index.column()));
    if (column.Kind == gkText) editor->setMaxLength(column.Width);
    Grid->EditorCreated(editor, index);
    return editor;
}

void TGoodsCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* line = qobject_cast<QLineEdit*>(editor);
    // Text typed by the operator is never overwritten by a repaint of the row.
    if (line && !line->isModified()) line->setText(index.data(Qt::EditRole).toString());
}

void TGoodsCellDelegate::setModelData(QWidget* editor, QAbstractItemModel* /*model*/,
                                      const QModelIndex& /*index*/) const {
    // Reached only when the view closes an editor by itself (the grid commits its own first).
    if (Grid && editor == Grid->CellEditor()) Grid->CommitEditor();
}

bool TGoodsCellDelegate::eventFilter(QObject* object, QEvent* event) {
    auto* editor = qobject_cast<QLineEdit*>(object);
    if (!editor || !Grid) return false;
    switch (event->type()) {
        case QEvent::ShortcutOverride:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
                event->accept();
                return true;
            }
            return false;
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            switch (key->key()) {
                case Qt::Key_Tab:
                case Qt::Key_Backtab:
                case Qt::Key_Up:
                case Qt::Key_Down:
                case Qt::Key_PageUp:
                case Qt::Key_PageDown:
                    if (Grid->CommitEditor()) {
                        QKeyEvent again(QEvent::KeyPress, key->key(), key->modifiers(),
                                        key->text());
                        QCoreApplication::sendEvent(Grid, &again);
                    }
                    return true;
                case Qt::Key_Enter:
                case Qt::Key_Return:
                    Grid->CommitEditor();
                    return true;
                case Qt::Key_Escape:
                    emit Grid->EscapePressed();
                    return true;
                default:
                    return false;
            }
        }
        case QEvent::FocusOut:
            Grid->EditorFocusLost(QApplication::focusWidget(),
                                  static_cast<QFocusEvent*>(event)->reason());
            return false;
        default:
            return false;
    }
}

TGoodsGrid::TGoodsGrid(TGoodsTable& table, const TCurrencyFormat& currency, QWidget* parent)
    : QTableView(parent),
      Goods(table),
      Model(new TGoodsGridModel(table, currency, this)),
      Delegate(new TGoodsCellDelegate(this)) {
    setItemDelegate(Delegate);
    setEditTriggers(DoubleClicked | EditKeyPressed | AnyKeyPressed);
    setSelectionBehavior(SelectItems);
    setSelectionMode(SingleSelection);
    setTabKeyNavigation(true);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    // A million rows must cost nothing: fixed row heights, no measuring of row headers.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setSectionsClickable(false);
    verticalHeader()->setHighlightSections(false);
    verticalHeader()->setFixedWidth(fontMetrics().horizontalAdvance(QChar(0x25BA)) + 10);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    // Only now the rows: a header told its section size after them resizes each one.
    setModel(Model);

    connect(Model, &TGoodsGridModel::CurrentRowChanged, this, &TGoodsGrid::SyncCurrent);
    connect(Model, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        // The view releases its editors on a reset; the typed text goes with the old rows.
        Editor = nullptr;
        EditIndex = QPersistentModelIndex();
    });
    connect(Model, &QAbstractItemModel::modelReset, this, &TGoodsGrid::ResizeColumns);
    ResizeColumns();
}

TGoodsGrid::~TGoodsGrid() {
    Delegate->Detach();
}

QLineEdit* TGoodsGrid::CellEditor() const {
    return Editor && EditIndex.isValid() ? Editor.data() : nullptr;
}

void TGoodsGrid::EditorCreated(QLineEdit* editor, const QModelIndex& index) {
    Editor = editor;
    EditIndex = index;
}

bool TGoodsGrid::CommitEditor() {
    QLineEdit* editor = CellEditor();
    if (!editor) return true;
    if (editor->isModified() && !Committing) {
        Committing = true;
        try {
            // A row left browsing by someone else's move is taken into editing again.
            if (Goods.State() == gsBrowse) {
                Goods.SetRowNumber(EditIndex.row() + 1);
                Goods.EditRow();
            }
            Model->StoreCellText(EditIndex, editor->text());
        } catch (const std::exception& error) {
            TQtShell shell(window());
            ShowErrorDisplay(shell, error.what());
            Committing = false;
            if (Editor) Editor->setFocus();
            return false;
        }
        Committing = false;
        editor->setModified(false);
    }
    Editor = nullptr;
    EditIndex = QPersistentModelIndex();
    QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    return true;
}

void TGoodsGrid::DiscardEditor() {
    QLineEdit* editor = CellEditor();
    if (!editor) return;
    Editor = nullptr;
    EditIndex = QPersistentModelIndex();
    QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
}

bool TGoodsGrid::FinishEditing() {
    if (!CommitEditor()) return false;
    DropUntouchedRow();
    return true;
}

void TGoodsGrid::DropUntouchedRow() {
    if (Goods.State() == gsInsert && !Goods.Modified()) Goods.CancelRow();
}

bool TGoodsGrid::InsideGrid(const QWidget* widget) const {
    return widget && (widget == this || isAncestorOf(widget));
}

void TGoodsGrid::EditorFocusLost(QWidget* to, Qt::FocusReason reason) {
    // Another window taking over (a message box, the other form) settles nothing; a click inside
    // the grid is settled by the grid's own handlers.
    if (Committing || reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) {
        return;
    }
    if (!to || InsideGrid(to)) return;
    if (CommitEditor()) DropUntouchedRow();
}

bool TGoodsGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    if (!index.isValid() || !Goods.IsOpen()) return false;
    const bool opened = QTableView::edit(index, trigger, event);
    if (opened && CellEditor() && Goods.State() == gsBrowse) {
        RunHandler(window(), [&] {
            Goods.SetRowNumber(index.row() + 1);
            Goods.EditRow();
        });
    }
    return opened;
}

void TGoodsGrid::keyPressEvent(QKeyEvent* event) {
    if (CellEditor()) {
        // A key the cell editor did not want; moving keys come through its filter.
        event->ignore();
        return;
    }
    if (!Goods.IsOpen()) {
        QTableView::keyPressEvent(event);
        return;
    }
    const auto mods = event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier |
                                            Qt::AltModifier | Qt::MetaModifier);
    // Down from the last row appends, unless that row is itself a new untouched one.
    const auto appendAtEnd = [&] {
        RunHandler(window(), [&] {
            if (Goods.State() == gsInsert && !Goods.Modified()) return;
            Goods.AppendRow();
        });
    };
    switch (event->key()) {
        case Qt::Key_Insert:
            if (mods != Qt::NoModifier) break;
            RunHandler(window(), [&] { Goods.InsertRow(); });
            event->accept();
            return;
        case Qt::Key_Delete:
            if (mods != Qt::ControlModifier) break;
            RunHandler(window(), [&] {
                if (Goods.RowCount() == 0) return;
                if (!Dialogs().Confirm(window(), kConfirmTitle, kConfirmDelete)) return;
                Goods.DeleteRow();
            });
            event->accept();
            return;
        case Qt::Key_Down: {
            if (mods != Qt::NoModifier) break;
            const QModelIndex current = currentIndex();
            if (Model->rowCount() > 0 && current.isValid() &&
                current.row() < Model->rowCount() - 1) {
                break;
            }
            appendAtEnd();
            event->accept();
            return;
        }
        case Qt::Key_Tab:
        case Qt::Key_Backtab: {
            // The view wraps Tab from the last cell to the first row and Shift+Tab the other way;
            // in a table of goods that is a jump across the whole list. Past the last cell Tab
            // acts as Down from the last row; Shift+Tab before the first cell stays there.
            if (mods & ~Qt::KeyboardModifiers(Qt::ShiftModifier)) break;
            const QModelIndex current = currentIndex();
            const int rows = Model->rowCount();
            const int columns = Model->columnCount();
            if (!current.isValid() || rows == 0 || columns == 0) break;
            const bool forward = event->key() == Qt::Key_Tab && mods == Qt::NoModifier;
            if (forward && current.row() == rows - 1 && current.column() == columns - 1) {
                appendAtEnd();
                // The new row starts at its first cell, as Tab into any next row does.
                if (Model->rowCount() > rows)
                    setCurrentIndex(Model->index(Goods.RowNumber() - 1, 0));
            } else if (forward || current.row() > 0 || current.column() > 0) {
                break;
            }
            event->accept();
            return;
        }
        case Qt::Key_Enter:
        case Qt::Key_Return:
            if (currentIndex().isValid()) edit(currentIndex(), EditKeyPressed, event);
            event->accept();
            return;
        default:
            break;
    }
    QTableView::keyPressEvent(event);
}

void TGoodsGrid::mousePressEvent(QMouseEvent* event) {
    if (CellEditor() && !CommitEditor()) {
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

void TGoodsGrid::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return;
    if (InsideGrid(QApplication::focusWidget())) return;
    RunHandler(window(), [&] { DropUntouchedRow(); });
}

void TGoodsGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (Syncing || Model->InTableChange() || !current.isValid() || !Goods.IsOpen()) return;
    int target = current.row() + 1;
    if (target == Goods.RowNumber()) return;
    RunHandler(window(), [&] {
        // An untouched new row above the target vanishes when it is left.
        if (Goods.State() == gsInsert && !Goods.Modified() && target > Goods.RowNumber()) {
            --target;
        }
        Goods.SetRowNumber(target);
    });
}

void TGoodsGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    if (editor == Editor) {
        Editor = nullptr;
        EditIndex = QPersistentModelIndex();
    }
    QTableView::closeEditor(editor, hint);
}

void TGoodsGrid::SyncCurrent(int row) {
    if (row < 1 || row > Model->rowCount()) return;
    const QModelIndex current = currentIndex();
    if (current.isValid() && current.row() == row - 1) return;
    Syncing = true;
    setCurrentIndex(Model->index(row - 1, current.isValid() ? current.column() : 0));
    Syncing = false;
}

void TGoodsGrid::ResizeColumns() {
    // Widths are set when the columns appear; widths the operator dragged survive every later
    // refresh (each import and export ends with one).
    const bool appeared = SizedColumns != Model->columnCount();
    SizedColumns = Model->columnCount();
    if (!appeared) return;
    const QFontMetrics metrics(font());
    for (int column = 0; column < Model->columnCount(); ++column) {
        const TGoodsColumn& facts = GoodsColumn(static_cast<TGoodsField>(column));
        const int title = metrics.horizontalAdvance(QString::fromLatin1(facts.Name));
        setColumnWidth(column, std::max(facts.ViewChars * metrics.averageCharWidth(), title) + 8);
    }
}
