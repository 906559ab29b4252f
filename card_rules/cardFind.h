#pragma once

#include "card_data/cardFields.h"
#include "card_data/cardTable.h"

#include <QStringList>

#include <vector>

// Finding cards by the words of a text, in their number, name and effect text. Matching is
// literal, after folding both sides alike:
//   - full-width and half-width forms are the same (NFKC):  "ﾄﾞﾗｺﾞﾝ" = "ドラゴン", "ＡＢＣ" = "ABC"
//   - hiragana and katakana are the same:                    "どらごん" = "ドラゴン"
//   - letter case does not matter:                           "abc" = "ABC"
// A row is found when every word occurs in one of its texts; no words find every row.
namespace cardFind {

// The fields find looks in, in the monster and the magic table: card number, name, effect text.
inline const std::vector<int> monsterFields = {mdlZorv::CardField::Number, mdlZorv::CardField::Name,
                                               mdlZorv::CardField::Effect};
inline const std::vector<int> magicFields = {mdlZorv::MagicField::Number, mdlZorv::MagicField::Name,
                                             mdlZorv::MagicField::Effect};

QString fold(QStringView text);

// The folded words of a find text, split at half-width and full-width blanks and tabs.
QStringList words(QStringView findText);

// The folded texts of chosen fields of every row of a table, made once, so that finding costs
// no folding while the user types.
class FindIndex
{
public:
    FindIndex(const mdlZorv::CardTable &table, const std::vector<int> &fields);

    bool matches(qsizetype row, const QStringList &words) const;
    // The rows that match, in their order.
    std::vector<qsizetype> narrow(const std::vector<qsizetype> &rows,
                                  const QStringList &words) const;

private:
    QString text_;                  // every row's folded fields, each followed by U+0000
    std::vector<qsizetype> starts_; // where each row's texts start, and one past the last row
};

} // namespace cardFind
