#pragma once

#include "card_data/mdlZorv.h"

#include <functional>
#include <memory>

namespace cardFind {
class FindIndex;
}

// The work of reading the card file again and of folding the cards' texts for the find bar, done
// on a thread of its own (see BackgroundJob) while the window goes on with the cards it shows.
namespace cardReload {

// The folded texts of the monster and the magic table.
struct FoldedTexts
{
    FoldedTexts();
    FoldedTexts(FoldedTexts &&) noexcept;
    FoldedTexts &operator=(FoldedTexts &&) noexcept;
    ~FoldedTexts();

    std::unique_ptr<cardFind::FindIndex> monsters;
    std::unique_ptr<cardFind::FindIndex> magic;
};

// What a read of the card file made: the new tables, and their folded texts where asked for.
struct ReloadedCards
{
    QString path; // of the file read
    mdlZorv::LoadedCards cards;
    FoldedTexts folded;
};

// Reads the card file and, if fold is set, folds the new tables' texts. A failure anywhere,
// memory running short included, leaves only the problem and the stamp of the file read: nothing
// is shown until all is made.
ReloadedCards read(const QString &path, bool fold);

// Folds the texts of tables that no other thread changes (copies of the shown ones).
FoldedTexts fold(const mdlZorv::CardTable &monsters, const mdlZorv::CardTable &magic);

// A seam for tests, empty in the program: runs before texts are folded.
extern std::function<void()> beforeFolding;

} // namespace cardReload
