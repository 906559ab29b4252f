// The cards the window shows: one card set, which every view switches to in the same turn. New
// sets come from the card file session, which reads the card file again when it changes, on F5 or
// when the user opens another; the find indexes of a set are made in the background once the
// find bar needs them, and the readings of its names once a find word is typed or the card table
// opens.

#include "card_data/mdlZorv.h"
#include "search_window/cardFileSession.h"
#include "search_window/cardReload.h"
#include "search_window/cardTableFollower.h"
#include "search_window/findBar.h"
#include "search_window/frmMain.h"
#include "search_window/passingNote.h"
#include "search_window/recentCardFiles.h"
#include "search_window/reloadNote.h"
#include "search_window/searchPage.h"

#include <QDir>
#include <QMessageBox>
#include <QShortcut>
#include <QTimer>

void frmMain::followCardFile(CardFileSession *cardFile)
{
    cardFile_ = cardFile;
    cardFile_->setFindIndexesWanted(findBar->isVisible());
    connect(cardFile_, &CardFileSession::cardsRead, this,
            [this](const std::shared_ptr<cardReload::ReadCards> &read) { showReadCards(*read); });
    connect(cardFile_, &CardFileSession::readFailed, this,
            [this](const QString &problem) { showMessage(true, problem); });
    connect(cardFile_, &CardFileSession::consentWanted, this, &frmMain::askToOpen);
    cardTable_->setFilesInUse([cardFile] { return cardFile->filesInUse(); });
    connect(new QShortcut(QKeySequence(Qt::Key_F5), this), &QShortcut::activated, cardFile_,
            &CardFileSession::reload);
    // Told once the window shows, so that a message box opens over it.
    QTimer::singleShot(0, this, [this] { tellLoadOutcome(cardFile_->lastRead()); });
}

void frmMain::useCardSet(std::shared_ptr<const CardSet> cards)
{
    cards_ = std::move(cards);
    monsterPage_->useCards(cards_->monsters);
    magicPage_->useCards(cards_->magic);
}

// Each page keeps its filters where their values still exist, searches the new cards and keeps
// the selected card's details if that card is still listed.
void frmMain::showReadCards(cardReload::ReadCards &read)
{
    const auto monster = monsterPage_->selectedCardNumber();
    const auto magic = magicPage_->selectedCardNumber();
    const std::shared_ptr<const CardSet> before = cards_;
    const mdlZorv::LoadOutcome outcome = mdlZorv::showCards(std::move(read.cards));
    std::shared_ptr<const CardSet> shown = CardSet::ofShownTables();
    if (read.findIndexes.monsters)
        shown = shown->withFindIndexes(std::move(read.findIndexes));
    if (read.readings.monsters)
        shown = shown->withReadings(std::move(read.readings));
    useCardSet(std::move(shown));
    findIndexesFailed_ = false;
    pageControls::fillFilterLists(monster_);
    pageControls::fillFilterLists(magic_);
    SearchMonstar();
    SearchMagic();
    monsterPage_->reselectCard(monster);
    magicPage_->reselectCard(magic);
    cardTable_->showNow();
    if (read.opened)
        recentCardFiles::remember(read.path);
    else
        reloadNote_->tell(before, cards_, read.asked);
    if (message_)
        message_->close();
    Q_EMIT cardFileReloaded();
    tellLoadOutcome(outcome);
}

// Made on a thread of their own from the set shown, while the window goes on; indexes of a set
// no longer shown are dropped, and made again if still needed. Once they are there, the list in
// front follows the find words, keeping the card selected meanwhile if it is still listed.
void frmMain::makeFindIndexes()
{
    if (findIndexing_.isRunning() || cards_->hasFindIndexes())
        return;
    findIndexing_.start([cards = cards_] { return cardReload::findIndexes(*cards); },
                        [this, generation = cards_->generation](std::optional<FindIndexes> made) {
                            useFindIndexes(generation, std::move(made));
                        });
}

void frmMain::useFindIndexes(quint64 generation, std::optional<FindIndexes> made)
{
    if (generation == cards_->generation) {
        findIndexesFailed_ = !made;
        if (made)
            useCardSet(cards_->withFindIndexes(std::move(*made)));
        if (SearchPage &front = frontPage(); made && front.findStale()) {
            const auto selected = front.selectedCardNumber();
            front.showFound(findBar->words());
            front.reselectCard(selected);
        }
    }
    showFindCount();
}

// Not modal, the cards shown staying meanwhile; keeping them is what Enter and Escape choose.
void frmMain::askToOpen(const QString &path)
{
    auto *question =
        new QMessageBox(QMessageBox::Question, windowTitle(),
                        QStringLiteral("カードデータではないようです。開きますか？\n\n%1")
                            .arg(QDir::toNativeSeparators(path)),
                        QMessageBox::Open | QMessageBox::Cancel, this);
    question->setObjectName(QStringLiteral("msgNotCardData"));
    question->setDefaultButton(QMessageBox::Cancel);
    question->setEscapeButton(QMessageBox::Cancel);
    question->setAttribute(Qt::WA_DeleteOnClose);
    question->setWindowModality(Qt::NonModal);
    connect(question, &QMessageBox::finished, cardFile_, [this](int button) {
        if (button == QMessageBox::Open)
            cardFile_->acceptOpened();
        else
            cardFile_->declineOpened();
    });
    question->show();
}

// Made on a thread of their own, the dictionary read first the first time, while the window goes
// on: the cards are then found by how their names read too, and shown and sorted by it. The
// cards read from then on come with their readings.
void frmMain::makeReadings()
{
    if (readingsMaking_.isRunning() || cards_->hasReadings() || readingsFailed_)
        return;
    readingsMaking_.start(
        [cards = cards_, dictionary = dictionary_] {
            return cardReload::readingsOf(*cards, dictionary);
        },
        [this, generation = cards_->generation](cardReload::ReadingsMade made) {
            useReadings(generation, std::move(made));
        });
}

void frmMain::useReadings(quint64 generation, cardReload::ReadingsMade made)
{
    dictionary_ = made.dictionary;
    if (cardFile_)
        cardFile_->setReadingsBy(dictionary_);
    if (!made.readings) {
        readingsFailed_ = true;
        note_->pass(QStringLiteral("読みを使えません: %1").arg(made.problem));
        return;
    }
    if (generation != cards_->generation) {
        makeReadings();
        return;
    }
    useCardSet(cards_->withReadings(std::move(*made.readings)));
    followTheFindWordsAgain();
    cardTable_->showNow();
}

// The lists follow the find words again, as the cards can now be found in more ways: the page in
// front at once, keeping the card selected if it is still listed, the other once it is in front.
void frmMain::followTheFindWordsAgain()
{
    if (findBar->words().isEmpty())
        return;
    SearchPage &front = frontPage();
    for (SearchPage *page : pages()) {
        if (page != &front)
            page->markFindStale();
    }
    const auto selected = front.selectedCardNumber();
    front.showFound(findBar->words());
    front.reselectCard(selected);
    showFindCount();
}

void frmMain::tellLoadOutcome(const mdlZorv::LoadOutcome &outcome)
{
    if (!outcome.problem.isEmpty())
        showMessage(true, outcome.problem);
    else if (!outcome.notice.isEmpty())
        showMessage(false, outcome.notice);
}

// One box at a time, and not modal: a newer message replaces the text of the open box, and the
// window stays usable meanwhile. Cards read well close it.
void frmMain::showMessage(bool isProblem, const QString &text)
{
    if (!message_) {
        message_ = new QMessageBox(this);
        message_->setObjectName(QStringLiteral("msgCardFile"));
        message_->setWindowTitle(windowTitle());
        message_->setAttribute(Qt::WA_DeleteOnClose);
        message_->setWindowModality(Qt::NonModal);
    }
    message_->setIcon(isProblem ? QMessageBox::Warning : QMessageBox::Information);
    message_->setText(
        isProblem ? QStringLiteral("カードデータを読み込めませんでした。\n\n%1").arg(text) : text);
    message_->show();
    if (isProblem)
        Q_EMIT cardFileProblem(text);
    else
        Q_EMIT cardFileNotice(text);
}
