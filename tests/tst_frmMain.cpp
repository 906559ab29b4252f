// The window as the user meets it: its controls, their wiring to the searches, the keyboard, the
// threshold boxes, the find bar, and the window over a real card file, huge or changed while the
// program runs.

#include "card_data/cardFileReader.h"
#include "card_data/mdlZorv.h"
#include "search_window/cardFileWatcher.h"
#include "search_window/cardReload.h"
#include "search_window/findBar.h"
#include "search_window/frmMain.h"
#include "search_window/qtTranslations.h"
#include "search_window/thresholdBox.h"
#include "testFiles.h"

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

#include <algorithm>
#include <atomic>
#include <memory>
#include <new>
#include <thread>
#include <tuple>
#include <vector>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// "a b c" -> {"a", "b", "c"}
QStringList names(const char16_t *spaceSeparated)
{
    return QString::fromUtf16(spaceSeparated).split(u' ', Qt::SkipEmptyParts);
}

// The named controls on a page of the window's tabs.
QStringList pageControls(const QWidget *window, int page)
{
    QStringList found;
    const auto *tabs = window->findChild<QTabWidget *>(u"SSTab"_qs);
    for (const QWidget *control : tabs->widget(page)->findChildren<QWidget *>()) {
        if (!control->objectName().isEmpty() && !control->objectName().startsWith(u"qt_"))
            found << control->objectName();
    }
    return found;
}

// A driver for the window: it finds controls by name and reads what the user would see. Its
// steps that can fail report why and return false, for the caller to stop: QVERIFY(step).
class Window
{
public:
    // Loads the cards, then makes, fills and shows the window.
    [[nodiscard]] bool open(const QStringList &cardLines)
    {
        mdlZorv::loadCardText(cardLines.join(u"\r\n"));
        return show();
    }
    // Shows the cards loaded; every change of either name list is checked against the rules of
    // item models as long as the window lives.
    [[nodiscard]] bool show()
    {
        close();
        window_ = std::make_unique<frmMain>();
        for (const QString &list : names(u"lstMonstarName lstMagicName"))
            modelTesters_.push_back(std::make_unique<QAbstractItemModelTester>(
                control<QListView>(list)->model(),
                QAbstractItemModelTester::FailureReportingMode::QtTest));
        window_->FormInit();
        window_->show();
        window_->activateWindow();
        return QTest::qWaitForWindowActive(window_.get());
    }
    void close()
    {
        modelTesters_.clear();
        window_.reset();
    }
    frmMain *get() const { return window_.get(); }

    // A control the test names must exist: without it the test is wrong, and cannot go on.
    template <typename T = QWidget> T *control(const QString &name) const
    {
        T *found = window_->findChild<T *>(name);
        if (!found)
            qFatal("no control %s", qPrintable(name));
        return found;
    }

    QStringList entries(const QString &list) const
    {
        const QAbstractItemModel *model = control<QListView>(list)->model();
        QStringList texts;
        for (int row = 0; row < model->rowCount(); ++row)
            texts << model->index(row, 0).data().toString();
        return texts;
    }

    QString details(const QString &list) const
    {
        const bool monsters = list == u"lstMonstarName";
        return control<QPlainTextEdit>(monsters ? u"txtMonstarInf"_qs : u"txtMagicInf"_qs)
            ->toPlainText();
    }

    // Clicks an entry of a name list, which must be there.
    [[nodiscard]] bool click(const QString &list, int row) const
    {
        auto *view = control<QListView>(list);
        const QModelIndex entry = view->model()->index(row, 0);
        if (!entry.isValid()) {
            QTest::qFail("the list has no such entry", __FILE__, __LINE__);
            return false;
        }
        view->scrollTo(entry);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(entry).center());
        return view->currentIndex() == entry;
    }

    // Clicks a tab, which must then be in front.
    [[nodiscard]] bool showPage(int page) const
    {
        auto *tabs = control<QTabWidget>(u"SSTab"_qs);
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {},
                          tabs->tabBar()->tabRect(page).center());
        return tabs->currentIndex() == page;
    }

private:
    std::unique_ptr<frmMain> window_;
    std::vector<std::unique_ptr<QAbstractItemModelTester>> modelTesters_;
};

const QStringList cards = {
    u"001,Alpha,1300,800,天使,光,4,3,A-1,守る,T"_qs,
    u"002,Beta,42,0,獣,闇,4,0,B-2,,TJ"_qs,
    u"003,Gamma,40,1500,獣,光,7,5,C-3,走る,J"_qs,
    u"101,Spell,,,魔法,,,2,S-1,光る,TJ"_qs,
    u"102,Pit,,,罠,,,3,S-2,,O"_qs,
};

// The controls that only work while their page is in front: all but frames and details boxes.
bool worksOnlyInFront(const QWidget *control)
{
    return !qobject_cast<const QGroupBox *>(control) && !control->objectName().endsWith(u"Inf");
}

void typeText(QWidget *widget, const QString &text) // keyClicks sends Latin-1 only
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, c == u'\b' ? Qt::Key_Backspace : 0, Qt::NoModifier, c);
        QApplication::sendEvent(widget, &press);
    }
}

} // namespace

class tst_frmMain final : public QObject
{
    Q_OBJECT

    Window window_;
    std::unique_ptr<QSignalSpy> monsterRuns_;
    std::unique_ptr<QSignalSpy> magicRuns_;
    QTemporaryDir dir_;
    QString path_ = dir_.filePath(u"CardData.dat"_qs);
    int targets_ = 0; // files a symbolic link at the path has led to
    std::atomic<bool> fileOpen_ = false;
    std::atomic<bool> typing_ = false;

    // Opens the window on the cards above and counts the searches from then on: every search
    // empties and refills its list at once.
    bool openCards()
    {
        if (!window_.open(cards))
            return false;
        const auto spy = [this](const QString &list) {
            return std::make_unique<QSignalSpy>(window_.control<QListView>(list)->model(),
                                                &QAbstractItemModel::modelReset);
        };
        monsterRuns_ = spy(u"lstMonstarName"_qs);
        magicRuns_ = spy(u"lstMagicName"_qs);
        return true;
    }
    // Writes the card file and opens the window on it as the program starts: the file watched
    // from before it is read, the window following it. Whatever the path leads to is written.
    bool openFile(const QByteArray &bytes)
    {
        return testFiles::writeFile(path_, bytes) && openWatched();
    }
    bool openWatched()
    {
        auto watcher = std::make_unique<CardFileWatcher>();
        watcher->watch(path_);
        const mdlZorv::LoadOutcome outcome = mdlZorv::loadCardFile(path_);
        if (!window_.show())
            return false;
        window_.get()->followCardFile(watcher.release(), outcome);
        return true;
    }
    // Saves the card file as the action says; target is where a symbolic link at the path leads.
    bool save(const QString &action, const QByteArray &bytes)
    {
        using testFiles::writeFile;
        const QString other = dir_.filePath(u"saved.tmp"_qs);
        if (QFileInfo(path_).isDir() && !QFileInfo(path_).isSymLink())
            QDir(path_).removeRecursively();
        if (action == u"in place")
            return writeFile(path_, bytes);
        if (action == u"in place, short of memory") {
            cardReload::beforeFolding = [] {
                throw std::bad_alloc();
            };
            return writeFile(path_, bytes);
        }
        if (action == u"rename")
            return writeFile(other, bytes) && testFiles::replaceByRename(other, path_);
        if (action == u"delete")
            return QFile::remove(path_);
        if (action == u"folder")
            return QDir().mkdir(path_);
        if (action == u"written while read") { // the first line; the whole once it is open
            mdlZorv::readerHooks.afterOpen = [this, bytes] {
                if (QFileInfo(path_).size() < bytes.size())
                    testFiles::writeFile(path_, bytes);
            };
            return writeFile(path_, bytes.first(bytes.indexOf("\r\n") + 2));
        }
        if (action == u"F5 while written") { // the first line, F5, then the whole at once
            if (!writeFile(path_, bytes.first(bytes.indexOf("\r\n") + 2)))
                return false;
            QTest::keyClick(window_.get(), Qt::Key_F5);
            return writeFile(path_, bytes);
        }
#ifdef Q_OS_UNIX
        if (action.startsWith(u"re-point")) { // a new link renamed over the old, as ln -sfn does
            const QString target = dir_.filePath(u"target%1.dat"_qs.arg(++targets_));
            const bool made = action.endsWith(u"fifo")
                                  ? mkfifo(QFile::encodeName(target).constData(), 0600) == 0
                                  : writeFile(target, bytes);
            const QString link = dir_.filePath(u"link.tmp"_qs);
            return made && QFile::link(target, link) && testFiles::replaceByRename(link, path_);
        }
#endif
        return false;
    }
    // The message boxes open over the window.
    qsizetype openMessages() const
    {
        const auto boxes = window_.get()->findChildren<QMessageBox *>();
        return std::count_if(boxes.begin(), boxes.end(),
                             [](auto *box) { return box->isVisible(); });
    }
    QStringList monsters() const
    {
        return window_.entries(u"lstMonstarName"_qs);
    }
    int runs(const QString &list) const
    {
        return int((list == u"lstMagicName" ? magicRuns_ : monsterRuns_)->count());
    }

private Q_SLOTS:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           dir_.filePath(u"settings"_qs));
    }
    void cleanup()
    {
        typing_ = true; // lets a read held open by a failed test end
        window_.close();
        mdlZorv::readerHooks = {};
        cardReload::beforeFolding = {};
        for (const QFileInfo &entry :
             QDir(dir_.path())
                 .entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
            if (entry.isDir() && !entry.isSymLink())
                QDir(entry.filePath()).removeRecursively();
            else
                QFile::remove(entry.filePath());
        }
    }

    // Caption, size and tabs; the filter lists hold their no-selection text and the values of the
    // monster cards; the threshold boxes show 0, each with its number of digits, and attack and
    // defence take no input method.
    void startsWithEveryControlInItsInitialState()
    {
        QVERIFY(window_.open(cards));
        frmMain *w = window_.get();
        auto *tabs = window_.control<QTabWidget>(u"SSTab"_qs);
        QCOMPARE(w->windowTitle(), u"Zorvカード検索ツール"_qs);
        QCOMPARE(w->size(), QSize(344, 505));
        QCOMPARE((QStringList{tabs->tabText(0), tabs->tabText(1)}),
                 names(u"モンスター 魔法、罠、儀式"));
        QCOMPARE(tabs->currentIndex(), 0);
        const auto listed = [this](const QString &name) {
            auto *list = window_.control<QComboBox>(name);
            QStringList texts;
            for (int i = 0; i < list->count(); ++i)
                texts << list->itemText(i);
            return texts.join(u' ');
        };
        QCOMPARE(listed(u"cmbType"_qs), u"(指定なし) 天使 獣"_qs);
        QCOMPARE(listed(u"cmbMazoku"_qs), u"(指定なし) 光 闇"_qs);
        QCOMPARE(listed(u"cmbLevel"_qs), u"(指定なし) 1 2 3 4 5 6 7 8 9 10 11 12"_qs);
        QCOMPARE(listed(u"cmbMagic"_qs), u"(指定なし) 魔法 罠 儀式"_qs);
        QList<int> limits;
        QList<bool> inputMethods;
        for (const QString &name : names(u"txtAP txtDP txtCostC txtCostM")) {
            auto *box = window_.control<ThresholdBox>(name);
            QCOMPARE(box->text(), u"0"_qs);
            limits << box->digitLimit();
            inputMethods << box->inputMethodQuery(Qt::ImEnabled).toBool();
        }
        QCOMPARE(limits, (QList<int>{4, 4, 3, ThresholdBox::noLimit}));
        QCOMPARE(inputMethods, (QList<bool>{false, false, true, true}));
    }

    // Each control lies inside its parent, over no sibling, shows its caption in full, and has a
    // name for screen readers.
    void placesAndNamesEveryControl()
    {
        QVERIFY(window_.open({}));
        const auto spoken = [](QWidget *control) {
            return QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name);
        };
        for (const int page : {0, 1}) {
            QVERIFY(window_.showPage(page));
            const QStringList controls = pageControls(window_.get(), page);
            for (const QString &a : controls) {
                QWidget *first = window_.control(a);
                QVERIFY2(QRect(QPoint(), first->parentWidget()->size()).contains(first->geometry()),
                         qPrintable(a));
                QVERIFY2(!spoken(first).isEmpty(), qPrintable(a));
                for (const QString &b : controls) {
                    QWidget *second = window_.control(b);
                    if (a != b && first->parentWidget() == second->parentWidget())
                        QVERIFY2(!first->geometry().intersects(second->geometry()),
                                 qPrintable(a + u" overlaps "_qs + b));
                }
            }
        }
        for (QAbstractButton *button : window_.get()->findChildren<QAbstractButton *>()) {
            if (qobject_cast<QCheckBox *>(button) || qobject_cast<QRadioButton *>(button)) {
                const int captionWidth = button->fontMetrics().horizontalAdvance(button->text());
                QVERIFY2(button->width() >= captionWidth + 14, qPrintable(button->objectName()));
            }
        }
        QCOMPARE(spoken(window_.control(u"optAP(1)"_qs)), u"攻撃力 以下"_qs);
    }

    void tabKeyWalksTheMonsterPage()
    {
        QVERIFY(openCards());
        window_.control<QRadioButton>(u"optAP(1)"_qs)->setChecked(true);
        window_.control<QTabWidget>(u"SSTab"_qs)->tabBar()->setFocus();
        const QStringList expected = names(
            u"cmbType cmbMazoku cmbLevel chkKouka chkDuelistC(0) chkDuelistC(1) chkDuelistC(2) "
            u"txtCostC optCostC(0) txtAP optAP(1) txtDP optDP(0) lstMonstarName SSTab");
        QStringList visited;
        for (int i = 0; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget *focus = QApplication::focusWidget();
            while (focus && !expected.contains(focus->objectName())) // the tab strip is in SSTab
                focus = focus->parentWidget();
            visited << (focus ? focus->objectName() : QString());
        }
        QCOMPARE(visited, expected);
    }

    // Every named control of each page but its name list and details box, found on the window
    // itself: a control added to a page but not wired to its search fails here.
    void filterRerunsOnlyItsOwnPage_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("list"); // the list whose search must run, once
        const frmMain window;
        for (const int page : {0, 1}) {
            for (const QString &name : pageControls(&window, page)) {
                const auto *control = window.findChild<QWidget *>(name);
                if (worksOnlyInFront(control) && !qobject_cast<const QListView *>(control))
                    QTest::newRow(qPrintable(name))
                        << name << (page == 0 ? u"lstMonstarName"_qs : u"lstMagicName"_qs);
            }
        }
    }
    void filterRerunsOnlyItsOwnPage()
    {
        QFETCH(QString, name);
        QFETCH(QString, list);
        const QString other = list == u"lstMagicName" ? u"lstMonstarName"_qs : u"lstMagicName"_qs;
        QVERIFY(openCards());
        QVERIFY(window_.showPage(list == u"lstMagicName" ? 1 : 0));
        QWidget *widget = window_.control(name);
        const bool firstOption = name.endsWith(u"(0)");
        auto *partner = qobject_cast<QRadioButton *>(window_.get()->findChild<QWidget *>(
            name.chopped(3) + (firstOption ? u"(1)"_qs : u"(0)"_qs)));
        if (partner && firstOption) // "optAP(0)", selected at first: select "optAP(1)" first
            partner->click();
        const int runsBefore = runs(list);

        if (qobject_cast<QComboBox *>(widget)) {
            QTest::keyClick(widget, Qt::Key_Down); // the next entry, as a user picks it
        } else if (qobject_cast<QLineEdit *>(widget)) {
            QTest::keyClick(widget, Qt::Key_Return);
        } else if (partner) { // from the other of the pair: Up and Down act as Left and Right
            partner->setFocus();
            QTest::keyClick(partner, firstOption ? Qt::Key_Up : Qt::Key_Down);
            QVERIFY(qobject_cast<QRadioButton *>(widget)->isChecked());
        } else {
            QTest::mouseClick(widget, Qt::LeftButton);
        }

        QCOMPARE(runs(list) - runsBefore, 1);
        QCOMPARE(runs(other), 0);
        if (qobject_cast<QCheckBox *>(widget)) { // clearing it again searches again
            QTest::mouseClick(widget, Qt::LeftButton);
            QCOMPARE(runs(list) - runsBefore, 2);
        }
    }

    // A click or a key shows a card; a search that drops it, or an empty list, leaves its
    // details in place and selects nothing.
    void selectingANameShowsItsDetails()
    {
        QVERIFY(openCards());
        const QString monsters = u"lstMonstarName"_qs;
        auto *list = window_.control<QListView>(monsters);
        QVERIFY(window_.click(monsters, 0));
        QCOMPARE(window_.details(monsters).section(u'\n', 0, 1),
                 u"Lv-4       ｺｽﾄ-3\nAP-1300 → 910"_qs);
        QTest::keyClick(list, Qt::Key_End);
        QCOMPARE(window_.details(monsters).section(u'\n', -2), u"ID-C-3\n走る"_qs);

        window_.control<QComboBox>(u"cmbType"_qs)->setCurrentIndex(1); // 天使
        QCOMPARE(window_.entries(monsters), QStringList{u"001  Alpha"_qs});
        QVERIFY(list->selectionModel()->selectedIndexes().isEmpty());
        window_.control<QComboBox>(u"cmbLevel"_qs)->setCurrentIndex(12); // no card
        QTest::keyClick(list, Qt::Key_Down);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(window_.details(monsters).section(u'\n', -2), u"ID-C-3\n走る"_qs);

        QVERIFY(window_.showPage(1));
        QVERIFY(window_.click(u"lstMagicName"_qs, 1));
        QCOMPARE(window_.details(u"lstMagicName"_qs), u"ｺｽﾄ-3\nID-S-2\n"_qs);
    }

    void tabSwitchEnablesOnlyTheFrontPage()
    {
        QVERIFY(openCards());
        for (const int front : {1, 0}) {
            QVERIFY(window_.showPage(front));
            for (const int page : {0, 1}) {
                for (const QString &name : pageControls(window_.get(), page)) {
                    QWidget *control = window_.control(name);
                    QCOMPARE(control->isEnabled(), page == front || !worksOnlyInFront(control));
                }
            }
        }
        QCOMPARE(runs(u"lstMonstarName"_qs) + runs(u"lstMagicName"_qs), 0); // nor searches
    }

    // Ctrl+Tab and its companions switch tabs even from a drop-down list, which keeps other keys.
    void ctrlTabSwitchesTabsFromADropDownList()
    {
        QVERIFY(openCards());
        auto *tabs = window_.control<QTabWidget>(u"SSTab"_qs);
        window_.control(u"cmbType"_qs)->setFocus();
        using Press = std::tuple<Qt::Key, Qt::KeyboardModifiers, int>; // and the tab then in front
        for (const auto &[key, modifiers, front] :
             {Press{Qt::Key_Tab, Qt::ControlModifier, 1},
              {Qt::Key_PageUp, Qt::ControlModifier, 0},
              {Qt::Key_PageDown, Qt::ControlModifier, 1},
              {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, 0}}) {
            QTest::keyClick(QApplication::focusWidget(), key, modifiers);
            QCOMPARE(tabs->currentIndex(), front);
        }
    }

    // A click into a threshold box selects its text, so that typing replaces it, and a second
    // click places the cursor. Enter, Return or keypad Enter, once released, writes the attack
    // box's number back as a number, and only its own; the search then uses the thresholds as
    // typed.
    void enterRewritesOnlyTheAttackBox()
    {
        QVERIFY(openCards());
        for (const auto &[box, typed, shown] : {std::tuple{u"txtAP"_qs, u"0042"_qs, u"42"_qs},
                                                std::tuple{u"txtDP"_qs, u"0800"_qs, u"0800"_qs}}) {
            auto *edit = window_.control<QLineEdit>(box);
            QTest::mouseClick(edit, Qt::LeftButton);
            QTest::keyClicks(edit, typed);
            QTest::keyPress(edit, Qt::Key_Enter, Qt::ShiftModifier);
            QCOMPARE(edit->text(), typed); // nothing happens before the key is released
            QTest::keyRelease(edit, Qt::Key_Enter, Qt::ShiftModifier);
            QCOMPARE(edit->text(), shown);
            QTest::mouseClick(edit, Qt::LeftButton);
            QVERIFY(!edit->hasSelectedText());
        }
        QCOMPARE(window_.entries(u"lstMonstarName"_qs), QStringList{u"001  Alpha"_qs});
    }

    // Keyboard only: Ctrl+F, type, filters and tabs keep the find, Tab into the list, Escape.
    void findBarNarrowsBothListsUntilClosed()
    {
        QVERIFY(openCards());
        frmMain *window = window_.get();
        const QSize size = window->size();
        auto *find = window_.control<QLineEdit>(u"txtFind"_qs);
        auto *count = window_.control<QLabel>(u"lblFindCount"_qs);

        QTest::keyClick(window, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), find);
        QVERIFY(window->height() > size.height());
        typeText(find, u"am ３"_qs);
        QTRY_COMPARE(window_.entries(u"lstMonstarName"_qs), QStringList{u"003  Gamma"_qs});
        QCOMPARE(count->text(), u"1 / 3 枚"_qs);
        window_.control<QComboBox>(u"cmbType"_qs)->setCurrentIndex(2); // 獣
        QCOMPARE(window_.entries(u"lstMonstarName"_qs), QStringList{u"003  Gamma"_qs});
        QCOMPARE(count->text(), u"1 / 2 枚"_qs);

        QVERIFY(window_.showPage(1));
        find->setText(u"光る"_qs);
        QCOMPARE(window_.entries(u"lstMagicName"_qs), QStringList{u"101  Spell"_qs});
        QCOMPARE(count->text(), u"1 / 2 枚"_qs);
        find->setFocus();
        QTest::keyClick(find, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), window_.control(u"lstMagicName"_qs));

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(window_.control(u"findBar"_qs)->isHidden());
        QCOMPARE(window->size(), size);
        QCOMPARE(find->text(), QString());
        QCOMPARE(window_.entries(u"lstMagicName"_qs).size(), 2);
        QVERIFY(window_.showPage(0));
        QCOMPARE(window_.entries(u"lstMonstarName"_qs).size(), 2);
    }

    // A huge name or type shows cut in the lists and a huge effect wraps anywhere in the details,
    // so that none of them takes seconds to draw; the drop-down still finds the card by its whole
    // type.
    void showsHugeFieldsCutOrWrapped()
    {
        const QString huge(100'000, u'E');
        const QString cut = huge.left(256) + u'…';
        QVERIFY(openFile(testFiles::cardFile({u"001,%1,0,0,%1,,1,1,I,%1,T"_qs.arg(huge)})));
        QCOMPARE(monsters(), QStringList{u"001  "_qs + cut});
        auto *types = window_.control<QComboBox>(u"cmbType"_qs);
        QCOMPARE(types->itemText(1), cut);
        types->setCurrentIndex(1);
        QVERIFY(window_.click(u"lstMonstarName"_qs, 0));
        auto *details = window_.control<QPlainTextEdit>(u"txtMonstarInf"_qs);
        QCOMPARE(details->wordWrapMode(), QTextOption::WrapAnywhere);
        QCOMPARE(details->toPlainText().right(huge.size() + 1), u'\n' + huge);
    }

    // How the path is set up, and three saves in a row: each must be followed, whatever became of
    // the file it replaced. A save that leaves no card file to read keeps the cards on screen and
    // says why, in one message box at a time.
    void followsEverySaveOfTheFile_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QStringList>("saves");
        const auto row = [](const char *name, const char16_t *setup, const char16_t *saves) {
            QTest::newRow(name) << QString::fromUtf16(setup)
                                << QString::fromUtf16(saves).split(u'|');
        };
        row("in place", u"", u"in place|in place|in place");
        row("F5, once the file is written", u"", u"F5 while written|in place|F5 while written");
        row("replaced by rename", u"", u"rename|in place|in place");
        row("written while read", u"", u"written while read|in place|rename");
        row("deleted, a folder, a file again", u"", u"delete|folder|in place");
        row("short of memory while folding", u"", u"in place, short of memory|in place|rename");
#ifdef Q_OS_UNIX
        row("old file kept by a second link", u"second link", u"rename|in place|in place");
        row("old file held open", u"held open", u"rename|in place|in place");
        row("symbolic link re-pointed", u"symbolic link", u"re-point|in place|in place");
        row("link to a non-regular file", u"symbolic link",
            u"re-point to a fifo|re-point|in place");
#endif
    }
    void followsEverySaveOfTheFile()
    {
        QFETCH(QString, setup);
        QFETCH(QStringList, saves);
        // Version k of the file: Beta, whose ID tells the version, and k more cards that the
        // filters and the find word keep; Delta, which the duelist filter drops.
        const auto version = [](int k) {
            QStringList lines = {u"002,Beta,0,0,竜,,1,1,V%1,E,T"_qs.arg(k)};
            for (int i = 1; i <= k; ++i)
                lines << u"01%1,Gamma%1,0,0,竜,,1,1,G,E,T"_qs.arg(i);
            return lines << u"004,Delta,0,0,竜,,1,1,L,E,O"_qs;
        };
        if (setup == u"symbolic link")
            QVERIFY(QFile::link(dir_.filePath(u"target0.dat"_qs), path_));
        QVERIFY(openFile(testFiles::cardFile(
            {u"001,Alpha,0,0,獣,,1,1,I,X,T"_qs, u"002,Beta,0,0,竜,,1,1,V0,E,T"_qs})));
        std::unique_ptr<QFile> holder;
#ifdef Q_OS_UNIX
        if (setup == u"second link")
            QCOMPARE(::link(QFile::encodeName(path_), QFile::encodeName(path_ + u".bak"_qs)), 0);
#endif
        if (setup == u"held open") {
            holder = std::make_unique<QFile>(path_);
            QVERIFY(holder->open(QIODevice::ReadOnly));
        }
        window_.control<QComboBox>(u"cmbType"_qs)->setCurrentIndex(2); // 竜
        window_.control<QCheckBox>(u"chkDuelistC(0)"_qs)->setChecked(true);
        QTest::keyClick(window_.get(), Qt::Key_F, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), u"e"_qs); // in Beta, but not in Alpha
        QVERIFY(window_.click(u"lstMonstarName"_qs, 0));
        QSignalSpy problems(window_.get(), &frmMain::cardFileProblem);
        QStringList shown; // the list at each reload
        connect(window_.get(), &frmMain::cardFileReloaded, this,
                [&] { shown << monsters().join(u'|'); });

        QStringList listed = monsters();
        const auto *watcher = window_.get()->findChild<CardFileWatcher *>();
        for (int k = 1; k <= 3; ++k) {
            QTRY_VERIFY(!watcher->isSettling()); // a save now is seen as it happens, not after one
            const QString save = saves[k - 1];
            const QByteArray bytes = testFiles::cardFile(version(k));
            const qsizetype problemsBefore = problems.count();
            QVERIFY2(this->save(save, bytes), qPrintable(save));
            if (save == u"delete" || save == u"folder" || save.contains(u"fifo") ||
                save.contains(u"memory")) {
                QTRY_VERIFY(problems.count() > problemsBefore);
                QCOMPARE(openMessages(), 1);
                QCOMPARE(monsters(), listed); // the cards stay
                QCOMPARE(QApplication::activeModalWidget(), nullptr);
                cardReload::beforeFolding = {};
                continue;
            }
            listed = QStringList{u"002  Beta"_qs};
            for (int i = 1; i <= k; ++i)
                listed << u"01%1  Gamma%1"_qs.arg(i);
            QTRY_COMPARE(monsters(), listed);
            QCOMPARE(window_.details(u"lstMonstarName"_qs).section(u'\n', -2),
                     u"ID-V%1\nE"_qs.arg(k));
            QCOMPARE(window_.control<QComboBox>(u"cmbType"_qs)->currentText(), u"竜"_qs);
            QTRY_COMPARE(openMessages(), 0);
        }
        QVERIFY(!shown.contains(u"002  Beta"_qs)); // a file written in two steps, seen half-way
    }

    // A larger window gives its width to the tab control, the list and the details box, and its
    // height to the tab control, shared by the list and the details box; filters keep their
    // places. Lower than the default, the details box keeps three lines.
    void growsIntoItsListAndDetails()
    {
        QVERIFY(openCards());
        frmMain *w = window_.get();
        const QStringList parts = names(u"SSTab lstMonstarName txtMonstarInf cmbType Frame1");
        QList<QRect> before;
        for (const QString &name : parts)
            before << window_.control(name)->geometry();
        w->resize(w->size() + QSize(100, 51));
        const QList<QRect> grown = {before[0].adjusted(0, 0, 100, 51),
                                    before[1].adjusted(0, 0, 100, 26),
                                    before[2].adjusted(0, 26, 100, 51), before[3], before[4]};
        for (int i = 0; i < parts.size(); ++i)
            QCOMPARE(window_.control(parts[i])->geometry(), grown[i]);
        w->resize(w->minimumSize());
        const auto *details = window_.control<QPlainTextEdit>(u"txtMonstarInf"_qs);
        QVERIFY(details->height() >= 3 * details->fontMetrics().lineSpacing());
        QCOMPARE(window_.control(u"cmbType"_qs)->geometry(), before[3]);
    }

    // Opening the find bar grows the window while it stays on its screen, else takes the room
    // from the lists; closing gives back what opening took.
    void findBarTakesRoomWhereThereIsRoom()
    {
        QVERIFY(openCards());
        frmMain *w = window_.get();
        const QRect screen = w->screen()->availableGeometry();
        for (const bool atBottom : {false, true}) {
            w->move(screen.left(),
                    atBottom ? screen.bottom() - w->frameGeometry().height() : screen.top());
            const QSize size = w->size();
            const int list = window_.control(u"lstMonstarName"_qs)->height();
            QTest::keyClick(w, Qt::Key_F, Qt::ControlModifier);
            QCOMPARE(w->height(), size.height() + (atBottom ? 0 : FindBar::barHeight));
            QCOMPARE(window_.control(u"lstMonstarName"_qs)->height() < list, atBottom);
            QCOMPARE(window_.control(u"findBar"_qs)->geometry(),
                     QRect(0, w->height() - FindBar::barHeight, w->width(), FindBar::barHeight));
            QTest::keyClick(w, Qt::Key_Escape);
            QCOMPARE(w->size(), size);
            QCOMPARE(window_.control(u"lstMonstarName"_qs)->height(), list);
        }
    }

    // The details box names its card, and dims it while the list leaves it out; closing the find
    // bar selects the card again. F6 takes the keyboard to the box and back.
    void detailsNameTheirCard()
    {
        QVERIFY(openCards());
        const QString monsters = u"lstMonstarName"_qs;
        auto *box = window_.control<QPlainTextEdit>(u"txtMonstarInf"_qs);
        auto *list = window_.control<QListView>(monsters);
        const auto dimmed = [box] {
            return box->palette().color(QPalette::Active, QPalette::Text) ==
                   box->palette().color(QPalette::Disabled, QPalette::Text);
        };
        QVERIFY(window_.click(monsters, 1));
        QCOMPARE(box->toolTip(), u"002 Beta"_qs);
        QCOMPARE(box->accessibleDescription(), u"002 Beta"_qs);
        QVERIFY(!dimmed());
        QTest::keyClick(window_.get(), Qt::Key_F, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), u"am"_qs); // Gamma only
        QTRY_VERIFY(dimmed());
        QCOMPARE(box->toolTip(), u"002 Beta (一覧にありません)"_qs);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!dimmed());
        QCOMPARE(list->currentIndex().row(), 1);
        QVERIFY(list->selectionModel()->isSelected(list->currentIndex()));

        QTest::keyClick(list, Qt::Key_F6);
        QCOMPARE(QApplication::focusWidget(), box);
        QTest::keyClick(box, Qt::Key_F6);
        QCOMPARE(QApplication::focusWidget(), list);
    }

    // Qt's own words, such as those of a text box's context menu, come in the user's language.
    void speaksQtsOwnWordsInJapanese()
    {
        QTranslator *translator = installQtTranslations(QLocale(QLocale::Japanese, QLocale::Japan));
#ifdef Q_OS_WIN
        if (!translator)
            QSKIP("Qt's translations are beside the program only in the zip");
#endif
        QVERIFY(translator);
        const QString copy = QCoreApplication::translate("QLineEdit", "&Copy");
        QCoreApplication::removeTranslator(translator);
        QVERIFY2(copy.contains(u"コピー"), qPrintable(copy));
    }

    // Another card file, opened or dropped, is read and followed; one that cannot be read leaves
    // the cards and the followed file as they were. F1 tells which file the cards come from.
    void opensAnotherCardFile()
    {
        QVERIFY(openFile(testFiles::cardFile({u"001,Alpha,0,0,獣,,1,1,I,X,T"_qs})));
        const QString other = dir_.filePath(u"other.txt"_qs);
        QSignalSpy problems(window_.get(), &frmMain::cardFileProblem);
        window_.get()->openCardFile(dir_.filePath(u"missing.dat"_qs));
        QTRY_COMPARE(problems.count(), 1);
        QCOMPARE(monsters(), QStringList{u"001  Alpha"_qs});

        QVERIFY(testFiles::writeFile(other, "002,Beta,0,0,\xE7\xAB\x9C,,1,1,I,E,T\n"));
        QMimeData drop;
        drop.setUrls({QUrl::fromLocalFile(other)});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &drop, Qt::LeftButton, {});
        QDropEvent release(QPointF(5, 5), Qt::CopyAction, &drop, Qt::LeftButton, {});
        QApplication::sendEvent(window_.get(), &enter);
        QApplication::sendEvent(window_.get(), &release);
        QTRY_COMPARE(monsters(), QStringList{u"002  Beta"_qs});
        QTRY_VERIFY(!window_.get()->findChild<CardFileWatcher *>()->isSettling());
        QVERIFY(testFiles::writeFile(other, "003,Gamma,0,0,\xE7\xAB\x9C,,1,1,I,E,T\n"));
        QTRY_COMPARE(monsters(), QStringList{u"003  Gamma"_qs});

        window_.get()->activateWindow(); // from the message box of the file that was missing
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        QTest::keyClick(window_.get(), Qt::Key_F1);
        const auto *info = window_.get()->findChild<QMessageBox *>(u"msgCardFileInfo"_qs);
        QVERIFY(info);
        for (const QString &part : {QDir::toNativeSeparators(other), u"UTF-8"_qs, u"LF"_qs})
            QVERIFY2(info->text().contains(part), qPrintable(info->text()));
    }

    // The card table lists what the page in front lists, as it changes, sorted by a header; a row
    // chosen in it shows that card's details in the main window.
    void cardTableFollowsThePageInFront()
    {
        QVERIFY(openCards());
        QTest::keyClick(window_.get(), Qt::Key_L, Qt::ControlModifier);
        auto *table = window_.get()->findChild<QWidget *>(u"frmCardTable"_qs);
        QVERIFY(table);
        auto *grid = table->findChild<QTableView *>(u"grdCards"_qs);
        const auto numbers = [grid] {
            QStringList texts;
            for (int row = 0; row < grid->model()->rowCount(); ++row)
                texts << grid->model()->index(row, 0).data().toString();
            return texts.join(u' ');
        };
        QCOMPARE(table->windowTitle(), u"カード一覧 - モンスター (3 枚)"_qs);
        window_.control<QComboBox>(u"cmbType"_qs)->setCurrentIndex(2); // 獣
        QTRY_COMPARE(numbers(), u"002 003"_qs);
        QHeaderView *header = grid->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(2) + 5, 5)); // 攻撃力
        QCOMPARE(numbers(), u"003 002"_qs);
        grid->setCurrentIndex(grid->model()->index(1, 0));
        QCOMPARE(window_.details(u"lstMonstarName"_qs).section(u'\n', -2), u"ID-B-2\n"_qs);
        QVERIFY(window_.showPage(1));
        QCOMPARE(table->windowTitle(), u"カード一覧 - 魔法、罠、儀式 (2 枚)"_qs);
    }

    // The window opens where the user left it.
    void remembersItsPlace()
    {
        QVERIFY(openCards());
        window_.get()->setGeometry(QRect(40, 50, 500, 520));
        window_.get()->close();
        QVERIFY(window_.show());
        window_.get()->restoreWindowPlace();
        QCOMPARE(window_.get()->geometry(), QRect(40, 50, 500, 520));
    }

    void waitsForAFileToSettle_data()
    {
        QTest::addColumn<int>("writtenAgoMs"); // below 0: in the future
        QTest::addColumn<int>("waitMs");
        QTest::newRow("written 30 ms ago") << 30 << 70;
        QTest::newRow("settled") << 100 << 0;
        QTest::newRow("in the future") << -5000 << 0;
    }
    // A file is read once it has stayed unwritten for the settle time, so that a save with a pause
    // inside is not read half-way; a file whose time is ahead of the clock is read at once.
    void waitsForAFileToSettle()
    {
        QFETCH(int, writtenAgoMs);
        QFETCH(int, waitMs);
        const qint64 now = 1'800'000'000'000'000'000;
        mdlZorv::FileStamp stamp;
        stamp.exists = true;
        stamp.modifiedNs = now - qint64(writtenAgoMs) * 1'000'000;
        QCOMPARE(CardFileWatcher::unsettledFor(stamp, now).count(), waitMs);
    }

    // A file replaced while the program reads it at start-up is read again once the window is up.
    void readsASaveMadeWhileStarting()
    {
        const QString other = dir_.filePath(u"saved.tmp"_qs);
        QVERIFY(
            testFiles::writeFile(path_, testFiles::cardFile({u"001,Alpha,0,0,獣,,1,1,I,X,T"_qs})));
        QVERIFY(
            testFiles::writeFile(other, testFiles::cardFile({u"002,Beta,0,0,竜,,1,1,I,E,T"_qs})));
        bool renamed = false;
        mdlZorv::readerHooks.afterOpen = [&] {
            renamed = testFiles::replaceByRename(other, path_);
        };
        QVERIFY(openWatched());
        if (!renamed)
            QSKIP("this system renames nothing over a file that is open");
        QTRY_COMPARE(monsters(), QStringList{u"002  Beta"_qs});
    }

    // Saves while the user types and filters, each file read while the window searches: the window
    // ends on the last file's cards. Under ThreadSanitizer this is the check that reading in the
    // background races with nothing the window does meanwhile.
    void reloadsWhileTheUserTypes()
    {
        const auto cards = [](int count) {
            QStringList lines;
            for (int i = 0; i < count; ++i)
                lines << u"%1,Card%1,0,0,獣,,1,1,I,E,T"_qs.arg(i, 3, 10, QChar(u'0'));
            return testFiles::cardFile(lines);
        };
        QVERIFY(openFile(cards(1)));
        QTest::keyClick(window_.get(), Qt::Key_F, Qt::ControlModifier);
        auto *find = window_.control<QLineEdit>(u"txtFind"_qs);
        auto *effectOnly = window_.control<QCheckBox>(u"chkKouka"_qs);
        mdlZorv::readerHooks.afterOpen = [this] { // reads on once the user starts typing
            fileOpen_ = true;
            while (!typing_)
                std::this_thread::yield();
        };
        for (int i = 2; i <= 7; ++i) {
            fileOpen_ = typing_ = false;
            QVERIFY(testFiles::writeFile(path_, cards(i)));
            QTRY_VERIFY(fileOpen_);
            typing_ = true;
            typeText(find, i % 2 ? u"\b"_qs : u"d"_qs); // every name holds a d
            effectOnly->click();
            QTRY_COMPARE(monsters().size(), i);
        }
    }

    void thresholdBoxEntersDigitsOnly_data()
    {
        QTest::addColumn<int>("limit");
        // Over the selected "0": typed; \b a backspace; after \v pasted; after \r composed with
        // an input method and committed, nothing committed giving the composition up.
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("letters dropped") << 4 << u"ab"_qs << u"0"_qs;
        QTest::newRow("digits replace the 0") << 4 << u"1x2"_qs << u"12"_qs;
        QTest::newRow("the limit") << 3 << u"12345"_qs << u"123"_qs;
        QTest::newRow("full-width digits to the limit") << 4 << u"１２３４５"_qs << u"1234"_qs;
        QTest::newRow("emptied shows 0") << 4 << u"7\b"_qs << u"0"_qs;
        QTest::newRow("paste with a leading blank") << 4 << u"\v 12"_qs << u"12"_qs;
        QTest::newRow("paste: the limit counts digits") << 3 << u"\vコスト１2"_qs << u"12"_qs;
        const QString digits(40'000, u'7');
        QTest::newRow("composition committed") << 4 << u"\r７８ｘ"_qs << u"78"_qs;
        QTest::newRow("composition given up") << 4 << u"\r"_qs << u"0"_qs;
        QTest::newRow("paste of 40,000 digits")
            << ThresholdBox::noLimit << u"\v"_qs + digits << digits;
    }
    void thresholdBoxEntersDigitsOnly()
    {
        QFETCH(int, limit);
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        ThresholdBox box(nullptr, limit, ThresholdBox::InputMethod::On);
        box.selectAll();
        if (typed.startsWith(u'\v')) {
            QApplication::clipboard()->setText(typed.mid(1));
            QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
        } else if (typed.startsWith(u'\r')) {
            QInputMethodEvent composing(u"１"_qs, {});
            QApplication::sendEvent(&box, &composing);
            QCOMPARE(box.text(), QString()); // the "0" goes at once
            QInputMethodEvent commit;
            commit.setCommitString(typed.mid(1));
            QApplication::sendEvent(&box, &commit);
        } else {
            typeText(&box, typed);
        }
        QCOMPARE(box.text(), expected);
    }
};

QTEST_MAIN(tst_frmMain)
#include "tst_frmMain.moc"
