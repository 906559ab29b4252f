#include "search_window/cardTableModel.h"

#include <QTextDocument>

#include <algorithm>
#include <limits>

namespace {

// A cell lays out its text as one paragraph, line breaks as blanks, cut where no cell could show
// more; the tool tip shows the whole.
QString cellText(QStringView text)
{
    constexpr qsizetype longest = CardTableModel::cellTextLength;
    QString line = text.size() <= longest ? text.toString() : text.first(longest).toString() + u'…';
    std::replace_if(
        line.begin(), line.end(), [](QChar c) { return c == u'\r' || c == u'\n'; }, u' ');
    return line;
}

// Rich text, so that a long text wraps in its tool tip, and so that a text of the card file is
// shown as written, even one that looks like HTML.
QString toolTipText(QStringView text)
{
    constexpr qsizetype longest = 4'000; // a tool tip lays its whole text out at once
    const QString shown =
        text.size() <= longest ? text.toString() : text.first(longest).toString() + u'…';
    return Qt::convertFromPlainText(shown, Qt::WhiteSpaceNormal);
}

} // namespace

void CardTableModel::setRows(Table table, tableColumns::Columns columns, Rows listed,
                             Readings readings)
{
    beginResetModel();
    const bool byReading = orderColumn_ >= 0 && size_t(orderColumn_) < columns_.size() &&
                           columns_[size_t(orderColumn_)].sorting == tableColumns::Sorting::Reading;
    if (table != table_ || columns.data() != columns_.data() ||
        (byReading && readings != readings_)) {
        columnOrder_.reset();
        orderColumn_ = -1;
    }
    readings_ = std::move(readings);
    if (!knownOrder(sortColumn_))
        sortColumn_ = -1;
    table_ = std::move(table);
    columns_ = columns;
    listed_ = std::move(listed);
    arrange();
    endResetModel();
}

void CardTableModel::sortBy(int column, Qt::SortOrder order)
{
    beginResetModel();
    if (column >= 0 && !knownOrder(column)) {
        columnOrder_ = std::make_shared<const tableSort::ColumnOrder>(
            *table_, columns_[size_t(column)], readings_.get());
        orderColumn_ = column;
    }
    sortColumn_ = column;
    order_ = order;
    arrange();
    endResetModel();
}

void CardTableModel::showSorted(int column, Qt::SortOrder order, Order columnOrder,
                                mdlZorv::RowList shown)
{
    beginResetModel();
    columnOrder_ = std::move(columnOrder);
    orderColumn_ = column;
    sortColumn_ = column;
    order_ = order;
    shown_ = std::make_shared<const mdlZorv::RowList>(std::move(shown));
    endResetModel();
}

void CardTableModel::arrange()
{
    shown_ = sortColumn_ < 0
                 ? listed_
                 : std::make_shared<const mdlZorv::RowList>(columnOrder_->sorted(*listed_, order_));
}

int CardTableModel::rowCount(const QModelIndex &parent) const
{
    // Views count rows in int; a longer table shows its first rows.
    constexpr auto most = qsizetype(std::numeric_limits<int>::max());
    return parent.isValid() ? 0 : int(std::min(qsizetype(shown_->size()), most));
}

int CardTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant CardTableModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const tableColumns::Column &column = columns_[size_t(index.column())];
    QString reading;
    const QStringView text = cells().text(column, tableRow(index.row()), reading);
    switch (role) {
    case Qt::DisplayRole:
        return cellText(text);
    case Qt::ToolTipRole:
        return text.isEmpty() ? QVariant() : QVariant(toolTipText(text));
    case Qt::TextAlignmentRole:
        return column.sorting == tableColumns::Sorting::Number
                   ? QVariant(Qt::AlignRight | Qt::AlignTop)
                   : QVariant(Qt::AlignLeft | Qt::AlignTop);
    default:
        return {};
    }
}

QVariant CardTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return columns_[size_t(section)].header.toString();
    return {};
}
