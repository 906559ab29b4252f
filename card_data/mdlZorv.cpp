#include "card_data/mdlZorv.h"

#include "card_data/cardDecoder.h"
#include "card_data/largeMemory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

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
const Source cardSources = {CardTable::emptyField, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11,
                            CardTable::emptyField};
const Source monsterSources = {CardTable::markField, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
const Source magicSources = {CardTable::markField, 1, 2, 5, 8, 9, 10, 11, CardTable::emptyField};

// Splits text into lines and cuts each: CR LF or a lone CR ends a line; a lone LF stays in the
// line; text after the last line end is a line of its own, a line end at the very end adds none.
// Also notes which lines are magic cards, while each line is at hand.
void splitLines(CardText &cards, std::vector<char> &isMagic)
{
    const QStringView text = cards.text;
    const auto carriageReturns = std::count(text.utf16(), text.utf16() + text.size(), u'\r');
    const bool lastLineUnended =
        !text.isEmpty() && !text.endsWith(u'\r') && !text.endsWith(u"\r\n");
    const size_t lineCount = size_t(carriageReturns) + (lastLineUnended ? 1 : 0);
    reserveExactly(cards.lines, lineCount);
    reserveExactly(isMagic, lineCount);
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(u'\r', start);
        if (end < 0)
            end = text.size();
        const QStringView line = text.sliced(start, end - start);
        const FieldBounds bounds = cutLine(line);
        cards.lines.push_back({start, bounds});
        isMagic.push_back(isMagicKind(bounds.field(line, CardField::Type)));
        start = end + 1;
        if (start < text.size() && text[start] == u'\n')
            ++start;
    }
}

// Drops a last line that has no line end: it is incomplete when reading stopped part-way.
void dropUnfinishedLine(QString &text)
{
    text.truncate(text.lastIndexOf(u'\r') + 1);
}

struct FileText
{
    QString text;
    QString problem;
};

QString problemText(const QString &path, const QString &reason)
{
    return QStringLiteral("%1\n%2").arg(QDir::toNativeSeparators(path), reason);
}

QString openProblem(const QString &path, const QFile &file)
{
    const QFileInfo info(path);
    if (!info.exists())
        return problemText(path, QStringLiteral("ファイルがありません。"));
    if (info.isDir())
        return problemText(path, QStringLiteral("ファイルではなくフォルダーです。"));
    if (!info.isReadable())
        return problemText(path, QStringLiteral("読み取りの権限がありません。"));
    return problemText(path, QStringLiteral("開けません (%1)。").arg(file.errorString()));
}

FileText readCardFile(const QString &path)
{
    FileText result;
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        result.problem = openProblem(path, file);
        return result;
    }
    reserveAtMost(result.text, file.size()); // one character per byte at the most
    CardDecoder decoder;
    QByteArray chunk(256 * 1024, Qt::Uninitialized);
    for (;;) {
        const qint64 got = file.read(chunk.data(), chunk.size());
        if (got < 0) {
            result.problem = problemText(
                path,
                QStringLiteral("途中で読み取れなくなりました (%1)。").arg(file.errorString()));
            decoder.finish(result.text);
            dropUnfinishedLine(result.text);
            return result;
        }
        if (got == 0)
            break;
        decoder.decode(QByteArrayView(chunk.data(), got), result.text);
    }
    decoder.finish(result.text);
    return result;
}

} // namespace

void loadCardText(QString text)
{
    auto cards = std::make_shared<CardText>();
    cards->text = std::move(text);
    std::vector<char> isMagic;
    splitLines(*cards, isMagic);

    const auto lineCount = qsizetype(cards->lines.size());
    const auto magicCount = qsizetype(std::count(isMagic.begin(), isMagic.end(), true));
    CardTable monsters(cards, monsterSources, {CardField::AP, CardField::DP, CardField::Cost});
    CardTable magic(cards, magicSources, {MagicField::Cost});
    monsters.reserve(lineCount - magicCount);
    magic.reserve(magicCount);
    for (qsizetype line = 0; line < lineCount; ++line)
        (isMagic[size_t(line)] ? magic : monsters).addRow(line);
    CardTable all = CardTable::everyLine(cards, cardSources);
    strCardData = std::move(all);
    strMonstarData = std::move(monsters);
    strMagicData = std::move(magic);
    intCardCount = strCardData.rowCount();
    intMonstarCount = strMonstarData.rowCount();
    intMagicCount = strMagicData.rowCount();
}

void loadCardFile(const QString &path)
{
    try {
        FileText file = readCardFile(path);
        loadCardText(std::move(file.text));
        strLoadProblem = file.problem;
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
