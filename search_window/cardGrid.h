#pragma once

#include <QTableView>

class CardCellDelegate;
class CardTableModel;

// The card table's grid of cells. With wrapping on, a row grows to the lines of its effect text,
// up to CardCellDelegate::mostLines: only the rows in view are measured, as they come into view,
// and every other row keeps the height of one line, so that a million rows cost no more than a
// screenful. Type-ahead finds cards by their number, whichever column is current.
class CardGrid final : public QTableView
{
    Q_OBJECT

public:
    CardGrid(CardTableModel *rows, QWidget *parent);

    void setWrapping(bool wrap);
    bool wrapping() const;
    // Marks the find words (folded) in names and effect texts.
    void setFindWords(const QStringList &foldedWords);
    // Gives the rows in view the heights of their texts.
    void fitRowsInView();

    void keyboardSearch(const QString &search) override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void measureAnew();
    int fittedHeight(int row) const;

    CardTableModel *rows_;
    CardCellDelegate *cells_;
    bool fitting_ = false;
};
