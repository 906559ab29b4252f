#include "search_window/thresholdBox.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QValidator>

#include <algorithm>

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// True when typed text must be kept out of a box: printable text that is not all ASCII digits.
// Control characters (backspace, Enter) and shortcuts (Ctrl+V) are left to the box.
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

// True when a box's text is empty or blanks only.
bool isBlank(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c == u' '; });
}

// Keeps only the ASCII digits of whatever reaches a box by another route than typing: a paste,
// drag and drop or an input method. " 12" and "12\n" from a spreadsheet cell give "12".
class DigitsOnlyValidator final : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString &input, int &pos) const override
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
};

} // namespace

ThresholdBox::ThresholdBox(QWidget *parent, int maxLength, InputMethod inputMethod)
    : QLineEdit(QStringLiteral("0"), parent)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setMaxLength(maxLength);
    setValidator(new DigitsOnlyValidator(this));
    setAttribute(Qt::WA_InputMethodEnabled, inputMethod == InputMethod::On);
    connect(this, &QLineEdit::textChanged, this, &ThresholdBox::showZeroWhenBlank);
}

void ThresholdBox::showZeroWhenBlank()
{
    if (isBlank(text()))
        setText(QStringLiteral("0"));
}

// Whatever way the box gets the focus, its whole text ends up selected. After a mouse click the
// selection is made when the button is released, so that a drag still selects what it covers; a
// click into a box that has the focus places the cursor.
void ThresholdBox::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    switch (event->reason()) {
    case Qt::MouseFocusReason:
        selectOnRelease_ = true;
        break;
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason:
    case Qt::OtherFocusReason:
        selectAll();
        break;
    default: // back from a menu or another window: keep the selection as it was
        break;
    }
}

void ThresholdBox::mouseReleaseEvent(QMouseEvent *event)
{
    QLineEdit::mouseReleaseEvent(event);
    if (selectOnRelease_ && !hasSelectedText())
        selectAll();
    selectOnRelease_ = false;
}

void ThresholdBox::keyPressEvent(QKeyEvent *event)
{
    if (rejectsTypedText(event->text(), event->modifiers())) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void ThresholdBox::keyReleaseEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && !event->isAutoRepeat())
        Q_EMIT entered();
    QLineEdit::keyReleaseEvent(event);
}
