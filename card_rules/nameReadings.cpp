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

std::shared_ptr<const Dictionary> Dictionary::fromBytes(QByteArrayView bytes, QString &problem)
{
    std::shared_ptr<Dictionary> dictionary(new Dictionary);
    if (!dictionary->read(bytes, problem))
        return nullptr;
    dictionary->index();
    return dictionary;
}

size_t Dictionary::byteSize() const
{
    size_t kanji = 0;
    for (const KanjiReadings &readings : kanji_) {
        kanji += sizeof(KanjiReadings) + readings.okurigana.capacity() +
                 sizeof(std::string_view) * (readings.on.capacity() + readings.kun.capacity());
    }
    return sizeof(quint32) * (surfaceStarts_.size() + wordReadings_.size() + kanjiReadings_.size() +
                              firstWords_.size()) +
           sizeof(char16_t) * (kanjiUnits_.size() + surfaceUnits_.size()) + readings_.size() +
           sizeof(quint16) * kanjiOfUnit_.size() + kanji;
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

// Up to count readings from at, before to, each followed by a byte put in extra where given, added
// to into; at moves past them. Only ever called on ranges checked when the file was read.
void Dictionary::readingsIn(quint32 &at, quint32 to, size_t count,
                            std::vector<std::string_view> &into, std::vector<quint8> *extra) const
{
    for (size_t read = 0; at < to && read < count; ++read) {
        const quint32 length = readings_[at];
        into.emplace_back(reinterpret_cast<const char *>(readings_.data()) + at + 1, length);
        at += 1 + length;
        if (extra)
            extra->push_back(readings_[at++]);
    }
}

// What finding words and kanji needs beside the file's tables, made once it is checked.
void Dictionary::index()
{
    firstWords_.assign(0x10001, 0);
    const auto words = quint32(surfaceStarts_.size() - 1);
    for (quint32 word = words; word-- > 0;)
        firstWords_[surfaceUnits_[surfaceStarts_[word]]] = word;
    // Units no word starts with take the first word of the next unit that one does.
    firstWords_[0x10000] = words;
    std::vector<bool> starts(0x10000, false);
    for (quint32 word = 0; word < words; ++word)
        starts[surfaceUnits_[surfaceStarts_[word]]] = true;
    for (size_t unit = 0x10000; unit-- > 0;) {
        if (!starts[unit])
            firstWords_[unit] = firstWords_[unit + 1];
    }
    kanjiOfUnit_.assign(0x10000, 0);
    kanji_.resize(kanjiUnits_.size());
    for (size_t k = 0; k < kanjiUnits_.size(); ++k) {
        kanjiOfUnit_[kanjiUnits_[k]] = quint16(k + 1);
        quint32 at = kanjiReadings_[k] + 1;
        readingsIn(at, kanjiReadings_[k + 1], readings_[at - 1], kanji_[k].on);
        readingsIn(at, kanjiReadings_[k + 1], std::numeric_limits<size_t>::max(), kanji_[k].kun,
                   &kanji_[k].okurigana);
    }
}

void Dictionary::addReadings(quint32 word, std::vector<std::string_view> &readings) const
{
    quint32 at = wordReadings_[word];
    readingsIn(at, wordReadings_[word + 1], std::numeric_limits<size_t>::max(), readings);
}

std::vector<std::string_view> Dictionary::wordReadings(QStringView surface) const
{
    std::vector<WordAt> words;
    wordsAt(surface, words);
    std::vector<std::string_view> readings;
    if (!words.empty() && words.back().length == surface.size())
        addReadings(words.back().word, readings);
    return readings;
}

// The words starting with text's first depth units lie together in the sorted list: each unit
// further narrows them to those with that unit next, the one that ends there first among them.
void Dictionary::wordsAt(QStringView text, std::vector<WordAt> &words) const
{
    words.clear();
    if (text.isEmpty())
        return;
    size_t lo = firstWords_[text[0].unicode()];
    size_t hi = firstWords_[size_t(text[0].unicode()) + 1];
    for (qsizetype depth = 0; lo < hi;) {
        // Every word from lo to hi starts with text's first depth + 1 units.
        if (surfaceStarts_[lo + 1] - surfaceStarts_[lo] == quint32(depth + 1)) {
            words.push_back({depth + 1, quint32(lo)});
            ++lo;
        }
        if (++depth == text.size())
            return;
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
    }
}

const Dictionary::KanjiReadings *Dictionary::kanjiReadings(char16_t kanji) const
{
    const quint16 place = kanjiOfUnit_[kanji];
    return place == 0 ? nullptr : &kanji_[place - 1];
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

// The readings of runs of kanji already read, with the okurigana after them, in an open-addressing
// table of its own: names repeat their runs of kanji, so most are found here. Emptied when it
// grows large, as names of kanji above all hardly repeat them.
class Reader::RunCache
{
public:
    static constexpr size_t mostRuns = 1 << 15;

    // Every run's readings, one after another, and where each one lies; and their keys, each made
    // on its own (see appendKeyPiece).
    std::string text;
    std::vector<std::pair<quint32, quint32>> readings;
    std::string keyText;
    std::vector<std::pair<quint32, quint32>> keys;
    // The same readings' pieces (the readings of their words and single kanji): where each one's
    // pieces end in it, and the key of its pieces each made on its own.
    std::vector<quint16> pieceEnds;
    std::vector<std::pair<quint32, quint32>> pieces;
    std::vector<std::pair<quint32, quint32>> keysApart;

    // The run's readings (the first's place in readings and their count), if it was read.
    const std::pair<quint32, quint32> *find(QStringView run, char16_t okurigana)
    {
        slot_ = slotOf(run, okurigana);
        return slots_[slot_] == 0 ? nullptr : &entries_[slots_[slot_] - 1].readings;
    }
    // Adds the run last looked for, whose readings are the last count of readings.
    std::pair<quint32, quint32> add(QStringView run, char16_t okurigana, quint32 count)
    {
        entries_.push_back({quint32(keys_.size()),
                            quint32(run.size()),
                            okurigana,
                            {quint32(readings.size() - count), count}});
        keys_.append(reinterpret_cast<const char16_t *>(run.utf16()), size_t(run.size()));
        slots_[slot_] = quint32(entries_.size());
        if (entries_.size() * 2 > slots_.size())
            grow();
        return entries_.back().readings;
    }
    void clearIfFull()
    {
        if (entries_.size() < mostRuns)
            return;
        text.clear();
        readings.clear();
        keyText.clear();
        keys.clear();
        pieceEnds.clear();
        pieces.clear();
        keysApart.clear();
        entries_.clear();
        keys_.clear();
        slots_.assign(slots_.size(), 0);
    }

private:
    struct Entry
    {
        quint32 keyStart;
        quint32 keyLength;
        char16_t okurigana;
        std::pair<quint32, quint32> readings;
    };

    QStringView keyOf(const Entry &entry) const
    {
        return QStringView(keys_.data() + entry.keyStart, qsizetype(entry.keyLength));
    }
    size_t slotOf(QStringView run, char16_t okurigana) const
    {
        const size_t mask = slots_.size() - 1;
        size_t slot = (qHash(run) ^ okurigana) & mask;
        while (slots_[slot] != 0) {
            const Entry &entry = entries_[slots_[slot] - 1];
            if (entry.okurigana == okurigana && keyOf(entry) == run)
                break;
            slot = (slot + 1) & mask;
        }
        return slot;
    }
    void grow()
    {
        slots_.assign(slots_.size() * 2, 0);
        for (size_t i = 0; i < entries_.size(); ++i)
            slots_[slotOf(keyOf(entries_[i]), entries_[i].okurigana)] = quint32(i + 1);
    }

    std::vector<Entry> entries_;
    std::u16string keys_;
    std::vector<quint32> slots_ = std::vector<quint32>(1024); // an entry's place plus one, or 0
    size_t slot_ = 0;                                         // of the last run looked for
};

// One part of a run of kanji: a word of the dictionary or a single kanji, with its readings best
// first, or none where nothing is known of it.
struct Reader::Segment
{
    QStringView text;
    std::vector<std::string_view> readings;
};

Reader::Reader(const Dictionary &dictionary)
    : dictionary_(dictionary), runs_(std::make_unique<RunCache>())
{}

Reader::~Reader() = default;

namespace {

// Costs of reading a run: a word of two kanji or more is cheaper than one kanji at a time, so
// that the fewest words the dictionary knows cover it.
constexpr int wordCost = 2;
constexpr int kanjiCost = 3;
constexpr qint64 noWord = -1;

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

void appendNewReading(std::vector<std::string_view> &readings, std::string_view reading)
{
    if (std::find(readings.begin(), readings.end(), reading) == readings.end())
        readings.push_back(reading);
}

} // namespace

// A kanji's own readings, added where new: kun first where it stands alone or before okurigana,
// else on first, a reading of each kind before the second of either; before okurigana, the kun
// readings whose okurigana conjugates like the kana that follows first.
void Reader::addKanjiReadings(std::vector<std::string_view> &readings, char16_t kanji,
                              bool kunFirst, char16_t okurigana) const
{
    const Dictionary::KanjiReadings *own = dictionary_.kanjiReadings(kanji);
    if (!own)
        return;
    std::vector<std::string_view> kun; // few: the allocation is rare beside the cache's hits
    if (okurigana != 0) {
        const int row = rowOf(quint8(okurigana - kanaBase));
        for (const bool alike : {true, false}) {
            for (size_t i = 0; i < own->kun.size(); ++i) {
                if ((rowOf(own->okurigana[i]) == row) == alike)
                    appendNewReading(kun, own->kun[i]);
            }
        }
    } else {
        for (const std::string_view reading : own->kun)
            appendNewReading(kun, reading);
    }
    const std::vector<std::string_view> &first = kunFirst ? kun : own->on;
    const std::vector<std::string_view> &second = kunFirst ? own->on : kun;
    for (size_t i = 0; i < std::max(first.size(), second.size()); ++i) {
        if (i < first.size())
            appendNewReading(readings, first[i]);
        if (i < second.size())
            appendNewReading(readings, second[i]);
    }
}

// The segments of a multi-kanji run with the lowest cost; of equal costs, the one whose words
// come later wins, which makes the first word the longest. Before okurigana the last kanji is a
// segment of its own: a word of kanji alone that ends there would read its okurigana twice
// ("渦巻" is うずまき, "渦巻く" うずまく).
void Reader::segment(QStringView run, bool lastAlone)
{
    const auto size = size_t(run.size());
    cost_.assign(size + 1, std::numeric_limits<int>::max());
    from_.assign(size + 1, 0);
    wordOf_.assign(size + 1, noWord);
    cost_[0] = 0;
    const auto relax = [&](qsizetype start, qsizetype length, int step, qint64 word) {
        const auto end = size_t(start + length);
        if (cost_[size_t(start)] + step <= cost_[end]) {
            cost_[end] = cost_[size_t(start)] + step;
            from_[end] = start;
            wordOf_[end] = word;
        }
    };
    for (qsizetype start = 0; start < run.size(); ++start) {
        relax(start, 1, kanjiCost, noWord);
        dictionary_.wordsAt(run.sliced(start), words_);
        for (const Dictionary::WordAt &word : words_) {
            if (word.length >= 2 && !(lastAlone && start + word.length == run.size()))
                relax(start, word.length, wordCost, word.word);
        }
    }
    size_t count = 0;
    for (size_t end = size; end > 0; end = size_t(from_[end]))
        ++count;
    if (segments_.size() < count)
        segments_.resize(count);
    segmentCount_ = count;
    for (size_t end = size; end > 0; end = size_t(from_[end])) {
        Segment &part = segments_[--count];
        part.text = run.sliced(from_[end], qsizetype(end) - from_[end]);
        part.readings.clear();
        if (wordOf_[end] != noWord)
            dictionary_.addReadings(quint32(wordOf_[end]), part.readings);
    }
}

// The run's first reading takes every segment's first; the second every segment's second where
// it has one, and so on; a run that is one word of the dictionary is also read by its kanji's
// kun readings, second. A run before okurigana is read kun first, as such compounds are
// ("根張り" ねばり, "花咲く" はなさく). A kanji alone takes the dictionary's readings of it as a
// word first, but before okurigana its kun readings ("呼び" よび, not こび).
void Reader::readRun(QStringView run, char16_t okurigana)
{
    runReadingsFound_.clear();
    if (run.size() == 1)
        readKanjiAlone(run, okurigana);
    else
        segmentRun(run, okurigana);
    combineSegmentReadings();
    if (run.size() > 1 && segmentCount_ == 1 && !segments_[0].readings.empty())
        addKunReadingOfWord(run);
    runReadingsFound_.resize(std::min<size_t>(runReadingsFound_.size(), mostReadings));
}

void Reader::readKanjiAlone(QStringView run, char16_t okurigana)
{
    segmentCount_ = 1;
    if (segments_.empty())
        segments_.resize(1);
    Segment &alone = segments_[0];
    alone.text = run;
    alone.readings.clear();
    if (okurigana != 0)
        addKanjiReadings(alone.readings, run[0].unicode(), true, okurigana);
    dictionary_.wordsAt(run, words_);
    if (!words_.empty())
        dictionary_.addReadings(words_.front().word, wordScratch_);
    for (const std::string_view reading : wordScratch_)
        appendNewReading(alone.readings, reading);
    wordScratch_.clear();
    addKanjiReadings(alone.readings, run[0].unicode(), true, okurigana);
}

void Reader::segmentRun(QStringView run, char16_t okurigana)
{
    segment(run, okurigana != 0);
    qsizetype at = 0;
    for (size_t i = 0; i < segmentCount_; ++i) {
        Segment &part = segments_[i];
        if (part.text.size() == 1) {
            const bool last = i + 1 == segmentCount_;
            addKanjiReadings(part.readings, repeatedKanji(run, at), okurigana != 0,
                             last ? okurigana : char16_t(0));
        }
        at += part.text.size();
    }
}

bool Reader::isNewRunReading(const FoundReading &reading) const
{
    return std::none_of(runReadingsFound_.begin(), runReadingsFound_.end(),
                        [&](const FoundReading &found) { return found.code == reading.code; });
}

void Reader::combineSegmentReadings()
{
    for (size_t choice = 0; choice < size_t(mostReadings); ++choice) {
        FoundReading reading;
        bool varies = choice == 0;
        for (size_t i = 0; i < segmentCount_; ++i) {
            const Segment &part = segments_[i];
            if (part.readings.empty()) {
                for (const QChar c : part.text)
                    appendUnit(reading.code, c.unicode());
            } else {
                varies = varies || choice < part.readings.size();
                reading.code += part.readings[choice < part.readings.size() ? choice : 0];
            }
            reading.pieceEnds.push_back(quint16(reading.code.size()));
        }
        if (varies && isNewRunReading(reading))
            runReadingsFound_.push_back(std::move(reading));
    }
}

// Second: the run read by each kanji's first kun reading (on where it has none).
void Reader::addKunReadingOfWord(QStringView run)
{
    FoundReading kun;
    for (qsizetype at = 0; at < run.size(); ++at) {
        const Dictionary::KanjiReadings *own = dictionary_.kanjiReadings(repeatedKanji(run, at));
        if (own && !own->kun.empty())
            kun.code += own->kun.front();
        else if (own && !own->on.empty())
            kun.code += own->on.front();
        else
            appendUnit(kun.code, run[at].unicode());
        kun.pieceEnds.push_back(quint16(kun.code.size()));
    }
    if (isNewRunReading(kun))
        runReadingsFound_.insert(runReadingsFound_.begin() + 1, std::move(kun));
}

std::pair<quint32, quint32> Reader::runReadings(QStringView run, char16_t okurigana)
{
    if (const std::pair<quint32, quint32> *known = runs_->find(run, okurigana))
        return *known;
    readRun(run, okurigana);
    std::string &keyText = runs_->keyText;
    for (const FoundReading &reading : runReadingsFound_) {
        const std::string &code = reading.code;
        runs_->readings.emplace_back(quint32(runs_->text.size()), quint32(code.size()));
        runs_->text += code;
        runs_->pieces.emplace_back(quint32(runs_->pieceEnds.size()),
                                   quint32(reading.pieceEnds.size()));
        runs_->pieceEnds.insert(runs_->pieceEnds.end(), reading.pieceEnds.begin(),
                                reading.pieceEnds.end());
        // The key of the whole, and the key of its pieces each made on its own.
        const size_t keyStart = keyText.size();
        keyText.resize(keyStart + 2 * code.size());
        const size_t length = writeTolerantKey(code, keyText.data() + keyStart);
        runs_->keys.emplace_back(quint32(keyStart), quint32(length));
        size_t apart = keyStart + length;
        size_t pieceStart = 0;
        for (const quint16 end : reading.pieceEnds) {
            apart += writeTolerantKey(std::string_view(code).substr(pieceStart, end - pieceStart),
                                      keyText.data() + apart);
            pieceStart = end;
        }
        const std::string_view wholeKey(keyText.data() + keyStart, length);
        const std::string_view apartKey(keyText.data() + keyStart + length,
                                        apart - keyStart - length);
        if (apartKey == wholeKey) { // as a rule: kept once, where the key of the whole is
            runs_->keysApart.push_back(runs_->keys.back());
            keyText.resize(keyStart + length);
        } else {
            runs_->keysApart.emplace_back(quint32(keyStart + length), quint32(apartKey.size()));
            keyText.resize(apart);
        }
    }
    return runs_->add(run, okurigana, quint32(runReadingsFound_.size()));
}

namespace {

// What find folds a code unit to, without the cost of the table where that is plain: kana and
// kanji stay, ASCII letters become small. Hiragana stay hiragana: kana read as themselves.
// mayChange where folding may change it in context.
quint32 readingFold(char16_t unit, const std::vector<quint32> &folds)
{
    if (isKana(unit) || isKanji(unit))
        return unit;
    if (unit < 0x80)
        return unit >= u'A' && unit <= u'Z' ? unit + (u'a' - u'A') : unit;
    return folds[unit];
}

} // namespace

bool Reader::readName(QStringView name)
{
    between_.clear();
    betweenEnds_.clear();
    nameRuns_.clear();
    if (name.isEmpty())
        return false;
    runs_->clearIfFull();
    const std::vector<quint32> &folds = textFold::unitFolds();
    const bool foldsAlone = std::none_of(name.begin(), name.end(), [&](QChar c) {
        return (readingFold(c.unicode(), folds) & textFold::mayChange) != 0;
    });
    QStringView text = name;
    if (!foldsAlone) {
        folded_ = name.toString().normalized(QString::NormalizationForm_KC).toCaseFolded();
        text = folded_;
    }
    for (qsizetype at = 0; at < text.size();) {
        const char16_t unit = text[at].unicode();
        if (!isKanji(unit)) {
            appendUnit(between_, foldsAlone ? char16_t(readingFold(unit, folds)) : unit);
            ++at;
            continue;
        }
        qsizetype end = at;
        while (end < text.size() && isKanji(text[end].unicode()))
            ++end;
        const bool okurigana = foldsAlone && end < text.size() && isHiragana(text[end].unicode()) &&
                               text[end] != u'の';
        betweenEnds_.push_back(between_.size());
        nameRuns_.push_back(
            {runReadings(text.sliced(at, end - at), okurigana ? text[end].unicode() : char16_t(0)),
             end - at == 1});
        at = end;
    }
    betweenEnds_.push_back(between_.size());
    return true;
}

namespace {

// Which reading of its runs each reading of a name takes, of single kanji and of the others:
// compounds are what reads two ways most often.
constexpr std::pair<quint32, quint32> choices[mostReadings] = {{0, 0}, {0, 1}, {1, 1}, {2, 2}};

} // namespace

// Calls add(reading, piece) for the pieces of each reading of the name in turn, piece by piece
// (a piece of code between runs is (-1, its place), a run's reading (its run, its place among
// the run's readings)), and done() after each, unless the reading is the same choice of readings
// as one before.
template <typename Add, typename Done> void Reader::forEachReading(Add add, Done done) const
{
    for (size_t reading = 0; reading < size_t(mostReadings); ++reading) {
        const auto [ofSingle, ofCompound] = choices[reading];
        bool varies = reading == 0;
        for (const NameRun &run : nameRuns_) {
            const quint32 choice = run.single ? ofSingle : ofCompound;
            varies = varies || choice < run.readings.second;
        }
        if (!varies)
            continue;
        add(qint64(-1), size_t(0));
        for (size_t run = 0; run < nameRuns_.size(); ++run) {
            const auto [first, count] = nameRuns_[run].readings;
            const quint32 choice = nameRuns_[run].single ? ofSingle : ofCompound;
            add(qint64(run), size_t(first) + (choice < count ? choice : 0));
            add(qint64(-1), run + 1);
        }
        done();
    }
}

const std::vector<std::string_view> &Reader::readingCodes(QStringView name)
{
    readings_.clear();
    if (!readName(name))
        return readings_;
    if (pool_.size() < size_t(mostReadings))
        pool_.resize(size_t(mostReadings));
    pool_[0].clear();
    forEachReading(
        [&](qint64 run, size_t piece) {
            std::string &reading = pool_[readings_.size()];
            if (run < 0) {
                const size_t from = piece == 0 ? 0 : betweenEnds_[piece - 1];
                reading.append(between_, from, betweenEnds_[piece] - from);
            } else {
                const auto [start, length] = runs_->readings[piece];
                reading.append(runs_->text, start, length);
            }
        },
        [&] {
            std::string &reading = pool_[readings_.size()];
            if (std::find(readings_.begin(), readings_.end(), reading) == readings_.end())
                readings_.push_back(reading);
            if (readings_.size() < pool_.size())
                pool_[readings_.size()].clear();
        });
    return readings_;
}

namespace {

// Appends the key of a piece of a reading, made on its own, to the key of the reading before it:
// the vowels at its start that lengthen the kana before are left out as they would be in the key
// of the whole (a vowel left out never changes which vowel the key last kept), and vowel becomes
// that of its last kana.
// Whether it left any out.
bool appendKeyPiece(std::string &key, char &vowel, std::string_view piece)
{
    size_t start = 0;
    while (start < piece.size() &&
           ((quint8(piece[start]) == keyU && (vowel == 'o' || vowel == 'u')) ||
            (quint8(piece[start]) == keyO && vowel == 'o')))
        ++start;
    if (start == piece.size())
        return start > 0;
    key.append(piece, start);
    const auto last = quint8(piece.back());
    vowel = last == keyBreak || last == keyNo ? 0 : keyTables().vowelOf[last];
    return start > 0;
}

} // namespace

// Each reading gives its key, and also the key of its pieces each made on its own where that
// differs: a vowel at a word's start that the key of the whole left out after the word before
// ("魔公狼" まこうおおかみ, key まこかみ) is kept in it (まこおかみ), so that the word typed alone
// (おおかみ, key おかみ) is found too.
const std::vector<std::string_view> &Reader::readingKeys(QStringView name, std::string_view &shown)
{
    keys_.clear();
    shown = {};
    if (!readName(name))
        return keys_;
    makeKeysBetweenRuns();
    // Two keys a reading, and one more than kept for each of the two being made.
    if (keyPool_.size() < 2 * size_t(mostReadings) + 2)
        keyPool_.resize(2 * size_t(mostReadings) + 2);
    std::string *whole = &keyPool_[0];
    std::string *apart = &keyPool_[1];
    whole->clear();
    apart->clear();
    char vowel = 0;
    bool apartDiffers = false; // the reading's key of its pieces apart is another
    readingPieces_.clear();
    const auto keep = [&](std::string *&key) {
        if (std::find(keys_.begin(), keys_.end(), *key) != keys_.end())
            return;
        keys_.push_back(*key);
        key = &keyPool_[keys_.size() + 1];
    };
    forEachReading(
        [&](qint64 run, size_t piece) {
            readingPieces_.emplace_back(run, piece);
            if (run < 0) {
                apartDiffers |= appendKeyPiece(*whole, vowel, keyBetweenRuns(piece));
            } else {
                const auto [start, length] = runs_->keys[piece];
                apartDiffers |= appendKeyPiece(
                    *whole, vowel, std::string_view(runs_->keyText).substr(start, length));
                apartDiffers |= runs_->keysApart[piece] != runs_->keys[piece];
            }
        },
        [&] {
            keep(whole);
            // Most readings leave no vowel out where their pieces meet: their keys are alike.
            if (apartDiffers) {
                for (const auto &[run, piece] : readingPieces_) {
                    if (run < 0) {
                        apart->append(keyBetweenRuns(piece));
                    } else {
                        const auto [start, length] = runs_->keysApart[piece];
                        apart->append(runs_->keyText, start, length);
                    }
                }
                keep(apart);
            }
            whole->clear();
            apart->clear();
            vowel = 0;
            apartDiffers = false;
            readingPieces_.clear();
        });
    shown = firstReading();
    return keys_;
}

void Reader::makeKeysBetweenRuns()
{
    betweenKeys_.resize(between_.size());
    betweenKeyEnds_.clear();
    size_t written = 0;
    for (size_t piece = 0; piece < betweenEnds_.size(); ++piece) {
        const size_t from = piece == 0 ? 0 : betweenEnds_[piece - 1];
        written +=
            writeTolerantKey(std::string_view(between_).substr(from, betweenEnds_[piece] - from),
                             betweenKeys_.data() + written);
        betweenKeyEnds_.push_back(written);
    }
}

std::string_view Reader::keyBetweenRuns(size_t piece) const
{
    const size_t from = piece == 0 ? 0 : betweenKeyEnds_[piece - 1];
    return std::string_view(betweenKeys_).substr(from, betweenKeyEnds_[piece] - from);
}

std::string_view Reader::firstReading()
{
    shown_.assign(between_, 0, betweenEnds_[0]);
    for (size_t run = 0; run < nameRuns_.size(); ++run) {
        const auto [start, length] = runs_->readings[nameRuns_[run].readings.first];
        shown_.append(runs_->text, start, length);
        shown_.append(between_, betweenEnds_[run], betweenEnds_[run + 1] - betweenEnds_[run]);
    }
    return shown_;
}

std::vector<std::vector<std::string>> Reader::readingPieces(QStringView name)
{
    std::vector<std::vector<std::string>> readings;
    if (!readName(name))
        return readings;
    std::vector<std::string> pieces;
    forEachReading(
        [&](qint64 run, size_t piece) {
            if (run < 0) {
                const size_t from = piece == 0 ? 0 : betweenEnds_[piece - 1];
                pieces.push_back(between_.substr(from, betweenEnds_[piece] - from));
                return;
            }
            const auto [start, length] = runs_->readings[piece];
            const std::string_view code = std::string_view(runs_->text).substr(start, length);
            const auto [first, count] = runs_->pieces[piece];
            size_t from = 0;
            for (quint32 i = first; i < first + count; ++i) {
                pieces.emplace_back(code.substr(from, runs_->pieceEnds[i] - from));
                from = runs_->pieceEnds[i];
            }
        },
        [&] {
            readings.push_back(std::move(pieces));
            pieces.clear();
        });
    return readings;
}

QStringList readings(const Dictionary &dictionary, QStringView name)
{
    Reader reader(dictionary);
    QStringList texts;
    for (const std::string_view code : reader.readingCodes(name))
        texts << readingText(code);
    return texts;
}

size_t writeTolerantKey(std::string_view readingCode, char *key)
{
    const KeyTables &tables = keyTables();
    char *out = key;
    char vowel = 0; // of the last kana kept
    for (size_t i = 0; i < readingCode.size(); ++i) {
        const auto byte = quint8(readingCode[i]);
        if (byte == otherUnit) {
            *out++ = char(keyBreak);
            vowel = 0;
            i += 2;
            continue;
        }
        const quint8 folded = tables.keyOf[byte];
        const bool lengthens =
            (folded == keyU && (vowel == 'o' || vowel == 'u')) || (folded == keyO && vowel == 'o');
        if (folded == 0 || lengthens)
            continue;
        *out++ = char(folded);
        vowel = folded == keyBreak || folded == keyNo ? 0 : tables.vowelOf[folded];
    }
    return size_t(out - key);
}

std::string tolerantKey(std::string_view readingCode)
{
    std::string key(readingCode.size(), '\0');
    key.resize(writeTolerantKey(readingCode, key.data()));
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
    std::string kana = keyOfKana(foldedWord);
    if (!kana.empty() || foldedWord.isEmpty() || isKana(foldedWord[0].unicode()))
        return kana;
    return keyOfKana(romaji::toKana(foldedWord));
}

} // namespace nameReadings
