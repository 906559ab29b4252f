#include "card_rules/filterLists.h"

namespace filterLists {

QString noSelection()
{
    return QStringLiteral("(指定なし)");
}

QStringList distinctValues(const mdlZorv::CardTable &table, int field)
{
    QStringList values;
    for (const QStringView value : table.codes(field).values) {
        if (!value.isEmpty())
            values.append(value.toString());
    }
    return values;
}

QString entryText(QStringView text)
{
    constexpr qsizetype longest = 256;
    if (text.size() <= longest)
        return text.toString();
    const qsizetype cut = text[longest - 1].isHighSurrogate() ? longest - 1 : longest;
    return text.first(cut).toString() + u'…';
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
    QStringList kinds;
    for (const QStringView kind : mdlZorv::magicKinds)
        kinds.append(kind.toString());
    return kinds;
}

QString duelistNames(QStringView duelistField)
{
    QStringList names;
    for (const Duelist &duelist : duelists) {
        if (duelistField.contains(duelist.key))
            names << duelist.caption.toString();
    }
    return names.isEmpty() ? QStringLiteral("なし") : names.join(u'、');
}

} // namespace filterLists
