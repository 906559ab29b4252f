#pragma once

#include "card_data/cardTable.h"

#include <memory>

namespace cardFind {
class FindIndex;
class ReadingIndex;
} // namespace cardFind
namespace nameReadings {
class Dictionary;
}

// One page's cards: the text of its table, and what find reads of it.
struct PageCards
{
    std::shared_ptr<const mdlZorv::CardTable> table;        // text only: no match marks
    std::shared_ptr<const cardFind::FindIndex> findIndex;   // null until made
    std::shared_ptr<const cardFind::ReadingIndex> readings; // of its names; null until made
};

// The find indexes of both pages, made together on a thread of their own.
struct FindIndexes
{
    std::shared_ptr<const cardFind::FindIndex> monsters;
    std::shared_ptr<const cardFind::FindIndex> magic;
};

// The readings of both pages' names, made together on a thread of their own.
struct ReadingIndexes
{
    std::shared_ptr<const cardFind::ReadingIndex> monsters;
    std::shared_ptr<const cardFind::ReadingIndex> magic;
};

// The cards the window shows, as one value: each page's table and what is made from it to find
// cards by their words and by how their names read, under the generation of mdlZorv's tables they
// were taken from. A set never changes once made, so the window hands the same set to every view
// at once, and a view or a background job may keep it as long as it likes: the rows it holds are
// always rows of the set's own tables. What is made later of the same cards (the find indexes
// once the find bar opens, the readings once a word is looked for or the card table opens) comes
// as a new set of the same generation.
struct CardSet
{
    quint64 generation = 0;
    PageCards monsters;
    PageCards magic;

    // mdlZorv's monster and magic tables as they stand, with no indexes yet.
    static std::shared_ptr<const CardSet> ofShownTables();
    // The same cards with the find indexes given.
    std::shared_ptr<const CardSet> withFindIndexes(FindIndexes indexes) const;
    std::shared_ptr<const CardSet> withReadings(ReadingIndexes readings) const;
    bool hasFindIndexes() const { return monsters.findIndex && magic.findIndex; }
    bool hasReadings() const { return monsters.readings && magic.readings; }
};

// Makes the find indexes of two tables that no other thread changes meanwhile. Throws
// std::bad_alloc when they do not fit in memory.
FindIndexes makeFindIndexes(const mdlZorv::CardTable &monsters, const mdlZorv::CardTable &magic);
// The same for the readings of the tables' names.
ReadingIndexes makeReadingIndexes(const mdlZorv::CardTable &monsters,
                                  const mdlZorv::CardTable &magic,
                                  const nameReadings::Dictionary &dictionary);
