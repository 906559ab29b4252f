#pragma once

#include "card_data/mdlZorv.h"
#include "card_rules/cardSet.h"
#include "search_window/backgroundTask.h"
#include "search_window/cardReload.h"
#include "search_window/pageControls.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <memory>
#include <optional>

class CardFileSession;
class CardTableFollower;
class FindBar;
class PassingNote;
class ReloadNote;
class SearchPage;
class QMenu;
class QMessageBox;
class QTabWidget;

// The card search window: a monster tab and a magic/trap/ritual tab, each with filter controls,
// a list of card names and a details box, and a find bar below them that narrows both lists.
// Every view of the window shows one card set, and switches to a new one at once.
class frmMain : public QWidget
{
    Q_OBJECT

public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    // Fills the filter lists and both name lists from the card tables and brings the monster tab
    // to the front. Called once, after loading and before the window is first shown.
    void FormInit();
    // Shows the cards the session reads from now on, and tells what its first read had to tell
    // once the window is shown. The session must outlive the window.
    void followCardFile(CardFileSession *cardFile);
    // Puts the window where the user left it last time, if that place is on a screen now, else in
    // the middle of the screen; never taller than the screen. Remembered when the window closes.
    void restoreWindowPlace();

Q_SIGNALS:
    // The user was told: the card file could not be read (the cards on screen stay), or it was
    // read but held lines that did not decode. One message box shows the latest.
    void cardFileProblem(const QString &text);
    void cardFileNotice(const QString &text);
    // The cards of a card file read again are shown.
    void cardFileReloaded();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void createPages();
    void chainTabStops();
    void addTabSwitchKeys();
    void addWindowActions();
    void connectEvents();
    void connectFilters(const std::vector<QWidget *> &controls, void (frmMain::*search)());

    // The pages in the order of their tabs, and the one in front.
    std::array<SearchPage *, 2> pages() const;
    SearchPage &frontPage() const;

    // Handlers, searches and details.
    void SSTab_Click();
    void lstMonstarName_Click();
    void lstMagicName_Click();
    void txtAP_KeyUp();
    void SearchMonstar();
    void SearchMagic();
    void ShowMonstarInf(const QString &cardNumber);
    void ShowMagicInf(const QString &cardNumber);
    void clearPageFilters();

    // The cards shown: every view switches to a new set in the same turn.
    void useCardSet(std::shared_ptr<const CardSet> cards);
    void showReadCards(cardReload::ReadCards &read);
    void makeFindIndexes();
    void useFindIndexes(quint64 generation, std::optional<FindIndexes> made);
    void makeReadings();
    void useReadings(quint64 generation, cardReload::ReadingsMade made);
    void followTheFindWordsAgain();
    void askToOpen(const QString &path);
    void tellLoadOutcome(const mdlZorv::LoadOutcome &outcome);
    void showMessage(bool isProblem, const QString &text);

    // The find bar.
    void openFind();
    void closeFind();
    void txtFind_Change(const QStringList &words);
    void showFindCount();

    // The card file, from the window.
    void chooseCardFile();
    void addRecentFilesMenu();
    void listRecentFiles(QMenu *menu);
    void openRecentFile(const QString &file);
    void showCardFileInfo();

    // The layout: at its default size every control has its place; what the window gains or
    // loses goes to the tab control and, on each page, to the list and details box.
    static constexpr QSize defaultSize{344, 505};
    int findBarRoom() const;
    void placeTab();
    void updateLeastSize();
    void cycleFocusWithF6();

    QTabWidget *SSTab = nullptr;
    pageControls::Monster monster_;
    pageControls::Magic magic_;
    std::unique_ptr<SearchPage> monsterPage_;
    std::unique_ptr<SearchPage> magicPage_;
    FindBar *findBar = nullptr;
    bool findBarGrewWindow_ = false;  // or it took its room from the pages
    QPointer<QWidget> focusBeforeF6_; // where a round of F6 started, and where it went last
    QPointer<QWidget> f6Target_;
    CardFileSession *cardFile_ = nullptr;
    std::shared_ptr<const CardSet> cards_;
    bool findIndexesFailed_ = false; // memory ran short making them for the cards shown
    std::shared_ptr<const nameReadings::Dictionary> dictionary_; // once read
    bool readingsFailed_ = false;   // no dictionary, or no memory for the readings
    QPointer<QMessageBox> message_; // about the card file, while open
    PassingNote *note_ = nullptr;
    ReloadNote *reloadNote_ = nullptr;
    CardTableFollower *cardTable_ = nullptr;
    // Last of all: a task under way ends, and is waited for, before anything else goes.
    BackgroundTask<std::optional<FindIndexes>> findIndexing_;
    BackgroundTask<cardReload::ReadingsMade> readingsMaking_;
};
