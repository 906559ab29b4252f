// The find bar: Ctrl+F opens it below the pages; its words narrow both pages' lists, on top of
// their filters, to the cards whose number, name or effect text holds every word.

#include "search_window/findBar.h"
#include "search_window/frmMain.h"
#include "search_window/searchPage.h"

#include <QListView>
#include <QScreen>
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

// The window grows by the bar's height while it stays on its screen; otherwise the bar takes its
// room from the pages' lists and details boxes. Every other control keeps its place.
void frmMain::openFind()
{
    if (findBar->isHidden()) {
        const QRect screenArea = screen()->availableGeometry();
        findBarGrewWindow_ = !isMaximized() && !isFullScreen() &&
                             frameGeometry().bottom() + FindBar::barHeight <= screenArea.bottom();
        findBar->show();
        updateLeastSize();
        if (findBarGrewWindow_)
            resize(width(), height() + FindBar::barHeight);
        else
            placeTab();
    }
    findBar->open();
    showFindCount();
}

// The bar has emptied its box, which gave both pages their full lists back; the window gives back
// what opening the bar took. Each page whose details show a card selects that card again.
void frmMain::closeFind()
{
    updateLeastSize();
    if (findBarGrewWindow_)
        resize(width(), height() - FindBar::barHeight);
    else
        placeTab();
    for (SearchPage *page : pages())
        page->selectShownCard();
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
