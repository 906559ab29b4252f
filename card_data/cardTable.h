#pragma once

#include "card_data/cardLine.h"

#include <QString>
#include <QStringView>

#include <memory>
#include <vector>

namespace mdlZorv {

// The decoded text of a card file and where each of its lines' fields lie. Tables refer into it
// instead of holding copies of the fields.
struct CardText
{
    struct Line
    {
        qsizetype start = 0; // position of the line in text
        FieldBounds bounds;
    };

    QString text;
    std::vector<Line> lines;

    QStringView field(qsizetype line, int field) const;
};

// A table of card fields indexed first by field number, then by row number, both from 0:
// table[field][row]. Each table field shows one field of the card lines (or nothing); field 0 of
// the monster and magic tables is the match mark that their search writes ("1", "0", or empty
// before the first search).
class CardTable
{
public:
    // What a field number of the table holds.
    static constexpr int emptyField = -1; // never written: reads as empty text
    static constexpr int markField = 0;   // the match mark

    class Column
    {
    public:
        Column(const CardTable &table, int field) : table_(table), field_(field) {}
        QString operator[](qsizetype row) const { return table_.view(field_, row).toString(); }
        QStringView view(qsizetype row) const { return table_.view(field_, row); }

    private:
        const CardTable &table_;
        int field_;
    };

    CardTable() = default;
    // sources[f] is the card line field (1 to 11) shown as table field f, or markField or
    // emptyField.
    CardTable(std::shared_ptr<const CardText> text, std::vector<int> sources);

    Column operator[](int field) const { return Column(*this, field); }
    QStringView view(int field, qsizetype row) const;
    qsizetype rowCount() const { return qsizetype(lines_.size()); }
    int fieldCount() const { return int(sources_.size()); }

    void addRow(qsizetype line);

    // The match mark of field 0.
    bool isMarked(qsizetype row) const { return marks_[size_t(row)] == '1'; }
    void markAll();
    void unmark(qsizetype row) { marks_[size_t(row)] = '0'; }

    // A field of every row read as a number (lenient reading), computed on first use. The table's
    // text never changes after loading, so the numbers stay valid.
    const std::vector<double> &numbers(int field) const;

private:
    std::shared_ptr<const CardText> text_;
    std::vector<int> sources_;
    std::vector<qsizetype> lines_; // the card line of each row
    std::vector<char> marks_;
    mutable std::vector<std::vector<double>> numbers_;
};

} // namespace mdlZorv
