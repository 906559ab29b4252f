#pragma once

#include "card_data/cardFields.h"
#include "card_data/cardTable.h"

#include <QStringList>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Finding cards by the words of a text, in their number, name and effect text: both sides are
// folded alike (see textFold) and then matched literally. A row is found when every word occurs in
// one of its texts; no words find every row.
namespace cardFind {

// The fields find looks in, in the monster and the magic table: card number, name, effect text.
inline const std::vector<int> monsterFields = {mdlZorv::CardField::Number, mdlZorv::CardField::Name,
                                               mdlZorv::CardField::Effect};
inline const std::vector<int> magicFields = {mdlZorv::MagicField::Number, mdlZorv::MagicField::Name,
                                             mdlZorv::MagicField::Effect};

// The folded texts of chosen fields of every row of a table, made once, so that finding costs
// no folding while the user types. It holds no reference to the table and never changes once
// made, so it may be built on any thread and read from any number at once.
//
// The texts are kept in a compact byte code of the index's own: the characters most frequent in
// the table take one byte, the rest two or three, and a byte no character uses ends each field.
// A word is searched for in the same code over the texts of many rows at once.
class FindIndex
{
public:
    // Throws std::bad_alloc when the texts do not fit in memory or take four billion bytes.
    FindIndex(const mdlZorv::CardTable &table, const std::vector<int> &fields);

    bool matches(qsizetype row, const QStringList &words) const;
    // The rows that match, in their order; fastest for rows in increasing order, as the searches
    // give them.
    mdlZorv::RowList narrow(const mdlZorv::RowList &rows, const QStringList &words) const;
    // The bytes of the folded texts: what one search of every row reads at the least.
    size_t textBytes() const { return text_.size(); }

private:
    friend class Narrowing;
    class Builder;

    // A word in the index's code, with what searching for it needs.
    struct Needle
    {
        std::string bytes;
        quint32 rarity = 0; // of its rarest character: the larger, the fewer rows hold it
        size_t probes[2]{}; // two places of rare bytes, compared first, the first before
    };

    Needle needle(QStringView word) const;
    // The words to search for: each once, none that lies inside another, the rarest first.
    std::vector<Needle> needles(const QStringList &words) const;
    // The rows of rows whose texts hold every needle, in their order.
    mdlZorv::RowList narrow(const mdlZorv::RowList &rows, const std::vector<Needle> &needles) const;
    mdlZorv::RowList rowsHolding(const mdlZorv::RowList &rows,
                                 const std::vector<Needle> &needles) const;
    void findInRun(size_t first, size_t last, const std::vector<Needle> &needles,
                   mdlZorv::RowList &found) const;
    bool holds(size_t row, const Needle &needle) const;
    bool holdsOthers(size_t row, const std::vector<Needle> &needles) const;

    std::vector<quint32> codes_;  // the code of every UTF-16 code unit (bytes, length)
    std::vector<quint8> text_;    // every row's fields in code, each followed by a field end
    std::vector<quint32> starts_; // where each row's code starts, and one past the last row
};

class ReadingIndex;

// Narrows rows keystroke by keystroke: a query that only refines the last one (every word of the
// last lies inside a word of the new one) narrows the last result rather than all rows. It keeps
// the rows, the words and the result of the last query for one index, which must outlive it, and
// starts afresh whenever the rows differ from the last; reset() forgets them and their memory.
//
// Given the reading index of the same table, a word in kana or Latin letters also finds the rows
// whose name reads so (ReadingIndex, nameReadings::findKey): a row is found when every word
// matches it, each either in its texts, as without readings, or in its name's readings.
//   "かじ" -> 鍛冶師 (かじし) as well as かじき丸     "ryukishi" -> 竜騎士 (りゅうきし)
// A word of other characters is matched in the texts alone.
class Narrowing
{
public:
    explicit Narrowing(const FindIndex &index, const ReadingIndex *readings = nullptr)
        : index_(&index), readings_(readings)
    {}

    // The same rows as FindIndex::narrow, and with a reading index those found by reading too.
    mdlZorv::RowList narrow(const mdlZorv::RowList &rows, const QStringList &words);
    // The same for rows shared with others (a page's list), which it keeps rather than a copy.
    std::shared_ptr<const mdlZorv::RowList>
    narrow(const std::shared_ptr<const mdlZorv::RowList> &rows, const QStringList &words);
    void reset();

private:
    // A find word and the key of its kana, empty where it has none.
    struct Word
    {
        QString text;
        std::string key;
    };

    bool refines(const std::vector<FindIndex::Needle> &needles) const;
    std::vector<FindIndex::Needle> added(const std::vector<FindIndex::Needle> &needles) const;
    mdlZorv::RowList narrowByText(const mdlZorv::RowList &rows, const QStringList &words,
                                  bool sameRows);
    mdlZorv::RowList narrowWithReadings(const mdlZorv::RowList &rows, const QStringList &words,
                                        bool sameRows);
    bool refines(const std::vector<Word> &words) const;
    mdlZorv::RowList matchingEvery(const mdlZorv::RowList &rows,
                                   const std::vector<Word> &words) const;

    const FindIndex *index_;
    const ReadingIndex *readings_;
    bool known_ = false;
    std::shared_ptr<const mdlZorv::RowList> rows_;
    std::vector<FindIndex::Needle> needles_;
    std::vector<Word> words_;
    std::shared_ptr<const mdlZorv::RowList> found_;
};

} // namespace cardFind
