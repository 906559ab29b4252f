#pragma once

#include "card_data/cardTable.h"
#include "card_rules/nameReadings.h"

#include <QString>

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace cardFind {

// The readings of the names of every row of a table (see nameReadings), made once: to find rows by
// how their names read, and to show and sort them by their reading. Like FindIndex it holds no
// reference to the table or the dictionary and never changes once made, so it may be built on any
// thread and read from any number at once.
//
// Each row's readings are kept as their keys (nameReadings::tolerantKey), one byte a kana, each
// once, each followed by a key break; a word's key is searched for over many rows at once, as
// FindIndex searches its texts. The reading shown is kept apart, in reading code.
class ReadingIndex
{
public:
    // Reads the rows of a long table in two halves side by side. Throws std::bad_alloc when the
    // readings do not fit in memory or take four billion bytes.
    ReadingIndex(const mdlZorv::CardTable &table, int nameField,
                 const nameReadings::Dictionary &dictionary);

    qsizetype rowCount() const { return rowCount_; }
    // The reading of a row's name as shown: its first reading ("燐光の鍛冶師" -> りんこうのかじし);
    // empty for an empty name or a row the table does not have.
    QString reading(qsizetype row) const;
    // The rows of rows (in their order) with a reading whose key holds key (nameReadings::findKey);
    // none for an empty key.
    mdlZorv::RowList narrow(const mdlZorv::RowList &rows, std::string_view key) const;
    // The memory its readings take (room reserved but never written apart).
    size_t byteSize() const;

private:
    friend class Narrowing;

    // A key with the places of its two rarest bytes, compared first.
    struct Needle
    {
        std::string key;
        size_t probes[2]{};
    };
    Needle needle(std::string_view key) const;
    // Whether a row the index has holds the needle.
    bool holds(size_t row, const Needle &needle) const;
    mdlZorv::RowList rowsHolding(const mdlZorv::RowList &rows, const Needle &needle) const;

    // The readings of some rows, from firstRow on: the keys of every row's readings, each once and
    // followed by a key break, and the reading shown, each with where its rows start and one past
    // the last row's end. The two halves of a long table are kept as they were read, apart,
    // which spares joining them the memory of both twice.
    struct Part
    {
        qsizetype firstRow = 0;
        std::vector<quint8> keys; // readAhead key breaks after the last row's
        std::vector<quint32> keyStarts;
        std::vector<quint8> shown;
        std::vector<quint32> shownStarts;

        qsizetype rowCount() const { return qsizetype(shownStarts.size()) - 1; }
        void add(std::string_view shownReading, const std::vector<std::string_view> &keysOfRow);
        void findIn(const mdlZorv::RowList &rows, size_t from, size_t to, const Needle &needle,
                    mdlZorv::RowList &found) const;
    };
    const Part &partOf(qsizetype row) const
    {
        return row < parts_[1].firstRow ? parts_[0] : parts_[1];
    }

    std::array<Part, 2> parts_;
    qsizetype rowCount_ = 0;
    std::array<quint64, 256> byteCounts_{}; // of the keys, to compare a word's rarest bytes first
};

} // namespace cardFind
