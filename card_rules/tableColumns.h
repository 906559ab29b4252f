#pragma once

#include "card_data/cardFields.h"

#include <QStringView>

#include <array>
#include <span>

// The columns of the card table window, one list a page: what each header says, which table field
// it shows and how it sorts. The table model, sorting and copying or saving rows all read these,
// so a column is added or moved here alone.
namespace tableColumns {

enum class Sorting {
    Text,   // by the collation of the text (see tableSort)
    Number, // by the number the searches read from the text
};

struct Column
{
    QStringView header;
    int field; // of the page's table
    Sorting sorting;
};

inline constexpr std::array<Column, 11> monster = {{
    {u"番号", mdlZorv::CardField::Number, Sorting::Text},
    {u"名前", mdlZorv::CardField::Name, Sorting::Text},
    {u"攻撃力", mdlZorv::CardField::AP, Sorting::Number},
    {u"守備力", mdlZorv::CardField::DP, Sorting::Number},
    {u"タイプ", mdlZorv::CardField::Type, Sorting::Text},
    {u"魔族", mdlZorv::CardField::Mazoku, Sorting::Text},
    {u"レベル", mdlZorv::CardField::Level, Sorting::Number},
    {u"コスト", mdlZorv::CardField::Cost, Sorting::Number},
    {u"ID", mdlZorv::CardField::Id, Sorting::Text},
    {u"効果", mdlZorv::CardField::Effect, Sorting::Text},
    {u"デュエリスト", mdlZorv::CardField::Duelists, Sorting::Text},
}};

inline constexpr std::array<Column, 7> magic = {{
    {u"番号", mdlZorv::MagicField::Number, Sorting::Text},
    {u"名前", mdlZorv::MagicField::Name, Sorting::Text},
    {u"種類", mdlZorv::MagicField::Kind, Sorting::Text},
    {u"コスト", mdlZorv::MagicField::Cost, Sorting::Number},
    {u"ID", mdlZorv::MagicField::Id, Sorting::Text},
    {u"効果", mdlZorv::MagicField::Effect, Sorting::Text},
    {u"デュエリスト", mdlZorv::MagicField::Duelists, Sorting::Text},
}};

using Columns = std::span<const Column>;

} // namespace tableColumns
