#include "card_rules/readingIndex.h"

#include "card_rules/codeScan.h"
#include "card_rules/rowOrder.h"

#include <algorithm>
#include <cstring>
#include <future>
#include <iterator>
#include <limits>
#include <new>
#include <numeric>
#include <system_error>

namespace cardFind {

namespace {

using nameReadings::keyBreak;

// Rows start at 32-bit places, so either text must stay below four billion bytes.
constexpr size_t mostBytes = std::numeric_limits<quint32>::max() - codeScan::readAhead;

// A table this long is read in two halves side by side.
constexpr qsizetype worthSplitting = 20'000;

// Runs work on a thread of its own where one can be had, else when its result is asked for.
template <typename Work> std::future<std::invoke_result_t<Work>> startAside(Work work)
{
    try {
        return std::async(std::launch::async, work);
    } catch (const std::system_error &) {
        return std::async(std::launch::deferred, std::move(work));
    }
}

} // namespace

// The readings of some rows of a table: the keys of every row's readings, each once and followed
// by a key break, and the reading shown, each with where its rows start (from 0 for the first).
struct ReadingIndex::Part
{
    std::vector<quint8> keys; // its room; keySize bytes are written
    size_t keySize = 0;
    std::vector<quint32> keyStarts;
    std::vector<quint8> shown;
    std::vector<quint32> shownStarts;

    void add(std::string_view shownReading, const std::vector<std::string_view> &keysOfRow);
};

void ReadingIndex::Part::add(std::string_view shownReading,
                             const std::vector<std::string_view> &keysOfRow)
{
    size_t bytes = shownReading.size();
    for (const std::string_view key : keysOfRow)
        bytes += key.size() + 1;
    if (keySize + bytes > mostBytes || shown.size() + bytes > mostBytes)
        throw std::bad_alloc();
    if (keySize + bytes > keys.size())
        keys.resize(std::max(keySize + bytes, keys.size() + keys.size() / 2));
    keyStarts.push_back(quint32(keySize));
    shownStarts.push_back(quint32(shown.size()));
    shown.insert(shown.end(), shownReading.begin(), shownReading.end());
    for (const std::string_view key : keysOfRow) {
        std::copy(key.begin(), key.end(), keys.begin() + qsizetype(keySize));
        keySize += key.size();
        keys[keySize++] = keyBreak;
    }
}

namespace {

// Rows first to last of a table, each read by reader.
template <typename Part>
Part readRows(const mdlZorv::CardTable &table, int nameField,
              const nameReadings::Dictionary &dictionary, qsizetype first, qsizetype last)
{
    // Room for most names at once: keys take about as many bytes a reading as a name has
    // characters, and most names have three or four readings.
    constexpr size_t keyBytesPerRow = 40;
    constexpr size_t shownBytesPerRow = 16;
    Part part;
    const auto rows = size_t(last - first);
    part.keyStarts.reserve(rows + 1);
    part.shownStarts.reserve(rows + 1);
    part.keys.resize(rows * keyBytesPerRow);
    part.shown.reserve(rows * shownBytesPerRow);
    nameReadings::Reader reader(dictionary);
    std::string_view shown;
    for (qsizetype row = first; row < last; ++row) {
        const std::vector<std::string_view> &keys =
            reader.readingKeys(table.view(nameField, row), shown);
        part.add(shown, keys);
    }
    return part;
}

// Appends numbers, each moved on by offset.
void appendMoved(std::vector<quint32> &to, const std::vector<quint32> &numbers, size_t offset)
{
    if (offset + (numbers.empty() ? 0 : numbers.back()) > mostBytes)
        throw std::bad_alloc();
    for (const quint32 number : numbers)
        to.push_back(quint32(number + offset));
}

} // namespace

ReadingIndex::ReadingIndex(const mdlZorv::CardTable &table, int nameField,
                           const nameReadings::Dictionary &dictionary)
{
    const qsizetype rows = table.rowCount();
    const qsizetype half = rows >= worthSplitting ? rows / 2 : rows;
    std::future<Part> second =
        startAside([&] { return readRows<Part>(table, nameField, dictionary, half, rows); });
    Part first = readRows<Part>(table, nameField, dictionary, 0, half);
    const Part rest = second.get();

    const size_t keySize = first.keySize + rest.keySize;
    keys_ = std::move(first.keys);
    keys_.resize(keySize + codeScan::readAhead);
    std::copy_n(rest.keys.begin(), rest.keySize, keys_.begin() + qsizetype(first.keySize));
    std::fill(keys_.begin() + qsizetype(keySize), keys_.end(), keyBreak);
    keys_.shrink_to_fit();
    keyStarts_ = std::move(first.keyStarts);
    appendMoved(keyStarts_, rest.keyStarts, first.keySize);
    keyStarts_.push_back(quint32(keySize));
    shown_ = std::move(first.shown);
    shownStarts_ = std::move(first.shownStarts);
    appendMoved(shownStarts_, rest.shownStarts, shown_.size());
    shown_.insert(shown_.end(), rest.shown.begin(), rest.shown.end());
    shownStarts_.push_back(quint32(shown_.size()));
    shown_.shrink_to_fit();
    for (size_t at = 0; at < keySize; ++at)
        ++byteCounts_[keys_[at]];
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
    const Needle found = needle(key);
    return rowOrder::narrowAnyOrder(rows, rowCount(), [&](const mdlZorv::RowList &increasing) {
        return rowsHolding(increasing, found);
    });
}

ReadingIndex::Needle ReadingIndex::needle(std::string_view key) const
{
    Needle needle{std::string(key), {0, key.size() - 1}};
    if (key.size() > 1) {
        std::vector<size_t> places(key.size());
        std::iota(places.begin(), places.end(), 0);
        std::partial_sort(places.begin(), places.begin() + 2, places.end(),
                          [&](size_t a, size_t b) {
                              return byteCounts_[quint8(key[a])] < byteCounts_[quint8(key[b])];
                          });
        needle.probes[0] = std::min(places[0], places[1]);
        needle.probes[1] = std::max(places[0], places[1]);
    }
    return needle;
}

bool ReadingIndex::holds(size_t row, const Needle &needle) const
{
    return codeScan::holdsCode(keys_.data(), keyStarts_[row], keyStarts_[row + 1], needle.key,
                               needle.probes);
}

// As FindIndex does: the key is searched for over rows that follow each other in the table as one
// stretch, comparing its two rarest bytes first, and once a row holds it the search goes on from
// the next row's start.
mdlZorv::RowList ReadingIndex::rowsHolding(const mdlZorv::RowList &rows, const Needle &needle) const
{
    mdlZorv::RowList found;
    for (size_t first = 0; first < rows.size();) {
        size_t last = first;
        while (last + 1 < rows.size() && rows[last + 1] == rows[last] + 1)
            ++last;
        size_t row = rows[first];
        codeScan::forEachPlace(keys_.data(), keyStarts_[rows[first]], keyStarts_[rows[last] + 1],
                               needle.key, needle.probes, [&](size_t at) {
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
