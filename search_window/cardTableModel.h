#pragma once

#include "card_data/cardTable.h"
#include "card_rules/tableColumns.h"
#include "card_rules/tableSort.h"

#include <QAbstractTableModel>

#include <memory>
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
    using Order = std::shared_ptr<const tableSort::ColumnOrder>;
    // Rows shared with the list that holds the same ones: a table of a million rows need not
    // hold them twice.
    using Rows = std::shared_ptr<const mdlZorv::RowList>;
    using Readings = std::shared_ptr<const cardFind::ReadingIndex>;

    // The most characters of a field that a cell lays out: more than the widest cell shows in its
    // lines, few enough that painting a row stays cheap. The tool tip shows the whole.
    static constexpr qsizetype cellTextLength = 600;

    // Shows rows of a table (table row numbers, in the list's order) under its columns. The sort
    // shown stays where its column's order is known for that table; else the rows show in the
    // list's order until they are sorted again.
    // readings: of the table's names, for the 読み column and sorts by reading; may be null.
    void setRows(Table table, tableColumns::Columns columns, Rows listed, Readings readings);
    // Sorts by a column, at once, or returns to the list's order for a column below 0.
    void sortBy(int column, Qt::SortOrder order);
    // Shows a sort worked out elsewhere: the order of a column of the table shown, and the rows
    // listed now in that order.
    void showSorted(int column, Qt::SortOrder order, Order columnOrder, mdlZorv::RowList shown);
    int sortColumn() const { return sortColumn_; }
    Qt::SortOrder sortOrder() const { return order_; }
    // The order of a column of the table shown, if it was worked out; else null.
    Order knownOrder(int column) const { return column == orderColumn_ ? columnOrder_ : nullptr; }

    qsizetype tableRow(int row) const { return (*shown_)[size_t(row)]; }
    const mdlZorv::RowList &shownRows() const { return *shown_; }
    const mdlZorv::RowList &listedRows() const { return *listed_; }
    const Rows &sharedListedRows() const { return listed_; }
    const mdlZorv::CardTable &table() const { return *table_; }
    const Table &sharedTable() const { return table_; }
    const Readings &readings() const { return readings_; }
    tableColumns::Cells cells() const { return {*table_, readings_.get()}; }
    tableColumns::Columns columns() const { return columns_; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    void arrange();

    Table table_ = std::make_shared<const mdlZorv::CardTable>();
    Readings readings_;
    tableColumns::Columns columns_;
    Rows listed_ = std::make_shared<const mdlZorv::RowList>();
    Rows shown_ = listed_; // the listed ones, or those in the sort's order
    int sortColumn_ = -1;
    Qt::SortOrder order_ = Qt::AscendingOrder;
    Order columnOrder_; // of column orderColumn_ of table_, once worked out
    int orderColumn_ = -1;
};
