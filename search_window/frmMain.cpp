#include "search_window/frmMain.h"

#include "card_data/mdlZorv.h"
#include "card_rules/cardDetails.h"
#include "card_rules/filterLists.h"
#include "search_window/backgroundJob.h"
#include "search_window/cardListModel.h"
#include "search_window/cardReload.h"
#include "search_window/findBar.h"
#include "search_window/searchPage.h"
#include "search_window/windowControls.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QListView>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTabWidget>

#include <tuple>

using namespace windowControls;

namespace {

// The cost filters of both pages are laid out alike.
ThresholdFilterParts costFilter(const QString &frameName, const QString &boxName,
                                const char *optionsName, int digitLimit)
{
    return {.frameName = frameName,
            .caption = QStringLiteral("コスト"),
            .boxName = boxName,
            .optionsName = optionsName,
            .digitLimit = digitLimit,
            .inputMethod = ThresholdBox::InputMethod::On,
            .box = fromTwips(90, 210, 510, 270),
            .atLeast = fromTwips(660, 255, 660, 180),
            .atMost = fromTwips(1380, 255, 660, 180)};
}
const QRect costFramePlace = fromTwips(2820, 750, 2100, 540);

template <typename Boxes> void createDuelistBoxes(Boxes &boxes, QGroupBox *frame, const char *name)
{
    const QRect places[3] = {fromTwips(150, 210, 660, 270), fromTwips(900, 210, 660, 270),
                             fromTwips(1650, 210, 870, 270)};
    for (int i = 0; i < 3; ++i) {
        const QString caption = filterLists::duelists[size_t(i)].caption.toString();
        boxes[size_t(i)] = checkBox(frame, arrayMemberName(name, i), caption, places[i]);
    }
}

} // namespace

frmMain::frmMain(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Zorvカード検索ツール"));
    setWindowIcon(QIcon(QStringLiteral(":/zorv/icon.png")));
    setFont(windowFont());
    resize(defaultSize);

    SSTab = new QTabWidget(this);
    SSTab->setObjectName(QStringLiteral("SSTab"));
    SSTab->setTabPosition(QTabWidget::North);
    SSTab->setGeometry(tabPlace());
    auto *monsterPage = new QWidget;
    monsterPage->setObjectName(QStringLiteral("monsterPage"));
    auto *magicPage = new QWidget;
    magicPage->setObjectName(QStringLiteral("magicPage"));
    SSTab->addTab(monsterPage, QString());
    SSTab->addTab(magicPage, QString());

    createMonsterPage(monsterPage);
    createMagicPage(magicPage);
    for (int tab = 0; tab < SSTab->count(); ++tab)
        SSTab->setTabText(tab, pages()[size_t(tab)]->title());
    chainTabStops();
    addTabSwitchKeys();
    nameControlsForScreenReaders();
    createFindBar();
    connectEvents();
    addWindowActions();
    // The pages' corner within the tab control is known only once it has laid them out.
    pageStack_ = monsterPage->parentWidget();
    pageStack_->installEventFilter(this);
    placePageControls();
    updateLeastSize();
}

frmMain::~frmMain() = default;

void frmMain::createMonsterPage(QWidget *page)
{
    createMonsterFilters(page);

    auto *names = new CardListModel(mdlZorv::strMonstarData, this);
    lstMonstarName = nameList(page, QStringLiteral("lstMonstarName"), names);
    txtMonstarInf = detailBox(page, QStringLiteral("txtMonstarInf"));

    monsters_ = std::make_unique<SearchPage>(SearchPage::Parts{
        .title = QStringLiteral("モンスター"),
        .table = mdlZorv::strMonstarData,
        .columns = tableColumns::monster,
        .names = names,
        .list = lstMonstarName,
        .detailsBox = txtMonstarInf,
        .listPlace = fromTwips(105, 1920, 4830, 4200),
        .detailsPlace = fromTwips(105, 6165, 4830, 1230),
        .controls = {cmbType, cmbMazoku, cmbLevel, chkKouka, chkDuelistC[0], chkDuelistC[1],
                     chkDuelistC[2], txtCostC, optCostC[0], optCostC[1], txtAP, optAP[0], optAP[1],
                     txtDP, optDP[0], optDP[1], lstMonstarName},
        .search =
            [this](mdlZorv::CardTable &table) {
                return cardSearch::searchMonsters(table, monsterFilters());
            },
        .details = cardDetails::monsterDetails});
}

void frmMain::createMonsterFilters(QWidget *page)
{
    cmbType = dropDownList(page, QStringLiteral("cmbType"));
    cmbMazoku = dropDownList(page, QStringLiteral("cmbMazoku"));
    cmbLevel = dropDownList(page, QStringLiteral("cmbLevel"));
    chkKouka = checkBox(page, QStringLiteral("chkKouka"), QStringLiteral("効果"),
                        fromTwips(0, 0, 660, 270));
    pagePlacements_.push_back({cmbType, fromTwips(105, 390, 1260, 300)});
    pagePlacements_.push_back({cmbMazoku, fromTwips(1440, 390, 1290, 300)});
    pagePlacements_.push_back({cmbLevel, fromTwips(2805, 390, 1290, 300)});
    pagePlacements_.push_back({chkKouka, fromTwips(4155, 420, 660, 270), chkKouka->size()});

    frmDuelist =
        frame(page, QStringLiteral("frmDuelist"), QStringLiteral("使用可能デュエリスト"), QRect());
    createDuelistBoxes(chkDuelistC, frmDuelist, "chkDuelistC");
    pagePlacements_.push_back({frmDuelist, fromTwips(105, 750, 2550, 540)});

    std::tie(Frame3, txtCostC, optCostC) = thresholdFilter(
        page, costFilter(QStringLiteral("Frame3"), QStringLiteral("txtCostC"), "optCostC", 3));
    pagePlacements_.push_back({Frame3, costFramePlace});

    std::tie(Frame1, txtAP, optAP) =
        thresholdFilter(page, {.frameName = QStringLiteral("Frame1"),
                               .caption = QStringLiteral("攻撃力"),
                               .boxName = QStringLiteral("txtAP"),
                               .optionsName = "optAP",
                               .digitLimit = 4,
                               .inputMethod = ThresholdBox::InputMethod::Off,
                               .box = fromTwips(150, 210, 600, 270),
                               .atLeast = fromTwips(840, 210, 660, 300),
                               .atMost = fromTwips(1620, 210, 660, 300)});
    pagePlacements_.push_back({Frame1, fromTwips(105, 1320, 2460, 540)});

    std::tie(Frame2, txtDP, optDP) =
        thresholdFilter(page, {.frameName = QStringLiteral("Frame2"),
                               .caption = QStringLiteral("守備力"),
                               .boxName = QStringLiteral("txtDP"),
                               .optionsName = "optDP",
                               .digitLimit = 4,
                               .inputMethod = ThresholdBox::InputMethod::Off,
                               .box = fromTwips(120, 210, 600, 270),
                               .atLeast = fromTwips(780, 210, 660, 300),
                               .atMost = fromTwips(1500, 210, 660, 300)});
    pagePlacements_.push_back({Frame2, fromTwips(2715, 1320, 2220, 540)});
}

void frmMain::createMagicPage(QWidget *page)
{
    cmbMagic = dropDownList(page, QStringLiteral("cmbMagic"));
    pagePlacements_.push_back({cmbMagic, fromTwips(105, 390, 1260, 300)});

    Frame4 = frame(page, QStringLiteral("Frame4"), QStringLiteral("使用可能デュエリスト"), QRect());
    createDuelistBoxes(chkDuelistM, Frame4, "chkDuelistM");
    pagePlacements_.push_back({Frame4, fromTwips(105, 750, 2550, 540)});

    std::tie(Frame5, txtCostM, optCostM) =
        thresholdFilter(page, costFilter(QStringLiteral("Frame5"), QStringLiteral("txtCostM"),
                                         "optCostM", ThresholdBox::noLimit));
    pagePlacements_.push_back({Frame5, costFramePlace});

    auto *names = new CardListModel(mdlZorv::strMagicData, this);
    lstMagicName = nameList(page, QStringLiteral("lstMagicName"), names);
    txtMagicInf = detailBox(page, QStringLiteral("txtMagicInf"));

    magic_ = std::make_unique<SearchPage>(
        SearchPage::Parts{.title = QStringLiteral("魔法、罠、儀式"),
                          .table = mdlZorv::strMagicData,
                          .columns = tableColumns::magic,
                          .names = names,
                          .list = lstMagicName,
                          .detailsBox = txtMagicInf,
                          .listPlace = fromTwips(105, 1380, 4830, 4740),
                          .detailsPlace = fromTwips(105, 6165, 4830, 1230),
                          .controls = {cmbMagic, chkDuelistM[0], chkDuelistM[1], chkDuelistM[2],
                                       txtCostM, optCostM[0], optCostM[1], lstMagicName},
                          .search =
                              [this](mdlZorv::CardTable &table) {
                                  return cardSearch::searchMagic(table, magicFilters());
                              },
                          .details = cardDetails::magicDetails});
}

std::array<SearchPage *, 2> frmMain::pages() const
{
    return {monsters_.get(), magic_.get()};
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

// Screen readers speak a control's name: captions name themselves, and controls in a frame take
// the frame's caption before their own. Drop-down lists have no caption; their name also shows
// as a tooltip, and is their description too, since on Linux Qt names a drop-down list by its
// current entry.
void frmMain::nameControlsForScreenReaders()
{
    const std::pair<QComboBox *, QString> lists[] = {
        {cmbType, QStringLiteral("タイプ")},
        {cmbMazoku, QStringLiteral("魔族")},
        {cmbLevel, QStringLiteral("レベル")},
        {cmbMagic, QStringLiteral("魔法、罠、儀式の種類")}};
    for (const auto &[list, name] : lists) {
        list->setAccessibleName(name);
        list->setAccessibleDescription(name);
        list->setToolTip(name);
    }
    for (QGroupBox *frame : {frmDuelist, Frame1, Frame2, Frame3, Frame4, Frame5}) {
        for (QWidget *control : frame->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            const auto *button = qobject_cast<QAbstractButton *>(control);
            control->setAccessibleName(button ? frame->title() + u' ' + button->text()
                                              : frame->title());
        }
    }
    lstMonstarName->setAccessibleName(QStringLiteral("モンスターの一覧"));
    lstMagicName->setAccessibleName(QStringLiteral("魔法、罠、儀式の一覧"));
    txtMonstarInf->setAccessibleName(QStringLiteral("モンスターの詳細"));
    txtMagicInf->setAccessibleName(QStringLiteral("魔法、罠、儀式の詳細"));
}

void frmMain::FormInit()
{
    // Filling the lists would run a search per list; the two searches below give the result.
    {
        const QSignalBlocker blockType(cmbType), blockMazoku(cmbMazoku), blockLevel(cmbLevel);
        fillMonsterFilterLists();
    }
    SearchMonstar();
    {
        const QSignalBlocker blockMagic(cmbMagic);
        fillMagicFilterList();
    }
    SearchMagic();
    SSTab->setCurrentIndex(0);
}

namespace {

// Entry 0, then one entry per value: shown cut if huge, the whole value kept as the entry's data.
void fillFilterList(QComboBox *list, const QStringList &values)
{
    list->addItem(filterLists::noSelection());
    for (const QString &value : values)
        list->addItem(filterLists::entryText(value), value);
    list->setCurrentIndex(0);
}

} // namespace

void frmMain::fillMonsterFilterLists()
{
    using namespace mdlZorv;
    fillFilterList(cmbType, filterLists::distinctValues(strMonstarData, CardField::Type));
    fillFilterList(cmbMazoku, filterLists::distinctValues(strMonstarData, CardField::Mazoku));
    fillFilterList(cmbLevel, filterLists::levels());
}

void frmMain::fillMagicFilterList()
{
    fillFilterList(cmbMagic, filterLists::magicKinds());
}
