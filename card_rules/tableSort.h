#pragma once

#include "card_data/cardTable.h"
#include "card_rules/readingIndex.h"
#include "card_rules/tableColumns.h"

#include <QCollator>

#include <functional>
#include <vector>

// Sorting the rows of the card table window by one of its columns.
//   - Number columns sort by the number the searches read from the text (readNumber): " 12" and
//     "12" are equal, "1e3" is 1000, and "", "abc" or "?" are 0.
//   - Text columns sort by textCollator(). Under a Japanese locale (ICU collation, as Qt on Linux
//     uses) kana sort by reading, as in a dictionary:
//         あおぞら < かき < かぎ < がき < がけ < かぶと = カブト < ｶﾌﾞﾄ < 亜 < 青 < 赤
//     Hiragana and katakana of one reading are equal (so those rows keep the list's order), and
//     half-width katakana follow them; a voiced mark counts only between texts that read alike
//     otherwise; "ー" reads as the vowel it lengthens (カード < かあど < かいど); kanji come
//     after kana, in JIS order (by reading for the common ones). Other locales (English, German)
//     keep the kana order, katakana just after the hiragana of the same reading, but set kanji
//     in the order of their code points (亜 < 赤 < 青).
//   - Reading columns (名前, 読み) sort by the reading of the card's name, collated as text, so
//     that kanji names stand in 五十音 order among kana ones (暁 あかつき < 黄昏 たそがれ < 月影
//     つきかげ < 闇夜 やみよ); a name without a reading, or where no readings are given, by
//     itself.
//   - Rows that compare equal keep the order of the list in both directions: a descending sort
//     is a stable sort on the reversed comparison, not the ascending one turned round.
// Each distinct text of the column is read or collated once, not once a comparison.
namespace tableSort {

// The collator that text columns sort with: the system locale's, or a Japanese one where the
// system names no language (the C or POSIX locale). Qt's collation for those compares code
// points, which would set every katakana name after every hiragana one.
QCollator textCollator();

// The place of every row of a table in the order of one of its columns (rows of equal values
// share one), worked out once: any list of the table's rows is then put in that order by counting
// alone, however often the list changes.
class ColumnOrder
{
public:
    // readings: of the table's names, for the reading columns; may be null.
    ColumnOrder(const mdlZorv::CardTable &table, const tableColumns::Column &column,
                const cardFind::ReadingIndex *readings = nullptr);
    // The order of a text that each row of a table of rowCount rows has, collated as text
    // columns are: names in 五十音 order by their reading, as textOfRow gives it
    // (cardFind::ReadingIndex::reading). textOfRow is called once a row, here.
    ColumnOrder(qsizetype rowCount, const std::function<QString(qsizetype)> &textOfRow);

    // The rows of a list (table row numbers, in the list's order) in the column's order; rows the
    // table does not have (a list of a table read since) last, in the list's order.
    mdlZorv::RowList sorted(const mdlZorv::RowList &rows, Qt::SortOrder order) const;

private:
    void rankByCodes(const mdlZorv::FieldCodes &codes);

    std::vector<quint32> rankOfRow_;
    quint32 rankCount_ = 0;
};

// The rows of a list in the order of a column, at once.
mdlZorv::RowList sortedRows(const mdlZorv::CardTable &table, const mdlZorv::RowList &rows,
                            const tableColumns::Column &column, Qt::SortOrder order,
                            const cardFind::ReadingIndex *readings = nullptr);

} // namespace tableSort
