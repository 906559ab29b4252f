#include "search_window/cardGrid.h"

#include "search_window/cardCellDelegate.h"
#include "search_window/cardTableModel.h"

#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>

#include <algorithm>

CardGrid::CardGrid(CardTableModel *rows, QWidget *parent)
    : QTableView(parent), rows_(rows), cells_(new CardCellDelegate(rows, this))
{
    setModel(rows_);
    setItemDelegate(cells_);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(CardCellDelegate::lineRowHeight(font()));
    // Rows scroll one at a time: the scroll range counts rows, whatever their heights.
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &CardGrid::fitRowsInView);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, &CardGrid::measureAnew);
    connect(rows_, &QAbstractItemModel::modelReset, this, &CardGrid::fitRowsInView);
}

void CardGrid::setWrapping(bool wrap)
{
    cells_->setWrapping(wrap);
    measureAnew();
}

bool CardGrid::wrapping() const
{
    return cells_->wrapping();
}

void CardGrid::setFindWords(const QStringList &foldedWords)
{
    cells_->setFindWords(foldedWords);
    viewport()->update();
}

// From the first row in view down to the bottom of the view. The header is told of the new
// heights without repainting for each: it would work out the place of every row each time.
void CardGrid::fitRowsInView()
{
    if (fitting_ || !cells_->wrapping())
        return;
    fitting_ = true;
    QHeaderView *rowsHeader = verticalHeader();
    rowsHeader->setUpdatesEnabled(false);
    int room = viewport()->height();
    for (int row = std::max(rowAt(0), 0); row < rows_->rowCount() && room > 0; ++row) {
        const int height = fittedHeight(row);
        rowsHeader->resizeSection(row, height);
        room -= height;
    }
    rowsHeader->setUpdatesEnabled(true);
    viewport()->update();
    fitting_ = false;
}

// The columns' widths or the wrapping changed: every row is one line high again, and the rows in
// view are measured anew.
void CardGrid::measureAnew()
{
    verticalHeader()->setDefaultSectionSize(CardCellDelegate::lineRowHeight(font()));
    fitRowsInView();
}

int CardGrid::fittedHeight(int row) const
{
    int height = CardCellDelegate::lineRowHeight(font());
    for (int column = 0; column < rows_->columnCount(); ++column) {
        if (cells_->wraps(column) && !isColumnHidden(column))
            height = std::max(height, cells_->rowHeight(rows_->index(row, column).data().toString(),
                                                        columnWidth(column), font()));
    }
    return height;
}

void CardGrid::keyboardSearch(const QString &search)
{
    const QModelIndex current = currentIndex();
    if (current.column() != 0 && model()->rowCount() > 0)
        selectionModel()->setCurrentIndex(model()->index(std::max(current.row(), 0), 0),
                                          QItemSelectionModel::NoUpdate);
    QTableView::keyboardSearch(search);
}

void CardGrid::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    fitRowsInView();
}

void CardGrid::changeEvent(QEvent *event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        measureAnew();
}
