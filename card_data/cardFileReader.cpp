#include "card_data/cardFileReader.h"

#include "card_data/cardDecoder.h"
#include "card_data/largeMemory.h"
#include "card_data/mdlZorv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <future>
#include <limits>

namespace mdlZorv {

namespace {

// Drops a last line that has no line end: it is incomplete when reading stopped part-way.
void dropUnfinishedLine(QString &text)
{
    text.truncate(text.lastIndexOf(u'\r') + 1);
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

} // namespace

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
        piece.lines.push_back({start, bounds});
        piece.isMagic.push_back(isMagicKind(bounds.field(line, CardField::Type)));
        start = end + 1;
        if (start < text.size() && text[start] == u'\n')
            ++start;
    }
}

QString problemText(const QString &path, const QString &reason)
{
    return QStringLiteral("%1\n%2").arg(QDir::toNativeSeparators(path), reason);
}

// A line end byte never stands inside a character, so pieces cut after one decode as the whole
// file would.
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

} // namespace mdlZorv
