#include "card_rules/readingIndex.h"

#include "card_rules/codeScan.h"
#include "card_rules/rowOrder.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <limits>
#include <new>
#include <numeric>

namespace cardFind {

namespace {

using nameReadings::keyBreak;

// Room enough for most names at once: readings take about twice as many bytes as names have
// characters, a few readings each.
constexpr size_t expectedKeyBytesPerRow = 48;
constexpr size_t expectedShownBytesPerRow = 24;

} // namespace

ReadingIndex::ReadingIndex(const mdlZorv::CardTable &table, int nameField,
                           const nameReadings::Dictionary &dictionary)
{
    const auto rows = size_t(table.rowCount());
    keyStarts_.reserve(rows + 1);
    shownStarts_.reserve(rows + 1);
    keys_.reserve(rows * expectedKeyBytesPerRow / 2);
    shown_.reserve(rows * expectedShownBytesPerRow / 2);
    nameReadings::Reader reader(dictionary);
    for (qsizetype row = 0; row < table.rowCount(); ++row)
        addRow(reader.readingCodes(table.view(nameField, row)));
    keyStarts_.push_back(quint32(keys_.size()));
    shownStarts_.push_back(quint32(shown_.size()));
    for (const quint8 byte : keys_)
        ++byteCounts_[byte];
    keys_.resize(keys_.size() + codeScan::readAhead, keyBreak);
    keys_.shrink_to_fit();
    shown_.shrink_to_fit();
    key_ = std::string();
}

// Rows start at 32-bit places, so either text must stay below four billion bytes.
void ReadingIndex::makeRoom(size_t bytes)
{
    constexpr size_t most = std::numeric_limits<quint32>::max() - codeScan::readAhead;
    if (keys_.size() + bytes > most || shown_.size() + bytes > most)
        throw std::bad_alloc();
}

void ReadingIndex::addRow(const std::vector<std::string> &readings)
{
    const auto rowStart = quint32(keys_.size());
    keyStarts_.push_back(rowStart);
    shownStarts_.push_back(quint32(shown_.size()));
    size_t bytes = 0;
    for (const std::string &reading : readings)
        bytes += reading.size() + 1;
    makeRoom(bytes);
    if (!readings.empty())
        shown_.insert(shown_.end(), readings.front().begin(), readings.front().end());
    for (const std::string &reading : readings) {
        key_ = nameReadings::tolerantKey(reading);
        key_.push_back(char(keyBreak));
        // Readings that differ only in what the key forgives come to the same key: kept once.
        const std::string_view row(reinterpret_cast<const char *>(keys_.data()) + rowStart,
                                   keys_.size() - rowStart);
        if (!(row.starts_with(key_) || row.find(char(keyBreak) + key_) != std::string_view::npos))
            keys_.insert(keys_.end(), key_.begin(), key_.end());
    }
}

QString ReadingIndex::reading(qsizetype row) const
{
    if (row < 0 || row >= rowCount())
        return {};
    const quint32 start = shownStarts_[size_t(row)];
    return nameReadings::readingText(
        std::string_view(reinterpret_cast<const char *>(shown_.data()) + start,
                         shownStarts_[size_t(row) + 1] - start));
}

size_t ReadingIndex::byteSize() const
{
    return keys_.capacity() + shown_.capacity() +
           sizeof(quint32) * (keyStarts_.capacity() + shownStarts_.capacity());
}

mdlZorv::RowList ReadingIndex::narrow(const mdlZorv::RowList &rows, std::string_view key) const
{
    if (key.empty())
        return {};
    return rowOrder::narrowAnyOrder(rows, rowCount(), [&](const mdlZorv::RowList &increasing) {
        return rowsHolding(increasing, key);
    });
}

// As FindIndex does: the key is searched for over rows that follow each other in the table as
// one stretch, comparing its two rarest bytes first, and once a row holds it the search goes on
// from the next row's start.
mdlZorv::RowList ReadingIndex::rowsHolding(const mdlZorv::RowList &rows,
                                           std::string_view needle) const
{
    size_t probes[2] = {0, needle.size() - 1};
    if (needle.size() > 1) {
        std::vector<size_t> places(needle.size());
        std::iota(places.begin(), places.end(), 0);
        std::partial_sort(
            places.begin(), places.begin() + 2, places.end(), [&](size_t a, size_t b) {
                return byteCounts_[quint8(needle[a])] < byteCounts_[quint8(needle[b])];
            });
        probes[0] = std::min(places[0], places[1]);
        probes[1] = std::max(places[0], places[1]);
    }
    mdlZorv::RowList found;
    for (size_t first = 0; first < rows.size();) {
        size_t last = first;
        while (last + 1 < rows.size() && rows[last + 1] == rows[last] + 1)
            ++last;
        size_t row = rows[first];
        codeScan::forEachPlace(keys_.data(), keyStarts_[rows[first]], keyStarts_[rows[last] + 1],
                               needle, probes, [&](size_t at) {
                                   while (keyStarts_[row + 1] <= at)
                                       ++row;
                                   found.push_back(quint32(row));
                                   return size_t(keyStarts_[row + 1]);
                               });
        first = last + 1;
    }
    return found;
}

} // namespace cardFind
