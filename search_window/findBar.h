#pragma once

#include <QStringList>
#include <QWidget>

class QLabel;
class QLineEdit;
class QToolButton;

// The find bar: a box for words, the count of the cards they leave and a button that closes it.
// It tells when the folded words change, and when it closes; Escape closes it while it is open.
class FindBar final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int barHeight = 28;

    explicit FindBar(QWidget *window);

    // The folded words of the box, split at blanks: none while the bar is closed.
    const QStringList &words() const { return words_; }
    // Shows the bar and puts the focus in its box, with its text selected.
    void open();
    // Empties the box and hides the bar.
    void dismiss();
    // "12 / 806 枚": the entries listed, and those the filters alone give.
    void showCount(qsizetype listed, qsizetype filtered);
    // The cards' texts are being made ready to be found in, or could not be.
    void showPreparing();
    void showOutOfMemory();

Q_SIGNALS:
    void wordsChanged(const QStringList &words);
    void closed();
    // Tab in the box: the focus should go on to the list the words narrow.
    void tabPressed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void txtFind_Change();

    QLineEdit *txtFind = nullptr;
    QLabel *lblFindCount = nullptr;
    QToolButton *cmdCloseFind = nullptr;
    QStringList words_;
};
