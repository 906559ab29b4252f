#pragma once

#include "card_data/mdlZorv.h"
#include "card_rules/cardSet.h"
#include "card_rules/nameReadings.h"

#include <functional>
#include <optional>

// The work of reading the card file again and of making the find indexes of cards, done on a
// thread of its own (see BackgroundTask) while the window goes on with the cards it shows.
namespace cardReload {

// A read to make, and why.
struct Request
{
    QString path;
    bool withFindIndexes = false;
    std::shared_ptr<const nameReadings::Dictionary> readingsBy; // readings made by it, if given
    bool opened = false; // another file than the one followed
    bool asked = false;  // the user asked for it: opened it, or asked to read it again
};

// What a read of a card file made: the new tables, and their find indexes where asked for.
struct ReadCards
{
    QString path; // of the file read
    bool opened = false;
    bool asked = false;
    mdlZorv::LoadedCards cards;
    FindIndexes findIndexes;
    ReadingIndexes readings;
};

// Reads a card file and, if asked, makes the find indexes of its tables. A failure anywhere,
// memory running short included, leaves only the problem and the stamp of the file read:
// nothing is to be shown until all is made.
ReadCards read(const Request &request);

// The find indexes of a card set's tables, or none where memory ran short.
std::optional<FindIndexes> findIndexes(const CardSet &cards);

// The readings of a card set's names, by the dictionary given or, where none is, by the one
// beside the program, read first; what went wrong if they could not be made.
struct ReadingsMade
{
    std::shared_ptr<const nameReadings::Dictionary> dictionary;
    std::optional<ReadingIndexes> readings;
    QString problem;
};
ReadingsMade readingsOf(const CardSet &cards,
                        std::shared_ptr<const nameReadings::Dictionary> dictionary);

// A seam for tests, empty in the program: hook runs before find indexes are made, on the thread
// that makes them. It may be set while indexes are being made on another thread.
void setBeforeIndexing(std::function<void()> hook);

} // namespace cardReload
