#pragma once

#include "card_data/cardTable.h"

#include <QStringList>

#include <array>

// The entries of the filter drop-down lists.
namespace filterLists {

// Entry 0 of every filter list: no restriction.
QString noSelection();

// Each distinct non-empty value of a table field, in the order of its first occurrence. Values
// are the same only when they are the same characters: case, width and blanks all count.
QStringList distinctValues(const mdlZorv::CardTable &table, int field);

// A text as a list entry shows it: one longer than any list can show is cut, with "…" at the end,
// so that a huge field never takes seconds to draw.
QString entryText(QStringView text);

// "1" to "12".
QStringList levels();

// "魔法", "罠", "儀式".
QStringList magicKinds();

// A duelist a card may be used by: the caption of their check box, and the character that stands
// for them in a card's duelist field.
struct Duelist
{
    QStringView caption;
    QChar key;
};
inline constexpr std::array<Duelist, 3> duelists = {
    {{u"Tavrin", u'T'}, {u"Ombrec", u'O'}, {u"Jorunde", u'J'}}};

// The duelists a card's duelist field names, by their captions: "TJ" -> "Tavrin、Jorunde",
// "" -> "なし".
QString duelistNames(QStringView duelistField);

} // namespace filterLists
