#pragma once

#include "card_rules/cardSet.h"

// What reading the card file again changed, card by card. A card is known by its card number
// and, among cards that share one, by its place among them; it changed when any other of its
// fields did. A card that moved between the monster and the magic table was removed and added.
//   before: 001 Alpha, 002 Beta        after: 001 Alpha', 003 Gamma   -> added 1, changed 1,
//                                                                        removed 1, cards 2
struct CardChanges
{
    qsizetype cards = 0; // after
    qsizetype added = 0;
    qsizetype changed = 0;
    qsizetype removed = 0;

    bool any() const { return added > 0 || changed > 0 || removed > 0; }
    friend bool operator==(const CardChanges &, const CardChanges &) = default;
};

// Reads both sets' tables only, so that it may run on any thread.
CardChanges compareCards(const CardSet &before, const CardSet &after);

// What a note tells of a read again: "再読み込みしました: 262 枚 (追加 1、変更 2、削除 0)" when
// cards changed; when none did, "変更はありません" if the user asked for it, else nothing.
QString changesNote(const CardChanges &changes, bool asked);
