// The window's event handlers: every filter change re-runs the search of its own page (a threshold
// box's on Enter), a change of the selected name shows that card, and a tab switch enables only the
// front page's controls.

#include "card_data/numberText.h"
#include "search_window/findBar.h"
#include "search_window/frmMain.h"
#include "search_window/searchPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QListView>
#include <QMessageBox>
#include <QRadioButton>
#include <QTabWidget>

void frmMain::connectEvents()
{
    // Connected first, so that the attack box shows its number rewritten before the search runs.
    connect(txtAP, &ThresholdBox::entered, this, &frmMain::txtAP_KeyUp);
    connectFilters(monsters_->controls(), &frmMain::SearchMonstar);
    connectFilters(magic_->controls(), &frmMain::SearchMagic);
    connect(lstMonstarName->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &frmMain::lstMonstarName_Click);
    connect(lstMagicName->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &frmMain::lstMagicName_Click);
    connect(SSTab, &QTabWidget::currentChanged, this, &frmMain::SSTab_Click);
    connect(this, &frmMain::cardFileProblem, this,
            [this](const QString &text) { showMessage(true, text); });
    connect(this, &frmMain::cardFileNotice, this,
            [this](const QString &text) { showMessage(false, text); });
    connect(this, &frmMain::cardFileReloaded, this, [this] {
        if (message_)
            message_->close();
    });
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

void frmMain::SSTab_Click()
{
    SearchPage &front = frontPage();
    for (const SearchPage *page : pages()) {
        for (QWidget *control : page->controls())
            control->setEnabled(page == &front);
    }
    if (front.findStale())
        front.showFound(findBar->words());
    showFindCount();
}

void frmMain::lstMonstarName_Click()
{
    if (const auto number = monsters_->selectedCardNumber())
        ShowMonstarInf(*number);
}

void frmMain::lstMagicName_Click()
{
    if (const auto number = magic_->selectedCardNumber())
        ShowMagicInf(*number);
}

// Enter in the attack box also writes its number back as a number: "0042" becomes "42".
void frmMain::txtAP_KeyUp()
{
    txtAP->setText(mdlZorv::numberText(mdlZorv::readNumber(txtAP->text())));
}
