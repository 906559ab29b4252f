#pragma once

#include "card_data/mdlZorv.h"
#include "card_rules/cardSearch.h"
#include "search_window/thresholdBox.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <array>
#include <memory>
#include <vector>

class BackgroundJob;
class CardFileWatcher;
class FindBar;
class SearchPage;
class frmCardTable;
namespace cardReload {
struct FoldedTexts;
struct ReloadedCards;
} // namespace cardReload
class QCheckBox;
class QCloseEvent;
class QDragEnterEvent;
class QDropEvent;
class QResizeEvent;
class QComboBox;
class QGroupBox;
class QListView;
class QMessageBox;
class QPlainTextEdit;
class QRadioButton;
class QTabWidget;

// The card search window: a monster tab and a magic/trap/ritual tab, each with filter controls,
// a list of card names and a details box, and a find bar below them that narrows both lists.
class frmMain : public QWidget
{
    Q_OBJECT

public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    // Fills the filter lists and both name lists from the card tables and brings the monster tab
    // to the front. Called once, after loading and before the window is first shown.
    void FormInit();

    // Follows the card file the cards were read from, as the watcher watches it (from before the
    // first read, so that no change is missed): reads it again in the background whenever it is
    // no longer the file first read, and on F5. Takes the watcher over.
    void followCardFile(CardFileWatcher *watcher, const mdlZorv::LoadOutcome &firstRead);
    // Reads the followed card file again, once it is not being written. The cards on screen stay
    // until the new ones are read in full, and stay if the file cannot be read; each page keeps
    // its filters where their values still exist, searches again and keeps the selected card's
    // details if the card is still listed.
    void ReloadCardFile();
    // Tells the user what a read of the card file has to tell, if anything.
    void tellLoadOutcome(const mdlZorv::LoadOutcome &outcome);
    // Reads another card file, in the background, and follows it from then on; if it cannot be
    // read, the cards on screen and the file followed stay, and the user is told why.
    void openCardFile(const QString &path);

    // Puts the window where the user left it last time, if that place is on a screen now, else in
    // the middle of the screen; never taller than the screen. Remembered when the window closes.
    void restoreWindowPlace();

Q_SIGNALS:
    // The user should be told: the card file could not be read again (the cards on screen stay),
    // or it was read but held lines that did not decode. One message box shows the latest.
    void cardFileProblem(const QString &text);
    void cardFileNotice(const QString &text);
    // The cards of the card file read again are shown.
    void cardFileReloaded();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void createMonsterPage(QWidget *page);
    void createMonsterFilters(QWidget *page);
    void createMagicPage(QWidget *page);
    void chainTabStops();
    void addTabSwitchKeys();
    void nameControlsForScreenReaders();
    void addWindowActions();

    // The window's layout: at its default size every control has its place; what the window
    // gains or loses goes to the tab control and, on each page, to the list and details box.
    static constexpr QSize defaultSize{344, 505};
    static QRect tabPlace();
    int findBarRoom() const;
    void placeTab();
    void placePageControls();
    void updateLeastSize();
    void toggleDetailsFocus();

    void createFindBar();
    void openFind();
    void closeFind();
    void txtFind_Change(const QStringList &words);
    void showFindCount();

    // The pages in the order of their tabs, and the one in front.
    std::array<SearchPage *, 2> pages() const;
    SearchPage &frontPage() const;

    void startReload();
    void finishReload();
    void chooseCardFile();
    void showCardFileInfo();

    // The card table window follows the page in front.
    void openCardTable();
    void placeBeside(QWidget *other) const;
    void followWithCardTable();
    void updateCardTable();
    void showCardFromTable(qsizetype tableRow);
    void showNewCards(cardReload::ReloadedCards &reloaded);
    void foldTexts();
    void useFoldedTexts();
    void showMessage(bool isProblem, const QString &text);

    void fillMonsterFilterLists();
    void fillMagicFilterList();
    void refillFilterListsKeepingChoices();
    void SearchMonstar();
    void SearchMagic();
    void search(SearchPage &page);
    void ShowMonstarInf(const QString &cardNumber);
    void ShowMagicInf(const QString &cardNumber);
    cardSearch::MonsterFilters monsterFilters() const;
    cardSearch::MagicFilters magicFilters() const;

    void connectEvents();
    void connectFilters(const std::vector<QWidget *> &controls, void (frmMain::*search)());
    void SSTab_Click();
    void lstMonstarName_Click();
    void lstMagicName_Click();
    void txtAP_KeyUp();

    QTabWidget *SSTab = nullptr;

    // Monster page
    QComboBox *cmbType = nullptr;
    QComboBox *cmbMazoku = nullptr;
    QComboBox *cmbLevel = nullptr;
    QCheckBox *chkKouka = nullptr;
    QGroupBox *frmDuelist = nullptr;
    std::array<QCheckBox *, 3> chkDuelistC{};
    QGroupBox *Frame3 = nullptr;
    ThresholdBox *txtCostC = nullptr;
    std::array<QRadioButton *, 2> optCostC{};
    QGroupBox *Frame1 = nullptr;
    ThresholdBox *txtAP = nullptr;
    std::array<QRadioButton *, 2> optAP{};
    QGroupBox *Frame2 = nullptr;
    ThresholdBox *txtDP = nullptr;
    std::array<QRadioButton *, 2> optDP{};
    QListView *lstMonstarName = nullptr;
    QPlainTextEdit *txtMonstarInf = nullptr;

    // Magic page
    QComboBox *cmbMagic = nullptr;
    QGroupBox *Frame4 = nullptr;
    std::array<QCheckBox *, 3> chkDuelistM{};
    QGroupBox *Frame5 = nullptr;
    ThresholdBox *txtCostM = nullptr;
    std::array<QRadioButton *, 2> optCostM{};
    QListView *lstMagicName = nullptr;
    QPlainTextEdit *txtMagicInf = nullptr;

    std::unique_ptr<SearchPage> monsters_;
    std::unique_ptr<SearchPage> magic_;
    FindBar *findBar = nullptr;      // below the pages while open
    bool findBarGrewWindow_ = false; // or it took its room from the pages
    QPointer<QWidget> focusBeforeDetails_;
    CardFileWatcher *cardFile_ = nullptr;
    std::unique_ptr<cardReload::ReloadedCards> reloaded_; // written by the reading thread
    // The pages' texts, folded for the find bar in the background when a reload did not.
    std::unique_ptr<cardReload::FoldedTexts> folded_; // written by the folding thread
    int cardsShown_ = 0;  // counts the sets of cards shown: texts folded from an older set are
    int cardsFolded_ = 0; // dropped
    bool foldingFailed_ = false;       // memory ran short
    QString fileToOpen_;               // read once the read under way is done
    mdlZorv::LoadOutcome shownRead_;   // of the cards on screen
    QPointer<QMessageBox> message_;    // about the card file, while open
    QPointer<frmCardTable> cardTable_; // while open
    QElapsedTimer cardTableShown_;     // since its rows were last shown
    QTimer cardTableDue_;              // when they are to be shown next

    // Controls that sit directly on a page, with their place given from the outer corner of the
    // tab control; placed on the page once the tab control has laid out its pages.
    struct PagePlacement
    {
        QWidget *control;
        QRect rect;
        QSize minimumSize = {}; // a check box's room for its caption
    };
    std::vector<PagePlacement> pagePlacements_;
    QWidget *pageStack_ = nullptr; // the tab control's holder of its pages

    // The jobs on threads of their own, last of all: they end, and wait for their threads, before
    // the members those threads write go.
    std::unique_ptr<BackgroundJob> reload_;
    std::unique_ptr<BackgroundJob> folding_;
};
