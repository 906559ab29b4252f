// The window's event handlers: every filter change re-runs the search of its own page (a threshold
// box's on Enter), a change of the selected name shows that card, and a tab switch enables only the
// front page's controls.

#include "card_data/mdlZorv.h"
#include "card_data/numberText.h"
#include "search_window/cardListModel.h"
#include "search_window/frmMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QListView>
#include <QRadioButton>
#include <QTabWidget>

void frmMain::connectEvents()
{
    // Connected first, so that the attack box shows its number rewritten before the search runs.
    connect(txtAP, &ThresholdBox::entered, this, &frmMain::txtAP_KeyUp);
    connectFilters(monsterPageControls(), &frmMain::SearchMonstar);
    connectFilters(magicPageControls(), &frmMain::SearchMagic);
    connect(lstMonstarName->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &frmMain::lstMonstarName_Click);
    connect(lstMagicName->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &frmMain::lstMagicName_Click);
    connect(SSTab, &QTabWidget::currentChanged, this, &frmMain::SSTab_Click);
}

// A drop-down list runs the search on every change of its entry, a check box when it becomes
// checked or clear, an option button when it becomes selected (so a pair's switch runs it once),
// a threshold box on Enter. The name list shows details instead. Any other kind of control is a
// mistake in the page's list, and stops the program at once.
void frmMain::connectFilters(const std::vector<QWidget *> &controls, void (frmMain::*search)())
{
    for (QWidget *control : controls) {
        if (auto *list = qobject_cast<QComboBox *>(control)) {
            connect(list, &QComboBox::currentIndexChanged, this, search);
        } else if (auto *option = qobject_cast<QRadioButton *>(control)) {
            connect(option, &QRadioButton::toggled, this, [this, search](bool selected) {
                if (selected)
                    (this->*search)();
            });
        } else if (auto *box = qobject_cast<QCheckBox *>(control)) {
            connect(box, &QCheckBox::toggled, this, search);
        } else if (auto *threshold = qobject_cast<ThresholdBox *>(control)) {
            connect(threshold, &ThresholdBox::entered, this, search);
        } else if (!qobject_cast<QListView *>(control)) {
            qFatal("frmMain: %s is a kind of filter control that no search is wired to",
                   qPrintable(control->objectName()));
        }
    }
}

std::vector<QWidget *> frmMain::monsterPageControls() const
{
    return {cmbType,        cmbMazoku, cmbLevel,    chkKouka,    chkDuelistC[0], chkDuelistC[1],
            chkDuelistC[2], txtCostC,  optCostC[0], optCostC[1], txtAP,          optAP[0],
            optAP[1],       txtDP,     optDP[0],    optDP[1],    lstMonstarName};
}

std::vector<QWidget *> frmMain::magicPageControls() const
{
    return {cmbMagic, chkDuelistM[0], chkDuelistM[1], chkDuelistM[2],
            txtCostM, optCostM[0],    optCostM[1],    lstMagicName};
}

void frmMain::SSTab_Click()
{
    const bool monsterInFront = SSTab->currentIndex() == 0;
    for (QWidget *control : monsterPageControls())
        control->setEnabled(monsterInFront);
    for (QWidget *control : magicPageControls())
        control->setEnabled(!monsterInFront);
    if (findStale_[size_t(SSTab->currentIndex())])
        showFound(SSTab->currentIndex());
    else if (findBar)
        showFindCount();
}

// The card number of the selected entry, found through the row the entry was built from.
std::optional<QString> frmMain::selectedCardNumber(const QListView *list,
                                                   const mdlZorv::CardTable &table)
{
    const auto *names = static_cast<const CardListModel *>(list->model());
    const QModelIndexList selected = list->selectionModel()->selectedIndexes();
    if (names->rowCount() <= 0 || selected.isEmpty())
        return std::nullopt;
    return table[mdlZorv::CardField::Number][names->tableRow(selected.first().row())];
}

void frmMain::lstMonstarName_Click()
{
    if (const auto number = selectedCardNumber(lstMonstarName, mdlZorv::strMonstarData))
        ShowMonstarInf(*number);
}

void frmMain::lstMagicName_Click()
{
    if (const auto number = selectedCardNumber(lstMagicName, mdlZorv::strMagicData))
        ShowMagicInf(*number);
}

// Enter in the attack box also writes its number back as a number: "0042" becomes "42".
void frmMain::txtAP_KeyUp()
{
    txtAP->setText(mdlZorv::numberText(mdlZorv::readNumber(txtAP->text())));
}
