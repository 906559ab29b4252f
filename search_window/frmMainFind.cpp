// The find bar: Ctrl+F opens it below the pages; its words narrow both pages' lists, on top of
// their filters, to the cards whose number, name or effect text holds every word.

#include "search_window/cardFileSession.h"
#include "search_window/cardTableFollower.h"
#include "search_window/findBar.h"
#include "search_window/frmMain.h"
#include "search_window/searchPage.h"

#include <QListView>
#include <QScreen>

// The window grows by the bar's height while it stays on its screen; otherwise the bar takes its
// room from the pages' lists and details boxes. Every other control keeps its place.
void frmMain::openFind()
{
    if (findBar->isHidden()) {
        const QRect screenArea = screen()->availableGeometry();
        findBarGrewWindow_ = !isMaximized() && !isFullScreen() &&
                             frameGeometry().bottom() + FindBar::barHeight <= screenArea.bottom();
        findBar->show();
        if (cardFile_)
            cardFile_->setFindIndexesWanted(true);
        makeFindIndexes(); // likely done before the first word is typed
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
    if (cardFile_)
        cardFile_->setFindIndexesWanted(false);
    updateLeastSize();
    if (findBarGrewWindow_)
        resize(width(), height() - FindBar::barHeight);
    else
        placeTab();
    cardTable_->setFindWords({});
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
    cardTable_->setFindWords(words);
    showFindCount();
    if (!words.isEmpty())
        makeReadings();
}

// "12 / 806 枚" for the page in front; while its texts are folded for the find words, that.
void frmMain::showFindCount()
{
    const SearchPage &front = frontPage();
    if (!front.awaitsFolding()) {
        findBar->showCount(front.listedCount(), front.filteredCount());
    } else if (findIndexesFailed_) {
        findBar->showOutOfMemory();
    } else {
        findBar->showPreparing();
        makeFindIndexes();
    }
}
