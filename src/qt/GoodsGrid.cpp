#include "qt/GoodsGrid.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>

#include "qt/GoodsGridModel.h"

TGridKeyPress GridKeyOf(const QKeyEvent* event) {
    TGridKeyPress press;
    switch (event->key()) {
        case Qt::Key_Insert:
            press.Key = grInsert;
            break;
        case Qt::Key_Delete:
            press.Key = grDelete;
            break;
        case Qt::Key_Up:
            press.Key = grUp;
            break;
        case Qt::Key_Down:
            press.Key = grDown;
            break;
        case Qt::Key_PageUp:
            press.Key = grPageUp;
            break;
        case Qt::Key_PageDown:
            press.Key = grPageDown;
            break;
        case Qt::Key_Tab:
            press.Key = grTab;
            break;
        case Qt::Key_Backtab:
            press.Key = grBacktab;
            break;
        case Qt::Key_Enter:
        case Qt::Key_Return:
            press.Key = grEnter;
            break;
        case Qt::Key_F2:
            press.Key = grF2;
            break;
        case Qt::Key_Escape:
            press.Key = grEscape;
            break;
        case Qt::Key_Left:
            press.Key = grLeft;
            break;
        case Qt::Key_Right:
            press.Key = grRight;
            break;
        case Qt::Key_Home:
            press.Key = grHome;
            break;
        case Qt::Key_End:
            press.Key = grEnd;
            break;
        case Qt::Key_F3:
            press.Key = grF3;
            break;
        case Qt::Key_F:
            press.Key = grF;
            break;
        case Qt::Key_Z:
            press.Key = grZ;
            break;
        case Qt::Key_Y:
            press.Key = grY;
            break;
        case Qt::Key_C:
            press.Key = grC;
            break;
        case Qt::Key_V:
            press.Key = grV;
            break;
        default:
            break;
    }
    const Qt::KeyboardModifiers mods = event->modifiers();
    press.Shift = mods.testFlag(Qt::ShiftModifier);
    press.Ctrl = mods.testFlag(Qt::ControlModifier);
    press.Alt = mods.testFlag(Qt::AltModifier) || mods.testFlag(Qt::MetaModifier);
    return press;
}

namespace {

// A window change or a popup takes the keyboard for a while: that settles nothing in the grid.
// Nor does a mouse press on a button: the viewer's buttons store the cell themselves when clicked,
// and settling on the press too would show a refused text's message twice.
bool SettlesNothing(Qt::FocusReason reason, const QWidget* to) {
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason ||
           (reason == Qt::MouseFocusReason && qobject_cast<const QAbstractButton*>(to));
}

}  // namespace

TGoodsCellDelegate::TGoodsCellDelegate(TGoodsGrid* grid) : QStyledItemDelegate(grid), Grid(grid) {}

QWidget* TGoodsCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& /*option*/,
                                          const QModelIndex& index) const {
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    if (!Grid) return editor;
    const int width = TGoodsGridController::EditorMaxLength(index.column());
    if (width > 0) editor->setMaxLength(width);
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
    if (Grid && editor == Grid->CellEditor()) Grid->Control.CommitEditor();
}

bool TGoodsCellDelegate::eventFilter(QObject* object, QEvent* event) {
    auto* editor = qobject_cast<QLineEdit*>(object);
    if (!editor || !Grid) return false;
    switch (event->type()) {
        case QEvent::ShortcutOverride:
            // Esc belongs to the editor, not to the window's cancel button.
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
                event->accept();
                return true;
            }
            return false;
        case QEvent::KeyPress:
            return Grid->EditorKey(static_cast<QKeyEvent*>(event));
        case QEvent::FocusOut:
            Grid->EditorFocusLost(QApplication::focusWidget(),
                                  static_cast<QFocusEvent*>(event)->reason());
            return false;
        default:
            return false;
    }
}

TGoodsGrid::TGoodsGrid(TGoodsGridController& control, QWidget* parent)
    : QTableView(parent),
      Control(control),
      Model(new TGoodsGridModel(Control, this)),
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

    // The view releases its editors on a reset; the typed text goes with the old rows.
    connect(Model, &QAbstractItemModel::modelAboutToBeReset, this, &TGoodsGrid::ForgetEditor);
    connect(Model, &QAbstractItemModel::modelReset, this, &TGoodsGrid::ResizeColumns);
    ResizeColumns();
    Control.SetView(this);
}

TGoodsGrid::~TGoodsGrid() {
    Delegate->Detach();
    Control.SetView(nullptr);
    setModel(nullptr);
    delete Model;
}

QLineEdit* TGoodsGrid::CellEditor() const {
    return Editor && EditIndex.isValid() ? Editor.data() : nullptr;
}

void TGoodsGrid::EditorCreated(QLineEdit* editor, const QModelIndex& index) {
    Editor = editor;
    EditIndex = index;
    EditorIsNew = true;
    connect(editor, &QLineEdit::textEdited, this, [this, editor] {
        if (editor == Editor)
            Control.EditorTextChanged(editor->text().toStdString(), editor->isModified());
    });
}

void TGoodsGrid::ForgetEditor() {
    Editor = nullptr;
    EditIndex = QPersistentModelIndex();
}

bool TGoodsGrid::EditorKey(QKeyEvent* key) {
    switch (Control.EditorKey(GridKeyOf(key))) {
        case koToolkit:
            return false;
        case koGridToolkit:
            // The cell is closed; the view's own moves take the key.
            QTableView::keyPressEvent(key);
            return true;
        case koCloseViewer:
            emit EscapePressed();
            return true;
        default:
            return true;
    }
}

bool TGoodsGrid::InsideGrid(const QWidget* widget) const {
    return widget && (widget == this || isAncestorOf(widget));
}

void TGoodsGrid::EditorFocusLost(QWidget* to, Qt::FocusReason reason) {
    // Another window taking over (a message box, the other form) or the focus leaving the program
    // settles nothing; a click inside the grid is settled by the grid's own handlers.
    if (SettlesNothing(reason, to) || !to || InsideGrid(to)) return;
    Control.FocusLeft();
}

bool TGoodsGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    if (!index.isValid() || !Control.CanEdit(index.row(), index.column())) return false;
    EditorIsNew = false;
    const bool opened = QTableView::edit(index, trigger, event);
    if (opened && EditorIsNew && CellEditor()) {
        EditorIsNew = false;
        Control.EditorOpened(index.row(), index.column());
    }
    return opened;
}

void TGoodsGrid::keyPressEvent(QKeyEvent* event) {
    if (CellEditor()) {
        // A key the cell editor did not want; moving keys come through its filter.
        event->ignore();
        return;
    }
    switch (Control.GridKey(GridKeyOf(event))) {
        case koToolkit:
            QTableView::keyPressEvent(event);
            return;
        case koEdit:
            edit(currentIndex(), EditKeyPressed, event);
            break;
        default:
            break;
    }
    event->accept();
}

void TGoodsGrid::mousePressEvent(QMouseEvent* event) {
    if (!Control.Clicked()) {
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

void TGoodsGrid::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    QWidget* const to = QApplication::focusWidget();
    if (SettlesNothing(event->reason(), to) || InsideGrid(to)) return;
    Control.FocusLeft();
}

void TGoodsGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (current.isValid()) Control.CurrentCellMoved(current.row());
}

void TGoodsGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    if (editor == Editor) {
        ForgetEditor();
        Control.EditorClosed();
    }
    QTableView::closeEditor(editor, hint);
}

void TGoodsGrid::BeginInsertRow(int row) {
    Model->BeginInsertRow(row);
}

void TGoodsGrid::EndInsertRow() {
    Model->EndInsertRow();
}

void TGoodsGrid::BeginRemoveRow(int row) {
    Model->BeginRemoveRow(row);
}

void TGoodsGrid::EndRemoveRow() {
    Model->EndRemoveRow();
}

void TGoodsGrid::BeginReset() {
    Model->BeginReset();
}

void TGoodsGrid::EndReset() {
    Model->EndReset();
}

void TGoodsGrid::RowChanged(int row) {
    Model->RowChanged(row);
}

void TGoodsGrid::MarkerChanged(int row) {
    Model->MarkerChanged(row);
}

int TGoodsGrid::CurrentRow() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : -1;
}

int TGoodsGrid::CurrentColumn() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.column() : -1;
}

int TGoodsGrid::PageRows() const {
    return std::max(1, viewport()->height() / std::max(1, verticalHeader()->defaultSectionSize()));
}

void TGoodsGrid::SetCurrentCell(int row, int column) {
    setCurrentIndex(Model->index(row, column));
}

void TGoodsGrid::CloseEditor() {
    QLineEdit* editor = CellEditor();
    if (!editor) return;
    ForgetEditor();
    QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void TGoodsGrid::FocusEditor() {
    if (Editor) Editor->setFocus();
}

void TGoodsGrid::ResizeColumns() {
    // Widths are set when the columns appear; widths the operator dragged survive every later
    // refresh (each import and export ends with one).
    const bool appeared = SizedColumns != Model->columnCount();
    SizedColumns = Model->columnCount();
    if (!appeared) return;
    const QFontMetrics metrics(font());
    const auto textWidth = [&](std::string_view text) {
        return metrics.horizontalAdvance(
            QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    };
    for (int column = 0; column < Model->columnCount(); ++column) {
        setColumnWidth(column, TGoodsGridController::ColumnWidth(column, metrics.averageCharWidth(),
                                                                 textWidth, 8));
    }
}
