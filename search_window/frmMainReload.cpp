// Reading the card file again while the window is open: on a change on disk or on F5.

#include "card_data/mdlZorv.h"
#include "card_rules/cardFind.h"
#include "search_window/cardFileWatcher.h"
#include "search_window/cardListModel.h"
#include "search_window/frmMain.h"

#include <QComboBox>
#include <QListView>
#include <QPlainTextEdit>
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
    const auto monster = selectedCardNumber(lstMonstarName, mdlZorv::strMonstarData);
    const auto magic = selectedCardNumber(lstMagicName, mdlZorv::strMagicData);
    const mdlZorv::LoadOutcome outcome = mdlZorv::reloadCardFile(cardFile_->path());
    if (!outcome.problem.isEmpty()) {
        Q_EMIT cardFileProblem(outcome.problem);
        return;
    }
    for (auto &index : findIndexes_)
        index.reset(); // made again from the new tables when needed
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
    SearchMonstar();
    SearchMagic();
    reselectCard(lstMonstarName, monster, txtMonstarInf);
    reselectCard(lstMagicName, magic, txtMagicInf);
    if (!outcome.notice.isEmpty())
        Q_EMIT cardFileNotice(outcome.notice);
}

// Selects the entry of the card with the number again, which shows its details afresh; with no
// such entry, the details box is cleared.
void frmMain::reselectCard(QListView *list, const std::optional<QString> &number,
                           QPlainTextEdit *details)
{
    const auto *names = static_cast<const CardListModel *>(list->model());
    const mdlZorv::CardTable &table = names->table();
    for (int entry = 0; number && entry < names->rowCount(); ++entry) {
        if (table.view(mdlZorv::CardField::Number, names->tableRow(entry)) == *number) {
            list->setCurrentIndex(names->index(entry));
            return;
        }
    }
    details->clear();
}
