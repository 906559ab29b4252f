#pragma once

#include <QStringList>

#include <vector>

// How find compares texts: both the words typed and the cards' texts are folded alike, then
// matched literally, character by character.
//   - full-width and half-width forms are the same (NFKC):  "ﾄﾞﾗｺﾞﾝ" -> "ドラゴン", "ＡＢＣ" ->
//   "abc"
//   - hiragana become katakana:                              "どらごん" -> "ドラゴン", "かーど" ->
//   "カード"
//   - letter case does not matter:                           "Abc" -> "abc"
// Every other character stays as it is: "竜" is not "龍", and "・" and "-" count.
namespace textFold {

QString fold(QStringView text);

// The folded words of a find text, split at half-width and full-width blanks and tabs:
//   "竜 　かーど\tABC" -> {"竜", "カード", "abc"}        "  " -> {}
QStringList words(QStringView findText);

// Where the find words stand in a text, as ranges of the text itself, for marking them: a word
// matches as find matches it, after folding both sides; ranges that overlap or touch are joined.
// A character and the voiced marks after it are folded together, as NFKC joins them.
//   "炎のドラゴン", {"どらごん"}  -> {(2, 4)}           "ﾄﾞﾗｺﾞﾝ", {"ドラゴン"} -> {(0, 6)}
//   "abcabc", {"bc", "ca"}        -> {(1, 5)}           "abc", {}             -> {}
struct Mark
{
    qsizetype start;
    qsizetype length;
    friend bool operator==(const Mark &, const Mark &) = default;
};
QList<Mark> findMarks(QStringView text, const QStringList &foldedWords);

// What fold makes of each UTF-16 code unit where it stands alone, for folding a long text unit by
// unit: the unit it becomes, or the unit itself marked mayChange where folding may change it in
// context (NFKC composing it with its neighbours) and the text has to be folded as a whole.
inline constexpr quint32 mayChange = 1U << 31;
inline constexpr quint32 unitMask = 0xFFFF;
const std::vector<quint32> &unitFolds();

} // namespace textFold
