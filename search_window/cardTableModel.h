#pragma once

#include "card_data/cardTable.h"
#include "card_rules/tableColumns.h"
#include "card_rules/tableSort.h"

#include <QAbstractTableModel>

#include <optional>
#include <vector>

// The rows of the card table window: the cards a page lists, in the list's order or sorted by a
// column, a row a card and a column a field. Cells are made when the view asks for them, so that
// a million rows cost a row number each.
class CardTableModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    // Shows the rows a page lists (table row numbers, in the list's order) under its columns.
    // cards counts the sets of cards the tables have held: a sort worked out for an older set, or
    // another table, is worked out again. The sort chosen stays.
    void setRows(const mdlZorv::CardTable &table, tableColumns::Columns columns,
                 mdlZorv::RowList listed, int cards);
    // Sorts by a column, or returns to the list's order for a column below 0.
    void sortBy(int column, Qt::SortOrder order);
    int sortColumn() const { return sortColumn_; }
    Qt::SortOrder sortOrder() const { return order_; }

    qsizetype tableRow(int row) const { return shown_[size_t(row)]; }
    const mdlZorv::RowList &shownRows() const { return shown_; }
    const mdlZorv::CardTable *table() const { return table_; }
    tableColumns::Columns columns() const { return columns_; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    void arrange();

    const mdlZorv::CardTable *table_ = nullptr;
    tableColumns::Columns columns_;
    int cards_ = -1;
    mdlZorv::RowList listed_;
    mdlZorv::RowList shown_;
    int sortColumn_ = -1;
    Qt::SortOrder order_ = Qt::AscendingOrder;
    std::optional<tableSort::ColumnOrder> columnOrder_; // of the sort column, for table_ and cards_
};
