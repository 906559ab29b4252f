#pragma once

#include "card_data/cardTable.h"
#include "card_rules/tableColumns.h"
#include "card_rules/tableSort.h"

#include <QAbstractTableModel>

#include <memory>
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

    using Table = std::shared_ptr<const mdlZorv::CardTable>;

    // Shows rows of a table (table row numbers, in the list's order) under its columns. A sort
    // worked out for another table is worked out again; the sort chosen stays.
    void setRows(Table table, tableColumns::Columns columns, mdlZorv::RowList listed);
    // Sorts by a column, or returns to the list's order for a column below 0.
    void sortBy(int column, Qt::SortOrder order);
    int sortColumn() const { return sortColumn_; }
    Qt::SortOrder sortOrder() const { return order_; }

    qsizetype tableRow(int row) const { return shown_[size_t(row)]; }
    const mdlZorv::RowList &shownRows() const { return shown_; }
    const mdlZorv::CardTable &table() const { return *table_; }
    tableColumns::Columns columns() const { return columns_; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    void arrange();

    Table table_ = std::make_shared<const mdlZorv::CardTable>();
    tableColumns::Columns columns_;
    mdlZorv::RowList listed_;
    mdlZorv::RowList shown_;
    int sortColumn_ = -1;
    Qt::SortOrder order_ = Qt::AscendingOrder;
    std::optional<tableSort::ColumnOrder> columnOrder_; // of the sort column, for table_
};
