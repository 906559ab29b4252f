#pragma once

#include "card_data/cardTable.h"

#include <QStringList>

// The entries of the filter drop-down lists.
namespace filterLists {

// Entry 0 of every filter list: no restriction.
QString noSelection();

// Each distinct non-empty value of a table field, in the order of its first occurrence. Values
// are the same only when they are the same characters: case, width and blanks all count.
QStringList distinctValues(const mdlZorv::CardTable &table, int field);

// "1" to "12".
QStringList levels();

// "魔法", "罠", "儀式".
QStringList magicKinds();

} // namespace filterLists
