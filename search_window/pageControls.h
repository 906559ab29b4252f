#pragma once

#include "card_rules/cardSearch.h"
#include "search_window/windowControls.h"

#include <QRect>
#include <QSize>

#include <array>
#include <vector>

class PageLayout;
class QAbstractItemModel;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QListView;
class QPlainTextEdit;
class QWidget;

// The controls of the window's two pages, each made, named and laid out on its page, and the
// filters they stand for. Places are those of the window's default size, from the outer corner of
// the tab control.
namespace pageControls {

// The tab control's place in the window at the window's default size.
QRect tabPlace();

struct Monster
{
    QComboBox *cmbType = nullptr;
    QComboBox *cmbMazoku = nullptr;
    QComboBox *cmbLevel = nullptr;
    QCheckBox *chkKouka = nullptr;
    QGroupBox *frmDuelist = nullptr;
    std::array<QCheckBox *, 3> chkDuelistC{};
    QGroupBox *Frame3 = nullptr;
    ThresholdBox *txtCostC = nullptr;
    windowControls::OptionPair optCostC{};
    QGroupBox *Frame1 = nullptr;
    ThresholdBox *txtAP = nullptr;
    windowControls::OptionPair optAP{};
    QGroupBox *Frame2 = nullptr;
    ThresholdBox *txtDP = nullptr;
    windowControls::OptionPair optDP{};
    QListView *lstMonstarName = nullptr;
    QPlainTextEdit *txtMonstarInf = nullptr;
    PageLayout *layout = nullptr;

    // The filter controls and the name list, in the order of the Tab key.
    std::vector<QWidget *> tabOrder() const;
    std::vector<QGroupBox *> frames() const;
    std::vector<ThresholdBox *> thresholdBoxes() const { return {txtCostC, txtAP, txtDP}; }
};

struct Magic
{
    QComboBox *cmbMagic = nullptr;
    QGroupBox *Frame4 = nullptr;
    std::array<QCheckBox *, 3> chkDuelistM{};
    QGroupBox *Frame5 = nullptr;
    ThresholdBox *txtCostM = nullptr;
    windowControls::OptionPair optCostM{};
    QListView *lstMagicName = nullptr;
    QPlainTextEdit *txtMagicInf = nullptr;
    PageLayout *layout = nullptr;

    std::vector<QWidget *> tabOrder() const;
    std::vector<QGroupBox *> frames() const;
    std::vector<ThresholdBox *> thresholdBoxes() const { return {txtCostM}; }
};

// Makes the controls of a page of tabControl; names is the model of its name list.
Monster createMonsterPage(QWidget *page, QWidget *tabControl, QAbstractItemModel *names);
Magic createMagicPage(QWidget *page, QWidget *tabControl, QAbstractItemModel *names);

// The filters as the controls stand.
cardSearch::MonsterFilters monsterFilters(const Monster &page);
cardSearch::MagicFilters magicFilters(const Magic &page);

// Fills the filter lists from mdlZorv's tables: entry 0, then one entry per value. Each list
// keeps the value chosen where it still exists, else shows entry 0. Fills without a signal: the
// caller searches once the lists are filled.
void fillFilterLists(const Monster &page);
void fillFilterLists(const Magic &page);

// Puts every filter of the page back as it starts: entry 0, boxes clear, "0", "以上". Without a
// signal: the caller searches once.
void clearFilters(const Monster &page);
void clearFilters(const Magic &page);

// Names the controls for screen readers.
void nameForScreenReaders(const Monster &page);
void nameForScreenReaders(const Magic &page);

} // namespace pageControls
