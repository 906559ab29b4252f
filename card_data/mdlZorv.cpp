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

// The three tables of one load, made in full before any of them replaces what is shown.
struct Tables
{
    CardTable cards;
    CardTable monsters;
    CardTable magic;
    QString notice;
};

// "12 行に…": lines holding bytes that did not decode, said once, with the first line's number.
QString undecodedNotice(const std::vector<TextPiece> &pieces)
{
    qsizetype lines = 0;
    qsizetype first = -1;
    qsizetype before = 0; // lines of the pieces before
    for (const TextPiece &piece : pieces) {
        if (first < 0 && piece.firstUndecoded >= 0)
            first = before + piece.firstUndecoded;
        lines += piece.undecodedLines;
        before += qsizetype(piece.lineCount());
    }
    if (lines == 0)
        return {};
    return QStringLiteral("%1 行に読み取れない文字があります (最初は %2 行目)。\n"
                          "カードデータは Shift-JIS か UTF-8 で保存してください。")
        .arg(lines)
        .arg(first + 1);
}

Tables makeTables(std::vector<TextPiece> pieces)
{
    auto cards = std::make_shared<CardText>();
    qsizetype magicCount = 0;
    for (const TextPiece &piece : pieces)
        magicCount += qsizetype(std::count(piece.isMagic.begin(), piece.isMagic.end(), true));
    Tables tables;
    tables.notice = undecodedNotice(pieces);
    for (TextPiece &piece : pieces)
        cards->pieces.push_back(std::move(static_cast<CardText::Piece &>(piece)));
    const qsizetype lineCount = cards->lineCount();

    tables.monsters = CardTable(cards, monsterSources);
    tables.magic = CardTable(cards, magicSources);
    tables.monsters.reserve(lineCount - magicCount);
    tables.magic.reserve(magicCount);
    qsizetype line = 0;
    for (const TextPiece &piece : pieces) {
        for (const char isMagic : piece.isMagic)
            (isMagic ? tables.magic : tables.monsters).addRow(line++);
    }
    tables.cards = CardTable::everyLine(cards, cardSources);
    return tables;
}

LoadOutcome showTables(Tables tables, const QString &problem)
{
    strCardData = std::move(tables.cards);
    strMonstarData = std::move(tables.monsters);
    strMagicData = std::move(tables.magic);
    intCardCount = strCardData.rowCount();
    intMonstarCount = strMonstarData.rowCount();
    intMagicCount = strMagicData.rowCount();
    return {problem, tables.notice};
}

// Reads a card file into tables of its own; problem says what went wrong, if anything did.
Tables readTables(const QString &path, QString &problem)
{
    try {
        return makeTables(readCardFile(path, problem));
    } catch (const std::bad_alloc &) {
        problem = problemText(path, QStringLiteral("大きすぎてメモリーに収まりません。"));
        return makeTables({});
    }
}

} // namespace

LoadOutcome loadCardText(QString text)
{
    std::vector<TextPiece> pieces(1);
    pieces[0].text = std::move(text);
    cutLines(pieces[0], lineEndOf(pieces[0].text), true);
    return showTables(makeTables(std::move(pieces)), QString());
}

LoadOutcome loadCardFile(const QString &path)
{
    QString problem;
    Tables tables = readTables(path, problem);
    return showTables(std::move(tables), problem);
}

LoadOutcome reloadCardFile(const QString &path)
{
    QString problem;
    Tables tables = readTables(path, problem);
    if (!problem.isEmpty())
        return {problem, QString()};
    return showTables(std::move(tables), problem);
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
