#include "search_window/cardListModel.h"

#include "card_data/cardFields.h"
#include "card_rules/filterLists.h"

#include <algorithm>
#include <limits>

int CardListModel::rowCount(const QModelIndex &parent) const
{
    // Views count entries in int; a list longer than that shows its first entries.
    constexpr auto most = qsizetype(std::numeric_limits<int>::max());
    return parent.isValid() ? 0 : int(std::min(qsizetype(rows_->size()), most));
}

QVariant CardListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    return entryText(*table_, tableRow(index.row()));
}

void CardListModel::setRows(Table table, Rows rows)
{
    beginResetModel();
    table_ = std::move(table);
    rows_ = std::move(rows);
    endResetModel();
}

// Entries stand in the order of their rows.
int CardListModel::entryOfRow(qsizetype row) const
{
    const auto found = std::lower_bound(rows_->begin(), rows_->end(), row);
    return found != rows_->end() && *found == row ? int(found - rows_->begin()) : -1;
}

QString CardListModel::entryText(const mdlZorv::CardTable &table, qsizetype row)
{
    const QStringView number = table.view(mdlZorv::CardField::Number, row);
    const QStringView name = table.view(mdlZorv::CardField::Name, row);
    QString text;
    text.reserve(number.size() + 2 + std::min<qsizetype>(name.size(), 300));
    text.append(number).append(u"  ").append(filterLists::entryText(name));
    return text;
}
