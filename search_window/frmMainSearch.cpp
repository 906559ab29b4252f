// The window's searches and detail views: they read the page's controls, call the rules of
// cardSearch and cardDetails, and write the results back into the page.

#include "card_data/mdlZorv.h"
#include "card_data/numberText.h"
#include "card_rules/cardDetails.h"
#include "card_rules/cardSearch.h"
#include "card_rules/filterLists.h"
#include "search_window/cardListModel.h"
#include "search_window/frmMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
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
    const BusyPointer busy(this);
    filteredRows_[0] = cardSearch::searchMonsters(mdlZorv::strMonstarData, monsterFilters());
    showFound(0);
}

void frmMain::SearchMagic()
{
    const BusyPointer busy(this);
    filteredRows_[1] = cardSearch::searchMagic(mdlZorv::strMagicData, magicFilters());
    showFound(1);
}

namespace {

// Wrapping at word boundaries looks for a break point over the rest of the text once per line,
// which takes seconds on a long field with none. Long details wrap anywhere instead.
void setDetailsText(QPlainTextEdit *box, const QString &text)
{
    constexpr qsizetype wrapAnywhereFrom = 10'000;
    box->setWordWrapMode(text.size() < wrapAnywhereFrom ? QTextOption::WrapAtWordBoundaryOrAnywhere
                                                        : QTextOption::WrapAnywhere);
    box->setPlainText(text);
}

// Shows the details of the first row with the card number; a number no row has leaves the box
// as it was.
void showDetails(const mdlZorv::CardTable &table, const QString &cardNumber, QPlainTextEdit *box,
                 QString (*details)(const mdlZorv::CardTable &, qsizetype))
{
    if (const auto row = cardDetails::findCard(table, cardNumber))
        setDetailsText(box, cardDetails::boxText(details(table, *row)));
}

} // namespace

void frmMain::ShowMonstarInf(const QString &cardNumber)
{
    showDetails(mdlZorv::strMonstarData, cardNumber, txtMonstarInf, cardDetails::monsterDetails);
    unsetCursor();
}

void frmMain::ShowMagicInf(const QString &cardNumber)
{
    showDetails(mdlZorv::strMagicData, cardNumber, txtMagicInf, cardDetails::magicDetails);
    unsetCursor();
}
