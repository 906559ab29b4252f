#include "search_window/thresholdBox.h"

#include "card_data/numberText.h"

#include <QApplication>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QValidator>

#include <algorithm>

namespace {

// The ASCII digit a character stands for: itself, or a full-width digit's plain form ("１" -> "1").
// Null for anything else.
QChar asciiDigit(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c;
    if (c >= u'０' && c <= u'９')
        return QChar(u'0' + (c.unicode() - u'０'));
    return {};
}

// True when typed text must be kept out of a box: printable text that is not all digits.
// Control characters (backspace, Enter) and shortcuts (Ctrl+V) are left to the box.
bool rejectsTypedText(QStringView text, Qt::KeyboardModifiers modifiers)
{
    if (text.isEmpty() || (modifiers & (Qt::ControlModifier | Qt::MetaModifier)))
        return false;
    bool allDigits = true;
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            return false;
        allDigits = allDigits && !asciiDigit(c).isNull();
    }
    return !allDigits;
}

// True when a box's text is empty or blanks only.
bool isBlank(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c == u' '; });
}

// Keeps only the digits of whatever reaches a box, as ASCII digits: typed, pasted, dropped or
// from an input method. " 12" and "12\n" from a spreadsheet cell give "12", "１２" gives "12".
class DigitsOnlyValidator final : public QValidator
{
public:
    DigitsOnlyValidator(int limit, QObject *parent) : QValidator(parent), limit_(limit) {}

    State validate(QString &input, int &pos) const override
    {
        QString digits;
        int newPos = 0;
        for (int i = 0; i < input.size(); ++i) {
            const QChar digit = asciiDigit(input[i]);
            if (digit.isNull())
                continue;
            digits.append(digit);
            if (i < pos)
                ++newPos;
        }
        // Past the limit, what was just entered, which ends at the cursor, is cut short.
        if (const qsizetype excess = digits.size() - limit_; excess > 0) {
            const qsizetype from = std::max<qsizetype>(newPos - excess, 0);
            digits.remove(from, excess);
            newPos = int(from);
        }
        input = digits;
        pos = newPos;
        return Acceptable;
    }

private:
    int limit_;
};

} // namespace

ThresholdBox::ThresholdBox(QWidget *parent, int digitLimit, InputMethod inputMethod)
    : QLineEdit(QStringLiteral("0"), parent), digitLimit_(digitLimit), inputMethod_(inputMethod)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // The validator keeps the limit: the line edit's own would cut pasted text before the
    // validator drops what is not a digit.
    setMaxLength(noLimit);
    setValidator(new DigitsOnlyValidator(digitLimit, this));
    setAttribute(Qt::WA_InputMethodEnabled, inputMethod == InputMethod::On);
    connect(this, &QLineEdit::textChanged, this, &ThresholdBox::showZeroWhenBlank);
    connect(this, &QLineEdit::textChanged, this, &ThresholdBox::showWhetherPending);
}

void ThresholdBox::markSearched()
{
    searched_ = mdlZorv::readNumber(text());
    showWhetherPending();
}

// The tint is the highlight colour over the box's own, so that it shows in dark themes too.
void ThresholdBox::showWhetherPending()
{
    const bool pending = mdlZorv::readNumber(text()) != searched_;
    if (pending == pending_)
        return;
    pending_ = pending;
    QPalette tinted = QApplication::palette(this);
    if (pending) {
        const QColor base = tinted.color(QPalette::Base);
        const QColor mark = tinted.color(QPalette::Highlight);
        tinted.setColor(QPalette::Base, QColor::fromRgbF((base.redF() * 3 + mark.redF()) / 4,
                                                         (base.greenF() * 3 + mark.greenF()) / 4,
                                                         (base.blueF() * 3 + mark.blueF()) / 4));
    }
    setPalette(tinted);
    setToolTip(pending ? QStringLiteral("Enterで検索") : QString());
    setAccessibleDescription(
        pending ? QStringLiteral("まだ検索に使われていない値です。Enterで検索します。")
                : QString());
}

// A line edit answers the platform from its own state alone; the attribute is not enough.
QVariant ThresholdBox::inputMethodQuery(Qt::InputMethodQuery query) const
{
    if (query == Qt::ImEnabled)
        return inputMethod_ == InputMethod::On && QLineEdit::inputMethodQuery(query).toBool();
    return QLineEdit::inputMethodQuery(query);
}

// A composition takes the place of the selected text; the box stays empty while it is under way,
// and shows "0" again only if it ends with nothing entered.
void ThresholdBox::inputMethodEvent(QInputMethodEvent *event)
{
    composing_ = !event->preeditString().isEmpty();
    QLineEdit::inputMethodEvent(event);
    showZeroWhenBlank();
}

void ThresholdBox::showZeroWhenBlank()
{
    if (!composing_ && isBlank(text()))
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
