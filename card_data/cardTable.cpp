#include "card_data/cardTable.h"

#include "card_data/largeMemory.h"
#include "card_data/numberText.h"

#include <algorithm>
#include <limits>
#include <new>

namespace mdlZorv {

namespace {

// The kinds of a line's shape, in its top two bits.
constexpr quint32 kindMask = 3U << 30;
constexpr quint32 cutWhenAsked = 0; // a short line: the rest is its length
constexpr quint32 shortBounds = 1U << 30;
constexpr quint32 longBounds = 2U << 30;
constexpr qsizetype shortLine = 16; // lines shorter than this are cut again when asked for

quint32 checkedIndex(size_t index)
{
    if (index >= (size_t(1) << 30))
        throw std::bad_alloc();
    return quint32(index);
}

template <typename Position> BasicFieldBounds<Position> narrowed(const FieldBounds &bounds)
{
    BasicFieldBounds<Position> narrow;
    for (size_t i = 0; i < bounds.ends.size(); ++i)
        narrow.ends[i] = Position(bounds.ends[i]);
    narrow.wideSeparator = bounds.wideSeparator;
    return narrow;
}

} // namespace

qsizetype FieldCodes::rowCount() const
{
    return std::visit([](const auto &codes) { return qsizetype(codes.size()); }, rowCodes);
}

void FieldCoder::add(QStringView text)
{
    if (!hasLast_ || text != lastText_) {
        lastText_ = text;
        lastCode_ = codeOf(text);
        hasLast_ = true;
    }
    push(lastCode_);
}

FieldCodes FieldCoder::take()
{
    FieldCodes codes = std::move(codes_);
    *this = FieldCoder();
    return codes;
}

// The whole's coder sees the first part's values first and in order, so the first part's codes are
// the whole's already: they are taken as they are, and only later parts are coded again.
FieldCodes FieldCoder::join(std::vector<FieldCodes> parts)
{
    if (parts.empty())
        return {};
    FieldCoder whole;
    for (const QStringView value : parts.front().values)
        whole.codeOf(value);
    whole.codes_.rowCodes = std::move(parts.front().rowCodes);
    for (auto part = parts.begin() + 1; part != parts.end(); ++part) {
        std::vector<quint32> toWhole; // the whole's code of each of the part's codes
        toWhole.reserve(part->values.size());
        for (const QStringView value : part->values)
            toWhole.push_back(whole.codeOf(value));
        std::visit(
            [&](const auto &rowCodes) {
                for (const auto code : rowCodes)
                    whole.push(toWhole[code]);
            },
            part->rowCodes);
        part->rowCodes = {}; // its memory back at once
    }
    return whole.take();
}

quint32 FieldCoder::codeOf(QStringView text)
{
    std::vector<QStringView> &values = codes_.values;
    size_t slot = hash(text) & (slots_.size() - 1);
    for (; slots_[slot] != 0; slot = (slot + 1) & (slots_.size() - 1)) {
        if (values[slots_[slot] - 1] == text)
            return slots_[slot] - 1;
    }
    const auto code = quint32(values.size());
    values.push_back(text);
    slots_[slot] = code + 1;
    if (values.size() * 2 > slots_.size())
        growSlots();
    return code;
}

size_t FieldCoder::hash(QStringView text)
{
    size_t h = 14695981039346656037ULL; // FNV-1a
    for (const QChar c : text)
        h = (h ^ c.unicode()) * 1099511628211ULL;
    return h ^ (h >> 29);
}

void FieldCoder::growSlots()
{
    std::vector<quint32> old(slots_.size() * 2);
    old.swap(slots_);
    for (const quint32 entry : old) {
        if (entry == 0)
            continue;
        size_t slot = hash(codes_.values[entry - 1]) & (slots_.size() - 1);
        while (slots_[slot] != 0)
            slot = (slot + 1) & (slots_.size() - 1);
        slots_[slot] = entry;
    }
}

namespace {

// The same codes in wider cells.
template <typename Wide, typename Narrow>
std::vector<Wide> widened(const std::vector<Narrow> &codes)
{
    return std::vector<Wide>(codes.begin(), codes.end());
}

} // namespace

// Codes start a byte wide; the first code that does not fit widens every row's cell.
void FieldCoder::push(quint32 code)
{
    FieldCodes::RowCodes &rows = codes_.rowCodes;
    if (auto *bytes = std::get_if<std::vector<quint8>>(&rows)) {
        if (code <= std::numeric_limits<quint8>::max()) {
            bytes->push_back(quint8(code));
            return;
        }
        rows = widened<quint16>(*bytes);
    }
    if (auto *halves = std::get_if<std::vector<quint16>>(&rows)) {
        if (code <= std::numeric_limits<quint16>::max()) {
            halves->push_back(quint16(code));
            return;
        }
        rows = widened<quint32>(*halves);
    }
    std::get<std::vector<quint32>>(rows).push_back(code);
}

void CardText::Piece::reserveLines(size_t count)
{
    reserveExactly(lines_, count);
    shortBounds_.reserve(count); // pages never filled cost nothing
}

FieldBounds CardText::Piece::addLine(qsizetype start, qsizetype length)
{
    constexpr qsizetype most = std::numeric_limits<quint32>::max() - shortLine;
    if (start + length > most)
        throw std::bad_alloc();
    const QStringView line = QStringView(text).sliced(start, length);
    const FieldBounds bounds = cutLine(line);
    quint32 shape = quint32(length);
    if (length >= shortLine && bounds.ends.back() <= std::numeric_limits<quint8>::max()) {
        shape = shortBounds | checkedIndex(shortBounds_.size());
        shortBounds_.push_back(narrowed<quint8>(bounds));
    } else if (length >= shortLine) {
        shape = longBounds | checkedIndex(longBounds_.size());
        longBounds_.push_back(narrowed<quint32>(bounds));
    }
    lines_.push_back({quint32(start), shape});
    return bounds;
}

QStringView CardText::Piece::field(size_t line, int field) const
{
    const Line &l = lines_[line];
    const QStringView rest = QStringView(text).sliced(l.start);
    const quint32 value = l.shape & ~kindMask;
    switch (l.shape & kindMask) {
    case shortBounds:
        return shortBounds_[value].field(rest, field);
    case longBounds:
        return longBounds_[value].field(rest, field);
    default: {
        const QStringView whole = rest.first(value);
        return cutLine(whole).field(whole, field);
    }
    }
}

qsizetype CardText::lineCount() const
{
    qsizetype count = 0;
    for (const Piece &piece : pieces)
        count += qsizetype(piece.lineCount());
    return count;
}

QStringView CardText::field(qsizetype line, int field) const
{
    for (const Piece &piece : pieces) {
        if (line < qsizetype(piece.lineCount()))
            return piece.field(size_t(line), field);
        line -= qsizetype(piece.lineCount());
    }
    Q_UNREACHABLE();
}

CardTable::CardTable(std::shared_ptr<const CardText> text, std::vector<int> sources)
    : text_(std::move(text)), sources_(std::move(sources)), codes_(sources_.size())
{}

CardTable CardTable::everyLine(std::shared_ptr<const CardText> text, std::vector<int> sources)
{
    CardTable table(std::move(text), std::move(sources));
    table.everyLine_ = true;
    table.lineCount_ = table.text_->lineCount();
    if (std::find(table.sources_.begin(), table.sources_.end(), markField) != table.sources_.end())
        table.marks_.resize(size_t(table.lineCount_));
    return table;
}

// Codes with their numbers read are never changed again, so the copy may share them.
CardTable CardTable::textOnly() const
{
    CardTable copy(text_, sources_);
    copy.everyLine_ = everyLine_;
    copy.lineCount_ = lineCount_;
    copy.lines_ = lines_;
    for (size_t field = 0; field < codes_.size(); ++field) {
        if (const FieldCodes *codes = codes_[field].get(); codes && numbersRead(*codes))
            copy.codes_[field] = codes_[field];
    }
    return copy;
}

bool CardTable::numbersRead(const FieldCodes &codes)
{
    return codes.numbers.size() == codes.values.size();
}

const FieldCodes *CardTable::codedNumbers(int field) const
{
    const FieldCodes *codes =
        field >= 0 && size_t(field) < codes_.size() ? codes_[size_t(field)].get() : nullptr;
    return codes && numbersRead(*codes) ? codes : nullptr;
}

QStringView CardTable::markText(qsizetype row) const
{
    static constexpr char16_t markTexts[2][2] = {u"0", u"1"};
    if (size_t(row) >= marks_.size())
        return {};
    const char mark = marks_[size_t(row)];
    return mark ? QStringView(markTexts[mark == '1'], 1) : QStringView();
}

void CardTable::reserve(qsizetype rows)
{
    reserveExactly(lines_, size_t(rows));
    reserveExactly(marks_, size_t(rows));
}

void CardTable::addRow(qsizetype line)
{
    if (line > std::numeric_limits<quint32>::max())
        throw std::bad_alloc();
    lines_.push_back(quint32(line));
    marks_.push_back('\0');
}

void CardTable::markAll()
{
    std::fill(marks_.begin(), marks_.end(), '1');
}

const FieldCodes &CardTable::codes(int field) const
{
    std::shared_ptr<FieldCodes> &codes = codes_[size_t(field)];
    if (!codes) {
        FieldCoder coder;
        for (qsizetype row = 0; row < rowCount(); ++row)
            coder.add(view(field, row));
        codes = std::make_shared<FieldCodes>(coder.take());
    }
    return *codes;
}

void CardTable::setCodes(int field, FieldCodes codes)
{
    codes_[size_t(field)] = std::make_shared<FieldCodes>(std::move(codes));
}

const std::vector<double> &CardTable::codeNumbers(int field) const
{
    const FieldCodes &fieldCodes = codes(field);
    std::vector<double> &numbers = codes_[size_t(field)]->numbers;
    if (!numbersRead(fieldCodes)) {
        numbers.clear();
        numbers.reserve(fieldCodes.values.size());
        for (const QStringView value : fieldCodes.values)
            numbers.push_back(readNumber(value));
    }
    return numbers;
}

} // namespace mdlZorv
