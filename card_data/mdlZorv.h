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
    // The lines read; those holding bytes that did not decode and those with fewer than eleven
    // fields (fewer than ten commas), with the line number (from 1) of the first of each, 0 when
    // there is none.
    qsizetype lines = 0;
    qsizetype undecodedLines = 0;
    qsizetype firstUndecodedLine = 0;
    qsizetype shortLines = 0;
    qsizetype firstShortLine = 0;
};

// Whether the lines read look like card data, judged by the counts above: not when most of them
// hold bytes that did not decode (a file in another encoding, such as EUC-JP or UTF-16 without
// its mark), nor when none has a card's eleven fields (a file of another kind, or an empty one,
// which holds no card). A file that could not be read at all is told by problem instead.
bool looksLikeCardData(const LoadOutcome &outcome);

// A count of lines and the first one's number: 3, 12 -> "3 行 (最初は 12 行目)"; 0 -> "なし".
QString linesText(qsizetype count, qsizetype firstLine);
// The information box's line on lines with fewer than eleven fields:
// "項目が足りない行: 3 行 (最初は 12 行目)", or "項目が足りない行: なし".
QString shortLinesText(const LoadOutcome &outcome);

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
