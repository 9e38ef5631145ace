#pragma once

#include <QAbstractTableModel>

class TGoodsGridController;

// The results grid's Qt model: what the grid controller shows, read in place (no copies), with the
// row marker in the vertical header. The grid passes the table's changes on through the
// Begin/End calls, which only a model may make.
class TGoodsGridModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    TGoodsGridModel(const TGoodsGridController& controller, QObject* parent);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void BeginInsertRow(int row) { beginInsertRows(QModelIndex(), row, row); }
    void EndInsertRow() { endInsertRows(); }
    void BeginRemoveRow(int row) { beginRemoveRows(QModelIndex(), row, row); }
    void EndRemoveRow() { endRemoveRows(); }
    void BeginReset() { beginResetModel(); }
    void EndReset() { endResetModel(); }
    void RowChanged(int row);
    void MarkerChanged(int row) { emit headerDataChanged(Qt::Vertical, row, row); }

  private:
    const TGoodsGridController& Controller;
};
