#include "card_data/mdlZorv.h"

#include "card_data/cardDecoder.h"
#include "card_data/largeMemory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <future>
#include <limits>
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

// One stretch of a card file, decoded and cut into lines.
struct TextPiece : CardText::Piece
{
    std::vector<char> isMagic;
    QString problem; // why reading stopped part-way, if it did
};

// Splits a piece's text into lines and cuts each: CR LF or a lone CR ends a line; a lone LF stays
// in the line; text after the last line end is a line of its own, a line end at the very end adds
// none. Also notes which lines are magic cards, while each line is at hand.
void cutLines(TextPiece &piece)
{
    const QStringView text = piece.text;
    const auto carriageReturns = std::count(text.utf16(), text.utf16() + text.size(), u'\r');
    const bool lastLineUnended =
        !text.isEmpty() && !text.endsWith(u'\r') && !text.endsWith(u"\r\n");
    const size_t lineCount = size_t(carriageReturns) + (lastLineUnended ? 1 : 0);
    reserveExactly(piece.lines, lineCount);
    reserveExactly(piece.isMagic, lineCount);
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(u'\r', start);
        if (end < 0)
            end = text.size();
        const QStringView line = text.sliced(start, end - start);
        const FieldBounds bounds = cutLine(line);
        piece.lines.push_back({line.utf16(), bounds});
        piece.isMagic.push_back(isMagicKind(bounds.field(line, CardField::Type)));
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

QString readProblem(const QString &path, const QFile &file)
{
    return problemText(
        path, QStringLiteral("途中で読み取れなくなりました (%1)。").arg(file.errorString()));
}

constexpr qint64 toTheEnd = std::numeric_limits<qint64>::max();

// Reads the bytes of an open file from `from` up to `to` (or to its end), decodes them and cuts
// their lines.
TextPiece readPiece(QFile &file, qint64 from, qint64 to, CardDecoder &decoder)
{
    TextPiece piece;
    if (!file.isSequential()) // one character per byte at the most
        reserveAtMost(piece.text, std::max<qint64>(0, std::min(to, file.size()) - from));
    QByteArray chunk(qsizetype(256) << 10, Qt::Uninitialized);
    bool failed = !file.isSequential() && !file.seek(from);
    for (qint64 at = from; !failed && at < to;) {
        const qint64 got = file.read(chunk.data(), std::min<qint64>(chunk.size(), to - at));
        failed = got < 0;
        if (got <= 0)
            break;
        decoder.decode(QByteArrayView(chunk.data(), got), piece.text);
        at += got;
    }
    decoder.finish(piece.text);
    if (failed) {
        piece.problem = readProblem(file.fileName(), file);
        dropUnfinishedLine(piece.text);
    }
    cutLines(piece);
    return piece;
}

// Where to cut a large file in two for decoding on two threads: just after a line end near the
// middle. 0 when the file is small, or has no line end near the middle.
qint64 middleLineStart(QFile &file)
{
    constexpr qint64 worthSplitting = qint64(4) << 20;
    constexpr qint64 lookAhead = qint64(64) << 10;
    const qint64 size = file.size();
    if (size < worthSplitting || !file.seek(size / 2))
        return 0;
    const QByteArray window = file.read(lookAhead);
    const qsizetype lineEnd = window.indexOf('\r');
    if (lineEnd < 0)
        return 0;
    const qsizetype next = lineEnd + (window.mid(lineEnd + 1, 1) == "\n" ? 2 : 1);
    return next < window.size() ? size / 2 + next : 0;
}

// The first bytes of a file, which tell its encoding.
QByteArray fileStart(QFile &file)
{
    if (file.isSequential())
        return {};
    const QByteArray start = file.read(3);
    return file.seek(0) ? start : QByteArray();
}

// Reads a card file in one piece, or in two when it is large, the second on a thread of its own:
// a line end byte never stands inside a character, so the pieces decode as the whole would.
// Reading stops at a read error; the lines read before it are kept.
std::vector<TextPiece> readCardFile(const QString &path, QString &problem)
{
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        problem = openProblem(path, file);
        return {};
    }
    const qint64 size = file.size();
    const QByteArray start = fileStart(file);
    const bool splittable = !file.isSequential() && CardDecoder::canStartMidFile(start);
    const qint64 middle = splittable ? middleLineStart(file) : 0;

    std::future<TextPiece> second;
    if (middle > 0) {
        second = std::async(std::launch::async, [path, middle, size, start] {
            QFile secondFile(path);
            const auto decoder = CardDecoder::midFile(start);
            if (!secondFile.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
                TextPiece nothing;
                nothing.problem = readProblem(path, secondFile);
                return nothing;
            }
            return readPiece(secondFile, middle, size, *decoder);
        });
    }
    CardDecoder decoder;
    std::vector<TextPiece> pieces;
    pieces.push_back(readPiece(file, 0, middle > 0 ? middle : toTheEnd, decoder));
    if (second.valid())
        pieces.push_back(second.get());
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (!pieces[i].problem.isEmpty()) {
            problem = pieces[i].problem;
            pieces.resize(i + 1); // nothing after a piece that could not be read to its end
            break;
        }
    }
    return pieces;
}

void loadPieces(std::vector<TextPiece> pieces)
{
    auto cards = std::make_shared<CardText>();
    qsizetype magicCount = 0;
    for (const TextPiece &piece : pieces)
        magicCount += qsizetype(std::count(piece.isMagic.begin(), piece.isMagic.end(), true));
    for (TextPiece &piece : pieces) // moving keeps the characters where the lines point
        cards->pieces.push_back(std::move(static_cast<CardText::Piece &>(piece)));
    const qsizetype lineCount = cards->lineCount();

    CardTable monsters(cards, monsterSources, {CardField::AP, CardField::DP, CardField::Cost});
    CardTable magic(cards, magicSources, {MagicField::Cost});
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
