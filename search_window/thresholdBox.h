#pragma once

#include <QLineEdit>

#include <limits>

// A box for a numeric threshold. It holds ASCII digits only, whatever way text arrives (typed,
// pasted, dropped or from an input method), full-width digits entering as ASCII ones; it shows
// "0" when emptied; it selects its whole text when entered, so that the next digit replaces it;
// and it reports the release of Enter, which runs its page's search. With the input method off,
// the platform is told so, and digits typed with one switched on arrive as plain digits.
class ThresholdBox final : public QLineEdit
{
    Q_OBJECT

public:
    enum class InputMethod { On, Off };

    // A digitLimit of noLimit lets the box take any number of digits.
    static constexpr int noLimit = std::numeric_limits<int>::max();

    // The box holds at most digitLimit digits, counted after other characters are dropped and
    // full-width digits made plain, so that a paste of "コスト１２" into a box of three gives "12".
    ThresholdBox(QWidget *parent, int digitLimit, InputMethod inputMethod);
    int digitLimit() const { return digitLimit_; }

    // The search of the box's page has used the value the box holds now. While the box holds
    // another value, it shows that it waits for Enter: tinted, with a tool tip and a description
    // for screen readers saying so.
    void markSearched();
    bool isPending() const { return pending_; }

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

Q_SIGNALS:
    // Enter or Return was released in the box (not on auto-repeat).
    void entered();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;

private:
    void showZeroWhenBlank();
    void showWhetherPending();

    int digitLimit_;
    InputMethod inputMethod_;
    bool selectOnRelease_ = false; // entered by a mouse click: select once the button is released
    bool composing_ = false;       // an input method's composition is under way
    double searched_ = 0;          // the value the page's last search used
    bool pending_ = false;
};
