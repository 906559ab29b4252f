// Reading the card file again while the window is open: when it changes on disk, or on F5. The
// file is read in the background; the window only swaps in the finished tables.

#include "card_data/mdlZorv.h"
#include "card_rules/cardFind.h"
#include "search_window/backgroundJob.h"
#include "search_window/cardFileWatcher.h"
#include "search_window/cardReload.h"
#include "search_window/findBar.h"
#include "search_window/frmMain.h"
#include "search_window/searchPage.h"

#include <QComboBox>
#include <QMessageBox>
#include <QShortcut>
#include <QSignalBlocker>

#include <algorithm>
#include <utility>

namespace {

// The value of a filter list's entry, or none for entry 0.
QVariant filterChoice(const QComboBox *list)
{
    return list->currentIndex() > 0 ? list->currentData() : QVariant();
}

void restoreFilterChoice(QComboBox *list, const QVariant &choice)
{
    list->setCurrentIndex(choice.isValid() ? std::max(list->findData(choice), 0) : 0);
}

} // namespace

void frmMain::followCardFile(CardFileWatcher *watcher, const mdlZorv::LoadOutcome &firstRead)
{
    cardFile_ = watcher;
    cardFile_->setParent(this);
    reload_ = std::make_unique<BackgroundJob>();
    shownRead_ = firstRead;
    connect(cardFile_, &CardFileWatcher::changed, this, &frmMain::startReload);
    connect(reload_.get(), &BackgroundJob::done, this, &frmMain::finishReload);
    connect(new QShortcut(QKeySequence(Qt::Key_F5), this), &QShortcut::activated, this,
            &frmMain::ReloadCardFile);
    cardFile_->readFrom(firstRead.read); // a file changed while or since it was read is read again
}

void frmMain::ReloadCardFile()
{
    if (cardFile_)
        cardFile_->readWhenSettled();
}

void frmMain::openCardFile(const QString &path)
{
    if (!cardFile_)
        return;
    fileToOpen_ = path;
    startReload();
}

// One read at a time: a file to open waits for the read under way, and a change during a read is
// not lost, since the file is looked at again once the read is done.
void frmMain::startReload()
{
    if (reload_->isRunning())
        return;
    const QString path = fileToOpen_.isEmpty() ? cardFile_->path() : std::exchange(fileToOpen_, {});
    reload_->start([this, path, fold = findBar->isVisible()] {
        reloaded_ = std::make_unique<cardReload::ReloadedCards>(cardReload::read(path, fold));
    });
}

// A file that changed while it was read is read again once it has settled, without a word: it
// was being saved. A file that cannot be read leaves the cards on screen, and another file that
// cannot be opened leaves the followed one followed.
void frmMain::finishReload()
{
    cardReload::ReloadedCards &reloaded = *reloaded_;
    const mdlZorv::LoadOutcome &outcome = reloaded.cards.outcome;
    const bool failed = !outcome.problem.isEmpty() && !outcome.changedWhileRead;
    if (reloaded.path != cardFile_->path() && !failed)
        cardFile_->watch(reloaded.path);
    if (reloaded.path == cardFile_->path())
        cardFile_->readFrom(outcome.read);
    if (failed)
        Q_EMIT cardFileProblem(outcome.problem);
    else if (!outcome.changedWhileRead)
        showNewCards(reloaded);
    reloaded_.reset();
    if (!fileToOpen_.isEmpty())
        startReload();
}

void frmMain::showNewCards(cardReload::ReloadedCards &reloaded)
{
    const auto monster = monsters_->selectedCardNumber();
    const auto magic = magic_->selectedCardNumber();
    const mdlZorv::LoadOutcome outcome = mdlZorv::showCards(std::move(reloaded.cards));
    ++cardsShown_;
    foldingFailed_ = false;
    monsters_->useNewCards(std::move(reloaded.folded.monsters));
    magic_->useNewCards(std::move(reloaded.folded.magic));
    refillFilterListsKeepingChoices();
    SearchMonstar();
    SearchMagic();
    monsters_->reselectCard(monster);
    magic_->reselectCard(magic);
    shownRead_ = outcome;
    Q_EMIT cardFileReloaded();
    tellLoadOutcome(outcome);
}

void frmMain::tellLoadOutcome(const mdlZorv::LoadOutcome &outcome)
{
    if (!outcome.problem.isEmpty())
        Q_EMIT cardFileProblem(outcome.problem);
    else if (!outcome.notice.isEmpty())
        Q_EMIT cardFileNotice(outcome.notice);
}

// One box at a time, and not modal: a newer message replaces the text of the open box, and the
// window stays usable meanwhile. A good read closes it.
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
}

// The filter lists hold the new cards' values; each keeps its entry where the value still exists.
void frmMain::refillFilterListsKeepingChoices()
{
    const QSignalBlocker blockType(cmbType), blockMazoku(cmbMazoku), blockLevel(cmbLevel),
        blockMagic(cmbMagic);
    const QVariant type = filterChoice(cmbType), mazoku = filterChoice(cmbMazoku),
                   level = filterChoice(cmbLevel), kind = filterChoice(cmbMagic);
    for (QComboBox *list : {cmbType, cmbMazoku, cmbLevel, cmbMagic})
        list->clear();
    fillMonsterFilterLists();
    fillMagicFilterList();
    restoreFilterChoice(cmbType, type);
    restoreFilterChoice(cmbMazoku, mazoku);
    restoreFilterChoice(cmbLevel, level);
    restoreFilterChoice(cmbMagic, kind);
}
