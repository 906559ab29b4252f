#include "card_data/cardTable.h"

#include "card_data/largeMemory.h"
#include "card_data/numberText.h"

#include <QHash>

namespace mdlZorv {

qsizetype CardText::lineCount() const
{
    qsizetype count = 0;
    for (const Piece &piece : pieces)
        count += qsizetype(piece.lines.size());
    return count;
}

QStringView CardText::field(qsizetype line, int field) const
{
    for (const Piece &piece : pieces) {
        if (line < qsizetype(piece.lines.size())) {
            const Line &l = piece.lines[size_t(line)];
            const qsizetype size = l.bounds.length(field);
            return size > 0 ? QStringView(piece.text).sliced(l.start + l.bounds.start(field), size)
                            : QStringView();
        }
        line -= qsizetype(piece.lines.size());
    }
    Q_UNREACHABLE();
}

CardTable::CardTable(std::shared_ptr<const CardText> text, std::vector<int> sources,
                     std::vector<int> numericFields)
    : text_(std::move(text)), sources_(std::move(sources)),
      numericFields_(std::move(numericFields)), numbers_(sources_.size()), codes_(sources_.size())
{}

CardTable CardTable::everyLine(std::shared_ptr<const CardText> text, std::vector<int> sources)
{
    CardTable table(std::move(text), std::move(sources));
    table.everyLine_ = true;
    table.lineCount_ = table.text_->lineCount();
    return table;
}

QStringView CardTable::markText(qsizetype row) const
{
    static constexpr char16_t markTexts[2][2] = {u"0", u"1"};
    const char mark = marks_[size_t(row)];
    return mark ? QStringView(markTexts[mark == '1'], 1) : QStringView();
}

void CardTable::reserve(qsizetype rows)
{
    reserveExactly(lines_, size_t(rows));
    reserveExactly(marks_, size_t(rows));
    for (const int field : numericFields_)
        reserveExactly(numbers_[size_t(field)], size_t(rows));
}

void CardTable::addRow(qsizetype line)
{
    lines_.push_back(line);
    marks_.push_back('\0');
    for (const int field : numericFields_)
        numbers_[size_t(field)].push_back(readNumber(view(field, rowCount() - 1)));
}

void CardTable::markAll()
{
    std::fill(marks_.begin(), marks_.end(), '1');
}

const std::vector<double> &CardTable::numbers(int field) const
{
    std::vector<double> &numbers = numbers_[size_t(field)];
    if (numbers.size() != size_t(rowCount())) {
        numbers.resize(size_t(rowCount()));
        for (qsizetype row = 0; row < rowCount(); ++row)
            numbers[size_t(row)] = readNumber(view(field, row));
    }
    return numbers;
}

const FieldCodes &CardTable::codes(int field) const
{
    std::unique_ptr<FieldCodes> &codes = codes_[size_t(field)];
    if (!codes) {
        codes = std::make_unique<FieldCodes>();
        reserveExactly(codes->rowCodes, size_t(rowCount()));
        QHash<QStringView, quint32> codeOf;
        for (qsizetype row = 0; row < rowCount(); ++row) {
            const QStringView value = view(field, row);
            auto found = codeOf.constFind(value);
            if (found == codeOf.constEnd()) {
                found = codeOf.insert(value, quint32(codes->values.size()));
                codes->values.push_back(value);
            }
            codes->rowCodes.push_back(*found);
        }
    }
    return *codes;
}

} // namespace mdlZorv
