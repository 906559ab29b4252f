#pragma once

#include "card_data/cardTable.h"

#include <QString>

#include <functional>
#include <future>
#include <vector>

namespace mdlZorv {

// One stretch of a card file, decoded and cut into lines.
struct TextPiece : CardText::Piece
{
    std::vector<char> isMagic;    // of each line: a magic, trap or ritual card
    QString problem;              // why reading stopped part-way, if it did
    qsizetype undecodedLines = 0; // lines holding bytes that did not decode
    qsizetype firstUndecoded = -1;
};

// How a file's lines end: CR LF or a lone CR, with a lone LF kept as text in the line, in a file
// that holds any CR; LF in one that holds none.
inline char16_t lineEndOf(QStringView text)
{
    return text.contains(u'\r') ? u'\r' : u'\n';
}

// Splits a piece's text into lines ended by lineEnd (a CR may be followed by LF) and cuts each;
// text after the last line end is a line of its own, a line end at the very end adds none. Also
// notes which lines are magic cards and, when findUndecoded, which hold U+FFFD, while each line
// is at hand.
void cutLines(TextPiece &piece, char16_t lineEnd, bool findUndecoded);

// Reads a card file in one piece, or in two when it is large, the second on a thread of its own.
// Only a regular file is read. Reading stops at a read error; the lines read before it are kept
// and problem says why. A file that cannot be opened gives no pieces.
std::vector<TextPiece> readCardFile(const QString &path, QString &problem);

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

} // namespace mdlZorv
