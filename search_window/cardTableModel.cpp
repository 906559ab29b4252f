#include "search_window/cardTableModel.h"

#include <algorithm>
#include <limits>

namespace {

// A cell shows one line, the view eliding what does not fit; the text is cut well before that,
// so that painting a row lays out no more than a cell can show. The tool tip shows the whole.
QString oneLine(QStringView text)
{
    constexpr qsizetype longest = 64;
    QString line = text.size() <= longest ? text.toString() : text.first(longest).toString() + u'…';
    std::replace_if(
        line.begin(), line.end(), [](QChar c) { return c == u'\r' || c == u'\n'; }, u' ');
    return line;
}

QString toolTipText(QStringView text)
{
    constexpr qsizetype longest = 4'000; // a tool tip lays its whole text out at once
    return text.size() <= longest ? text.toString() : text.first(longest).toString() + u'…';
}

} // namespace

void CardTableModel::setRows(Table table, tableColumns::Columns columns, mdlZorv::RowList listed)
{
    beginResetModel();
    if (table != table_ || columns.data() != columns_.data())
        columnOrder_.reset();
    if (columns.data() != columns_.data())
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
    if (column != sortColumn_)
        columnOrder_.reset();
    sortColumn_ = column;
    order_ = order;
    arrange();
    endResetModel();
}

void CardTableModel::arrange()
{
    if (sortColumn_ < 0) {
        shown_ = listed_;
        return;
    }
    if (!columnOrder_)
        columnOrder_.emplace(*table_, columns_[size_t(sortColumn_)]);
    shown_ = columnOrder_->sorted(listed_, order_);
}

int CardTableModel::rowCount(const QModelIndex &parent) const
{
    // Views count rows in int; a longer table shows its first rows.
    constexpr auto most = qsizetype(std::numeric_limits<int>::max());
    return parent.isValid() ? 0 : int(std::min(qsizetype(shown_.size()), most));
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
    const QStringView text = table_->view(column.field, tableRow(index.row()));
    switch (role) {
    case Qt::DisplayRole:
        return oneLine(text);
    case Qt::ToolTipRole:
        return text.isEmpty() ? QVariant() : QVariant(toolTipText(text));
    case Qt::TextAlignmentRole:
        return column.sorting == tableColumns::Sorting::Number
                   ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                   : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
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
