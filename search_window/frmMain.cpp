#include "search_window/frmMain.h"

#include "card_data/mdlZorv.h"
#include "card_data/numberText.h"
#include "card_rules/cardDetails.h"
#include "card_rules/cardSearch.h"
#include "search_window/busyPointer.h"
#include "search_window/cardListModel.h"
#include "search_window/cardTableFollower.h"
#include "search_window/findBar.h"
#include "search_window/pageLayout.h"
#include "search_window/passingNote.h"
#include "search_window/reloadNote.h"
#include "search_window/searchPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QListView>
#include <QRadioButton>
#include <QShortcut>
#include <QTabWidget>

frmMain::frmMain(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Zorvカード検索ツール"));
    setWindowIcon(QIcon(QStringLiteral(":/zorv/icon.png")));
    setFont(windowControls::windowFont());
    resize(defaultSize);

    createPages();
    chainTabStops();
    addTabSwitchKeys();
    findBar = new FindBar(this);
    note_ = new PassingNote(this);
    reloadNote_ = new ReloadNote(note_);
    cardTable_ = new CardTableFollower(this, pages(), SSTab);
    connectEvents();
    addWindowActions();
    updateLeastSize();
    useCardSet(CardSet::ofShownTables());
}

frmMain::~frmMain() = default;

void frmMain::createPages()
{
    SSTab = new QTabWidget(this);
    SSTab->setObjectName(QStringLiteral("SSTab"));
    SSTab->setTabPosition(QTabWidget::North);
    SSTab->setGeometry(pageControls::tabPlace());
    auto *monsterPage = new QWidget;
    monsterPage->setObjectName(QStringLiteral("monsterPage"));
    auto *magicPage = new QWidget;
    magicPage->setObjectName(QStringLiteral("magicPage"));
    SSTab->addTab(monsterPage, QStringLiteral("モンスター"));
    SSTab->addTab(magicPage, QStringLiteral("魔法、罠、儀式"));

    auto *monsterNames = new CardListModel(this);
    monster_ = pageControls::createMonsterPage(monsterPage, SSTab, monsterNames);
    monsterPage_ = std::make_unique<SearchPage>(
        SearchPage::Parts{.title = SSTab->tabText(0),
                          .columns = tableColumns::monster,
                          .names = monsterNames,
                          .list = monster_.lstMonstarName,
                          .detailsBox = monster_.txtMonstarInf,
                          .layout = monster_.layout,
                          .duelistsField = mdlZorv::CardField::Duelists,
                          .controls = monster_.tabOrder(),
                          .details = cardDetails::monsterDetails});
    auto *magicNames = new CardListModel(this);
    magic_ = pageControls::createMagicPage(magicPage, SSTab, magicNames);
    magicPage_ = std::make_unique<SearchPage>(
        SearchPage::Parts{.title = SSTab->tabText(1),
                          .columns = tableColumns::magic,
                          .names = magicNames,
                          .list = magic_.lstMagicName,
                          .detailsBox = magic_.txtMagicInf,
                          .layout = magic_.layout,
                          .duelistsField = mdlZorv::MagicField::Duelists,
                          .controls = magic_.tabOrder(),
                          .details = cardDetails::magicDetails});
    pageControls::nameForScreenReaders(monster_);
    pageControls::nameForScreenReaders(magic_);
}

std::array<SearchPage *, 2> frmMain::pages() const
{
    return {monsterPage_.get(), magicPage_.get()};
}

SearchPage &frmMain::frontPage() const
{
    return *pages()[size_t(SSTab->currentIndex())];
}

// The Tab key walks the monster page, then the magic page, then the tab strip; controls of the
// page behind are hidden and so skipped.
void frmMain::chainTabStops()
{
    std::vector<QWidget *> order = {SSTab};
    for (const SearchPage *page : pages())
        order.insert(order.end(), page->controls().begin(), page->controls().end());
    for (size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

// Ctrl+Tab and Ctrl+PageDown show the next tab, Ctrl+Shift+Tab and Ctrl+PageUp the previous one,
// whichever control has the focus: a drop-down list would otherwise keep Ctrl+Tab to itself.
void frmMain::addTabSwitchKeys()
{
    const std::pair<QKeySequence, int> keys[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
        {QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), -1},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1},
        {QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1}};
    for (const auto &[sequence, step] : keys) {
        connect(new QShortcut(sequence, this), &QShortcut::activated, this, [this, step = step] {
            const int count = SSTab->count();
            SSTab->setCurrentIndex((SSTab->currentIndex() + step + count) % count);
        });
    }
}

void frmMain::FormInit()
{
    pageControls::fillFilterLists(monster_);
    SearchMonstar();
    pageControls::fillFilterLists(magic_);
    SearchMagic();
    SSTab->setCurrentIndex(0);
}

void frmMain::connectEvents()
{
    // Connected first, so that the attack box shows its number rewritten before the search runs.
    connect(monster_.txtAP, &ThresholdBox::entered, this, &frmMain::txtAP_KeyUp);
    connectFilters(monsterPage_->controls(), &frmMain::SearchMonstar);
    connectFilters(magicPage_->controls(), &frmMain::SearchMagic);
    connect(monster_.lstMonstarName->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &frmMain::lstMonstarName_Click);
    connect(magic_.lstMagicName->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &frmMain::lstMagicName_Click);
    connect(SSTab, &QTabWidget::currentChanged, this, &frmMain::SSTab_Click);
    for (const QKeySequence &key : {QKeySequence(QKeySequence::Find), QKeySequence(Qt::Key_Find)})
        connect(new QShortcut(key, this), &QShortcut::activated, this, &frmMain::openFind);
    connect(findBar, &FindBar::wordsChanged, this, &frmMain::txtFind_Change);
    connect(findBar, &FindBar::closed, this, &frmMain::closeFind);
    connect(cardTable_, &CardTableFollower::opened, this, &frmMain::makeReadings);
    connect(findBar, &FindBar::tabPressed, this,
            [this] { frontPage().list()->setFocus(Qt::TabFocusReason); });
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
    if (const auto number = monsterPage_->selectedCardNumber())
        ShowMonstarInf(*number);
}

void frmMain::lstMagicName_Click()
{
    if (const auto number = magicPage_->selectedCardNumber())
        ShowMagicInf(*number);
}

// Enter in the attack box also writes its number back as a number: "0042" becomes "42".
void frmMain::txtAP_KeyUp()
{
    monster_.txtAP->setText(mdlZorv::numberText(mdlZorv::readNumber(monster_.txtAP->text())));
}

void frmMain::SearchMonstar()
{
    const BusyPointer busy(this);
    const auto filters = pageControls::monsterFilters(monster_);
    monsterPage_->showFiltered(cardSearch::searchMonsters(mdlZorv::strMonstarData, filters),
                               findBar->words());
    for (ThresholdBox *box : monster_.thresholdBoxes())
        box->markSearched();
    showFindCount();
}

void frmMain::SearchMagic()
{
    const BusyPointer busy(this);
    const auto filters = pageControls::magicFilters(magic_);
    magicPage_->showFiltered(cardSearch::searchMagic(mdlZorv::strMagicData, filters),
                             findBar->words());
    for (ThresholdBox *box : magic_.thresholdBoxes())
        box->markSearched();
    showFindCount();
}

void frmMain::ShowMonstarInf(const QString &cardNumber)
{
    monsterPage_->showDetails(cardNumber);
    unsetCursor();
}

void frmMain::ShowMagicInf(const QString &cardNumber)
{
    magicPage_->showDetails(cardNumber);
    unsetCursor();
}
