#pragma once

#include "card_data/cardLine.h"

#include <QString>
#include <QStringView>

#include <memory>
#include <variant>
#include <vector>

namespace mdlZorv {

// The decoded text of a card file, in one or more pieces, and where each of its lines' fields lie.
// Tables refer into it instead of holding copies of the fields.
struct CardText
{
    // A stretch of the text and its lines. Field bounds are kept compact, since a file of short
    // lines has nearly as many lines as bytes: a short line's bounds are found again when asked
    // for, the others are stored at one byte a position, or four in a long line.
    class Piece
    {
    public:
        QString text;

        void reserveLines(size_t count);
        // Adds the line of text from start, length characters long, and returns its bounds.
        // Throws std::bad_alloc past the compact form's limits (four billion characters).
        FieldBounds addLine(qsizetype start, qsizetype length);
        size_t lineCount() const { return lines_.size(); }
        QStringView field(size_t line, int field) const;

    private:
        struct Line
        {
            quint32 start;
            quint32 shape; // a kind in the top two bits: the length, or where its bounds are
        };
        std::vector<Line> lines_;
        std::vector<BasicFieldBounds<quint8>> shortBounds_;
        std::vector<BasicFieldBounds<quint32>> longBounds_;
    };

    std::vector<Piece> pieces; // the file's lines are those of every piece, in order

    qsizetype lineCount() const;
    QStringView field(qsizetype line, int field) const;
};

// The distinct texts of one table field, numbered in the order of their first occurrence, and the
// number of each row's text. Comparing numbers is what keeps repeated searches fast. A field holds
// few distinct texts as a rule, so row codes take the narrowest width that holds them all.
struct FieldCodes
{
    using RowCodes = std::variant<std::vector<quint8>, std::vector<quint16>, std::vector<quint32>>;
    RowCodes rowCodes;
    std::vector<QStringView> values; // views into the table's text
    std::vector<double> numbers;     // each value read as a number, once asked for

    qsizetype rowCount() const;
};

// Numbers the texts of a field row by row, as they come. Codes gathered in parts (the pieces of
// a file) are joined with join().
class FieldCoder
{
public:
    void add(QStringView text);
    // Moves the codes out; the coder is empty afterwards.
    FieldCodes take();
    // The codes of parts one after the other, as if one coder had seen every row in turn.
    static FieldCodes join(std::vector<FieldCodes> parts);

private:
    // An open-addressing table on a plain hash from texts to codes: a field is read for every
    // row, and this is several times faster here than a general-purpose one.
    quint32 codeOf(QStringView text);
    static size_t hash(QStringView text);
    void growSlots();
    void push(quint32 code);

    FieldCodes codes_;
    std::vector<quint32> slots_ = std::vector<quint32>(64); // a code plus one, or 0: empty
    QStringView lastText_; // rows often repeat the row before: its code is taken again at once
    quint32 lastCode_ = 0;
    bool hasLast_ = false;
};

// A list of a table's rows by number: what a search finds, what a list shows. Rows are counted
// in 32 bits, as tables hold at most four billion, so that a list of every row of a large file
// takes half the memory.
using RowList = std::vector<quint32>;

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

    // A table with one row for every line of the text, in order.
    static CardTable everyLine(std::shared_ptr<const CardText> text, std::vector<int> sources);
    // The same rows and texts, sharing the text, without match marks: a copy to read on another
    // thread while this table is searched or replaced. It shares the codes whose numbers have
    // been read, and makes no others: it is only ever read.
    CardTable textOnly() const;

    Column operator[](int field) const { return Column(*this, field); }
    // Out-of-range fields and rows read as empty text.
    QStringView view(int field, qsizetype row) const
    {
        if (field < 0 || field >= fieldCount() || row < 0 || row >= rowCount())
            return {};
        const int source = sources_[size_t(field)];
        if (source > 0)
            return text_->field(lineOf(row), source);
        return source == markField ? markText(row) : QStringView();
    }
    qsizetype rowCount() const { return everyLine_ ? lineCount_ : qsizetype(lines_.size()); }
    int fieldCount() const { return int(sources_.size()); }

    void reserve(qsizetype rows);
    // Throws std::bad_alloc past four billion lines.
    void addRow(qsizetype line);

    // The match mark of field 0.
    bool isMarked(qsizetype row) const { return marks_[size_t(row)] == '1'; }
    void markAll();
    void unmark(qsizetype row) { marks_[size_t(row)] = '0'; }

    // The field's texts as codes, computed on first use unless they were given while loading.
    // The table's text never changes after loading, so the codes stay valid.
    const FieldCodes &codes(int field) const;
    void setCodes(int field, FieldCodes codes);
    // The field's distinct texts read as numbers (lenient reading), indexed by code.
    const std::vector<double> &codeNumbers(int field) const;
    // The field's codes with their numbers, where both are made already, else null; it makes
    // nothing, so it may be asked on any thread.
    const FieldCodes *codedNumbers(int field) const;

private:
    qsizetype lineOf(qsizetype row) const { return everyLine_ ? row : lines_[size_t(row)]; }
    QStringView markText(qsizetype row) const;
    static bool numbersRead(const FieldCodes &codes);

    std::shared_ptr<const CardText> text_;
    std::vector<int> sources_;
    bool everyLine_ = false;
    qsizetype lineCount_ = 0;    // of every-line tables
    std::vector<quint32> lines_; // the card line of each row, unless every line is a row
    std::vector<char> marks_;
    mutable std::vector<std::shared_ptr<FieldCodes>> codes_;
};

} // namespace mdlZorv
