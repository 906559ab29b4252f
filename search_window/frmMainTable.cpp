// The card table window: the cards the page in front lists, in columns. It follows the main
// window live, and a row chosen in it is shown as a click on its list entry would.

#include "search_window/cardFileWatcher.h"
#include "search_window/cardListModel.h"
#include "search_window/frmCardTable.h"
#include "search_window/frmMain.h"
#include "search_window/searchPage.h"

#include <QListView>
#include <QScreen>
#include <QTabWidget>

void frmMain::openCardTable()
{
    if (!cardTable_) {
        cardTable_ = new frmCardTable(this);
        connect(cardTable_, &frmCardTable::cardChosen, this, &frmMain::showCardFromTable);
        cardTableDue_.setSingleShot(true);
        connect(&cardTableDue_, &QTimer::timeout, cardTable_, [this] { updateCardTable(); });
        for (const SearchPage *page : pages()) {
            connect(page->names(), &QAbstractItemModel::modelReset, cardTable_, [this, page] {
                if (page == &frontPage())
                    followWithCardTable();
            });
        }
        connect(SSTab, &QTabWidget::currentChanged, cardTable_, [this] { updateCardTable(); });
        updateCardTable();
        placeBeside(cardTable_);
    }
    cardTable_->show();
    cardTable_->raise();
    cardTable_->activateWindow();
}

// Beside the main window where the screen has room for it, else over it.
void frmMain::placeBeside(QWidget *other) const
{
    const QRect screenArea = screen()->availableGeometry();
    const QRect right(frameGeometry().right() + 1, y(), other->width(), other->height());
    const QRect left(frameGeometry().left() - other->frameGeometry().width(), y(), other->width(),
                     other->height());
    if (screenArea.contains(right))
        other->move(right.topLeft());
    else if (screenArea.contains(left))
        other->move(left.topLeft());
    else
        other->move(screenArea.center() - other->rect().center());
}

// While the user types, the table follows at most five times a second: painting its rows anew
// costs more than a keystroke's new list. A change after a pause shows at once.
void frmMain::followWithCardTable()
{
    constexpr qint64 leastInterval = 200; // ms
    const qint64 since = cardTableShown_.isValid() ? cardTableShown_.elapsed() : leastInterval;
    if (since >= leastInterval)
        updateCardTable();
    else if (!cardTableDue_.isActive())
        cardTableDue_.start(int(leastInterval - since));
}

void frmMain::updateCardTable()
{
    cardTableDue_.stop();
    cardTableShown_.start();
    const SearchPage &front = frontPage();
    cardTable_->setCardFile(cardFile_ ? cardFile_->path() : QString());
    cardTable_->showRows(front.title(), front.table(), front.columns(), front.names()->rows(),
                         cardsShown_);
}

void frmMain::showCardFromTable(qsizetype tableRow)
{
    const SearchPage &front = frontPage();
    if (const int entry = front.names()->entryOfRow(tableRow); entry >= 0)
        front.list()->setCurrentIndex(front.names()->index(entry));
}
