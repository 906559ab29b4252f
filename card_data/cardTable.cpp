#include "card_data/cardTable.h"

#include "card_data/numberText.h"

namespace mdlZorv {

QStringView CardText::field(qsizetype line, int field) const
{
    const Line &l = lines[size_t(line)];
    const qsizetype size = l.bounds.length(field);
    return size > 0 ? QStringView(text).sliced(l.start + l.bounds.start(field), size)
                    : QStringView();
}

CardTable::CardTable(std::shared_ptr<const CardText> text, std::vector<int> sources)
    : text_(std::move(text)), sources_(std::move(sources)), numbers_(sources_.size())
{}

QStringView CardTable::view(int field, qsizetype row) const
{
    if (field < 0 || field >= fieldCount() || row < 0 || row >= rowCount())
        return {};
    const int source = sources_[size_t(field)];
    if (source == markField) {
        static constexpr char16_t markTexts[2][2] = {u"0", u"1"};
        const char mark = marks_[size_t(row)];
        return mark ? QStringView(markTexts[mark == '1'], 1) : QStringView();
    }
    if (source == emptyField)
        return {};
    return text_->field(lines_[size_t(row)], source);
}

void CardTable::addRow(qsizetype line)
{
    lines_.push_back(line);
    marks_.push_back('\0');
}

void CardTable::markAll()
{
    std::fill(marks_.begin(), marks_.end(), '1');
}

const std::vector<double> &CardTable::numbers(int field) const
{
    std::vector<double> &numbers = numbers_[size_t(field)];
    if (numbers.size() != lines_.size()) {
        numbers.resize(lines_.size());
        for (qsizetype row = 0; row < rowCount(); ++row)
            numbers[size_t(row)] = readNumber(view(field, row));
    }
    return numbers;
}

} // namespace mdlZorv
