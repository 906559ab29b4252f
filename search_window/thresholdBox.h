#pragma once

#include <QString>
#include <QValidator>

// The rules of the numeric threshold boxes, which hold digits only.
namespace thresholdBox {

// True when typed text must be kept out of a box: printable text that is not all ASCII digits.
// Control characters (backspace, Enter) and shortcuts (Ctrl+V) are left to the box.
bool rejectsTypedText(QStringView text, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// True when a box's text is empty or blanks only; it then shows "0" instead.
bool isBlank(QStringView text);

// Keeps only the ASCII digits of whatever reaches a box by another route than typing: a paste,
// drag and drop or an input method. " 12" and "12\n" from a spreadsheet cell give "12".
class DigitsOnlyValidator final : public QValidator
{
    Q_OBJECT

public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override;
};

} // namespace thresholdBox
