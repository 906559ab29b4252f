#include "search_window/cardTableFollower.h"

#include "search_window/cardListModel.h"
#include "search_window/frmCardTable.h"
#include "search_window/searchPage.h"

#include <QListView>
#include <QScreen>
#include <QTabWidget>

CardTableFollower::CardTableFollower(QWidget *mainWindow, std::array<SearchPage *, 2> pages,
                                     QTabWidget *tabs)
    : QObject(mainWindow), mainWindow_(mainWindow), pages_(pages), tabs_(tabs)
{
    due_.setSingleShot(true);
    connect(&due_, &QTimer::timeout, this, &CardTableFollower::showNow);
    for (const SearchPage *page : pages_) {
        connect(page->names(), &QAbstractItemModel::modelReset, this, [this, page] {
            if (page == &frontPage())
                followList();
        });
    }
    connect(tabs_, &QTabWidget::currentChanged, this, &CardTableFollower::showNow);
}

void CardTableFollower::open()
{
    if (!table_) {
        table_ = new frmCardTable(mainWindow_);
        connect(table_, &frmCardTable::cardChosen, this, &CardTableFollower::showCard);
        showNow();
        placeBesideMainWindow();
    }
    table_->show();
    table_->raise();
    table_->activateWindow();
}

void CardTableFollower::setFilesInUse(std::function<QStringList()> filesInUse)
{
    filesInUse_ = std::move(filesInUse);
}

const SearchPage &CardTableFollower::frontPage() const
{
    return *pages_[size_t(tabs_->currentIndex())];
}

void CardTableFollower::followList()
{
    constexpr qint64 leastInterval = 200; // ms
    const qint64 since = shown_.isValid() ? shown_.elapsed() : leastInterval;
    if (since >= leastInterval)
        showNow();
    else if (!due_.isActive())
        due_.start(int(leastInterval - since));
}

void CardTableFollower::showNow()
{
    due_.stop();
    if (!table_)
        return;
    shown_.start();
    const SearchPage &front = frontPage();
    table_->setCardFile(filesInUse_ ? filesInUse_().value(0) : QString());
    table_->showRows(front.title(), front.cards().table, front.columns(), front.names()->rows());
}

// Beside the main window where the screen has room for it, else over it.
void CardTableFollower::placeBesideMainWindow() const
{
    const QRect screenArea = mainWindow_->screen()->availableGeometry();
    const QRect main = mainWindow_->frameGeometry();
    const QSize size = table_->size();
    const QRect right(main.right() + 1, mainWindow_->y(), size.width(), size.height());
    const QRect left(main.left() - table_->frameGeometry().width(), mainWindow_->y(), size.width(),
                     size.height());
    if (screenArea.contains(right))
        table_->move(right.topLeft());
    else if (screenArea.contains(left))
        table_->move(left.topLeft());
    else
        table_->move(screenArea.center() - table_->rect().center());
}

void CardTableFollower::showCard(qsizetype tableRow) const
{
    const SearchPage &front = frontPage();
    if (const int entry = front.names()->entryOfRow(tableRow); entry >= 0)
        front.list()->setCurrentIndex(front.names()->index(entry));
}
