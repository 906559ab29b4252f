#pragma once

#include <QLineEdit>

// A box for a numeric threshold. It holds ASCII digits only, whatever way text arrives (typed,
// pasted, dropped or from an input method); it shows "0" when emptied; it selects its whole text
// when entered, so that the next digit replaces it; and it reports the release of Enter, which
// runs its page's search.
class ThresholdBox final : public QLineEdit
{
    Q_OBJECT

public:
    enum class InputMethod { On, Off };

    ThresholdBox(QWidget *parent, int maxLength, InputMethod inputMethod);

Q_SIGNALS:
    // Enter or Return was released in the box (not on auto-repeat).
    void entered();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    void showZeroWhenBlank();

    bool selectOnRelease_ = false; // entered by a mouse click: select once the button is released
};
