#pragma once

#include <QList>
#include <QString>

class UserSettings;

// What the card table window remembers of each page (monsters, magic) from one time it is open to
// the next: its columns' widths and order, the sort and whether effect texts wrap. Whatever the
// settings file holds, what is read back is a state the window can show: a value that does not
// fit is read as the usual one.
namespace cardTableState {

struct State
{
    QList<int> widths; // by column (logical index); 0: the column's usual width
    QList<int> order;  // the columns (logical indexes) from left to right
    int sortColumn = -1;
    Qt::SortOrder sortOrder = Qt::AscendingOrder;
    bool wrap = true;
    friend bool operator==(const State &, const State &) = default;
};

// The largest column width kept, in pixels.
inline constexpr int widestColumn = 4000;

// The state of a page ("monsters", "magic") of columnCount columns. Widths are read as numbers
// from 0 to widestColumn, other values as 0; an order that is not every column once, a sort
// column out of range or a list of another length is read as the usual:
//   widths "80 x -5 99999", 4 columns -> {80, 0, 0, 4000}     order "0 0 1" -> {0, 1, 2}
State read(const UserSettings &settings, const QString &page, int columnCount);
void write(UserSettings &settings, const QString &page, const State &state);

} // namespace cardTableState
