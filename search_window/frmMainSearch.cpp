// The window's searches and detail views: the searches read the page's filter controls for the
// rules of cardSearch, and the pages list what they find and show the chosen card.

#include "card_data/numberText.h"
#include "card_rules/cardSearch.h"
#include "card_rules/filterLists.h"
#include "search_window/findBar.h"
#include "search_window/frmMain.h"
#include "search_window/searchPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>

namespace {

// Shows the busy pointer over the window while a search runs.
class BusyPointer
{
public:
    explicit BusyPointer(QWidget *window) : window_(window) { window_->setCursor(Qt::WaitCursor); }
    ~BusyPointer() { window_->unsetCursor(); }
    BusyPointer(const BusyPointer &) = delete;
    BusyPointer &operator=(const BusyPointer &) = delete;

private:
    QWidget *window_;
};

// Entry 0 of a filter list is no restriction; any other entry, or none, is a value to match.
std::optional<QString> filterValue(const QComboBox *list)
{
    if (list->currentIndex() == 0)
        return std::nullopt;
    return list->currentData().toString();
}

// The key characters of the ticked duelist boxes.
std::optional<QString> duelistKeys(const std::array<QCheckBox *, 3> &boxes)
{
    std::optional<QString> keys;
    for (size_t i = 0; i < boxes.size(); ++i) {
        if (boxes[i]->isChecked())
            keys = keys.value_or(QString()) + filterLists::duelists[i].key;
    }
    return keys;
}

cardSearch::Threshold threshold(const ThresholdBox *box, const std::array<QRadioButton *, 2> &pair)
{
    return {mdlZorv::readNumber(box->text()), pair[0]->isChecked()};
}

} // namespace

cardSearch::MonsterFilters frmMain::monsterFilters() const
{
    return {.type = filterValue(cmbType),
            .mazoku = filterValue(cmbMazoku),
            .level = filterValue(cmbLevel),
            .effectOnly = chkKouka->isChecked(),
            .duelistKeys = duelistKeys(chkDuelistC),
            .cost = threshold(txtCostC, optCostC),
            .ap = threshold(txtAP, optAP),
            .dp = threshold(txtDP, optDP)};
}

cardSearch::MagicFilters frmMain::magicFilters() const
{
    return {.kind = filterValue(cmbMagic),
            .duelistKeys = duelistKeys(chkDuelistM),
            .cost = threshold(txtCostM, optCostM)};
}

void frmMain::SearchMonstar()
{
    search(*monsters_);
}

void frmMain::SearchMagic()
{
    search(*magic_);
}

void frmMain::search(SearchPage &page)
{
    const BusyPointer busy(this);
    page.search(findBar->words());
    showFindCount();
}

void frmMain::ShowMonstarInf(const QString &cardNumber)
{
    monsters_->showDetails(cardNumber);
    unsetCursor();
}

void frmMain::ShowMagicInf(const QString &cardNumber)
{
    magic_->showDetails(cardNumber);
    unsetCursor();
}
