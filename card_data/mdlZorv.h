#pragma once

#include "card_data/cardFields.h"
#include "card_data/cardFileFormat.h"
#include "card_data/cardTable.h"
#include "card_data/readOnlyFile.h"

#include <QString>

namespace mdlZorv {

// Every line of the card file, fields 1 to 11 (0 and 12 stay empty).
extern CardTable strCardData;
// Monster cards: fields 1 to 11 as in strCardData; field 0 is the monster search's match mark.
extern CardTable strMonstarData;
// Magic, trap and ritual cards: fields 1 to 7 hold card fields 1, 2, 5, 8, 9, 10 and 11; field 0
// is the magic search's match mark and field 8 stays empty.
extern CardTable strMagicData;

extern qsizetype intCardCount;
extern qsizetype intMonstarCount;
extern qsizetype intMagicCount;

// What a load has to tell the user.
struct LoadOutcome
{
    // What went wrong (the full path and the reason), or empty when nothing did.
    QString problem;
    // What the user should know of a file although it loaded: lines with bytes that did not
    // decode. Empty for a clean file.
    QString notice;
    // The file read, as it was when it was opened, and whether it was written or replaced while
    // it was read: then what was read may be part of one save, or of two.
    FileStamp read;
    bool changedWhileRead = false;
    // How the file is written.
    CardFileFormat format;
};

// The three tables of one card file, made in full before any of them replaces what is shown, and
// what reading the file had to tell.
struct LoadedCards
{
    CardTable cards;
    CardTable monsters;
    CardTable magic;
    LoadOutcome outcome;
};

// Reads a card file into tables of its own, codes and numbers of the searched fields included. It
// touches nothing that is shown, so it may run on any thread; memory running short is a problem
// like any other. The file is only ever read.
LoadedCards readCards(const QString &path);

// Makes the tables the ones shown, and returns what reading them had to tell.
LoadOutcome showCards(LoadedCards cards);
// Counts the sets of tables shown so far: a number that tells one from the next.
quint64 tablesGeneration();

// Fills the tables from the card file that chooseCardFile gives without a name. Always returns; a
// missing or unreadable file leaves the rows read before the problem (none if the file could not
// be opened), and the outcome says what went wrong. The file is only ever read.
LoadOutcome LoadCardData();

// The same from a named file.
LoadOutcome loadCardFile(const QString &path);

// The same as loadCardFile from text that has already been decoded: one card row per line.
LoadOutcome loadCardText(QString text);

// CardData.dat in the folder that holds the program.
QString cardDataPath();
// CardData.dat in the user's own application data folder.
QString userCardDataPath();
// The card file to read: the one named (on the command line), else the user's own if it exists,
// else the one beside the program.
QString chooseCardFile(const QString &named);

} // namespace mdlZorv
