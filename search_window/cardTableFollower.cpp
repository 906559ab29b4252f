#include "search_window/cardTableFollower.h"

#include "search_window/cardListModel.h"
#include "search_window/cardTablePlace.h"
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
        table_->setFindWords(findWords_);
        table_->setFilesInUse(filesInUse_);
        placeTable();
        showNow();
        Q_EMIT opened();
    }
    table_->show();
    table_->raise();
    table_->activateWindow();
}

void CardTableFollower::setFilesInUse(std::function<QStringList()> filesInUse)
{
    filesInUse_ = std::move(filesInUse);
    if (table_)
        table_->setFilesInUse(filesInUse_);
}

void CardTableFollower::setFindWords(const QStringList &foldedWords)
{
    findWords_ = foldedWords;
    if (table_)
        table_->setFindWords(findWords_);
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
    table_->showRows(front.title(), front.cards().table, front.columns(),
                     front.names()->sharedRows(), front.cards().readings, front.details());
}

// Beside the main window where its screen has room for the table, as tall as the main window;
// else on that screen, filling its available area. The table's frame is not known before it is
// shown, so the main window's stands for it.
void CardTableFollower::placeTable() const
{
    const QRect main = mainWindow_->frameGeometry();
    const QRect inner = mainWindow_->geometry();
    const QMargins frame(inner.left() - main.left(), inner.top() - main.top(),
                         main.right() - inner.right(), main.bottom() - inner.bottom());
    constexpr QSize least(760, 480);
    constexpr int widest = 1600;
    table_->setGeometry(cardTablePlace::place(main, mainWindow_->screen()->availableGeometry(),
                                              least, widest, frame));
}

void CardTableFollower::showCard(qsizetype tableRow) const
{
    const SearchPage &front = frontPage();
    if (const int entry = front.names()->entryOfRow(tableRow); entry >= 0)
        front.list()->setCurrentIndex(front.names()->index(entry));
}
