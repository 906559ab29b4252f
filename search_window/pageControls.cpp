#include "search_window/pageControls.h"

#include "card_data/mdlZorv.h"
#include "card_data/numberText.h"
#include "card_rules/filterLists.h"
#include "search_window/pageLayout.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QListView>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalBlocker>

#include <memory>
#include <tuple>

namespace pageControls {

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
const QRect duelistFramePlace = fromTwips(105, 750, 2550, 540);
const QRect firstListPlace = fromTwips(105, 390, 1260, 300);
const QRect detailsPlace = fromTwips(105, 6165, 4830, 1230);

QGroupBox *duelistFrame(QWidget *page, const QString &name, std::array<QCheckBox *, 3> &boxes,
                        const char *boxesName)
{
    QGroupBox *frame =
        windowControls::frame(page, name, QStringLiteral("使用可能デュエリスト"), QRect());
    const QRect places[3] = {fromTwips(150, 210, 660, 270), fromTwips(900, 210, 660, 270),
                             fromTwips(1650, 210, 870, 270)};
    for (size_t i = 0; i < boxes.size(); ++i) {
        const QString caption = filterLists::duelists[i].caption.toString();
        boxes[i] = checkBox(frame, arrayMemberName(boxesName, int(i)), caption, places[i]);
    }
    return frame;
}

PageLayout *pageLayout(QWidget *page, QWidget *tabControl)
{
    return new PageLayout(page, tabControl, tabPlace().size());
}

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

cardSearch::Threshold threshold(const ThresholdBox *box, const OptionPair &pair)
{
    return {mdlZorv::readNumber(box->text()), pair[0]->isChecked()};
}

// Entry 0, then one entry per value: shown cut if huge, the whole value kept as the entry's data.
void fillFilterList(QComboBox *list, const QStringList &values)
{
    const QSignalBlocker quiet(list);
    const QVariant chosen = list->currentIndex() > 0 ? list->currentData() : QVariant();
    list->clear();
    list->addItem(filterLists::noSelection());
    for (const QString &value : values)
        list->addItem(filterLists::entryText(value), value);
    list->setCurrentIndex(chosen.isValid() ? std::max(list->findData(chosen), 0) : 0);
}

// Drop-down lists have no caption: their name also shows as a tool tip, and is their description
// too, since on Linux Qt names a drop-down list by its current entry. Controls in a frame take the
// frame's caption before their own.
void nameDropDownList(QComboBox *list, const QString &name)
{
    list->setAccessibleName(name);
    list->setAccessibleDescription(name);
    list->setToolTip(name);
}

void nameFrameMembers(const std::vector<QGroupBox *> &frames)
{
    for (QGroupBox *frame : frames) {
        for (QWidget *control : frame->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            const auto *button = qobject_cast<QAbstractButton *>(control);
            control->setAccessibleName(button ? frame->title() + u' ' + button->text()
                                              : frame->title());
        }
    }
}

} // namespace

QRect tabPlace()
{
    return fromTwips(60, 60, 5025, 7470);
}

std::vector<QWidget *> Monster::tabOrder() const
{
    return {cmbType,        cmbMazoku, cmbLevel,    chkKouka,    chkDuelistC[0], chkDuelistC[1],
            chkDuelistC[2], txtCostC,  optCostC[0], optCostC[1], txtAP,          optAP[0],
            optAP[1],       txtDP,     optDP[0],    optDP[1],    lstMonstarName};
}

std::vector<QGroupBox *> Monster::frames() const
{
    return {frmDuelist, Frame3, Frame1, Frame2};
}

std::vector<QWidget *> Magic::tabOrder() const
{
    return {cmbMagic, chkDuelistM[0], chkDuelistM[1], chkDuelistM[2],
            txtCostM, optCostM[0],    optCostM[1],    lstMagicName};
}

std::vector<QGroupBox *> Magic::frames() const
{
    return {Frame4, Frame5};
}

Monster createMonsterPage(QWidget *page, QWidget *tabControl, QAbstractItemModel *names)
{
    Monster c;
    c.layout = pageLayout(page, tabControl);
    c.cmbType = dropDownList(page, QStringLiteral("cmbType"));
    c.layout->addControl(c.cmbType, firstListPlace);
    c.cmbMazoku = dropDownList(page, QStringLiteral("cmbMazoku"));
    c.layout->addControl(c.cmbMazoku, fromTwips(1440, 390, 1290, 300));
    c.cmbLevel = dropDownList(page, QStringLiteral("cmbLevel"));
    c.layout->addControl(c.cmbLevel, fromTwips(2805, 390, 1290, 300));
    c.chkKouka = checkBox(page, QStringLiteral("chkKouka"), QStringLiteral("効果"),
                          fromTwips(0, 0, 660, 270));
    c.layout->addControl(c.chkKouka, fromTwips(4155, 420, 660, 270), c.chkKouka->size());

    c.frmDuelist = duelistFrame(page, QStringLiteral("frmDuelist"), c.chkDuelistC, "chkDuelistC");
    c.layout->addControl(c.frmDuelist, duelistFramePlace);
    std::tie(c.Frame3, c.txtCostC, c.optCostC) = thresholdFilter(
        page, costFilter(QStringLiteral("Frame3"), QStringLiteral("txtCostC"), "optCostC", 3));
    c.layout->addControl(c.Frame3, costFramePlace);
    std::tie(c.Frame1, c.txtAP, c.optAP) =
        thresholdFilter(page, {.frameName = QStringLiteral("Frame1"),
                               .caption = QStringLiteral("攻撃力"),
                               .boxName = QStringLiteral("txtAP"),
                               .optionsName = "optAP",
                               .digitLimit = 4,
                               .inputMethod = ThresholdBox::InputMethod::Off,
                               .box = fromTwips(150, 210, 600, 270),
                               .atLeast = fromTwips(840, 210, 660, 300),
                               .atMost = fromTwips(1620, 210, 660, 300)});
    c.layout->addControl(c.Frame1, fromTwips(105, 1320, 2460, 540));
    std::tie(c.Frame2, c.txtDP, c.optDP) =
        thresholdFilter(page, {.frameName = QStringLiteral("Frame2"),
                               .caption = QStringLiteral("守備力"),
                               .boxName = QStringLiteral("txtDP"),
                               .optionsName = "optDP",
                               .digitLimit = 4,
                               .inputMethod = ThresholdBox::InputMethod::Off,
                               .box = fromTwips(120, 210, 600, 270),
                               .atLeast = fromTwips(780, 210, 660, 300),
                               .atMost = fromTwips(1500, 210, 660, 300)});
    c.layout->addControl(c.Frame2, fromTwips(2715, 1320, 2220, 540));

    c.lstMonstarName = windowControls::nameList(page, QStringLiteral("lstMonstarName"), names);
    c.txtMonstarInf = detailBox(page, QStringLiteral("txtMonstarInf"));
    c.layout->addListAndDetails(c.lstMonstarName, fromTwips(105, 1920, 4830, 4200), c.txtMonstarInf,
                                detailsPlace,
                                {QStringLiteral("lblMonstarCard"), QStringLiteral("divMonstar")});
    return c;
}

Magic createMagicPage(QWidget *page, QWidget *tabControl, QAbstractItemModel *names)
{
    Magic c;
    c.layout = pageLayout(page, tabControl);
    c.cmbMagic = dropDownList(page, QStringLiteral("cmbMagic"));
    c.layout->addControl(c.cmbMagic, firstListPlace);
    c.Frame4 = duelistFrame(page, QStringLiteral("Frame4"), c.chkDuelistM, "chkDuelistM");
    c.layout->addControl(c.Frame4, duelistFramePlace);
    std::tie(c.Frame5, c.txtCostM, c.optCostM) =
        thresholdFilter(page, costFilter(QStringLiteral("Frame5"), QStringLiteral("txtCostM"),
                                         "optCostM", ThresholdBox::noLimit));
    c.layout->addControl(c.Frame5, costFramePlace);

    c.lstMagicName = windowControls::nameList(page, QStringLiteral("lstMagicName"), names);
    c.txtMagicInf = detailBox(page, QStringLiteral("txtMagicInf"));
    c.layout->addListAndDetails(c.lstMagicName, fromTwips(105, 1380, 4830, 4740), c.txtMagicInf,
                                detailsPlace,
                                {QStringLiteral("lblMagicCard"), QStringLiteral("divMagic")});
    return c;
}

cardSearch::MonsterFilters monsterFilters(const Monster &page)
{
    return {.type = filterValue(page.cmbType),
            .mazoku = filterValue(page.cmbMazoku),
            .level = filterValue(page.cmbLevel),
            .effectOnly = page.chkKouka->isChecked(),
            .duelistKeys = duelistKeys(page.chkDuelistC),
            .cost = threshold(page.txtCostC, page.optCostC),
            .ap = threshold(page.txtAP, page.optAP),
            .dp = threshold(page.txtDP, page.optDP)};
}

cardSearch::MagicFilters magicFilters(const Magic &page)
{
    return {.kind = filterValue(page.cmbMagic),
            .duelistKeys = duelistKeys(page.chkDuelistM),
            .cost = threshold(page.txtCostM, page.optCostM)};
}

void fillFilterLists(const Monster &page)
{
    using namespace mdlZorv;
    fillFilterList(page.cmbType, filterLists::distinctValues(strMonstarData, CardField::Type));
    fillFilterList(page.cmbMazoku, filterLists::distinctValues(strMonstarData, CardField::Mazoku));
    fillFilterList(page.cmbLevel, filterLists::levels());
}

void fillFilterLists(const Magic &page)
{
    fillFilterList(page.cmbMagic, filterLists::magicKinds());
}

namespace {

void clearFilters(const std::vector<QWidget *> &controls)
{
    std::vector<std::unique_ptr<QSignalBlocker>> quiet;
    quiet.reserve(controls.size());
    for (QWidget *control : controls)
        quiet.push_back(std::make_unique<QSignalBlocker>(control));
    for (QWidget *control : controls) {
        if (auto *list = qobject_cast<QComboBox *>(control))
            list->setCurrentIndex(0);
        else if (auto *box = qobject_cast<QCheckBox *>(control))
            box->setChecked(false);
        else if (auto *threshold = qobject_cast<ThresholdBox *>(control))
            threshold->setText(QStringLiteral("0"));
    }
}

void selectAtLeast(const OptionPair &pair)
{
    {
        const QSignalBlocker quiet0(pair[0]), quiet1(pair[1]);
        pair[0]->setChecked(true);
    }
    updateOptionTabStops(pair);
}

} // namespace

void clearFilters(const Monster &page)
{
    clearFilters(page.tabOrder());
    for (const OptionPair &pair : {page.optCostC, page.optAP, page.optDP})
        selectAtLeast(pair);
}

void clearFilters(const Magic &page)
{
    clearFilters(page.tabOrder());
    selectAtLeast(page.optCostM);
}

void nameForScreenReaders(const Monster &page)
{
    nameDropDownList(page.cmbType, QStringLiteral("タイプ"));
    nameDropDownList(page.cmbMazoku, QStringLiteral("魔族"));
    nameDropDownList(page.cmbLevel, QStringLiteral("レベル"));
    nameFrameMembers(page.frames());
    page.lstMonstarName->setAccessibleName(QStringLiteral("モンスターの一覧"));
    page.txtMonstarInf->setAccessibleName(QStringLiteral("モンスターの詳細"));
}

void nameForScreenReaders(const Magic &page)
{
    nameDropDownList(page.cmbMagic, QStringLiteral("魔法、罠、儀式の種類"));
    nameFrameMembers(page.frames());
    page.lstMagicName->setAccessibleName(QStringLiteral("魔法、罠、儀式の一覧"));
    page.txtMagicInf->setAccessibleName(QStringLiteral("魔法、罠、儀式の詳細"));
}

} // namespace pageControls
