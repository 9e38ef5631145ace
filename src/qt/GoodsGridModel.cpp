#include "qt/GoodsGridModel.h"

TGoodsGridModel::TGoodsGridModel(TGoodsTable& table, const TCurrencyFormat& currency,
                                 QObject* parent)
    : QAbstractTableModel(parent), Goods(table), Currency(currency) {
    ShownOpen = Goods.IsOpen();
    MarkedRow = Goods.RowNumber();
    Goods.AttachView(this);
}

TGoodsGridModel::~TGoodsGridModel() {
    Goods.DetachView(this);
}

int TGoodsGridModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !ShownOpen) return 0;
    return Goods.RowCount();
}

int TGoodsGridModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid() || !ShownOpen) return 0;
    return kGoodsFieldCount;
}

QVariant TGoodsGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return QVariant();
    const int row = index.row() + 1;
    const auto field = static_cast<TGoodsField>(index.column());
    const TGoodsColumn& column = GoodsColumn(field);
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            // Money shows in the currency format and is edited as a plain number.
            if (column.Kind == gkMoney && !Goods.IsEmptyAt(row, field)) {
                const double amount = Goods.AsFloatAt(row, field);
                return QString::fromStdString(role == Qt::DisplayRole ? Currency.Format(amount)
                                                                      : Currency.EditText(amount));
            }
            return QString::fromStdString(Goods.AsTextAt(row, field));
        case Qt::TextAlignmentRole:
            return QVariant::fromValue((column.Align == gaLeft ? Qt::AlignLeft : Qt::AlignRight) |
                                       Qt::AlignVCenter);
        default:
            return QVariant();
    }
}

QVariant TGoodsGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return QVariant();
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= kGoodsFieldCount) return QVariant();
        return QString::fromLatin1(GoodsColumn(static_cast<TGoodsField>(section)).Name);
    }
    if (section + 1 != Goods.RowNumber()) return QString();
    switch (Goods.State()) {
        case gsEdit:
            return QString::fromUtf16(kMarkerEdit);
        case gsInsert:
            return QString::fromUtf16(kMarkerInsert);
        default:
            return QString::fromUtf16(kMarkerBrowse);
    }
}

Qt::ItemFlags TGoodsGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

void TGoodsGridModel::StoreCellText(const QModelIndex& index, const QString& text) {
    const auto field = static_cast<TGoodsField>(index.column());
    Goods.SetText(field, text.toStdString());
    emit dataChanged(index, index);
}

void TGoodsGridModel::GoodsBeginInsert(int row) {
    ++ChangeDepth;
    beginInsertRows(QModelIndex(), row - 1, row - 1);
}

void TGoodsGridModel::GoodsEndInsert() {
    endInsertRows();
    --ChangeDepth;
}

void TGoodsGridModel::GoodsBeginRemove(int row) {
    ++ChangeDepth;
    beginRemoveRows(QModelIndex(), row - 1, row - 1);
}

void TGoodsGridModel::GoodsEndRemove() {
    endRemoveRows();
    --ChangeDepth;
}

void TGoodsGridModel::GoodsRowChanged(int row) {
    emit dataChanged(index(row - 1, 0), index(row - 1, kGoodsFieldCount - 1));
}

void TGoodsGridModel::GoodsCurrentChanged(int row) {
    const int old = MarkedRow;
    MarkedRow = row;
    const int count = Goods.RowCount();
    if (old >= 1 && old <= count) emit headerDataChanged(Qt::Vertical, old - 1, old - 1);
    if (row >= 1 && row <= count) emit headerDataChanged(Qt::Vertical, row - 1, row - 1);
    emit CurrentRowChanged(row);
}

void TGoodsGridModel::GoodsRefreshAll() {
    ++ChangeDepth;
    beginResetModel();
    ShownOpen = Goods.IsOpen();
    MarkedRow = Goods.RowNumber();
    endResetModel();
    --ChangeDepth;
    emit CurrentRowChanged(MarkedRow);
}
