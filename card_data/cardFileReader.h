#pragma once

#include "card_data/cardFields.h"
#include "card_data/cardFileFormat.h"
#include "card_data/cardTable.h"
#include "card_data/readOnlyFile.h"

#include <QString>

#include <array>
#include <functional>
#include <future>
#include <vector>

namespace mdlZorv {

// The card line fields that every search compares by code, and that the filter lists show, for
// monster lines and for magic lines. Their codes are gathered while the lines are cut, when each
// line is at hand; those of fields a search compares only when the user asks (level, duelists)
// are made on that search's first use, so that a large file holds no codes it is never searched by.
inline constexpr std::array<int, 5> monsterCodedFields = {
    CardField::AP, CardField::DP, CardField::Type, CardField::Mazoku, CardField::Cost};
inline constexpr std::array<int, 2> magicCodedFields = {CardField::Type, CardField::Cost};

// One stretch of a card file, decoded and cut into lines.
struct TextPiece : CardText::Piece
{
    std::vector<char> isMagic; // of each line: a magic, trap or ritual card
    std::array<FieldCoder, monsterCodedFields.size()> monsterCodes;
    std::array<FieldCoder, magicCodedFields.size()> magicCodes;
    QString problem;              // why reading stopped part-way, if it did
    qsizetype undecodedLines = 0; // lines holding bytes that did not decode
    qsizetype firstUndecoded = -1;
    qsizetype shortLines = 0; // lines with fewer than eleven fields (see hasEveryField)
    qsizetype firstShort = -1;
};

// How a file's lines end: CR LF or a lone CR, with a lone LF kept as text in the line, in a file
// that holds any CR; LF in one that holds none.
inline char16_t lineEndOf(QStringView text)
{
    return text.contains(u'\r') ? u'\r' : u'\n';
}

// Splits a piece's text into lines ended by lineEnd (a CR may be followed by LF) and cuts each;
// text after the last line end is a line of its own, a line end at the very end adds none. Also
// notes which lines are magic cards, the codes of their coded fields, which lines have fewer
// than eleven fields and, when findUndecoded, which lines hold U+FFFD, while each line is at hand.
void cutLines(TextPiece &piece, char16_t lineEnd, bool findUndecoded);

// A card file as read: its pieces; why reading stopped part-way, if it did; the file's stamp when
// it was opened, and how it is written; and whether it was written or replaced while it was read.
struct CardFileRead
{
    std::vector<TextPiece> pieces;
    QString problem;
    FileStamp stamp;
    CardFileFormat format;
    bool changed = false;
};

// Reads a card file in one piece, or in two when it is large, the second on a thread of its own.
// Only a regular file is read. Reading stops at a read error; the lines read before it are kept
// and problem says why. A file that cannot be opened gives no pieces.
CardFileRead readCardFile(const QString &path);

// Seams for tests, empty in the program: something to do between opening the file and reading it,
// how the second piece's thread is started, and where to cut any file in two (-1: large files at
// their middle).
struct ReaderHooks
{
    std::function<void()> afterOpen;
    std::function<std::future<TextPiece>(std::function<TextPiece()>)> startThread;
    qint64 cutFrom = -1;
};
extern ReaderHooks readerHooks;

// A problem with a file as shown to the user: the path, then the reason.
QString problemText(const QString &path, const QString &reason);
// The problem of a file too large for the memory there is.
QString tooLargeProblem(const QString &path);

} // namespace mdlZorv
