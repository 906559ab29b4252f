#include "search_window/thresholdBox.h"

namespace thresholdBox {

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

bool rejectsTypedText(QStringView text, Qt::KeyboardModifiers modifiers)
{
    if (text.isEmpty() || (modifiers & (Qt::ControlModifier | Qt::MetaModifier)))
        return false;
    bool allDigits = true;
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            return false;
        allDigits = allDigits && isAsciiDigit(c);
    }
    return !allDigits;
}

bool isBlank(QStringView text)
{
    for (const QChar c : text) {
        if (c != u' ')
            return false;
    }
    return true;
}

QValidator::State DigitsOnlyValidator::validate(QString &input, int &pos) const
{
    QString digits;
    int newPos = 0;
    for (int i = 0; i < input.size(); ++i) {
        if (!isAsciiDigit(input[i]))
            continue;
        digits.append(input[i]);
        if (i < pos)
            ++newPos;
    }
    input = digits;
    pos = newPos;
    return Acceptable;
}

} // namespace thresholdBox
