// The window's event handlers: every filter change re-runs the search of its own page, a change
// of the selected name shows that card, a tab switch enables only the front page's controls, and
// the threshold boxes keep to digits and search on Enter.

#include "card_data/mdlZorv.h"
#include "card_data/numberText.h"
#include "search_window/cardListModel.h"
#include "search_window/frmMain.h"
#include "search_window/thresholdBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QRadioButton>
#include <QTabWidget>

void frmMain::connectEvents()
{
    connectFilters(monsterPageFilters(), &frmMain::SearchMonstar);
    connectFilters(magicPageFilters(), &frmMain::SearchMagic);
    connect(lstMonstarName->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &frmMain::lstMonstarName_Click);
    connect(lstMagicName->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &frmMain::lstMagicName_Click);
    connect(SSTab, &QTabWidget::currentChanged, this, &frmMain::SSTab_Click);
    for (QLineEdit *box : {txtCostC, txtAP, txtDP, txtCostM}) {
        box->setValidator(new thresholdBox::DigitsOnlyValidator(box));
        box->installEventFilter(this);
        connect(box, &QLineEdit::textChanged, this, [this, box] { thresholdBox_Change(box); });
    }
}

// A drop-down list runs the search on every change of its entry, a check box when it becomes
// checked or clear, an option button when it becomes selected (so a pair's switch runs it once).
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
        }
    }
}

// The filter controls and name list of each page, in the order the tab switch sets them.
std::vector<QWidget *> frmMain::monsterPageFilters() const
{
    return {cmbType,        cmbMazoku, cmbLevel,    chkKouka,    chkDuelistC[0], chkDuelistC[1],
            chkDuelistC[2], txtCostC,  optCostC[0], optCostC[1], txtAP,          optAP[0],
            optAP[1],       txtDP,     optDP[0],    optDP[1],    lstMonstarName};
}

std::vector<QWidget *> frmMain::magicPageFilters() const
{
    return {cmbMagic, chkDuelistM[0], chkDuelistM[1], chkDuelistM[2],
            txtCostM, optCostM[0],    optCostM[1],    lstMagicName};
}

void frmMain::SSTab_Click()
{
    const bool monsterInFront = SSTab->currentIndex() == 0;
    for (QWidget *control : monsterPageFilters())
        control->setEnabled(monsterInFront);
    for (QWidget *control : magicPageFilters())
        control->setEnabled(!monsterInFront);
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

// Threshold boxes

void frmMain::thresholdBox_Change(QLineEdit *box)
{
    if (thresholdBox::isBlank(box->text()))
        box->setText(QStringLiteral("0"));
}

// Whatever way a box gets the focus, its whole text ends up selected, so that the next digit
// replaces it. After a mouse click the selection is made when the button is released, so that a
// drag still selects what it covers; a click into a box that has the focus places the cursor.
void frmMain::thresholdBox_GotFocus(QLineEdit *box, Qt::FocusReason reason)
{
    switch (reason) {
    case Qt::MouseFocusReason:
        selectOnRelease_ = box;
        break;
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason:
    case Qt::OtherFocusReason:
        box->selectAll();
        break;
    default: // back from a menu or another window: keep the selection as it was
        break;
    }
}

void frmMain::thresholdBox_MouseUp(QLineEdit *box)
{
    if (selectOnRelease_ == box && !box->hasSelectedText())
        box->selectAll();
    selectOnRelease_ = nullptr;
}

void frmMain::thresholdBox_KeyUp(QLineEdit *box)
{
    if (box == txtAP)
        txtAP->setText(mdlZorv::numberText(mdlZorv::readNumber(txtAP->text())));
    if (box == txtCostM)
        SearchMagic();
    else
        SearchMonstar();
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == pageStack_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        placePageControls();

    auto *box = qobject_cast<QLineEdit *>(watched);
    if (!box)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn:
        thresholdBox_GotFocus(box, static_cast<QFocusEvent *>(event)->reason());
        break;
    case QEvent::MouseButtonRelease:
        thresholdBox_MouseUp(box);
        break;
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        return thresholdBox::rejectsTypedText(key->text(), key->modifiers());
    }
    case QEvent::KeyRelease: {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !key->isAutoRepeat())
            thresholdBox_KeyUp(box);
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
