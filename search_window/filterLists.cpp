#include "search_window/filterLists.h"

#include <QSet>

namespace filterLists {

QString noSelection()
{
    return QStringLiteral("(指定なし)");
}

QStringList distinctValues(const mdlZorv::CardTable &table, int field)
{
    QStringList values;
    QSet<QStringView> seen; // views into the table's text, which outlives this call
    for (qsizetype row = 0; row < table.rowCount(); ++row) {
        const QStringView value = table.view(field, row);
        if (!value.isEmpty() && !seen.contains(value)) {
            seen.insert(value);
            values.append(value.toString());
        }
    }
    return values;
}

QStringList levels()
{
    QStringList levels;
    for (int level = 1; level <= 12; ++level)
        levels.append(QString::number(level));
    return levels;
}

QStringList magicKinds()
{
    return {QStringLiteral("魔法"), QStringLiteral("罠"), QStringLiteral("儀式")};
}

} // namespace filterLists
