#include "card_rules/tableColumns.h"

#include "card_rules/readingIndex.h"

namespace tableColumns {

QStringView Cells::text(const Column &column, qsizetype row, QString &holder) const
{
    if (column.field != nameReading)
        return table_.view(column.field, row);
    holder = readings_ ? readings_->reading(row) : QString();
    return holder;
}

} // namespace tableColumns
