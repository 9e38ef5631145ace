#include "qt/GoodsGridModel.h"

#include "app/GoodsGridController.h"

TGoodsGridModel::TGoodsGridModel(const TGoodsGridController& controller, QObject* parent)
    : QAbstractTableModel(parent), Controller(controller) {}

int TGoodsGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Controller.RowCount();
}

int TGoodsGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Controller.ColumnCount();
}

QVariant TGoodsGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return QVariant();
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(Controller.CellText(index.row(), index.column()));
        case Qt::EditRole:
            return QString::fromStdString(Controller.CellEditText(index.row(), index.column()));
        case Qt::TextAlignmentRole: {
            const TGoodsColumn& column = GoodsColumn(static_cast<TGoodsField>(index.column()));
            return QVariant::fromValue((column.Align == gaLeft ? Qt::AlignLeft : Qt::AlignRight) |
                                       Qt::AlignVCenter);
        }
        default:
            return QVariant();
    }
}

QVariant TGoodsGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return QVariant();
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= kGoodsFieldCount) return QVariant();
        return QString::fromLatin1(GoodsFieldName(static_cast<TGoodsField>(section)));
    }
    return QString::fromStdString(Controller.RowMarker(section));
}

Qt::ItemFlags TGoodsGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

void TGoodsGridModel::RowChanged(int row) {
    emit dataChanged(index(row, 0), index(row, kGoodsFieldCount - 1));
}
