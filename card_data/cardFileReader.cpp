#include "card_data/cardFileReader.h"

#include "card_data/cardDecoder.h"
#include "card_data/cardFields.h"
#include "card_data/largeMemory.h"
#include "card_data/readOnlyFile.h"

#include <QDir>

#include <algorithm>
#include <system_error>

namespace mdlZorv {

ReaderHooks readerHooks;

namespace {

// Drops a last line that has no line end: it is incomplete when reading stopped part-way.
void dropUnfinishedLine(QString &text, char16_t lineEnd)
{
    text.truncate(text.lastIndexOf(lineEnd) + 1);
}

// The code units among which line ends are looked for: bytes, or the UTF-16 code units from just
// after the byte-order mark, in the file's byte order. Line end code units are never surrogates,
// so a cut just after one never splits a character.
struct CodeUnits
{
    qsizetype size = 1;
    bool bigEndian = false;

    // Whether the unit at byte i of bytes is c.
    bool at(QByteArrayView bytes, qsizetype i, char16_t c) const
    {
        if (size == 1)
            return i < bytes.size() && bytes[i] == char(c);
        const char first = char(bigEndian ? c >> 8 : c & 0xFF);
        const char second = char(bigEndian ? c & 0xFF : c >> 8);
        return i + 1 < bytes.size() && bytes[i] == first && bytes[i + 1] == second;
    }
    // Where in bytes the first unit c is, looking from `from` (a unit's start), or -1.
    qsizetype indexOf(QByteArrayView bytes, char16_t c, qsizetype from = 0) const
    {
        if (size == 1)
            return bytes.indexOf(char(c), from);
        for (qsizetype i = from; i + 1 < bytes.size(); i += 2) {
            if (at(bytes, i, c))
                return i;
        }
        return -1;
    }
    // The start of the unit that holds byte `at` of the file.
    qint64 unitStart(qint64 at) const { return at - at % size; }
};

// What a look over the file tells before it is decoded: how its lines end and whether it is
// UTF-8 text. The look stops once both are settled: for a Shift-JIS file with CR LF line ends,
// within its first line. A read error here shows again when the file is read.
struct FileLook
{
    char16_t lineEnd = u'\n';
    bool utf8Text = false;
    bool crLf = false; // the first CR is followed by LF
    CodeUnits units;
};

FileLook lookOver(const ReadOnlyFile &file)
{
    Utf8Detector utf8;
    qint64 firstCr = -1;
    QByteArray chunk(qsizetype(256) << 10, Qt::Uninitialized);
    for (qint64 at = 0; at < file.size() && !(firstCr >= 0 && !utf8.stillPossible());) {
        const qint64 got = file.readAt(chunk.data(), chunk.size(), at);
        if (got <= 0)
            break;
        const QByteArrayView bytes(chunk.data(), got);
        if (const qsizetype cr = bytes.indexOf('\r'); firstCr < 0 && cr >= 0)
            firstCr = at + cr;
        utf8.feed(bytes);
        at += got;
    }
    char next = 0;
    const bool crLf = firstCr >= 0 && file.readAt(&next, 1, firstCr + 1) == 1 && next == '\n';
    return {firstCr >= 0 ? u'\r' : u'\n', utf8.isUtf8Text(), crLf, {}};
}

// The same for a UTF-16 file, whose line ends are code units: a byte 0D or 0A may be half of
// another character (不 is U+4E0D, 上 U+4E0A).
FileLook lookOverUtf16(const ReadOnlyFile &file, QSysInfo::Endian order)
{
    const CodeUnits units{2, order == QSysInfo::BigEndian};
    qint64 firstCr = -1;
    QByteArray chunk(qsizetype(256) << 10, Qt::Uninitialized);
    for (qint64 at = 2; at < file.size() && firstCr < 0;) {
        const qint64 got = file.readAt(chunk.data(), chunk.size(), at);
        const qint64 wholeUnits = got - got % 2;
        if (wholeUnits <= 0)
            break;
        if (const qsizetype cr = units.indexOf(QByteArrayView(chunk.data(), wholeUnits), u'\r');
            cr >= 0)
            firstCr = at + cr;
        at += wholeUnits;
    }
    char next[2] = {};
    const bool crLf = firstCr >= 0 && file.readAt(next, 2, firstCr + 2) == 2 &&
                      units.at(QByteArrayView(next, 2), 0, u'\n');
    return {firstCr >= 0 ? u'\r' : u'\n', false, crLf, units};
}

CardFileFormat formatOf(const FileLook &look, QByteArrayView start)
{
    CardFileFormat format;
    if (const auto order = CardDecoder::utf16Order(start))
        format.encoding = *order == QSysInfo::BigEndian ? CardFileFormat::Encoding::Utf16Be
                                                        : CardFileFormat::Encoding::Utf16Le;
    else if (start.startsWith("\xEF\xBB\xBF"))
        format.encoding = CardFileFormat::Encoding::Utf8WithMark;
    else if (look.utf8Text)
        format.encoding = CardFileFormat::Encoding::Utf8;
    format.lineEnds = look.lineEnd == u'\n' ? CardFileFormat::LineEnds::Lf
                      : look.crLf           ? CardFileFormat::LineEnds::CrLf
                                            : CardFileFormat::LineEnds::Cr;
    return format;
}

QString readProblem(const QString &path, const QString &reason)
{
    return problemText(path, QStringLiteral("途中で読み取れなくなりました (%1)。").arg(reason));
}

// Reads the bytes of the file from `from` up to `to`, decodes them and cuts their lines. Ending
// before `to`, the size known when the file was opened, is a read error: the file was cut short
// while it was read.
TextPiece readPiece(const ReadOnlyFile &file, const QString &path, qint64 from, qint64 to,
                    CardDecoder &decoder, const FileLook &look)
{
    const char16_t lineEnd = look.lineEnd;
    TextPiece piece;
    // One character per code unit at the most, and one for a last odd byte.
    reserveAtMost(piece.text, (to - from) / look.units.size + (look.units.size > 1 ? 1 : 0));
    QByteArray chunk(qsizetype(256) << 10, Qt::Uninitialized);
    qint64 at = from;
    while (at < to) {
        const qint64 got = file.readAt(chunk.data(), std::min<qint64>(chunk.size(), to - at), at);
        if (got < 0)
            piece.problem = readProblem(path, ReadOnlyFile::readError());
        else if (got == 0)
            piece.problem =
                readProblem(path, QStringLiteral("読み取り中にファイルが短くなりました"));
        if (got <= 0)
            break;
        decoder.decode(QByteArrayView(chunk.data(), got), piece.text);
        at += got;
    }
    decoder.finish(piece.text);
    if (!piece.problem.isEmpty())
        dropUnfinishedLine(piece.text, lineEnd);
    cutLines(piece, lineEnd, decoder.mayReplace());
    return piece;
}

// Where to cut a file in two for decoding on two threads: just after the first line end at or
// after `from`, looked for a little way. 0 when there is none there.
qint64 lineStartAfter(const ReadOnlyFile &file, qint64 from, const FileLook &look)
{
    const CodeUnits &units = look.units;
    from = units.unitStart(from);
    QByteArray window(qsizetype(64) << 10, Qt::Uninitialized);
    const qint64 got = file.readAt(window.data(), window.size(), from);
    window.truncate(std::max<qint64>(got, 0));
    const qsizetype end = units.indexOf(window, look.lineEnd);
    if (end < 0)
        return 0;
    const bool crLf = look.lineEnd == u'\r' && units.at(window, end + units.size, u'\n');
    const qsizetype next = end + units.size * (crLf ? 2 : 1);
    return next < window.size() ? from + next : 0;
}

// Large files are read in two pieces; tests may ask for a cut anywhere.
qint64 middleLineStart(const ReadOnlyFile &file, const FileLook &look)
{
    constexpr qint64 worthSplitting = qint64(4) << 20;
    if (readerHooks.cutFrom >= 0)
        return lineStartAfter(file, readerHooks.cutFrom, look);
    return file.size() < worthSplitting ? 0 : lineStartAfter(file, file.size() / 2, look);
}

// The first bytes of a file, which tell its encoding.
QByteArray fileStart(const ReadOnlyFile &file)
{
    QByteArray start(3, Qt::Uninitialized);
    start.truncate(std::max<qint64>(file.readAt(start.data(), start.size(), 0), 0));
    return start;
}

// Starts the second piece on a thread of its own; where no thread can be had, it is read on this
// one when its result is asked for.
std::future<TextPiece> startSecondPiece(std::function<TextPiece()> read)
{
    try {
        if (readerHooks.startThread)
            return readerHooks.startThread(read);
        return std::async(std::launch::async, read);
    } catch (const std::system_error &) {
        return std::async(std::launch::deferred, std::move(read));
    }
}

} // namespace

void cutLines(TextPiece &piece, char16_t lineEnd, bool findUndecoded)
{
    const QStringView text = piece.text;
    const auto lineEnds = std::count(text.utf16(), text.utf16() + text.size(), lineEnd);
    const bool lastLineUnended =
        !text.isEmpty() && !text.endsWith(lineEnd) && !(lineEnd == u'\r' && text.endsWith(u"\r\n"));
    const size_t lineCount = size_t(lineEnds) + (lastLineUnended ? 1 : 0);
    piece.reserveLines(lineCount);
    reserveExactly(piece.isMagic, lineCount);
    findUndecoded = findUndecoded && text.contains(u'\uFFFD');
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(lineEnd, start);
        if (end < 0)
            end = text.size();
        const QStringView line = text.sliced(start, end - start);
        const FieldBounds bounds = piece.addLine(start, line.size());
        const bool magic = isMagicKind(bounds.field(line, CardField::Type));
        piece.isMagic.push_back(magic);
        if (magic) {
            for (size_t i = 0; i < magicCodedFields.size(); ++i)
                piece.magicCodes[i].add(bounds.field(line, magicCodedFields[i]));
        } else {
            for (size_t i = 0; i < monsterCodedFields.size(); ++i)
                piece.monsterCodes[i].add(bounds.field(line, monsterCodedFields[i]));
        }
        if (findUndecoded && line.contains(u'\uFFFD')) {
            if (piece.undecodedLines++ == 0)
                piece.firstUndecoded = qsizetype(piece.lineCount()) - 1;
        }
        if (!hasEveryField(line, bounds)) {
            if (piece.shortLines++ == 0)
                piece.firstShort = qsizetype(piece.lineCount()) - 1;
        }
        start = end + 1;
        if (lineEnd == u'\r' && start < text.size() && text[start] == u'\n')
            ++start;
    }
}

QString problemText(const QString &path, const QString &reason)
{
    return QStringLiteral("%1\n%2").arg(QDir::toNativeSeparators(path), reason);
}

QString tooLargeProblem(const QString &path)
{
    return problemText(path, QStringLiteral("大きすぎてメモリーに収まりません。"));
}

// A line end byte (or code unit) never stands inside a character, so pieces cut after one decode
// as the whole file would. Both pieces are read through the one open file.
CardFileRead readCardFile(const QString &path)
{
    const ReadOnlyFile file(path);
    CardFileRead read;
    if (!file.isOpen()) {
        read.problem = problemText(path, file.problem());
        read.stamp = stampOf(path); // whatever is there, if anything
        return read;
    }
    if (readerHooks.afterOpen)
        readerHooks.afterOpen();
    const qint64 size = file.size();
    const QByteArray start = fileStart(file);
    const auto utf16 = CardDecoder::utf16Order(start);
    const FileLook look = utf16 ? lookOverUtf16(file, *utf16) : lookOver(file);
    const qint64 middle =
        CardDecoder::canStartMidFile(start, look.utf8Text) ? middleLineStart(file, look) : 0;

    std::future<TextPiece> second;
    if (middle > 0) {
        second = startSecondPiece([&file, &path, middle, size, start, look] {
            const auto decoder = CardDecoder::midFile(start, look.utf8Text);
            return readPiece(file, path, middle, size, *decoder, look);
        });
    }
    CardDecoder decoder(look.utf8Text);
    read.stamp = file.openedStamp();
    read.format = formatOf(look, start);
    std::vector<TextPiece> &pieces = read.pieces;
    pieces.push_back(readPiece(file, path, 0, middle > 0 ? middle : size, decoder, look));
    if (second.valid())
        pieces.push_back(second.get());
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (!pieces[i].problem.isEmpty()) {
            read.problem = pieces[i].problem;
            pieces.resize(i + 1); // nothing after a piece that could not be read to its end
            break;
        }
    }
    // Written in place, the open file's own stamp changes; replaced, the path leads elsewhere.
    read.changed = file.currentStamp() != read.stamp || stampOf(path) != read.stamp;
    return read;
}

} // namespace mdlZorv
