#include "card_rules/cardChanges.h"

#include "card_data/cardFields.h"

#include <QHash>

#include <unordered_map>

namespace {

struct CardKey
{
    QStringView number;
    quint32 place; // among the cards of the table with this number
    bool operator==(const CardKey &other) const
    {
        return place == other.place && number == other.number;
    }
};

struct CardKeyHash
{
    size_t operator()(const CardKey &key) const { return qHash(key.number, key.place); }
};

struct TextHash
{
    size_t operator()(QStringView text) const { return qHash(text); }
};

size_t contentsHash(const mdlZorv::CardTable &table, qsizetype row)
{
    size_t hash = 0;
    for (int field = mdlZorv::CardField::Name; field < table.fieldCount(); ++field)
        hash = qHash(table.view(field, row), hash * 31 + size_t(field));
    return hash;
}

// Calls found(key, row) for every row, each with its key.
template <typename Found> void forEachCard(const mdlZorv::CardTable &table, Found found)
{
    std::unordered_map<QStringView, quint32, TextHash> seen;
    seen.reserve(size_t(table.rowCount()));
    for (qsizetype row = 0; row < table.rowCount(); ++row) {
        const QStringView number = table.view(mdlZorv::CardField::Number, row);
        found(CardKey{number, seen[number]++}, row);
    }
}

void compareTables(const mdlZorv::CardTable &before, const mdlZorv::CardTable &after,
                   CardChanges &changes)
{
    std::unordered_map<CardKey, size_t, CardKeyHash> cards;
    cards.reserve(size_t(before.rowCount()));
    forEachCard(before,
                [&](CardKey key, qsizetype row) { cards.emplace(key, contentsHash(before, row)); });
    qsizetype kept = 0;
    forEachCard(after, [&](CardKey key, qsizetype row) {
        const auto found = cards.find(key);
        if (found == cards.end()) {
            ++changes.added;
            return;
        }
        ++kept;
        if (found->second != contentsHash(after, row))
            ++changes.changed;
    });
    changes.removed += before.rowCount() - kept;
    changes.cards += after.rowCount();
}

} // namespace

CardChanges compareCards(const CardSet &before, const CardSet &after)
{
    CardChanges changes;
    compareTables(*before.monsters.table, *after.monsters.table, changes);
    compareTables(*before.magic.table, *after.magic.table, changes);
    return changes;
}

QString changesNote(const CardChanges &changes, bool asked)
{
    if (!changes.any())
        return asked ? QStringLiteral("変更はありません") : QString();
    return QStringLiteral("再読み込みしました: %L1 枚 (追加 %L2、変更 %L3、削除 %L4)")
        .arg(changes.cards)
        .arg(changes.added)
        .arg(changes.changed)
        .arg(changes.removed);
}
