#include "card_rules/cardFind.h"

#include "card_data/largeMemory.h"
#include "card_rules/codeScan.h"
#include "card_rules/nameReadings.h"
#include "card_rules/readingIndex.h"
#include "card_rules/rowOrder.h"
#include "card_rules/textFold.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <functional>
#include <iterator>
#include <limits>
#include <memory>
#include <new>
#include <string_view>
#include <unordered_set>
#include <utility>

namespace cardFind {

namespace {

using textFold::mayChange;
using textFold::unitFolds;
using textFold::unitMask;

// The index's code. The 1,120 code units that occur most often take one byte (0x00-0x9F) or a
// lead byte from 0xE0 to 0xEE and a trail byte, by falling frequency; every other unit three
// bytes that spell it: a lead byte from 0xEF to 0xFE and two trail bytes (trail bytes are
// 0xA0-0xDF). A word's code starts with a byte that is never a trail, so wherever it occurs in a
// text's code it covers whole characters of the text. 0xFF, part of no character's code, ends
// each field, so a word never matches across two fields, whatever characters either holds.
constexpr quint32 singles = 0xA0;
constexpr quint32 firstTrail = 0xA0;
constexpr quint32 trails = 0x40;
constexpr quint32 firstPairLead = 0xE0;
constexpr quint32 pairLeads = 15;
constexpr quint32 rankedUnits = singles + pairLeads * trails;
constexpr quint32 firstTripleLead = firstPairLead + pairLeads;
constexpr quint8 fieldEnd = 0xFF;
static_assert(singles <= firstTrail && firstTrail + trails <= firstPairLead);
static_assert(firstTripleLead + 0x10000 / (trails * trails) <= fieldEnd);

// A character's code as a number: its bytes from the lowest up, and their count in bits 24-25.
constexpr int lengthShift = 24;

quint32 codeOfRank(quint32 rank)
{
    if (rank < singles)
        return rank | 1U << lengthShift;
    rank -= singles;
    return (firstPairLead + rank / trails) | (firstTrail + rank % trails) << 8 | 2U << lengthShift;
}

// The three bytes that spell a unit outside the ranked ones.
quint32 spelledCode(quint32 unit)
{
    return (firstTripleLead + unit / (trails * trails)) |
           (firstTrail + unit / trails % trails) << 8 | (firstTrail + unit % trails) << 16 |
           3U << lengthShift;
}

int lengthOf(quint32 code)
{
    return int(code >> lengthShift & 3);
}

// Room for a field of units code units: three bytes each, its end and the spare byte of a code
// written whole.
size_t mostBytes(qsizetype units)
{
    return 3 * size_t(units) + 2;
}

// Codes read as big-endian numbers rank much as their characters do: the larger, the rarer.
quint32 rarityOf(quint32 code)
{
    quint32 rarity = 0;
    for (int byte = 0; byte < lengthOf(code); ++byte)
        rarity = rarity << 8 | (code >> (8 * byte) & 0xFF);
    return rarity;
}

// Rows read to rank code units: enough to tell the frequent from the rare, few enough to cost
// little beside the index.
constexpr qsizetype sampledRows = 1024;

qsizetype sampleStep(qsizetype rowCount)
{
    return std::max<qsizetype>(1, rowCount / sampledRows);
}

// How often the code units occur in rows spread over the table, counted as folding leaves them
// where that is cheap to tell, and those that do.
struct Sample
{
    std::unique_ptr<quint32[]> counts = std::make_unique<quint32[]>(0x10000);
    std::vector<char16_t> seen;
};

Sample sample(const mdlZorv::CardTable &table, const std::vector<int> &fields)
{
    Sample sample;
    const std::vector<quint32> &folds = unitFolds();
    for (qsizetype row = 0; row < table.rowCount(); row += sampleStep(table.rowCount())) {
        for (const int field : fields) {
            for (const QChar c : table.view(field, row)) {
                const auto unit = char16_t(folds[c.unicode()] & unitMask);
                if (sample.counts[unit]++ == 0)
                    sample.seen.push_back(unit);
            }
        }
    }
    return sample;
}

// The code of every code unit: the ranked ones by falling frequency in the sample (as first seen
// where equal), the rest spelled.
std::vector<quint32> codesByFrequency(const Sample &sample)
{
    static const std::vector<quint32> spelled = [] {
        std::vector<quint32> spelled(0x10000);
        for (quint32 unit = 0; unit < spelled.size(); ++unit)
            spelled[unit] = spelledCode(unit);
        return spelled;
    }();
    std::vector<quint32> codes = spelled;
    std::vector<char16_t> byFrequency = sample.seen;
    std::stable_sort(byFrequency.begin(), byFrequency.end(),
                     [&](char16_t a, char16_t b) { return sample.counts[a] > sample.counts[b]; });
    for (quint32 rank = 0; rank < std::min<size_t>(rankedUnits, byFrequency.size()); ++rank)
        codes[byFrequency[rank]] = codeOfRank(rank);
    return codes;
}

// Codes of words one after another, each followed by a field end, to tell which words lie in
// others.
class WordCodes
{
public:
    void add(std::string_view code)
    {
        text_.resize(size_);
        text_.append(code).push_back(char(fieldEnd));
        size_ = text_.size();
        text_.append(codeScan::readAhead, char(fieldEnd));
    }
    bool holds(std::string_view code, const size_t (&probes)[2]) const
    {
        return codeScan::holdsCode(reinterpret_cast<const quint8 *>(text_.data()), 0, size_, code,
                                   probes);
    }

private:
    std::string text_;
    size_t size_ = 0;
};

} // namespace

// Writes the code of a table's fields in one pass, into a buffer sized from the sample and grown
// only when the sample fell short.
class FindIndex::Builder
{
public:
    Builder(FindIndex &index, const mdlZorv::CardTable &table, const std::vector<int> &fields);
    void build();

private:
    void appendField(QStringView field);
    quint32 foldedCode(char16_t unit);
    bool appendUnchanged(QStringView field);
    void appendFolded(QStringView folded);
    size_t expectedBytes(const Sample &sampled) const;
    void makeRoom(size_t bytes);

    FindIndex &index_;
    const mdlZorv::CardTable &table_;
    const std::vector<int> &fields_;
    static constexpr quint32 notYet = 0xFFFFFFFF; // neither a code nor a code marked mayChange
    // foldedCode() of each unit, or notYet.
    std::unique_ptr<quint32[]> foldedCodes_ = std::make_unique_for_overwrite<quint32[]>(0x10000);
    std::vector<quint8> &text_;
    size_t size_ = 0; // of text_ written so far; text_ is its room
};

FindIndex::Builder::Builder(FindIndex &index, const mdlZorv::CardTable &table,
                            const std::vector<int> &fields)
    : index_(index), table_(table), fields_(fields), text_(index.text_)
{
    const Sample sampled = sample(table, fields);
    index_.codes_ = codesByFrequency(sampled);
    std::memset(foldedCodes_.get(), 0xFF, 0x10000 * sizeof(quint32)); // every unit notYet
    // With the read-ahead and the room each field asks for at the end, so that a text as long as
    // expected never grows, and is never copied to give back room it did not use.
    makeRoom(expectedBytes(sampled) + codeScan::readAhead + mostBytes(0));
}

// The sample's code bytes and field ends for every row, and a little more, seldom to grow.
size_t FindIndex::Builder::expectedBytes(const Sample &sampled) const
{
    double bytes = 0;
    for (const char16_t unit : sampled.seen)
        bytes += double(sampled.counts[unit]) * lengthOf(index_.codes_[unit]);
    const auto rowsPerSampled = double(sampleStep(table_.rowCount()));
    const double fieldEnds = double(table_.rowCount()) * double(fields_.size());
    return size_t(bytes * rowsPerSampled * 1.05 + fieldEnds);
}

void FindIndex::Builder::build()
{
    std::vector<quint32> &starts = index_.starts_;
    starts.reserve(size_t(table_.rowCount()) + 1);
    for (qsizetype row = 0; row < table_.rowCount(); ++row) {
        starts.push_back(quint32(size_));
        for (const int field : fields_)
            appendField(table_.view(field, row));
    }
    starts.push_back(quint32(size_));
    makeRoom(codeScan::readAhead);
    text_.resize(size_);
    text_.resize(size_ + codeScan::readAhead, fieldEnd);
    if (text_.capacity() - text_.size() > size_ / 8)
        text_.shrink_to_fit();
}

void FindIndex::Builder::appendField(QStringView field)
{
    makeRoom(mostBytes(field.size()));
    if (!appendUnchanged(field)) {
        const QString folded = textFold::fold(field);
        makeRoom(mostBytes(folded.size()));
        appendFolded(folded);
    }
    text_[size_++] = fieldEnd;
}

// The code of what a unit folds to, when folding it alone is folding it anywhere, or mayChange;
// looked up on first use, which spares small tables the cost of every unit.
quint32 FindIndex::Builder::foldedCode(char16_t unit)
{
    quint32 &code = foldedCodes_[unit];
    if (code == notYet) {
        const quint32 folded = unitFolds()[unit];
        code = index_.codes_[folded & unitMask] | (folded & mayChange);
    }
    return code;
}

// Each code is written as four bytes and the pointer moved on by its length: makeRoom leaves
// room for the last one.
bool FindIndex::Builder::appendUnchanged(QStringView field)
{
    quint8 *out = text_.data() + size_;
    for (const QChar c : field) {
        quint32 code = foldedCodes_[c.unicode()];
        if (code & mayChange) { // not looked up yet, or folding may change it
            code = foldedCode(c.unicode());
            if (code & mayChange)
                return false;
        }
        qToLittleEndian(code, out);
        out += lengthOf(code);
    }
    size_ = size_t(out - text_.data());
    return true;
}

void FindIndex::Builder::appendFolded(QStringView folded)
{
    quint8 *out = text_.data() + size_;
    for (const QChar c : folded) {
        const quint32 code = index_.codes_[c.unicode()];
        qToLittleEndian(code, out);
        out += lengthOf(code);
    }
    size_ = size_t(out - text_.data());
}

// Rows start at 32-bit places, so the code must stay below four billion bytes.
void FindIndex::Builder::makeRoom(size_t bytes)
{
    const size_t needed = size_ + bytes;
    if (needed > std::numeric_limits<quint32>::max())
        throw std::bad_alloc();
    if (needed <= text_.size())
        return;
    const size_t room = std::max(needed, text_.size() + text_.size() / 4);
    text_.reserve(room);
    // Searched far more often than built: huge pages spare the searches most address misses.
    mdlZorv::adviseHugePages(text_.data(), room);
    text_.resize(room);
}

FindIndex::FindIndex(const mdlZorv::CardTable &table, const std::vector<int> &fields)
{
    Builder(*this, table, fields).build();
}

bool FindIndex::matches(qsizetype row, const QStringList &words) const
{
    if (row < 0 || row >= qsizetype(starts_.size()) - 1)
        return words.isEmpty(); // a row the table does not have holds no word
    return !narrow(mdlZorv::RowList{quint32(row)}, words).empty();
}

mdlZorv::RowList FindIndex::narrow(const mdlZorv::RowList &rows, const QStringList &words) const
{
    if (words.isEmpty())
        return rows;
    return narrow(rows, needles(words));
}

FindIndex::Needle FindIndex::needle(QStringView word) const
{
    Needle needle;
    std::vector<std::pair<quint32, size_t>> characters; // the rarity and place of each one's code
    for (const QChar c : word) {
        const quint32 code = codes_[c.unicode()];
        characters.emplace_back(rarityOf(code), needle.bytes.size());
        for (int byte = 0; byte < lengthOf(code); ++byte)
            needle.bytes.push_back(char(code >> (8 * byte)));
    }
    // The two rarest characters are compared first; a word of one compares its first and last
    // byte.
    const auto rarest = characters.begin() + std::min<qsizetype>(2, word.size());
    std::partial_sort(characters.begin(), rarest, characters.end(), std::greater<>());
    needle.rarity = characters[0].first;
    const size_t first = characters[0].second;
    const size_t second = characters.size() > 1 ? characters[1].second : needle.bytes.size() - 1;
    needle.probes[0] = std::min(first, second);
    needle.probes[1] = std::max(first, second);
    return needle;
}

// Longest first, so that a word can only lie inside words kept before it.
std::vector<FindIndex::Needle> FindIndex::needles(const QStringList &words) const
{
    QStringList distinct = words;
    distinct.removeDuplicates();
    distinct.removeAll(QString()); // the empty word lies in every text
    std::vector<Needle> all;
    for (const QString &word : std::as_const(distinct))
        all.push_back(needle(word));
    std::stable_sort(all.begin(), all.end(), [](const Needle &a, const Needle &b) {
        return a.bytes.size() > b.bytes.size();
    });
    std::vector<Needle> kept;
    WordCodes keptCodes;
    for (Needle &needle : all) {
        if (!keptCodes.holds(needle.bytes, needle.probes)) {
            keptCodes.add(needle.bytes);
            kept.push_back(std::move(needle));
        }
    }
    std::stable_sort(kept.begin(), kept.end(),
                     [](const Needle &a, const Needle &b) { return a.rarity > b.rarity; });
    return kept;
}

mdlZorv::RowList FindIndex::narrow(const mdlZorv::RowList &rows,
                                   const std::vector<Needle> &needles) const
{
    if (needles.empty())
        return rows;
    return rowOrder::narrowAnyOrder(
        rows, qsizetype(starts_.size() - 1),
        [&](const mdlZorv::RowList &increasing) { return rowsHolding(increasing, needles); });
}

// The rarest word is searched for over rows that follow each other in the table as one stretch
// of code; the others only in each row it is found in, while the row is at hand.
mdlZorv::RowList FindIndex::rowsHolding(const mdlZorv::RowList &rows,
                                        const std::vector<Needle> &needles) const
{
    mdlZorv::RowList found;
    found.reserve(rows.size()); // pages never written cost nothing
    for (size_t first = 0; first < rows.size();) {
        size_t last = first;
        while (last + 1 < rows.size() && rows[last + 1] == rows[last] + 1)
            ++last;
        findInRun(size_t(rows[first]), size_t(rows[last]), needles, found);
        first = last + 1;
    }
    return found;
}

// Once a row holds the rarest word, the search goes on from the next row's start.
void FindIndex::findInRun(size_t first, size_t last, const std::vector<Needle> &needles,
                          mdlZorv::RowList &found) const
{
    const Needle &rarest = needles.front();
    size_t row = first;
    codeScan::forEachPlace(text_.data(), starts_[first], starts_[last + 1], rarest.bytes,
                           rarest.probes, [&](size_t at) {
                               while (starts_[row + 1] <= at)
                                   ++row;
                               if (needles.size() == 1 || holdsOthers(row, needles))
                                   found.push_back(qsizetype(row));
                               return size_t(starts_[row + 1]);
                           });
}

bool FindIndex::holds(size_t row, const Needle &needle) const
{
    return codeScan::holdsCode(text_.data(), starts_[row], starts_[row + 1], needle.bytes,
                               needle.probes);
}

bool FindIndex::holdsOthers(size_t row, const std::vector<Needle> &needles) const
{
    return std::all_of(needles.begin() + 1, needles.end(), [&](const Needle &needle) {
        return codeScan::holdsCode(text_.data(), starts_[row], starts_[row + 1], needle.bytes,
                                   needle.probes);
    });
}

// Rows given by value are the last ones when they are equal; shared ones when they are the same
// list, which spares comparing them, and holding a copy of them.
mdlZorv::RowList Narrowing::narrow(const mdlZorv::RowList &rows, const QStringList &words)
{
    const bool same = known_ && rows_ && *rows_ == rows;
    return *narrow(same ? rows_ : std::make_shared<const mdlZorv::RowList>(rows), words);
}

std::shared_ptr<const mdlZorv::RowList>
Narrowing::narrow(const std::shared_ptr<const mdlZorv::RowList> &rows, const QStringList &words)
{
    const bool sameRows = known_ && rows == rows_;
    found_ = std::make_shared<const mdlZorv::RowList>(
        readings_ ? narrowWithReadings(*rows, words, sameRows)
                  : narrowByText(*rows, words, sameRows));
    rows_ = rows;
    known_ = true;
    return found_;
}

mdlZorv::RowList Narrowing::narrowByText(const mdlZorv::RowList &rows, const QStringList &words,
                                         bool sameRows)
{
    std::vector<FindIndex::Needle> needles = index_->needles(words);
    mdlZorv::RowList found = sameRows && refines(needles) ? index_->narrow(*found_, added(needles))
                                                          : index_->narrow(rows, needles);
    needles_ = std::move(needles);
    return found;
}

void Narrowing::reset()
{
    *this = Narrowing(*index_, readings_);
}

mdlZorv::RowList Narrowing::narrowWithReadings(const mdlZorv::RowList &rows,
                                               const QStringList &words, bool sameRows)
{
    QStringList distinct = words;
    distinct.removeDuplicates();
    distinct.removeAll(QString());
    std::vector<Word> query;
    for (const QString &word : std::as_const(distinct))
        query.push_back({word, nameReadings::findKey(word)});
    mdlZorv::RowList found;
    if (sameRows && refines(query)) {
        std::vector<Word> added;
        std::copy_if(query.begin(), query.end(), std::back_inserter(added), [&](const Word &word) {
            return std::none_of(words_.begin(), words_.end(),
                                [&](const Word &last) { return last.text == word.text; });
        });
        found = matchingEvery(*found_, added);
    } else {
        found = matchingEvery(rows, query);
    }
    words_ = std::move(query);
    return found;
}

// Each word of the last query lies inside a new word whose matches are its own matches at most:
// a word of no key is found in the texts alone, which hold the last word too; a word with a key
// also by reading, which needs the last word's key inside its own.
bool Narrowing::refines(const std::vector<Word> &words) const
{
    return std::all_of(words_.begin(), words_.end(), [&](const Word &last) {
        return std::any_of(words.begin(), words.end(), [&](const Word &word) {
            return word.text.contains(last.text) &&
                   (word.key.empty() ||
                    (!last.key.empty() && word.key.find(last.key) != std::string::npos));
        });
    });
}

namespace {

// The rows of rows in either of two lists of some of them, each in the order of rows.
mdlZorv::RowList eitherOf(const mdlZorv::RowList &rows, mdlZorv::RowList a, mdlZorv::RowList b)
{
    mdlZorv::RowList both;
    both.reserve(a.size() + b.size());
    if (std::is_sorted(rows.begin(), rows.end())) {
        std::set_union(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(both));
        return both;
    }
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    std::copy_if(rows.begin(), rows.end(), std::back_inserter(both), [&](quint32 row) {
        return std::binary_search(a.begin(), a.end(), row) ||
               std::binary_search(b.begin(), b.end(), row);
    });
    return both;
}

} // namespace

// A row is found when every word lies in its texts or, for a word with a key, in its readings.
// The rarest word leads, as without readings: where no word has a key, or the rarest in the texts
// has none, the words without a key are searched for together as without readings; else the word
// with a key whose characters are rarest in the texts is searched for in the texts and in the
// readings. Each row found is then checked for the other words, while it is at hand.
mdlZorv::RowList Narrowing::matchingEvery(const mdlZorv::RowList &rows,
                                          const std::vector<Word> &words) const
{
    QStringList textOnly;
    const Word *lead = nullptr;
    quint32 leadRarity = 0;
    for (const Word &word : words) {
        if (word.key.empty()) {
            textOnly << word.text;
            continue;
        }
        const quint32 rarity = index_->needle(word.text).rarity;
        if (!lead || rarity > leadRarity) {
            lead = &word;
            leadRarity = rarity;
        }
    }
    if (!lead)
        return index_->narrow(rows, textOnly);
    const std::vector<FindIndex::Needle> textNeedles = index_->needles(textOnly);
    mdlZorv::RowList found;
    if (!textNeedles.empty() && textNeedles.front().rarity >= leadRarity) {
        found = index_->narrow(rows, textNeedles);
        lead = nullptr;
    } else {
        found = eitherOf(rows, index_->narrow(rows, QStringList{lead->text}),
                         readings_->narrow(rows, lead->key));
    }
    struct Check
    {
        FindIndex::Needle inTexts;
        ReadingIndex::Needle inReadings;
    };
    std::vector<Check> checks;
    for (const Word &word : words) {
        if (!word.key.empty() && &word != lead)
            checks.push_back({index_->needle(word.text), readings_->needle(word.key)});
    }
    std::erase_if(found, [&](quint32 row) {
        return !std::all_of(checks.begin(), checks.end(),
                            [&](const Check &check) {
                                return index_->holds(row, check.inTexts) ||
                                       readings_->holds(row, check.inReadings);
                            }) ||
               (lead && !std::all_of(textNeedles.begin(), textNeedles.end(),
                                     [&](const FindIndex::Needle &needle) {
                                         return index_->holds(row, needle);
                                     }));
    });
    return found;
}

// Every word of the last query lies inside one of the new words, the same words included.
bool Narrowing::refines(const std::vector<FindIndex::Needle> &needles) const
{
    std::unordered_set<std::string_view> same;
    WordCodes codes;
    for (const FindIndex::Needle &needle : needles) {
        same.insert(needle.bytes);
        codes.add(needle.bytes);
    }
    return std::all_of(needles_.begin(), needles_.end(), [&](const FindIndex::Needle &last) {
        return same.contains(last.bytes) || codes.holds(last.bytes, last.probes);
    });
}

// The new words the last query did not hold as they are: only those remain to be searched for.
std::vector<FindIndex::Needle> Narrowing::added(const std::vector<FindIndex::Needle> &needles) const
{
    std::unordered_set<std::string_view> last;
    for (const FindIndex::Needle &needle : needles_)
        last.insert(needle.bytes);
    std::vector<FindIndex::Needle> added;
    std::copy_if(needles.begin(), needles.end(), std::back_inserter(added),
                 [&](const FindIndex::Needle &needle) { return !last.contains(needle.bytes); });
    return added;
}

} // namespace cardFind
