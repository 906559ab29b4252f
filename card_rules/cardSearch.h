#pragma once

#include "card_data/cardTable.h"

#include <QString>

#include <optional>
#include <vector>

// The rules of the two searches, apart from any window. A search marks every row of its table as
// passing, lets each active filter unmark the rows it rejects, and lists the rows still marked in
// table order. Text comparisons are exact: case, width and blanks all count.
namespace cardSearch {

// A numeric threshold and its direction: "以上" keeps values at or above it, "以下" at or below.
struct Threshold
{
    double value = 0;
    bool atLeast = true;

    bool passes(double fieldValue) const
    {
        return atLeast ? !(value > fieldValue) : !(value < fieldValue);
    }
};

// The state of the monster page's filters. An absent value means no restriction (entry 0 of a
// drop-down list); an empty one only lets rows with an empty field through.
struct MonsterFilters
{
    std::optional<QString> type;
    std::optional<QString> mazoku;
    std::optional<QString> level;
    bool effectOnly = false;
    // The key characters of the ticked duelist boxes; absent when no box is ticked.
    std::optional<QString> duelistKeys;
    Threshold cost;
    Threshold ap;
    Threshold dp;
};

struct MagicFilters
{
    std::optional<QString> kind;
    std::optional<QString> duelistKeys;
    Threshold cost;
};

// Run the search over the table, rewriting its match marks, and return the passing rows.
mdlZorv::RowList searchMonsters(mdlZorv::CardTable &table, const MonsterFilters &filters);
mdlZorv::RowList searchMagic(mdlZorv::CardTable &table, const MagicFilters &filters);

// True when at least one of the key characters occurs in the duelist field.
bool hasAnyDuelist(QStringView duelists, QStringView keys);

} // namespace cardSearch
