#pragma once

#include "card_data/cardFields.h"
#include "card_data/cardTable.h"

#include <QString>
#include <QStringView>

#include <array>
#include <span>

// The columns of the card table window, one list a page: what each header says, which table field
// it shows and how it sorts. The table model, sorting and copying or saving rows all read these,
// so a column is added or moved here alone.
namespace cardFind {
class ReadingIndex;
}

namespace tableColumns {

enum class Sorting {
    Text,    // by the collation of the text (see tableSort)
    Number,  // by the number the searches read from the text
    Reading, // by the reading of the card's name, in 五十音 order (see tableSort)
};

// What a column's cells hold, which sets how wide it opens, how its sorts are named and whether
// find words are marked in it.
enum class Cell {
    Short,   // a number or a word: 攻撃力, タイプ, デュエリスト
    Code,    // a card's number or ID, read as a code: sorted "small" to "large"
    Name,    // a card's name: find words are marked
    Effect,  // the effect text: takes the width the window has, wraps, find words are marked
    Reading, // the reading of a card's name: narrow, find words are marked
};

// The field of the 読み column: no field of the table, but the reading of the card's name.
inline constexpr int nameReading = -2;

struct Column
{
    QStringView header;
    int field; // of the page's table
    Sorting sorting;
    Cell cell;
};

inline constexpr std::array<Column, 12> monster = {{
    {u"番号", mdlZorv::CardField::Number, Sorting::Text, Cell::Code},
    {u"名前", mdlZorv::CardField::Name, Sorting::Reading, Cell::Name},
    {u"攻撃力", mdlZorv::CardField::AP, Sorting::Number, Cell::Short},
    {u"守備力", mdlZorv::CardField::DP, Sorting::Number, Cell::Short},
    {u"タイプ", mdlZorv::CardField::Type, Sorting::Text, Cell::Short},
    {u"魔族", mdlZorv::CardField::Mazoku, Sorting::Text, Cell::Short},
    {u"レベル", mdlZorv::CardField::Level, Sorting::Number, Cell::Short},
    {u"コスト", mdlZorv::CardField::Cost, Sorting::Number, Cell::Short},
    {u"ID", mdlZorv::CardField::Id, Sorting::Text, Cell::Code},
    {u"効果", mdlZorv::CardField::Effect, Sorting::Text, Cell::Effect},
    {u"デュエリスト", mdlZorv::CardField::Duelists, Sorting::Text, Cell::Short},
    {u"読み", nameReading, Sorting::Reading, Cell::Reading},
}};

inline constexpr std::array<Column, 8> magic = {{
    {u"番号", mdlZorv::MagicField::Number, Sorting::Text, Cell::Code},
    {u"名前", mdlZorv::MagicField::Name, Sorting::Reading, Cell::Name},
    {u"種類", mdlZorv::MagicField::Kind, Sorting::Text, Cell::Short},
    {u"コスト", mdlZorv::MagicField::Cost, Sorting::Number, Cell::Short},
    {u"ID", mdlZorv::MagicField::Id, Sorting::Text, Cell::Code},
    {u"効果", mdlZorv::MagicField::Effect, Sorting::Text, Cell::Effect},
    {u"デュエリスト", mdlZorv::MagicField::Duelists, Sorting::Text, Cell::Short},
    {u"読み", nameReading, Sorting::Reading, Cell::Reading},
}};

using Columns = std::span<const Column>;

// The texts of a table's cells: its fields, and in the 読み column the reading of the card's name
// where the readings are given (else nothing).
class Cells
{
public:
    Cells(const mdlZorv::CardTable &table, const cardFind::ReadingIndex *readings = nullptr)
        : table_(table), readings_(readings)
    {}

    const mdlZorv::CardTable &table() const { return table_; }
    const cardFind::ReadingIndex *readings() const { return readings_; }
    // The text of a cell; a reading is made into holder, which must outlive the view.
    QStringView text(const Column &column, qsizetype row, QString &holder) const;

private:
    const mdlZorv::CardTable &table_;
    const cardFind::ReadingIndex *readings_;
};

// A sort of a column as the menus name it, in a player's words: numbers and codes go from small
// to large, names and other texts in the order of the kana syllabary.
//   攻撃力, up -> "攻撃力の小さい順"      攻撃力, down -> "攻撃力の大きい順"
//   番号, up -> "番号の小さい順"          名前, up -> "名前の五十音順"      名前, down ->
//   "名前の逆順"
inline QString sortName(const Column &column, Qt::SortOrder order)
{
    const bool byNumber = column.sorting == Sorting::Number || column.cell == Cell::Code;
    const bool up = order == Qt::AscendingOrder;
    const QStringView words =
        byNumber ? (up ? u"の小さい順" : u"の大きい順") : (up ? u"の五十音順" : u"の逆順");
    QString name = column.header.toString();
    return name += words;
}

} // namespace tableColumns
