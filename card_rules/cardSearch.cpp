#include "card_rules/cardSearch.h"

#include "card_data/cardFields.h"

namespace cardSearch {

namespace {

using mdlZorv::CardTable;

template <typename Rejects> void unmarkRows(CardTable &table, Rejects rejects)
{
    for (qsizetype row = 0; row < table.rowCount(); ++row) {
        if (rejects(row))
            table.unmark(row);
    }
}

// Decides once per distinct text of the field, then applies the verdict to every row holding it.
template <typename Passes> void unmarkByCode(CardTable &table, int field, Passes passes)
{
    const mdlZorv::FieldCodes &codes = table.codes(field);
    std::vector<char> verdicts(codes.values.size());
    for (size_t code = 0; code < verdicts.size(); ++code)
        verdicts[code] = passes(code);
    std::visit(
        [&](const auto &rowCodes) {
            unmarkRows(table, [&](qsizetype row) { return !verdicts[rowCodes[size_t(row)]]; });
        },
        codes.rowCodes);
}

template <typename Passes> void unmarkByText(CardTable &table, int field, Passes passes)
{
    const mdlZorv::FieldCodes &codes = table.codes(field);
    unmarkByCode(table, field, [&](size_t code) { return passes(codes.values[code]); });
}

void unmarkUnequal(CardTable &table, int field, const std::optional<QString> &value)
{
    if (value)
        unmarkByText(table, field, [&](QStringView text) { return text == *value; });
}

void unmarkWithoutDuelist(CardTable &table, int field, const std::optional<QString> &keys)
{
    if (keys)
        unmarkByText(table, field, [&](QStringView text) { return hasAnyDuelist(text, *keys); });
}

void unmarkOutside(CardTable &table, int field, Threshold threshold)
{
    const std::vector<double> &numbers = table.codeNumbers(field);
    unmarkByCode(table, field, [&](size_t code) { return threshold.passes(numbers[code]); });
}

// Counted first, so that a list of every row of a large table is made at its size at once.
mdlZorv::RowList markedRows(const CardTable &table)
{
    qsizetype marked = 0;
    for (qsizetype row = 0; row < table.rowCount(); ++row)
        marked += table.isMarked(row) ? 1 : 0;
    mdlZorv::RowList rows;
    rows.reserve(size_t(marked));
    for (qsizetype row = 0; row < table.rowCount(); ++row) {
        if (table.isMarked(row))
            rows.push_back(row);
    }
    return rows;
}

} // namespace

bool hasAnyDuelist(QStringView duelists, QStringView keys)
{
    for (const QChar key : keys) {
        if (duelists.contains(key))
            return true;
    }
    return false;
}

mdlZorv::RowList searchMonsters(CardTable &table, const MonsterFilters &filters)
{
    using namespace mdlZorv::CardField;
    table.markAll();
    unmarkUnequal(table, Type, filters.type);
    unmarkUnequal(table, Mazoku, filters.mazoku);
    unmarkUnequal(table, Level, filters.level);
    if (filters.effectOnly)
        unmarkRows(table, [&](qsizetype row) { return table.view(Effect, row).isEmpty(); });
    unmarkWithoutDuelist(table, Duelists, filters.duelistKeys);
    unmarkOutside(table, Cost, filters.cost);
    unmarkOutside(table, AP, filters.ap);
    unmarkOutside(table, DP, filters.dp);
    return markedRows(table);
}

mdlZorv::RowList searchMagic(CardTable &table, const MagicFilters &filters)
{
    using namespace mdlZorv::MagicField;
    table.markAll();
    unmarkUnequal(table, Kind, filters.kind);
    unmarkOutside(table, Cost, filters.cost);
    unmarkWithoutDuelist(table, Duelists, filters.duelistKeys);
    return markedRows(table);
}

} // namespace cardSearch
