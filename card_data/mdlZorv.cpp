#include "card_data/mdlZorv.h"

#include "card_data/cardFileReader.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <new>

namespace mdlZorv {

CardTable strCardData;
CardTable strMonstarData;
CardTable strMagicData;
qsizetype intCardCount = 0;
qsizetype intMonstarCount = 0;
qsizetype intMagicCount = 0;

namespace {
quint64 generation = 0;
} // namespace

namespace {

using Source = std::vector<int>;
using namespace CardField;
// Where each table field comes from: a field of the card line, the match mark or nothing.
const Source cardSources = {
    CardTable::emptyField, Number, Name, AP, DP, Type, Mazoku, Level, Cost, Id, Effect, Duelists,
    CardTable::emptyField};
const Source monsterSources = {
    CardTable::markField, Number, Name, AP, DP, Type, Mazoku, Level, Cost, Id, Effect, Duelists};
const Source magicSources = {CardTable::markField, Number, Name, Type, Cost, Id, Effect, Duelists,
                             CardTable::emptyField};

// The counts of lines holding bytes that did not decode and of short lines, over every piece.
void countLines(const std::vector<TextPiece> &pieces, LoadOutcome &outcome)
{
    for (const TextPiece &piece : pieces) {
        if (outcome.firstUndecodedLine == 0 && piece.firstUndecoded >= 0)
            outcome.firstUndecodedLine = outcome.lines + piece.firstUndecoded + 1;
        if (outcome.firstShortLine == 0 && piece.firstShort >= 0)
            outcome.firstShortLine = outcome.lines + piece.firstShort + 1;
        outcome.undecodedLines += piece.undecodedLines;
        outcome.shortLines += piece.shortLines;
        outcome.lines += qsizetype(piece.lineCount());
    }
}

// "12 行に…": lines holding bytes that did not decode, said once, with the first line's number.
QString undecodedNotice(const LoadOutcome &outcome)
{
    if (outcome.undecodedLines == 0)
        return {};
    return QStringLiteral("%1 行に読み取れない文字があります (最初は %2 行目)。\n"
                          "カードデータは Shift-JIS か UTF-8 で保存してください。")
        .arg(outcome.undecodedLines)
        .arg(outcome.firstUndecodedLine);
}

// The codes gathered piece by piece for each coded field, joined, given to the table as the codes
// of its field for that card field; numbers are read at once for the numeric ones.
template <size_t count>
void giveCodes(std::vector<TextPiece> &pieces, std::array<FieldCoder, count> TextPiece::*coders,
               const std::array<int, count> &cardFields, CardTable &table,
               const std::vector<int> &sources)
{
    for (size_t i = 0; i < count; ++i) {
        std::vector<FieldCodes> parts;
        parts.reserve(pieces.size());
        for (TextPiece &piece : pieces)
            parts.push_back((piece.*coders)[i].take());
        const int field =
            int(std::find(sources.begin(), sources.end(), cardFields[i]) - sources.begin());
        table.setCodes(field, FieldCoder::join(std::move(parts)));
        if (cardFields[i] == AP || cardFields[i] == DP || cardFields[i] == Cost)
            table.codeNumbers(field);
    }
}

LoadedCards makeTables(std::vector<TextPiece> pieces)
{
    auto cards = std::make_shared<CardText>();
    qsizetype magicCount = 0;
    for (const TextPiece &piece : pieces)
        magicCount += qsizetype(std::count(piece.isMagic.begin(), piece.isMagic.end(), true));
    LoadedCards tables;
    countLines(pieces, tables.outcome);
    tables.outcome.notice = undecodedNotice(tables.outcome);
    for (TextPiece &piece : pieces)
        cards->pieces.push_back(std::move(static_cast<CardText::Piece &>(piece)));
    const qsizetype lineCount = cards->lineCount();

    // A file of monsters only (as one of nothing but line ends is) needs no list of their lines.
    tables.monsters = magicCount == 0 ? CardTable::everyLine(cards, monsterSources)
                                      : CardTable(cards, monsterSources);
    tables.magic = CardTable(cards, magicSources);
    if (magicCount > 0) {
        tables.monsters.reserve(lineCount - magicCount);
        tables.magic.reserve(magicCount);
        qsizetype line = 0;
        for (const TextPiece &piece : pieces) {
            for (const char isMagic : piece.isMagic)
                (isMagic ? tables.magic : tables.monsters).addRow(line++);
        }
    }
    giveCodes(pieces, &TextPiece::monsterCodes, monsterCodedFields, tables.monsters,
              monsterSources);
    giveCodes(pieces, &TextPiece::magicCodes, magicCodedFields, tables.magic, magicSources);
    tables.cards = CardTable::everyLine(cards, cardSources);
    return tables;
}

} // namespace

bool looksLikeCardData(const LoadOutcome &outcome)
{
    return outcome.undecodedLines * 2 <= outcome.lines && outcome.shortLines < outcome.lines;
}

QString linesText(qsizetype count, qsizetype firstLine)
{
    if (count == 0)
        return QStringLiteral("なし");
    return QStringLiteral("%L1 行 (最初は %L2 行目)").arg(count).arg(firstLine);
}

QString shortLinesText(const LoadOutcome &outcome)
{
    return QStringLiteral("項目が足りない行: ") +
           linesText(outcome.shortLines, outcome.firstShortLine);
}

LoadedCards readCards(const QString &path)
{
    try {
        CardFileRead read = readCardFile(path);
        LoadedCards cards = makeTables(std::move(read.pieces));
        cards.outcome.problem = read.problem;
        cards.outcome.read = read.stamp;
        cards.outcome.changedWhileRead = read.changed;
        cards.outcome.format = read.format;
        return cards;
    } catch (const std::bad_alloc &) {
        LoadedCards none;
        none.outcome.problem = tooLargeProblem(path);
        none.outcome.read = stampOf(path);
        return none;
    }
}

LoadOutcome showCards(LoadedCards cards)
{
    strCardData = std::move(cards.cards);
    strMonstarData = std::move(cards.monsters);
    strMagicData = std::move(cards.magic);
    intCardCount = strCardData.rowCount();
    intMonstarCount = strMonstarData.rowCount();
    intMagicCount = strMagicData.rowCount();
    ++generation;
    return cards.outcome;
}

quint64 tablesGeneration()
{
    return generation;
}

LoadOutcome loadCardText(QString text)
{
    std::vector<TextPiece> pieces(1);
    pieces[0].text = std::move(text);
    cutLines(pieces[0], lineEndOf(pieces[0].text), true);
    return showCards(makeTables(std::move(pieces)));
}

LoadOutcome loadCardFile(const QString &path)
{
    return showCards(readCards(path));
}

QString cardDataPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/CardData.dat");
}

QString userCardDataPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/CardData.dat");
}

QString chooseCardFile(const QString &named)
{
    if (!named.isEmpty())
        return named;
    if (QFileInfo::exists(userCardDataPath()))
        return userCardDataPath();
    return cardDataPath();
}

LoadOutcome LoadCardData()
{
    return loadCardFile(chooseCardFile(QString()));
}

} // namespace mdlZorv
