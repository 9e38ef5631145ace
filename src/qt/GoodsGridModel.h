#pragma once

#include <QAbstractTableModel>

#include "app/CurrencyFormat.h"
#include "import/GoodsTable.h"

// The results grid's view of the goods table: one column per field in field order, titled with
// the field name; the row marker in the vertical header. It reads cells in place (no copies) and
// follows the table's notifications. A closed table shows no rows and no columns.
class TGoodsGridModel : public QAbstractTableModel, public IGoodsView {
    Q_OBJECT
  public:
    TGoodsGridModel(TGoodsTable& table, const TCurrencyFormat& currency, QObject* parent = nullptr);
    ~TGoodsGridModel() override;

    TGoodsTable& Table() const { return Goods; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Stores a cell's typed text into the pending row by the table's text rules; throws the
    // table's message when the text does not fit the field (the value then stays as it was).
    void StoreCellText(const QModelIndex& index, const QString& text);

    // Whether the table is in the middle of adding or removing a row: the view must not move the
    // table's current row then (the table tells where it ends up once it is done).
    bool InTableChange() const { return ChangeDepth > 0; }

    // The row marker: the current row's state.
    static constexpr const char16_t* kMarkerBrowse = u"\u25BA";
    static constexpr const char16_t* kMarkerEdit = u"I";
    static constexpr const char16_t* kMarkerInsert = u"*";

  signals:
    // The table's current row (1-based, 0 for none) changed or was confirmed.
    void CurrentRowChanged(int row);

  private:
    void GoodsBeginInsert(int row) override;
    void GoodsEndInsert() override;
    void GoodsBeginRemove(int row) override;
    void GoodsEndRemove() override;
    void GoodsRowChanged(int row) override;
    void GoodsCurrentChanged(int row) override;
    void GoodsRefreshAll() override;

    TGoodsTable& Goods;
    TCurrencyFormat Currency;
    bool ShownOpen = false;
    int MarkedRow = 0;  // the row whose marker is shown
    int ChangeDepth = 0;
};
