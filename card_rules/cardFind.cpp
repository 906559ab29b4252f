#include "card_rules/cardFind.h"

#include <QHash>

namespace cardFind {

namespace {

constexpr char16_t firstHiragana = u'ぁ';
constexpr char16_t lastHiragana = u'ゖ';
constexpr char16_t hiraganaToKatakana = u'ァ' - u'ぁ';

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\u3000' || c == u'\t';
}

} // namespace

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
    QHash<QStringView, QString> folded; // a word pasted many times is folded once
    qsizetype start = 0;
    for (qsizetype i = 0; i <= findText.size(); ++i) {
        if (i < findText.size() && !isBlank(findText[i]))
            continue;
        if (i > start) {
            const QStringView word = findText.sliced(start, i - start);
            auto known = folded.constFind(word);
            if (known == folded.cend())
                known = folded.insert(word, fold(word));
            found << *known;
        }
        start = i + 1;
    }
    return found;
}

FindIndex::FindIndex(const mdlZorv::CardTable &table, const std::vector<int> &fields)
{
    starts_.reserve(size_t(table.rowCount()) + 1);
    for (qsizetype row = 0; row < table.rowCount(); ++row) {
        starts_.push_back(text_.size());
        for (const int field : fields)
            text_.append(fold(table.view(field, row))).append(QChar(u'\0'));
    }
    starts_.push_back(text_.size());
}

bool FindIndex::matches(qsizetype row, const QStringList &words) const
{
    const QStringView texts = QStringView(text_).sliced(
        starts_[size_t(row)], starts_[size_t(row) + 1] - starts_[size_t(row)]);
    for (const QString &word : words) {
        if (!texts.contains(word))
            return false;
    }
    return true;
}

std::vector<qsizetype> FindIndex::narrow(const std::vector<qsizetype> &rows,
                                         const QStringList &words) const
{
    if (words.isEmpty())
        return rows;
    std::vector<qsizetype> found;
    for (const qsizetype row : rows) {
        if (matches(row, words))
            found.push_back(row);
    }
    return found;
}

} // namespace cardFind
