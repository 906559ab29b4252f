// The window as the user meets it: its controls, their wiring to the searches, the keyboard, the
// threshold boxes, the find bar, and the window over a real card file, huge or changed while the
// program runs.

#include "card_data/mdlZorv.h"
#include "search_window/frmMain.h"
#include "search_window/thresholdBox.h"
#include "testFiles.h"

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <tuple>
#include <vector>

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
    bool openFile(const QByteArray &bytes)
    {
        if (!testFiles::writeFile(path_, bytes))
            return false;
        mdlZorv::loadCardFile(path_);
        return window_.show();
    }
    QStringList monsters() const { return window_.entries(u"lstMonstarName"_qs); }
    int runs(const QString &list) const
    {
        return int((list == u"lstMagicName" ? magicRuns_ : monsterRuns_)->count());
    }

private Q_SLOTS:
    void cleanup()
    {
        window_.close();
        QFile::remove(path_);
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
        QCOMPARE(window_.entries(u"lstMonstarName"_qs), QStringList{u"003  Gamma"_qs});
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

    void followsTheWatchedFile_data()
    {
        QTest::addColumn<QString>("change");
        for (const QString &change : names(u"F5 written-in-place replaced-by-rename deleted"))
            QTest::newRow(qPrintable(change)) << change;
    }
    // The lists follow the file, keeping the filters, the find words and the selected card, and
    // so they do after a second save; a file gone leaves the cards on screen, and says so.
    void followsTheWatchedFile()
    {
        QFETCH(QString, change);
        const auto save = [this](const QStringList &cards) {
            return testFiles::writeFile(path_, testFiles::cardFile(cards));
        };
        QVERIFY(openFile(testFiles::cardFile(
            {u"001,Alpha,0,0,獣,,1,1,I,X,T"_qs, u"002,Beta,0,0,竜,,1,1,I,E,T"_qs})));
        window_.get()->watchCardFile(path_);
        window_.control<QComboBox>(u"cmbType"_qs)->setCurrentIndex(2); // 竜
        window_.control<QCheckBox>(u"chkDuelistC(0)"_qs)->setChecked(true);
        QTest::keyClick(window_.get(), Qt::Key_F, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), u"e"_qs); // in Beta, but not in Alpha
        QVERIFY(window_.click(u"lstMonstarName"_qs, 0));
        QSignalSpy problems(window_.get(), &frmMain::cardFileProblem);

        QStringList edited = {u"002,Beta,0,0,竜,,1,1,J,E,T"_qs, u"003,Gamma,0,0,竜,,1,1,K,E,T"_qs,
                              u"004,Delta,0,0,竜,,1,1,L,E,O"_qs};
        const QString other = dir_.filePath(u"saved.tmp"_qs);
        if (change == u"deleted")
            QVERIFY(QFile::remove(path_));
        else if (change == u"replaced-by-rename")
            QVERIFY(testFiles::writeFile(other, testFiles::cardFile(edited)) &&
                    testFiles::replaceByRename(other, path_));
        else
            QVERIFY(save(edited));
        if (change == u"F5")
            QTest::keyClick(window_.get(), Qt::Key_F5);

        if (change == u"deleted") {
            QTRY_COMPARE(problems.count(), 1);
            QVERIFY(problems.first().first().toString().contains(QDir::toNativeSeparators(path_)));
            QCOMPARE(monsters(), QStringList{u"002  Beta"_qs});
            QCOMPARE(window_.details(u"lstMonstarName"_qs).section(u'\n', -2), u"ID-I\nE"_qs);
            return;
        }
        QTRY_COMPARE(monsters(), (QStringList{u"002  Beta"_qs, u"003  Gamma"_qs}));
        QCOMPARE(window_.control<QComboBox>(u"cmbType"_qs)->currentText(), u"竜"_qs);
        QCOMPARE(window_.details(u"lstMonstarName"_qs).section(u'\n', -2), u"ID-J\nE"_qs);
        QVERIFY(save(edited << u"005,Epsilon,0,0,竜,,1,1,M,E,T"_qs));
        QTRY_COMPARE(monsters().size(), 3);
        QCOMPARE(problems.count(), 0);
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
