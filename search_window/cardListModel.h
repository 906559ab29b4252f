#pragma once

#include "card_data/cardTable.h"

#include <QAbstractListModel>

#include <memory>
#include <vector>

// The entries of a card name list: one per table row in a chosen set, shown as the card number,
// two blanks and the name. Entries are made when the view asks for them, so filling the list
// costs nothing per entry. The rows and the table they are rows of are given together.
class CardListModel final : public QAbstractListModel
{
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // Rows shared between the list and others that hold the same ones: a list of every card of a
    // large file need not be held twice.
    using Rows = std::shared_ptr<const mdlZorv::RowList>;
    using Table = std::shared_ptr<const mdlZorv::CardTable>;

    // Replaces every entry: rows of the table, in the order of rows.
    void setRows(Table table, Rows rows);
    const mdlZorv::RowList &rows() const { return *rows_; }
    const Rows &sharedRows() const { return rows_; }
    // The table row an entry was built from, and the entry of a table row, or -1.
    qsizetype tableRow(int entry) const { return (*rows_)[size_t(entry)]; }
    int entryOfRow(qsizetype row) const;

    // The text of the entry for a table row: field 1, two blanks, field 2 (cut if huge).
    static QString entryText(const mdlZorv::CardTable &table, qsizetype row);

private:
    Table table_ = std::make_shared<const mdlZorv::CardTable>();
    Rows rows_ = std::make_shared<const mdlZorv::RowList>();
};
