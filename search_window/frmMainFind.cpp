// The find bar: Ctrl+F opens it below the pages; its words narrow both pages' lists, on top of
// their filters, to the cards whose number, name or effect text holds every word.

#include "card_data/mdlZorv.h"
#include "card_rules/cardFind.h"
#include "search_window/cardListModel.h"
#include "search_window/frmMain.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QShortcut>
#include <QTabWidget>
#include <QToolButton>

namespace {

constexpr int findBarHeight = 28;

} // namespace

void frmMain::createFindBar()
{
    findBar = new QWidget(this);
    findBar->setObjectName(QStringLiteral("findBar"));
    findBar->setGeometry(0, height(), width(), findBarHeight);
    auto *layout = new QHBoxLayout(findBar);
    layout->setContentsMargins(6, 2, 4, 4);
    txtFind = new QLineEdit(findBar);
    txtFind->setObjectName(QStringLiteral("txtFind"));
    txtFind->setClearButtonEnabled(true);
    txtFind->setAccessibleName(QStringLiteral("カードを探す"));
    txtFind->setToolTip(QStringLiteral("番号、名前、効果の文のどれかに、空白で区切ったどの語も"
                                       "含むカードだけを一覧に残します (Esc で閉じる)"));
    txtFind->installEventFilter(this);
    lblFindCount = new QLabel(findBar);
    lblFindCount->setObjectName(QStringLiteral("lblFindCount"));
    cmdCloseFind = new QToolButton(findBar);
    cmdCloseFind->setObjectName(QStringLiteral("cmdCloseFind"));
    cmdCloseFind->setText(QStringLiteral("×"));
    cmdCloseFind->setAutoRaise(true);
    cmdCloseFind->setAccessibleName(QStringLiteral("探すのをやめる"));
    cmdCloseFind->setToolTip(cmdCloseFind->accessibleName());
    layout->addWidget(txtFind, 1);
    layout->addWidget(lblFindCount);
    layout->addWidget(cmdCloseFind);
    findBar->hide();

    connect(new QShortcut(QKeySequence::Find, this), &QShortcut::activated, this,
            &frmMain::openFind);
    connect(new QShortcut(QKeySequence(Qt::Key_Find), this), &QShortcut::activated, this,
            &frmMain::openFind);
    closeFindKey_ = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    closeFindKey_->setEnabled(false);
    connect(closeFindKey_, &QShortcut::activated, this, &frmMain::closeFind);
    connect(cmdCloseFind, &QToolButton::clicked, this, &frmMain::closeFind);
    connect(txtFind, &QLineEdit::textChanged, this, &frmMain::txtFind_Change);
}

// The window grows by the bar's height; every other control keeps its place.
void frmMain::openFind()
{
    if (findBar->isHidden()) {
        const QSize pages = size();
        findBar->setGeometry(0, pages.height(), pages.width(), findBarHeight);
        setFixedSize(pages.width(), pages.height() + findBarHeight);
        findBar->show();
        closeFindKey_->setEnabled(true);
        showFindCount();
    }
    txtFind->setFocus(Qt::ShortcutFocusReason);
    txtFind->selectAll();
}

void frmMain::closeFind()
{
    if (findBar->isHidden())
        return;
    txtFind->clear();
    findBar->hide();
    closeFindKey_->setEnabled(false);
    setFixedSize(width(), height() - findBarHeight);
    (SSTab->currentIndex() == 0 ? lstMonstarName : lstMagicName)->setFocus(Qt::OtherFocusReason);
}

// The front page's list follows at once; the page behind follows when it comes to the front.
void frmMain::txtFind_Change()
{
    const QStringList words = cardFind::words(txtFind->text());
    if (words == findWords_)
        return;
    findWords_ = words;
    const int front = SSTab->currentIndex();
    findStale_[size_t(1 - front)] = true;
    showFound(front);
}

void frmMain::showFound(int page)
{
    findStale_[size_t(page)] = false;
    const std::vector<qsizetype> &filtered = filteredRows_[size_t(page)];
    CardListModel *names = page == 0 ? monsterNames_ : magicNames_;
    names->setRows(findWords_.isEmpty() ? filtered : findIndex(page).narrow(filtered, findWords_));
    if (page == SSTab->currentIndex())
        showFindCount();
}

// "12 / 806 枚": the entries listed, and those the page's filters alone give.
void frmMain::showFindCount()
{
    const int front = SSTab->currentIndex();
    const CardListModel *names = front == 0 ? monsterNames_ : magicNames_;
    lblFindCount->setText(QStringLiteral("%1 / %2 枚")
                              .arg(names->rowCount())
                              .arg(filteredRows_[size_t(front)].size()));
}

const cardFind::FindIndex &frmMain::findIndex(int page)
{
    auto &index = findIndexes_[size_t(page)];
    if (!index) {
        using namespace mdlZorv;
        index =
            page == 0
                ? std::make_unique<cardFind::FindIndex>(
                      strMonstarData, std::initializer_list<int>{CardField::Number, CardField::Name,
                                                                 CardField::Effect})
                : std::make_unique<cardFind::FindIndex>(
                      strMagicData, std::initializer_list<int>{MagicField::Number, MagicField::Name,
                                                               MagicField::Effect});
    }
    return *index;
}
