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

void ReadingIndex::Part::add(std::string_view shownReading,
                             const std::vector<std::string_view> &keysOfRow)
{
    size_t bytes = shownReading.size();
    for (const std::string_view key : keysOfRow)
        bytes += key.size() + 1;
    if (keys.size() + bytes > mostBytes || shown.size() + bytes > mostBytes)
        throw std::bad_alloc();
    keyStarts.push_back(quint32(keys.size()));
    shownStarts.push_back(quint32(shown.size()));
    shown.insert(shown.end(), shownReading.begin(), shownReading.end());
    for (const std::string_view key : keysOfRow) {
        keys.insert(keys.end(), key.begin(), key.end());
        keys.push_back(keyBreak);
    }
}

namespace {

// Rows first to last of a table, each read by a reader of their own.
template <typename Part>
Part readRows(const mdlZorv::CardTable &table, int nameField,
              const nameReadings::Dictionary &dictionary, qsizetype first, qsizetype last)
{
    // Room reserved for more than most names need, so that the keys are seldom moved as they
    // grow: a name of realistic length has about 75 bytes of keys (four readings, some of them
    // again as their words' keys apart). Room never written takes no memory.
    constexpr size_t keyBytesPerRow = 96;
    constexpr size_t shownBytesPerRow = 24;
    Part part;
    part.firstRow = first;
    const auto rows = size_t(last - first);
    part.keyStarts.reserve(rows + 1);
    part.shownStarts.reserve(rows + 1);
    part.keys.reserve(rows * keyBytesPerRow + codeScan::readAhead);
    part.shown.reserve(rows * shownBytesPerRow);
    nameReadings::Reader reader(dictionary);
    std::string_view shown;
    for (qsizetype row = first; row < last; ++row) {
        const std::vector<std::string_view> &keys =
            reader.readingKeys(table.view(nameField, row), shown);
        part.add(shown, keys);
    }
    part.keyStarts.push_back(quint32(part.keys.size()));
    part.shownStarts.push_back(quint32(part.shown.size()));
    part.keys.resize(part.keys.size() + codeScan::readAhead, keyBreak);
    return part;
}

} // namespace

ReadingIndex::ReadingIndex(const mdlZorv::CardTable &table, int nameField,
                           const nameReadings::Dictionary &dictionary)
    : rowCount_(table.rowCount())
{
    const qsizetype half = rowCount_ >= worthSplitting ? rowCount_ / 2 : rowCount_;
    std::future<Part> second =
        startAside([&] { return readRows<Part>(table, nameField, dictionary, half, rowCount_); });
    parts_[0] = readRows<Part>(table, nameField, dictionary, 0, half);
    parts_[1] = second.get();
    for (const Part &part : parts_) {
        for (size_t at = 0; at < part.keyStarts.back(); ++at)
            ++byteCounts_[part.keys[at]];
    }
}

QString ReadingIndex::reading(qsizetype row) const
{
    if (row < 0 || row >= rowCount())
        return {};
    const Part &part = partOf(row);
    const auto local = size_t(row - part.firstRow);
    const quint32 start = part.shownStarts[local];
    return nameReadings::readingText(
        std::string_view(reinterpret_cast<const char *>(part.shown.data()) + start,
                         part.shownStarts[local + 1] - start));
}

size_t ReadingIndex::byteSize() const
{
    size_t bytes = 0;
    for (const Part &part : parts_) {
        bytes += part.keys.size() + part.shown.size() +
                 sizeof(quint32) * (part.keyStarts.size() + part.shownStarts.size());
    }
    return bytes;
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
    const Part &part = partOf(qsizetype(row));
    const auto local = size_t(qsizetype(row) - part.firstRow);
    return codeScan::holdsCode(part.keys.data(), part.keyStarts[local], part.keyStarts[local + 1],
                               needle.key, needle.probes);
}

mdlZorv::RowList ReadingIndex::rowsHolding(const mdlZorv::RowList &rows, const Needle &needle) const
{
    mdlZorv::RowList found;
    const auto inFirst = size_t(
        std::lower_bound(rows.begin(), rows.end(), quint32(parts_[1].firstRow)) - rows.begin());
    parts_[0].findIn(rows, 0, inFirst, needle, found);
    parts_[1].findIn(rows, inFirst, rows.size(), needle, found);
    return found;
}

// As FindIndex does: the key is searched for over rows that follow each other in the table as one
// stretch, comparing its two rarest bytes first, and once a row holds it the search goes on from
// the next row's start. rows from to to are the part's, in increasing order.
void ReadingIndex::Part::findIn(const mdlZorv::RowList &rows, size_t from, size_t to,
                                const Needle &needle, mdlZorv::RowList &found) const
{
    for (size_t first = from; first < to;) {
        size_t last = first;
        while (last + 1 < to && rows[last + 1] == rows[last] + 1)
            ++last;
        auto row = size_t(qsizetype(rows[first]) - firstRow);
        const auto end = size_t(qsizetype(rows[last]) - firstRow) + 1;
        codeScan::forEachPlace(keys.data(), keyStarts[row], keyStarts[end], needle.key,
                               needle.probes, [&](size_t at) {
                                   while (keyStarts[row + 1] <= at)
                                       ++row;
                                   found.push_back(quint32(qsizetype(row) + firstRow));
                                   return size_t(keyStarts[row + 1]);
                               });
        first = last + 1;
    }
}

} // namespace cardFind
