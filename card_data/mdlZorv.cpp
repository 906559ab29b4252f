#include "card_data/mdlZorv.h"

#include "card_data/cardFileReader.h"

#include <QCoreApplication>

#include <algorithm>
#include <new>

namespace mdlZorv {

CardTable strCardData;
CardTable strMonstarData;
CardTable strMagicData;
qsizetype intCardCount = 0;
qsizetype intMonstarCount = 0;
qsizetype intMagicCount = 0;
QString strLoadProblem;

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

void loadPieces(std::vector<TextPiece> pieces)
{
    auto cards = std::make_shared<CardText>();
    qsizetype magicCount = 0;
    for (const TextPiece &piece : pieces)
        magicCount += qsizetype(std::count(piece.isMagic.begin(), piece.isMagic.end(), true));
    for (TextPiece &piece : pieces)
        cards->pieces.push_back(std::move(static_cast<CardText::Piece &>(piece)));
    const qsizetype lineCount = cards->lineCount();

    CardTable monsters(cards, monsterSources);
    CardTable magic(cards, magicSources);
    monsters.reserve(lineCount - magicCount);
    magic.reserve(magicCount);
    qsizetype line = 0;
    for (const TextPiece &piece : pieces) {
        for (const char isMagic : piece.isMagic)
            (isMagic ? magic : monsters).addRow(line++);
    }
    strCardData = CardTable::everyLine(cards, cardSources);
    strMonstarData = std::move(monsters);
    strMagicData = std::move(magic);
    intCardCount = strCardData.rowCount();
    intMonstarCount = strMonstarData.rowCount();
    intMagicCount = strMagicData.rowCount();
}

} // namespace

void loadCardText(QString text)
{
    std::vector<TextPiece> pieces(1);
    pieces[0].text = std::move(text);
    cutLines(pieces[0]);
    loadPieces(std::move(pieces));
}

void loadCardFile(const QString &path)
{
    try {
        QString problem;
        loadPieces(readCardFile(path, problem));
        strLoadProblem = problem;
    } catch (const std::bad_alloc &) {
        loadCardText(QString());
        strLoadProblem = problemText(path, QStringLiteral("大きすぎてメモリーに収まりません。"));
    }
}

QString cardDataPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/CardData.dat");
}

void LoadCardData()
{
    loadCardFile(cardDataPath());
}

} // namespace mdlZorv
