#include "card_rules/textFold.h"

#include <algorithm>

namespace textFold {

namespace {

constexpr char16_t firstHiragana = u'ぁ';
constexpr char16_t lastHiragana = u'ゖ';
constexpr char16_t hiraganaToKatakana = u'ァ' - u'ぁ';

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\u3000' || c == u'\t';
}

// Half-width katakana and punctuation, U+FF61 to U+FF9D, as NFKC writes them.
constexpr char16_t halfWidthKana[] =
    u"。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソ"
    u"タチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン";

// What fold makes of the code unit c wherever it stands, when that is one code unit, or -1.
// Every unit listed here is one NFKC never composes with the unit before it, so a text made of
// them alone folds unit by unit, without the cost of normalising it; and it is what card texts
// are mostly made of: ASCII, kana, CJK ideographs and their punctuation, full-width and
// half-width forms.
int foldedAlone(char16_t c)
{
    if (c < 0x80)
        return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c;
    if (c >= firstHiragana && c <= lastHiragana)
        return c + hiraganaToKatakana;
    if (c == u'\u3000')
        return u' ';
    if ((c > 0x3000 && c <= 0x3029) || (c >= u'ァ' && c <= 0x30FE) || (c >= 0x3400 && c <= 0x9FFF))
        return c;
    if (c >= 0xFF01 && c <= 0xFF5E) // full-width ASCII
        return foldedAlone(char16_t(c - 0xFEE0));
    if (c >= 0xFF61 && c <= 0xFF9D)
        return halfWidthKana[c - 0xFF61];
    return -1;
}

} // namespace

// Every code unit as foldedAlone gives it, made once: the unit it folds to, or the unit itself
// marked mayChange.
const std::vector<quint32> &unitFolds()
{
    static const std::vector<quint32> folds = [] {
        std::vector<quint32> folds(0x10000);
        for (quint32 unit = 0; unit < folds.size(); ++unit) {
            const int folded = foldedAlone(char16_t(unit));
            folds[unit] = folded < 0 ? mayChange | unit : quint32(folded);
        }
        return folds;
    }();
    return folds;
}

QString fold(QStringView text)
{
    QString folded = text.toString().normalized(QString::NormalizationForm_KC);
    for (QChar &c : folded) {
        if (c >= firstHiragana && c <= lastHiragana)
            c = QChar(c.unicode() + hiraganaToKatakana);
    }
    return folded.toCaseFolded();
}

QStringList words(QStringView findText)
{
    QStringList found;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= findText.size(); ++i) {
        if (i < findText.size() && !isBlank(findText[i]))
            continue;
        if (i > start)
            found << fold(findText.sliced(start, i - start));
        start = i + 1;
    }
    return found;
}

namespace {

bool joinsTheOneBefore(QChar c)
{
    return c.category() == QChar::Mark_NonSpacing || c.unicode() == 0xFF9E || c.unicode() == 0xFF9F;
}

// The text folded, and for each unit of the folded text the range of the text it came from.
struct FoldedWithPlaces
{
    QString folded;
    std::vector<Mark> from;
};

FoldedWithPlaces foldWithPlaces(QStringView text)
{
    FoldedWithPlaces result;
    result.folded.reserve(text.size());
    const std::vector<quint32> &folds = unitFolds();
    for (qsizetype start = 0; start < text.size();) {
        qsizetype end = start + 1;
        if (text[start].isHighSurrogate() && end < text.size() && text[end].isLowSurrogate())
            ++end;
        while (end < text.size() && joinsTheOneBefore(text[end]))
            ++end;
        const quint32 alone = folds[text[start].unicode()];
        const QString folded = end == start + 1 && !(alone & mayChange)
                                   ? QString(QChar(char16_t(alone)))
                                   : fold(text.sliced(start, end - start));
        result.folded += folded;
        result.from.insert(result.from.end(), size_t(folded.size()), Mark{start, end - start});
        start = end;
    }
    return result;
}

} // namespace

QList<Mark> findMarks(QStringView text, const QStringList &foldedWords)
{
    const FoldedWithPlaces folded = foldWithPlaces(text);
    std::vector<std::pair<qsizetype, qsizetype>> ranges; // start and end in the text
    for (const QString &word : foldedWords) {
        if (word.isEmpty())
            continue;
        for (qsizetype at = folded.folded.indexOf(word); at >= 0;
             at = folded.folded.indexOf(word, at + 1)) {
            const Mark &first = folded.from[size_t(at)];
            const Mark &last = folded.from[size_t(at + word.size() - 1)];
            ranges.emplace_back(first.start, last.start + last.length);
        }
    }
    std::sort(ranges.begin(), ranges.end());
    QList<Mark> marks;
    for (const auto &[start, end] : ranges) {
        if (!marks.isEmpty() && start <= marks.last().start + marks.last().length)
            marks.last().length = std::max(marks.last().length, end - marks.last().start);
        else
            marks.append({start, end - start});
    }
    return marks;
}

} // namespace textFold
