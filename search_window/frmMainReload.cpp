// Reading the card file again while the window is open: on a change on disk or on F5.

#include "card_data/mdlZorv.h"
#include "search_window/cardFileWatcher.h"
#include "search_window/frmMain.h"
#include "search_window/searchPage.h"

#include <QComboBox>
#include <QShortcut>
#include <QSignalBlocker>

#include <algorithm>

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

void frmMain::watchCardFile(const QString &path)
{
    if (!cardFile_) {
        cardFile_ = new CardFileWatcher(this);
        connect(cardFile_, &CardFileWatcher::changed, this, &frmMain::ReloadCardFile);
        connect(new QShortcut(QKeySequence(Qt::Key_F5), this), &QShortcut::activated, this,
                &frmMain::ReloadCardFile);
    }
    cardFile_->watch(path);
}

void frmMain::ReloadCardFile()
{
    if (!cardFile_)
        return;
    const auto monster = monsters_->selectedCardNumber();
    const auto magic = magic_->selectedCardNumber();
    const mdlZorv::LoadOutcome outcome = mdlZorv::reloadCardFile(cardFile_->path());
    if (!outcome.problem.isEmpty()) {
        Q_EMIT cardFileProblem(outcome.problem);
        return;
    }
    for (SearchPage *page : pages())
        page->forgetFindIndex();
    refillFilterListsKeepingChoices();
    SearchMonstar();
    SearchMagic();
    monsters_->reselectCard(monster);
    magic_->reselectCard(magic);
    if (!outcome.notice.isEmpty())
        Q_EMIT cardFileNotice(outcome.notice);
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
