#pragma once

#include "card_data/cardTable.h"

#include <algorithm>
#include <functional>
#include <iterator>

// What the find indexes share about the lists of rows they narrow: rows come in increasing order
// as a rule, and any others are narrowed as the increasing list of the table's rows among them,
// then given back in their own order.
namespace rowOrder {

inline bool increasingWithin(const mdlZorv::RowList &rows, qsizetype rowCount)
{
    return std::adjacent_find(rows.begin(), rows.end(), std::greater_equal<>()) == rows.end() &&
           (rows.empty() || rows.back() < rowCount);
}

// The rows of rows that are in found, which holds each at most once, in increasing order.
inline mdlZorv::RowList inOrderOf(const mdlZorv::RowList &rows, const mdlZorv::RowList &found)
{
    mdlZorv::RowList kept;
    for (const qsizetype row : rows) {
        if (std::binary_search(found.begin(), found.end(), row))
            kept.push_back(row);
    }
    return kept;
}

// Narrows rows in any order with narrowIncreasing, which takes rows in increasing order.
template <typename NarrowIncreasing>
mdlZorv::RowList narrowAnyOrder(const mdlZorv::RowList &rows, qsizetype rowCount,
                                NarrowIncreasing narrowIncreasing)
{
    if (increasingWithin(rows, rowCount))
        return narrowIncreasing(rows);
    mdlZorv::RowList increasing;
    std::copy_if(rows.begin(), rows.end(), std::back_inserter(increasing),
                 [&](qsizetype row) { return row >= 0 && row < rowCount; });
    std::sort(increasing.begin(), increasing.end());
    increasing.erase(std::unique(increasing.begin(), increasing.end()), increasing.end());
    return inOrderOf(rows, narrowIncreasing(increasing));
}

} // namespace rowOrder
