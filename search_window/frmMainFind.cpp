// The find bar: Ctrl+F opens it below the pages; its words narrow both pages' lists, on top of
// their filters, to the cards whose number, name or effect text holds every word.

#include "card_data/mdlZorv.h"
#include "card_rules/cardFind.h"
#include "search_window/backgroundJob.h"
#include "search_window/cardReload.h"
#include "search_window/findBar.h"
#include "search_window/frmMain.h"
#include "search_window/searchPage.h"

#include <QListView>
#include <QScreen>
#include <QShortcut>

void frmMain::createFindBar()
{
    findBar = new FindBar(this);
    folding_ = std::make_unique<BackgroundJob>();
    connect(folding_.get(), &BackgroundJob::done, this, &frmMain::useFoldedTexts);
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
        if (!frontPage().hasFindIndex())
            foldTexts(); // likely done before the first word is typed
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

// "12 / 806 枚" for the page in front; while its texts are folded for the find words, that.
void frmMain::showFindCount()
{
    const SearchPage &front = frontPage();
    if (!front.awaitsFolding())
        findBar->showCount(front.listedCount(), front.filteredCount());
    else if (foldingFailed_)
        findBar->showOutOfMemory();
    else {
        findBar->showPreparing();
        foldTexts();
    }
}

// Folds both pages' texts on a thread of its own, from copies of the tables, while the window
// goes on; the lists follow the find words once it is done.
void frmMain::foldTexts()
{
    if (folding_->isRunning())
        return;
    cardsFolded_ = cardsShown_;
    const auto monsters =
        std::make_shared<const mdlZorv::CardTable>(mdlZorv::strMonstarData.textOnly());
    const auto magic = std::make_shared<const mdlZorv::CardTable>(mdlZorv::strMagicData.textOnly());
    folding_->start([this, monsters, magic] {
        try {
            folded_ =
                std::make_unique<cardReload::FoldedTexts>(cardReload::fold(*monsters, *magic));
        } catch (const std::bad_alloc &) {
            folded_.reset();
        }
    });
}

// Texts folded from cards no longer shown are dropped, and folded again if still needed. The list
// in front follows the find words, keeping the card selected meanwhile if it is still listed.
void frmMain::useFoldedTexts()
{
    const std::unique_ptr<cardReload::FoldedTexts> folded = std::move(folded_);
    if (cardsFolded_ == cardsShown_) {
        foldingFailed_ = !folded;
        if (folded) {
            monsters_->useFindIndex(std::move(folded->monsters));
            magic_->useFindIndex(std::move(folded->magic));
            if (SearchPage &front = frontPage(); front.findStale()) {
                const auto selected = front.selectedCardNumber();
                front.showFound(findBar->words());
                front.reselectCard(selected);
            }
        }
    }
    showFindCount();
}
