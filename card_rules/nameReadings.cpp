#include "card_rules/nameReadings.h"

#include "card_rules/romaji.h"
#include "card_rules/textFold.h"

#include <QCoreApplication>
#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <unordered_map>

namespace nameReadings {

namespace {

constexpr char magic[4] = {'Z', 'R', 'D', 'G'};
constexpr quint32 version = 1;
constexpr size_t countsAt = 8; // after the magic and the version
constexpr size_t headerBytes = countsAt + 4 * sizeof(quint32);
constexpr char16_t kanaBase = 0x3040;
constexpr quint8 longMark = u'ー' - kanaBase;

bool isKana(char16_t unit)
{
    return unit > kanaBase && unit < 0x3100;
}

bool isHiragana(char16_t unit)
{
    return unit >= u'ぁ' && unit <= u'ゖ';
}

// Characters read as runs of kanji: CJK ideographs and the marks written among them.
bool isKanji(char16_t unit)
{
    return (unit >= 0x3400 && unit <= 0x4DBF) || (unit >= 0x4E00 && unit <= 0x9FFF) ||
           unit == u'々' || unit == u'〆';
}

void appendUnit(std::string &code, char16_t unit)
{
    if (isKana(unit)) {
        code.push_back(char(unit - kanaBase));
    } else {
        code.push_back(char(otherUnit));
        code.push_back(char(unit & 0xFF));
        code.push_back(char(unit >> 8));
    }
}

bool isDictionaryReadingByte(quint8 byte)
{
    return (byte >= u'ぁ' - kanaBase && byte <= u'ゖ' - kanaBase) || byte == longMark;
}

// Each one once, in their order.
template <typename T> void appendNew(std::vector<T> &to, const std::vector<T> &more)
{
    for (const T &item : more) {
        if (std::find(to.begin(), to.end(), item) == to.end())
            to.push_back(item);
    }
}

// a0, b0, a1, b1, …: a reading of each kind before the second of either.
std::vector<std::string_view> alternating(const std::vector<std::string_view> &a,
                                          const std::vector<std::string_view> &b)
{
    std::vector<std::string_view> both;
    for (size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
        if (i < a.size())
            both.push_back(a[i]);
        if (i < b.size())
            both.push_back(b[i]);
    }
    return both;
}

} // namespace

QString readingText(std::string_view code)
{
    QString text;
    text.reserve(qsizetype(code.size()));
    for (size_t i = 0; i < code.size(); ++i) {
        const auto byte = quint8(code[i]);
        if (byte == otherUnit && i + 2 < code.size()) {
            text += QChar(char16_t(quint8(code[i + 1]) | quint8(code[i + 2]) << 8));
            i += 2;
        } else if (byte != otherUnit) {
            text += QChar(char16_t(kanaBase + byte));
        }
    }
    return text;
}

std::shared_ptr<const Dictionary> Dictionary::fromBytes(QByteArray bytes, QString &problem)
{
    std::shared_ptr<Dictionary> dictionary(new Dictionary);
    if (!dictionary->read(bytes, problem))
        return nullptr;
    return dictionary;
}

size_t Dictionary::byteSize() const
{
    return sizeof(quint32) *
               (surfaceStarts_.size() + wordReadings_.size() + kanjiReadings_.size()) +
           sizeof(char16_t) * (kanjiUnits_.size() + surfaceUnits_.size()) + readings_.size();
}

namespace {

// Reads little-endian numbers one after another, never past the end.
class NumberReader
{
public:
    explicit NumberReader(QByteArrayView bytes) : bytes_(bytes) {}
    template <typename T> bool read(std::vector<T> &into, size_t count)
    {
        if (count > (size_t(bytes_.size()) - at_) / sizeof(T))
            return false;
        into.resize(count);
        for (T &number : into) {
            number = qFromLittleEndian<T>(bytes_.data() + at_);
            at_ += sizeof(T);
        }
        return true;
    }
    size_t at() const { return at_; }

private:
    QByteArrayView bytes_;
    size_t at_ = headerBytes;
};

bool increasing(const auto &numbers)
{
    return std::adjacent_find(numbers.begin(), numbers.end(), std::greater_equal<>()) ==
           numbers.end();
}

} // namespace

bool Dictionary::read(QByteArrayView bytes, QString &problem)
{
    const auto fail = [&](const char *what) {
        problem = QCoreApplication::translate("nameReadings", "読みの辞書が壊れています (%1)")
                      .arg(QLatin1StringView(what));
        return false;
    };
    if (size_t(bytes.size()) < headerBytes || std::memcmp(bytes.data(), magic, sizeof magic) != 0)
        return fail("not a dictionary of readings");
    if (qFromLittleEndian<quint32>(bytes.data() + 4) != version)
        return fail("another version");
    std::array<quint32, 4> counts{};
    for (size_t i = 0; i < counts.size(); ++i)
        counts[i] = qFromLittleEndian<quint32>(bytes.data() + countsAt + 4 * i);
    const auto [words, surfaceUnits, kanji, readingBytes] = counts;
    const quint64 size = headerBytes + 4 * (2 * (quint64(words) + 1) + quint64(kanji) + 1) +
                         2 * (quint64(kanji) + surfaceUnits) + readingBytes;
    if (size != quint64(bytes.size()))
        return fail("size");
    NumberReader reader(bytes);
    if (!reader.read(surfaceStarts_, size_t(words) + 1) ||
        !reader.read(wordReadings_, size_t(words) + 1) ||
        !reader.read(kanjiReadings_, size_t(kanji) + 1) || !reader.read(kanjiUnits_, kanji) ||
        !reader.read(surfaceUnits_, surfaceUnits))
        return fail("size");
    readings_.assign(bytes.begin() + reader.at(), bytes.end());

    if (surfaceStarts_.front() != 0 || !increasing(surfaceStarts_) ||
        surfaceStarts_.back() != surfaceUnits)
        return fail("word offsets");
    if (wordReadings_.front() != 0 || !increasing(wordReadings_) ||
        kanjiReadings_.front() != wordReadings_.back() || !increasing(kanjiReadings_) ||
        kanjiReadings_.back() != readingBytes)
        return fail("reading offsets");
    if (!increasing(kanjiUnits_))
        return fail("kanji order");
    for (size_t word = 1; word < words; ++word) {
        if (!(surface(word - 1) < surface(word)))
            return fail("word order");
    }
    for (size_t word = 0; word < words; ++word) {
        if (!checkReadings(wordReadings_[word], wordReadings_[word + 1]))
            return fail("word readings");
    }
    for (size_t k = 0; k < kanji; ++k) {
        if (!checkKanjiReadings(kanjiReadings_[k], kanjiReadings_[k + 1]))
            return fail("kanji readings");
    }
    return true;
}

// One reading at at, before to: a length byte, as many kana, and extraBytes more bytes, each a
// kana or 0; at moves past it.
bool Dictionary::checkReading(quint32 &at, quint32 to, int extraBytes) const
{
    if (at >= to)
        return false;
    const quint32 length = readings_[at++];
    if (length == 0 || length > to - at || quint32(extraBytes) > to - at - length)
        return false;
    for (const quint32 end = at + length; at < end; ++at) {
        if (!isDictionaryReadingByte(readings_[at]))
            return false;
    }
    for (const quint32 end = at + quint32(extraBytes); at < end; ++at) {
        if (readings_[at] != 0 && !isDictionaryReadingByte(readings_[at]))
            return false;
    }
    return true;
}

// Readings one after another from one offset to the other, the last ending there.
bool Dictionary::checkReadings(quint32 from, quint32 to, int extraBytes) const
{
    for (quint32 at = from; at < to;) {
        if (!checkReading(at, to, extraBytes))
            return false;
    }
    return from <= to;
}

// A count of on readings, as many on readings, then kun readings with their okurigana.
bool Dictionary::checkKanjiReadings(quint32 from, quint32 to) const
{
    if (from >= to)
        return false;
    quint32 at = from + 1;
    for (quint32 on = 0; on < readings_[from]; ++on) {
        if (!checkReading(at, to, 0))
            return false;
    }
    return checkReadings(at, to, 1);
}

QStringView Dictionary::surface(size_t word) const
{
    const quint32 start = surfaceStarts_[word];
    return QStringView(surfaceUnits_.data() + start, qsizetype(surfaceStarts_[word + 1] - start));
}

// Up to count readings from at, before to, each followed by a byte put in extra where given; at
// moves past them. Only ever called on ranges checked when the file was read.
std::vector<std::string_view> Dictionary::readingsIn(quint32 &at, quint32 to, size_t count,
                                                     std::vector<quint8> *extra) const
{
    std::vector<std::string_view> readings;
    while (at < to && readings.size() < count) {
        const quint32 length = readings_[at];
        readings.emplace_back(reinterpret_cast<const char *>(readings_.data()) + at + 1, length);
        at += 1 + length;
        if (extra)
            extra->push_back(readings_[at++]);
    }
    return readings;
}

std::vector<std::string_view> Dictionary::wordReadings(QStringView text) const
{
    const std::vector<qsizetype> lengths = wordLengthsAt(text);
    if (lengths.empty() || lengths.back() != text.size())
        return {};
    // The word is the first of those starting with it.
    size_t lo = 0;
    size_t hi = surfaceStarts_.size() - 1;
    while (lo < hi) {
        const size_t mid = lo + (hi - lo) / 2;
        if (surface(mid) < text)
            lo = mid + 1;
        else
            hi = mid;
    }
    quint32 at = wordReadings_[lo];
    return readingsIn(at, wordReadings_[lo + 1], std::numeric_limits<size_t>::max());
}

// The words starting with text's first depth units lie together in the sorted list: each unit
// further narrows them to those with that unit next, the one that ends there first among them.
std::vector<qsizetype> Dictionary::wordLengthsAt(QStringView text) const
{
    std::vector<qsizetype> lengths;
    size_t lo = 0;
    size_t hi = surfaceStarts_.size() - 1;
    for (qsizetype depth = 0; depth < text.size() && lo < hi; ++depth) {
        // Every word from lo to hi is longer than depth units.
        const char16_t unit = text[depth].unicode();
        const auto unitOf = [&](size_t word) {
            return surfaceUnits_[surfaceStarts_[word] + depth];
        };
        size_t first = lo;
        for (size_t count = hi - lo; count > 0;) {
            const size_t half = count / 2;
            if (unitOf(first + half) < unit) {
                first += half + 1;
                count -= half + 1;
            } else {
                count = half;
            }
        }
        size_t last = first;
        for (size_t count = hi - first; count > 0;) {
            const size_t half = count / 2;
            if (unitOf(last + half) <= unit) {
                last += half + 1;
                count -= half + 1;
            } else {
                count = half;
            }
        }
        lo = first;
        hi = last;
        if (lo < hi && surfaceStarts_[lo + 1] - surfaceStarts_[lo] == quint32(depth + 1)) {
            lengths.push_back(depth + 1);
            ++lo;
        }
    }
    return lengths;
}

Dictionary::KanjiReadings Dictionary::kanjiReadings(char16_t kanji) const
{
    const auto found = std::lower_bound(kanjiUnits_.begin(), kanjiUnits_.end(), kanji);
    if (found == kanjiUnits_.end() || *found != kanji)
        return {};
    const auto index = size_t(found - kanjiUnits_.begin());
    const quint32 to = kanjiReadings_[index + 1];
    quint32 at = kanjiReadings_[index] + 1;
    KanjiReadings readings;
    readings.on = readingsIn(at, to, readings_[at - 1]);
    readings.kun = readingsIn(at, to, std::numeric_limits<size_t>::max(), &readings.okurigana);
    return readings;
}

QString defaultDictionaryPath()
{
    return QCoreApplication::applicationDirPath() + u"/NameReadings.dat"_qs;
}

LoadedDictionary loadDictionary(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {nullptr,
                QCoreApplication::translate("nameReadings", "読みの辞書 %1 を開けません (%2)")
                    .arg(path, file.errorString())};
    }
    // Far larger than any dictionary made from the word lists: a file that size is not one.
    constexpr qint64 largest = 256 << 20;
    if (file.size() > largest)
        return {
            nullptr,
            QCoreApplication::translate("nameReadings", "読みの辞書 %1 が大きすぎます").arg(path)};
    const QByteArray bytes = file.readAll();
    QString problem;
    std::shared_ptr<const Dictionary> dictionary = Dictionary::fromBytes(bytes, problem);
    if (!dictionary)
        problem += u": "_qs + path;
    return {std::move(dictionary), problem};
}

// The readings of runs of kanji already read, with whether okurigana followed; emptied when it
// grows large, as names of kanji alone need not repeat.
class Reader::RunCache
{
public:
    static constexpr size_t mostRuns = 1 << 17;
    std::unordered_map<std::u16string, std::vector<std::string>> runs;
    std::u16string key; // reused, to look up without allocating
};

Reader::Reader(const Dictionary &dictionary)
    : dictionary_(dictionary), runs_(std::make_unique<RunCache>())
{}

Reader::~Reader() = default;

namespace {

// One part of a run of kanji: a word of the dictionary or a single kanji, with its readings best
// first, or none where nothing is known of it.
struct Segment
{
    QStringView text;
    std::vector<std::string_view> readings;
};

// Costs of reading a run: a word of two kanji or more is cheaper than one kanji at a time, so
// that the fewest words the dictionary knows cover it.
constexpr int wordCost = 2;
constexpr int kanjiCost = 3;

// The segments of a multi-kanji run with the lowest cost; of equal costs, the one whose words
// come later wins, which makes the first word the longest. Before okurigana the last kanji is a
// segment of its own: a word of kanji alone that ends there would read its okurigana twice
// ("渦巻" is うずまき, "渦巻く" うずまく).
std::vector<QStringView> segmentsOf(const Dictionary &dictionary, QStringView run, bool lastAlone)
{
    constexpr int none = std::numeric_limits<int>::max();
    std::vector<int> cost(size_t(run.size()) + 1, none);
    std::vector<qsizetype> from(size_t(run.size()) + 1, 0);
    cost[0] = 0;
    const auto relax = [&](qsizetype start, qsizetype length, int step) {
        const auto end = size_t(start + length);
        if (cost[size_t(start)] + step <= cost[end]) {
            cost[end] = cost[size_t(start)] + step;
            from[end] = start;
        }
    };
    for (qsizetype start = 0; start < run.size(); ++start) {
        relax(start, 1, kanjiCost);
        for (const qsizetype length : dictionary.wordLengthsAt(run.sliced(start))) {
            if (length >= 2 && !(lastAlone && start + length == run.size()))
                relax(start, length, wordCost);
        }
    }
    std::vector<QStringView> segments;
    for (qsizetype end = run.size(); end > 0; end = from[size_t(end)])
        segments.push_back(run.sliced(from[size_t(end)], end - from[size_t(end)]));
    std::reverse(segments.begin(), segments.end());
    return segments;
}

// The kanji that "々" at place at repeats: the nearest before it that is not itself "々".
char16_t repeatedKanji(QStringView run, qsizetype at)
{
    while (at > 0 && run[at].unicode() == u'々')
        --at;
    return run[at].unicode();
}

// The row of the kana table a kana's code belongs to, voiced apart: its okurigana and the kana
// after a kanji conjugate within one row (いや.す, 癒し; うた.う, 歌い).
int rowOf(quint8 code)
{
    static const std::array<qint8, 256> rows = [] {
        std::array<qint8, 256> table{};
        const std::u16string_view kanaRows[] = {u"あいうえおわぁぃぅぇぉゎ",
                                                u"かきくけこ",
                                                u"がぎぐげご",
                                                u"さしすせそ",
                                                u"ざじずぜぞ",
                                                u"たちつてとっ",
                                                u"だぢづでど",
                                                u"なにぬねの",
                                                u"はひふへほ",
                                                u"ばびぶべぼ",
                                                u"ぱぴぷぺぽ",
                                                u"まみむめも",
                                                u"やゆよゃゅょ",
                                                u"らりるれろ"};
        for (size_t row = 0; row < std::size(kanaRows); ++row) {
            for (const char16_t kana : kanaRows[row])
                table[kana - kanaBase] = qint8(row + 1);
        }
        return table;
    }();
    return rows[code];
}

// A kanji's own readings: kun first where it stands alone or before okurigana, else on first;
// before okurigana, the kun readings whose okurigana conjugates like the kana that follows first.
std::vector<std::string_view> kanjiReadings(const Dictionary &dictionary, char16_t kanji,
                                            bool kunFirst, char16_t okurigana)
{
    const Dictionary::KanjiReadings readings = dictionary.kanjiReadings(kanji);
    std::vector<std::string_view> kun;
    if (okurigana != 0) {
        const int row = rowOf(quint8(okurigana - kanaBase));
        for (const bool alike : {true, false}) {
            for (size_t i = 0; i < readings.kun.size(); ++i) {
                if ((rowOf(readings.okurigana[i]) == row) == alike)
                    appendNew(kun, {readings.kun[i]});
            }
        }
    } else {
        appendNew(kun, readings.kun);
    }
    return kunFirst ? alternating(kun, readings.on) : alternating(readings.on, kun);
}

// The kun reading of every kanji of a word, or its on reading where it has none.
std::string kunReading(const Dictionary &dictionary, QStringView run)
{
    std::string reading;
    for (qsizetype at = 0; at < run.size(); ++at) {
        const Dictionary::KanjiReadings readings = dictionary.kanjiReadings(repeatedKanji(run, at));
        if (!readings.kun.empty())
            reading += readings.kun.front();
        else if (!readings.on.empty())
            reading += readings.on.front();
        else
            appendUnit(reading, run[at].unicode());
    }
    return reading;
}

// The segments of a run and their readings. A run before okurigana is read kun first, as such
// compounds are ("根張り" ねばり, "花咲く" はなさく).
std::vector<Segment> readSegments(const Dictionary &dictionary, QStringView run, char16_t okurigana)
{
    std::vector<Segment> segments;
    if (run.size() == 1) {
        // The dictionary's readings of a kanji alone are those of a word of it alone, so before
        // okurigana its kun readings come first ("呼び" よび, not こび).
        const std::vector<std::string_view> word = dictionary.wordReadings(run);
        const std::vector<std::string_view> own =
            kanjiReadings(dictionary, run[0].unicode(), true, okurigana);
        Segment alone{run, okurigana != 0 ? own : word};
        appendNew(alone.readings, okurigana != 0 ? word : own);
        segments.push_back(std::move(alone));
        return segments;
    }
    qsizetype at = 0;
    const std::vector<QStringView> parts = segmentsOf(dictionary, run, okurigana != 0);
    for (size_t i = 0; i < parts.size(); ++i) {
        const QStringView part = parts[i];
        Segment segment{part, {}};
        if (part.size() > 1) {
            segment.readings = dictionary.wordReadings(part);
        } else {
            const bool last = i + 1 == parts.size();
            segment.readings = kanjiReadings(dictionary, repeatedKanji(run, at), okurigana != 0,
                                             last ? okurigana : char16_t(0));
        }
        segments.push_back(std::move(segment));
        at += part.size();
    }
    return segments;
}

} // namespace

// The run's first reading takes every segment's first; the second every segment's second where
// it has one, and so on; a run that is one word of the dictionary is also read by its kanji's
// kun readings.
const std::vector<std::string> &Reader::runReadings(QStringView run, char16_t okurigana)
{
    std::u16string &key = runs_->key;
    key.assign(reinterpret_cast<const char16_t *>(run.utf16()), size_t(run.size()));
    key.push_back(okurigana);
    const auto known = runs_->runs.find(key);
    if (known != runs_->runs.end())
        return known->second;

    const std::vector<Segment> segments = readSegments(dictionary_, run, okurigana);
    std::vector<std::string> readings;
    for (size_t choice = 0; choice < size_t(mostReadings); ++choice) {
        std::string reading;
        bool varies = choice == 0;
        for (const Segment &segment : segments) {
            if (segment.readings.empty()) {
                for (const QChar c : segment.text)
                    appendUnit(reading, c.unicode());
                continue;
            }
            varies = varies || choice < segment.readings.size();
            reading += segment.readings[choice < segment.readings.size() ? choice : 0];
        }
        if (varies)
            appendNew(readings, {reading});
    }
    if (run.size() > 1 && segments.size() == 1 && !segments.front().readings.empty()) {
        const std::string kun = kunReading(dictionary_, run);
        if (std::find(readings.begin(), readings.end(), kun) == readings.end())
            readings.insert(readings.begin() + 1, kun);
    }
    readings.resize(std::min<size_t>(readings.size(), mostReadings));
    return runs_->runs.emplace(key, std::move(readings)).first->second;
}

const std::vector<std::string> &Reader::readingCodes(QStringView name)
{
    readings_.clear();
    if (name.isEmpty())
        return readings_;
    if (runs_->runs.size() > RunCache::mostRuns)
        runs_->runs.clear();

    // Folded as find folds, but hiragana kept: kana read as themselves.
    const std::vector<quint32> &folds = textFold::unitFolds();
    const bool foldsAlone = std::none_of(name.begin(), name.end(), [&](QChar c) {
        return (folds[c.unicode()] & textFold::mayChange) != 0;
    });
    QStringView text = name;
    if (!foldsAlone) {
        folded_ = name.toString().normalized(QString::NormalizationForm_KC).toCaseFolded();
        text = folded_;
    }
    const auto foldedUnit = [&](qsizetype at) {
        const char16_t unit = text[at].unicode();
        return foldsAlone && !isKana(unit) ? char16_t(folds[unit] & textFold::unitMask) : unit;
    };

    // The name as pieces of code between the runs of kanji, and the runs' readings.
    std::vector<std::string> between(1);
    struct Run
    {
        const std::vector<std::string> *readings;
        bool single; // one kanji
    };
    std::vector<Run> runs;
    for (qsizetype at = 0; at < text.size();) {
        if (!isKanji(text[at].unicode())) {
            appendUnit(between.back(), foldedUnit(at++));
            continue;
        }
        qsizetype end = at;
        while (end < text.size() && isKanji(text[end].unicode()))
            ++end;
        const bool okurigana = foldsAlone && end < text.size() && isHiragana(text[end].unicode()) &&
                               text[end] != u'の';
        runs.push_back(
            {&runReadings(text.sliced(at, end - at), okurigana ? text[end].unicode() : char16_t(0)),
             end - at == 1});
        between.emplace_back();
        at = end;
    }
    // Which reading of its runs each reading of the name takes, of single kanji and of the others:
    // compounds are what reads two ways most often.
    constexpr std::pair<size_t, size_t> choices[mostReadings] = {{0, 0}, {0, 1}, {1, 1}, {2, 2}};
    for (const auto &[ofSingle, ofCompound] : choices) {
        std::string reading = between[0];
        bool varies = readings_.empty();
        for (size_t run = 0; run < runs.size(); ++run) {
            const std::vector<std::string> &readings = *runs[run].readings;
            const size_t choice = runs[run].single ? ofSingle : ofCompound;
            varies = varies || choice < readings.size();
            reading += readings[choice < readings.size() ? choice : 0];
            reading += between[run + 1];
        }
        if (varies)
            appendNew(readings_, {reading});
    }
    return readings_;
}

QStringList readings(const Dictionary &dictionary, QStringView name)
{
    Reader reader(dictionary);
    QStringList texts;
    for (const std::string &code : reader.readingCodes(name))
        texts << readingText(code);
    return texts;
}

namespace {

// What each code byte comes to in a key: the hiragana it is folded to, 0 for a byte left out
// ("ー"), or keyBreak; and the vowel each key byte ends in.
struct KeyTables
{
    std::array<quint8, 256> keyOf{};
    std::array<char, 256> vowelOf{};
};

const KeyTables &keyTables()
{
    static const KeyTables tables = [] {
        KeyTables t;
        t.keyOf.fill(keyBreak);
        for (char16_t unit = u'ぁ'; unit <= u'ゖ'; ++unit) {
            t.keyOf[unit - kanaBase] = quint8(unit - kanaBase);
            t.keyOf[unit + 0x60 - kanaBase] = quint8(unit - kanaBase); // katakana
        }
        const std::u16string_view from =
            u"ぁぃぅぇぉっゃゅょゎゕゖがぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽゐゑをゔ";
        const std::u16string_view to =
            u"あいうえおつやゆよわかけかきくけこさしすせそたしすてとはひふへほはひふへほいえおう";
        for (size_t i = 0; i < from.size(); ++i) {
            t.keyOf[from[i] - kanaBase] = quint8(to[i] - kanaBase);
            t.keyOf[from[i] + 0x60 - kanaBase] = quint8(to[i] - kanaBase);
        }
        const std::u16string_view wa = u"ヷヸヹヺ";
        const std::u16string_view waPlain = u"わいえお";
        for (size_t i = 0; i < wa.size(); ++i)
            t.keyOf[wa[i] - kanaBase] = quint8(waPlain[i] - kanaBase);
        t.keyOf[longMark] = 0;
        const std::pair<char, std::u16string_view> rows[] = {{'a', u"あかさたなはまやらわ"},
                                                             {'i', u"いきしちにひみり"},
                                                             {'u', u"うくすつぬふむゆる"},
                                                             {'e', u"えけせてねへめれ"},
                                                             {'o', u"おこそとのほもよろ"}};
        for (const auto &[vowel, kana] : rows) {
            for (const char16_t unit : kana)
                t.vowelOf[unit - kanaBase] = vowel;
        }
        return t;
    }();
    return tables;
}

constexpr quint8 keyU = u'う' - kanaBase;
constexpr quint8 keyO = u'お' - kanaBase;
constexpr quint8 keyNo = u'の' - kanaBase;

} // namespace

std::string tolerantKey(std::string_view readingCode)
{
    const KeyTables &tables = keyTables();
    std::string key;
    key.reserve(readingCode.size());
    char vowel = 0; // of the last kana kept
    for (size_t i = 0; i < readingCode.size(); ++i) {
        const auto byte = quint8(readingCode[i]);
        if (byte == otherUnit) {
            key.push_back(char(keyBreak));
            vowel = 0;
            i += 2;
            continue;
        }
        const quint8 folded = tables.keyOf[byte];
        if (folded == 0)
            continue;
        const bool lengthens =
            (folded == keyU && (vowel == 'o' || vowel == 'u')) || (folded == keyO && vowel == 'o');
        if (lengthens)
            continue;
        key.push_back(char(folded));
        vowel = folded == keyBreak || folded == keyNo ? 0 : tables.vowelOf[folded];
    }
    return key;
}

std::string findKey(QStringView foldedWord)
{
    const auto keyOfKana = [](QStringView kana) {
        std::string code;
        for (const QChar c : kana) {
            if (!isKana(c.unicode()))
                return std::string();
            appendUnit(code, c.unicode());
        }
        std::string key = tolerantKey(code);
        return key.find(char(keyBreak)) == std::string::npos ? key : std::string();
    };
    const std::string kana = keyOfKana(foldedWord);
    if (!kana.empty() || foldedWord.isEmpty() || isKana(foldedWord[0].unicode()))
        return kana;
    return keyOfKana(romaji::toKana(foldedWord));
}

} // namespace nameReadings
