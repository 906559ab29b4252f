#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// How card names are read. The card file holds no readings, so they are derived from a dictionary
// of words with their readings and of the on and kun readings of single kanji
// (NameReadings.dat, made by data/make_readings.py):
//   - a run of kanji is read by the words the dictionary knows in it, fewest words first, and
//     each kanji it knows no word for by its own readings, on readings first in a compound:
//         "燐光" -> りんこう     "鍛冶師" -> かじし     "硝子" -> がらす     "白翼" -> はくよく
//   - every run gets up to four readings, best first: the words' other readings, and the kanji's
//     other readings, one kind at a time; a word of two kanji or more is also read by the kun
//     readings of its kanji ("白翼" -> はくよく, しろつばさ; "雪原" -> せつげん, ゆきはら);
//   - a kanji alone, or followed by okurigana, is read kun first:
//         "狼" -> おおかみ     "歌い手" -> うたいて     "落とし穴" -> おとしあな
//   - "々" repeats the kanji before it: "人々" -> ひとびと (a word), "翼々" -> よくよく;
//   - kana read as themselves, and other characters as textFold makes them (half-width katakana
//     full-width, letters small): "ﾄﾞﾗｺﾞﾝの子" -> ドラゴンのこ, "ABCの竜" -> abcのりゅう;
//   - a name's readings take the first reading of every run; then the second of each compound;
//     then the second of every run, then the third (a run without one taking its first): at most
//     four, each once, the first the one shown.
// A kanji the dictionary knows nothing of stays as it is in the reading.
namespace nameReadings {

inline constexpr int mostReadings = 4;

// A reading in code: one byte a kana, a hiragana or katakana's code point less 0x3040 (0x01-0xBF,
// "ー" 0xBC), any other UTF-16 code unit as otherUnit and its two bytes, low byte first.
inline constexpr quint8 otherUnit = 0xFE;
QString readingText(std::string_view code);

// The dictionary file's contents, checked whole when read: any offset or length out of bounds,
// or any byte that is no kana, makes the file unusable rather than a risk. Never changes once
// made, so any number of threads may read it at once.
class Dictionary
{
public:
    // The dictionary in bytes as the file holds them, or nullptr with the fault in problem.
    static std::shared_ptr<const Dictionary> fromBytes(QByteArrayView bytes, QString &problem);

    qsizetype wordCount() const { return qsizetype(surfaceStarts_.size()) - 1; }
    qsizetype kanjiCount() const { return qsizetype(kanjiUnits_.size()); }
    // The memory it takes.
    size_t byteSize() const;

    // The words the text starts with, shortest first: each one's length and number.
    struct WordAt
    {
        qsizetype length;
        quint32 word;
    };
    void wordsAt(QStringView text, std::vector<WordAt> &words) const;
    // A word's readings, best first, added to readings.
    void addReadings(quint32 word, std::vector<std::string_view> &readings) const;
    // The readings of a word the dictionary holds, best first; none for any other text.
    std::vector<std::string_view> wordReadings(QStringView surface) const;
    struct KanjiReadings
    {
        std::vector<std::string_view> on;
        std::vector<std::string_view> kun; // stems: "しろ" for 白 (しろ.い)
        std::vector<quint8> okurigana;     // of each kun reading: its first kana's code, or 0
    };
    // A kanji's readings, or nullptr for a kanji it does not know.
    const KanjiReadings *kanjiReadings(char16_t kanji) const;

private:
    Dictionary() = default;
    bool read(QByteArrayView bytes, QString &problem);
    bool checkReading(quint32 &at, quint32 to, int extraBytes) const;
    bool checkReadings(quint32 from, quint32 to, int extraBytes = 0) const;
    bool checkKanjiReadings(quint32 from, quint32 to) const;
    void index();
    QStringView surface(size_t word) const;
    void readingsIn(quint32 &at, quint32 to, size_t count, std::vector<std::string_view> &into,
                    std::vector<quint8> *extra = nullptr) const;

    std::vector<quint32> surfaceStarts_; // of each word in surfaceUnits_, and its end
    std::vector<quint32> wordReadings_;  // of each word in readings_, and the last one's end
    std::vector<quint32> kanjiReadings_; // of each kanji in readings_, and the last one's end
    std::vector<char16_t> kanjiUnits_;
    std::vector<char16_t> surfaceUnits_;
    std::vector<quint8> readings_;
    // Made when read: the first word of each first code unit and after (65,537 of them), and
    // every kanji's readings with, for each code unit, the kanji's place plus one, or 0.
    std::vector<quint32> firstWords_;
    std::vector<KanjiReadings> kanji_;
    std::vector<quint16> kanjiOfUnit_;
};

// The dictionary file beside the program: NameReadings.dat in QCoreApplication's folder.
QString defaultDictionaryPath();

// A dictionary read from a file, or none and why (a missing, unreadable or damaged file). Safe on
// any thread; the dictionary it gives is shared and never changes.
struct LoadedDictionary
{
    std::shared_ptr<const Dictionary> dictionary;
    QString problem; // empty when read
};
LoadedDictionary loadDictionary(const QString &path = defaultDictionaryPath());

// Derives the readings of names with one dictionary, remembering those of every run of kanji it
// read, as names repeat their words; one reader serves one thread at a time.
class Reader
{
public:
    explicit Reader(const Dictionary &dictionary);
    ~Reader();
    Reader(const Reader &) = delete;
    Reader &operator=(const Reader &) = delete;

    // The readings of a name in code, best first, at most mostReadings, each once; none for a
    // name without characters. They stay valid until the next call.
    const std::vector<std::string_view> &readingCodes(QStringView name);
    // The same readings' keys, each once, and the first reading in code (shown): what the
    // reading index keeps. The keys of a reading are the key of the whole (tolerantKey) and the
    // key of its pieces each made on its own, joined (see readingPieces); both are made from the
    // keys of its parts, which the reader keeps with its runs.
    const std::vector<std::string_view> &readingKeys(QStringView name, std::string_view &shown);
    // The pieces of every reading of a name (once for each time readingCodes has it, in order):
    // the code between its runs of kanji, and the readings of each run's words and single kanji.
    std::vector<std::vector<std::string>> readingPieces(QStringView name);

private:
    class RunCache;
    struct Segment;
    struct FoundReading
    {
        std::string code;
        std::vector<quint16> pieceEnds; // of its words and single kanji
    };
    // The readings of a run of kanji, in the cache. okurigana: the hiragana after the run where it
    // is okurigana, else 0.
    std::pair<quint32, quint32> runReadings(QStringView run, char16_t okurigana);
    bool readName(QStringView name);
    template <typename Add, typename Done> void forEachReading(Add add, Done done) const;
    void readRun(QStringView run, char16_t okurigana);
    void readKanjiAlone(QStringView run, char16_t okurigana);
    void segmentRun(QStringView run, char16_t okurigana);
    void combineSegmentReadings();
    void addKunReadingOfWord(QStringView run);
    bool isNewRunReading(const FoundReading &reading) const;
    void segment(QStringView run, bool lastAlone);
    void addKanjiReadings(std::vector<std::string_view> &readings, char16_t kanji, bool kunFirst,
                          char16_t okurigana) const;
    // The keys of the name's code between its runs of kanji, piece by piece (betweenKeys_), and
    // one piece's key.
    void makeKeysBetweenRuns();
    std::string_view keyBetweenRuns(size_t piece) const;
    // The name's first reading in code, made in shown_.
    std::string_view firstReading();

    const Dictionary &dictionary_;
    std::unique_ptr<RunCache> runs_;
    QString folded_;
    // Reused from name to name, to spare allocations.
    std::vector<Segment> segments_;
    size_t segmentCount_ = 0;
    std::vector<Dictionary::WordAt> words_;
    std::vector<int> cost_;
    std::vector<qsizetype> from_;
    std::vector<qint64> wordOf_;
    std::vector<std::string_view> wordScratch_;
    std::vector<FoundReading> runReadingsFound_;
    std::string between_;             // the name's code outside its runs of kanji
    std::vector<size_t> betweenEnds_; // where each piece of it ends
    struct NameRun
    {
        std::pair<quint32, quint32> readings; // in the cache
        bool single;                          // one kanji
    };
    std::vector<NameRun> nameRuns_;
    std::vector<std::string> pool_;
    std::vector<std::string_view> readings_;
    std::string betweenKeys_;
    std::vector<size_t> betweenKeyEnds_;
    std::vector<std::string> keyPool_;
    std::vector<std::pair<qint64, size_t>> readingPieces_; // of the reading being keyed
    std::vector<std::string_view> keys_;
    std::string shown_;
};

// The readings of a name as text, best first.
QStringList readings(const Dictionary &dictionary, QStringView name);

// The key that finding by reading compares: both the readings and the words typed are made keys,
// and a word matches where its key lies in the key of one of a name's readings. It forgives what
// players type otherwise: voiced marks, small kana, long vowels ("ー", a う or お after an o, a
// う after a u, but never after の, which ends a word as a rule), hiragana and katakana:
//   "おおぐま" -> おくま   "オオクマ" -> おくま   "りゅうきし" -> りゆきし   "こーてつ" -> こてつ
//   "じ", "ぢ" -> し      "を" -> お      "のおおかみ" -> のおかみ
// A word that starts inside a long vowel finds nothing by it: "うてつ" is not in こうてつ (こてつ).
// A key is one byte a kana (the code of the hiragana it comes to); everything else in a reading
// becomes keyBreak, which no word's key holds, so no word matches across it.
inline constexpr quint8 keyBreak = 0xFF;
std::string tolerantKey(std::string_view readingCode);
// The same written at key, which has room for as many bytes as the code has; returns its length.
size_t writeTolerantKey(std::string_view readingCode, char *key);

// The key of a find word (as textFold::words gives it) to look for in readings: of the word in
// kana, or of the kana a word in Latin letters reads as (see romaji); empty for any other word.
//   "かじ" -> かし   "ｶｼﾞ" -> かし   "ryukishi" -> りゆきし   "竜" -> (none)   "ー" -> (none)
std::string findKey(QStringView foldedWord);

} // namespace nameReadings
