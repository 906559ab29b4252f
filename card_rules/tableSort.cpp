#include "card_rules/tableSort.h"

#include "card_data/numberText.h"

#include <QHash>

#include <algorithm>
#include <future>
#include <numeric>
#include <system_error>

namespace tableSort {

namespace {

using mdlZorv::CardTable;

QLocale collationLocale()
{
    const QLocale system;
    return system.language() == QLocale::C ? QLocale(QLocale::Japanese, QLocale::Japan) : system;
}

// The place of each code in the order of its values; codes of equal values share a place.
struct Ranks
{
    std::vector<quint32> ofCode;
    quint32 count = 0;
};

// Ranks codes already in order; equal(a, b) tells neighbours of equal values.
template <typename Equal>
Ranks rankInOrder(const std::vector<quint32> &ordered, size_t codeCount, Equal equal)
{
    Ranks ranks{std::vector<quint32>(codeCount), 0};
    for (size_t i = 0; i < ordered.size(); ++i) {
        if (i > 0 && !equal(ordered[i - 1], ordered[i]))
            ++ranks.count;
        ranks.ofCode[ordered[i]] = ranks.count;
    }
    if (!ordered.empty())
        ++ranks.count;
    return ranks;
}

// Places each row by its rank (rankOf takes a position in rows), counting how many
// rows each rank holds first. Rows of one rank are placed in the order they come, whichever the
// direction, so that equal rows keep the list's order.
template <typename RankOf>
mdlZorv::RowList placeByRank(const mdlZorv::RowList &rows, RankOf rankOf, quint32 rankCount,
                             Qt::SortOrder order)
{
    // Rows the order does not know (rank rankCount) go last either way, in their order.
    const auto slot = [&](size_t i) {
        const quint32 rank = rankOf(i);
        return order == Qt::AscendingOrder || rank == rankCount ? rank : rankCount - 1 - rank;
    };
    std::vector<size_t> next(size_t(rankCount) + 2); // where the rows of each slot go next
    for (size_t i = 0; i < rows.size(); ++i)
        ++next[slot(i) + 1];
    std::partial_sum(next.begin(), next.end(), next.begin());
    mdlZorv::RowList sorted(rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        sorted[next[slot(i)]++] = rows[i];
    return sorted;
}

Ranks rankNumbers(const std::vector<double> &numbers)
{
    std::vector<quint32> codes(numbers.size());
    std::iota(codes.begin(), codes.end(), 0);
    std::sort(codes.begin(), codes.end(),
              [&](quint32 a, quint32 b) { return numbers[a] < numbers[b]; });
    return rankInOrder(codes, numbers.size(),
                       [&](quint32 a, quint32 b) { return numbers[a] == numbers[b]; });
}

// The distinct texts of a field, and the number of each row's text among them. They are numbered
// here, not kept by the table, which keeps codes only of the fields the searches compare.
struct ListedTexts
{
    std::vector<QStringView> values;
    std::vector<quint32> codes; // of each position in the list
};

// Numbers are read once per distinct text, as the searches read them.
std::vector<double> readNumbers(const std::vector<QStringView> &values)
{
    std::vector<double> numbers;
    numbers.reserve(values.size());
    for (const QStringView value : values)
        numbers.push_back(mdlZorv::readNumber(value));
    return numbers;
}

// An open-addressing table sized for the list from the start, so that it never grows.
ListedTexts listedTexts(const CardTable &table, const mdlZorv::RowList &rows, int field)
{
    size_t slotCount = 64;
    while (slotCount < rows.size() * 2)
        slotCount *= 2;
    std::vector<quint32> slots(slotCount); // a code plus one, or 0: empty
    ListedTexts texts;
    texts.codes.reserve(rows.size());
    for (const qsizetype row : rows) {
        const QStringView text = table.view(field, row);
        size_t slot = qHash(text) & (slotCount - 1);
        while (slots[slot] != 0 && texts.values[slots[slot] - 1] != text)
            slot = (slot + 1) & (slotCount - 1);
        if (slots[slot] == 0) {
            texts.values.push_back(text);
            slots[slot] = quint32(texts.values.size());
        }
        texts.codes.push_back(slots[slot] - 1);
    }
    return texts;
}

// A text's collation key, made from the text where it lies, and the text's code.
struct Keyed
{
    Keyed(const QCollator &collator, QStringView text, quint32 textCode)
        : key(collator.sortKey(QString::fromRawData(text.data(), text.size()))), code(textCode)
    {}

    QCollatorSortKey key;
    quint32 code;

    bool operator<(const Keyed &other) const { return key.compare(other.key) < 0; }
    // QCollatorSortKey has no move constructor in Qt 6.4: a swap of its own spares every swap
    // of a sort the reference counting of a copy.
    friend void swap(Keyed &a, Keyed &b) noexcept
    {
        a.key.swap(b.key);
        std::swap(a.code, b.code);
    }
};

// The collation keys of values first to last, sorted. The keys themselves are sorted, not their
// indices, which spares a look-up in another array for every comparison. Each call makes a
// collator of its own, as one collator may not serve two threads.
std::vector<Keyed> sortedKeys(const std::vector<QStringView> &values, size_t first, size_t last,
                              const QLocale &locale)
{
    const QCollator collator(locale);
    std::vector<Keyed> keyed;
    keyed.reserve(last - first);
    for (size_t code = first; code < last; ++code)
        keyed.emplace_back(collator, values[code], quint32(code));
    std::sort(keyed.begin(), keyed.end());
    return keyed;
}

// Puts keys back in the order they were made before they are freed: freeing them in the order
// of their texts, scattered over memory, costs the allocator more than this sort (a million
// cards: 0.17 s less in all).
void orderAsMade(std::vector<Keyed> &keyed)
{
    std::sort(keyed.begin(), keyed.end(),
              [](const Keyed &a, const Keyed &b) { return a.code < b.code; });
}

// Runs work on a thread of its own where one can be had, else when its result is asked for.
template <typename Work> std::future<std::invoke_result_t<Work>> startAside(Work work)
{
    try {
        return std::async(std::launch::async, work);
    } catch (const std::system_error &) {
        return std::async(std::launch::deferred, std::move(work));
    }
}

// Ranks texts by collation. Making keys and sorting them take most of a text sort, so a long
// list is split in two halves done side by side; their keys are then ranked as they merge.
Ranks rankTexts(const std::vector<QStringView> &values)
{
    constexpr size_t worthSplitting = 20'000;
    const QLocale locale = collationLocale();
    std::vector<Keyed> first;
    std::vector<Keyed> rest;
    if (values.size() < worthSplitting) {
        first = sortedKeys(values, 0, values.size(), locale);
    } else {
        const size_t half = values.size() / 2;
        auto second = startAside([&] { return sortedKeys(values, half, values.size(), locale); });
        first = sortedKeys(values, 0, half, locale);
        rest = second.get();
    }
    Ranks ranks{std::vector<quint32>(values.size()), 0};
    const QCollatorSortKey *previous = nullptr;
    for (size_t i = 0, j = 0; i < first.size() || j < rest.size();) {
        const bool fromRest = i == first.size() || (j < rest.size() && rest[j] < first[i]);
        const Keyed &next = fromRest ? rest[j++] : first[i++];
        if (previous && previous->compare(next.key) != 0)
            ++ranks.count;
        ranks.ofCode[next.code] = ranks.count;
        previous = &next.key;
    }
    if (previous)
        ++ranks.count;
    orderAsMade(first);
    orderAsMade(rest);
    return ranks;
}

} // namespace

QCollator textCollator()
{
    return QCollator(collationLocale());
}

// The table is only read, so that the order may be worked out on any thread: a number column by
// its codes where their numbers are read already (the searched ones are, from loading on), any
// other column by its text.
ColumnOrder::ColumnOrder(const CardTable &table, const tableColumns::Column &column,
                         const cardFind::ReadingIndex *readings)
{
    if (column.sorting == tableColumns::Sorting::Reading && readings) {
        *this = ColumnOrder(table.rowCount(), [&](qsizetype row) {
            QString reading = readings->reading(row);
            return reading.isEmpty() ? table.view(mdlZorv::CardField::Name, row).toString()
                                     : reading;
        });
        return;
    }
    const int field =
        column.sorting == tableColumns::Sorting::Reading ? mdlZorv::CardField::Name : column.field;
    if (column.sorting == tableColumns::Sorting::Number) {
        if (const mdlZorv::FieldCodes *codes = table.codedNumbers(column.field)) {
            rankByCodes(*codes);
            return;
        }
    }
    mdlZorv::RowList every(size_t(table.rowCount()));
    std::iota(every.begin(), every.end(), 0);
    const ListedTexts texts = listedTexts(table, every, field);
    const Ranks ranks = column.sorting == tableColumns::Sorting::Number
                            ? rankNumbers(readNumbers(texts.values))
                            : rankTexts(texts.values);
    rankCount_ = ranks.count;
    rankOfRow_.reserve(texts.codes.size());
    for (const quint32 code : texts.codes)
        rankOfRow_.push_back(ranks.ofCode[code]);
}

void ColumnOrder::rankByCodes(const mdlZorv::FieldCodes &codes)
{
    const Ranks ranks = rankNumbers(codes.numbers);
    rankCount_ = ranks.count;
    std::visit(
        [&](const auto &rowCodes) {
            rankOfRow_.reserve(rowCodes.size());
            for (const auto code : rowCodes)
                rankOfRow_.push_back(ranks.ofCode[code]);
        },
        codes.rowCodes);
}

ColumnOrder::ColumnOrder(qsizetype rowCount, const std::function<QString(qsizetype)> &textOfRow)
{
    std::vector<QString> texts;
    QHash<QString, quint32> codeOfText;
    rankOfRow_.reserve(size_t(rowCount));
    for (qsizetype row = 0; row < rowCount; ++row) {
        QString text = textOfRow(row);
        auto known = codeOfText.constFind(text);
        if (known == codeOfText.constEnd()) {
            known = codeOfText.insert(text, quint32(texts.size()));
            texts.push_back(std::move(text));
        }
        rankOfRow_.push_back(*known); // the text's code, for now
    }
    const Ranks ranks = rankTexts(std::vector<QStringView>(texts.begin(), texts.end()));
    rankCount_ = ranks.count;
    for (quint32 &rank : rankOfRow_)
        rank = ranks.ofCode[rank];
}

mdlZorv::RowList ColumnOrder::sorted(const mdlZorv::RowList &rows, Qt::SortOrder order) const
{
    return placeByRank(
        rows,
        [&](size_t i) {
            return rows[i] < rankOfRow_.size() ? rankOfRow_[size_t(rows[i])] : rankCount_;
        },
        rankCount_, order);
}

mdlZorv::RowList sortedRows(const CardTable &table, const mdlZorv::RowList &rows,
                            const tableColumns::Column &column, Qt::SortOrder order,
                            const cardFind::ReadingIndex *readings)
{
    return ColumnOrder(table, column, readings).sorted(rows, order);
}

} // namespace tableSort
