// The find bar: Ctrl+F opens it below the pages; its words narrow both pages' lists, on top of
// their filters, to the cards whose number, name or effect text holds every word.

#include "search_window/findBar.h"
#include "search_window/frmMain.h"
#include "search_window/searchPage.h"

#include <QListView>
#include <QShortcut>

void frmMain::createFindBar()
{
    findBar = new FindBar(this);
    for (const QKeySequence &key : {QKeySequence(QKeySequence::Find), QKeySequence(Qt::Key_Find)})
        connect(new QShortcut(key, this), &QShortcut::activated, this, &frmMain::openFind);
    connect(findBar, &FindBar::wordsChanged, this, &frmMain::txtFind_Change);
    connect(findBar, &FindBar::closed, this, &frmMain::closeFind);
    connect(findBar, &FindBar::tabPressed, this,
            [this] { frontPage().list()->setFocus(Qt::TabFocusReason); });
}

// The window grows by the bar's height; every other control keeps its place.
void frmMain::openFind()
{
    if (findBar->isHidden()) {
        const QSize pages = size();
        findBar->setGeometry(0, pages.height(), pages.width(), FindBar::barHeight);
        setFixedSize(pages.width(), pages.height() + FindBar::barHeight);
    }
    findBar->open();
    showFindCount();
}

// The bar has emptied its box, which gave both pages their full lists back.
void frmMain::closeFind()
{
    setFixedSize(width(), height() - FindBar::barHeight);
    frontPage().list()->setFocus(Qt::OtherFocusReason);
}

// The front page's list follows at once; the page behind follows when it comes to the front.
void frmMain::txtFind_Change(const QStringList &words)
{
    SearchPage &front = frontPage();
    for (SearchPage *page : pages()) {
        if (page != &front)
            page->markFindStale();
    }
    front.showFound(words);
    showFindCount();
}

void frmMain::showFindCount()
{
    const SearchPage &front = frontPage();
    findBar->showCount(front.listedCount(), front.filteredCount());
}
