// The window as the user meets it: its controls, their wiring to the searches, the keyboard, the
// threshold boxes, its layout and what the details box says of its card.

#include "search_window/frmMain.h"
#include "search_window/qtTranslations.h"
#include "search_window/thresholdBox.h"
#include "windowDriver.h"

#include <QAccessible>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTranslator>

#include <tuple>

using namespace windowDriver;

namespace {

// The controls that only work while their page is in front: all but frames and details boxes.
bool worksOnlyInFront(const QWidget *control)
{
    return !qobject_cast<const QGroupBox *>(control) && !control->objectName().endsWith(u"Inf");
}

} // namespace

class tst_frmMain final : public QObject
{
    Q_OBJECT

    Window window_;
    std::unique_ptr<QSignalSpy> monsterRuns_;
    std::unique_ptr<QSignalSpy> magicRuns_;
    QTemporaryDir dir_;

    // Opens the window on the cards of the driver and counts the searches from then on: every
    // search empties and refills its list at once.
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
        window_.close();
        testFiles::forgetUserSettings();
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
            const QStringList controls = controlsOnPage(window_.get(), page);
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
            for (const QString &name : controlsOnPage(&window, page)) {
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
                for (const QString &name : controlsOnPage(window_.get(), page)) {
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

    // A huge name or type shows cut in the lists and a huge effect wraps anywhere in the details,
    // so that none of them takes seconds to draw; the drop-down still finds the card by its whole
    // type.
    void showsHugeFieldsCutOrWrapped()
    {
        const QString huge(100'000, u'E');
        const QString cut = huge.left(256) + u'…';
        const QString path = dir_.filePath(u"huge.dat"_qs);
        QVERIFY(testFiles::writeFile(
            path, testFiles::cardFile({u"001,%1,0,0,%1,,1,1,I,%1,T"_qs.arg(huge)})));
        QVERIFY(window_.openFile(path));
        QCOMPARE(window_.monsters(), QStringList{u"001  "_qs + cut});
        auto *types = window_.control<QComboBox>(u"cmbType"_qs);
        QCOMPARE(types->itemText(1), cut);
        types->setCurrentIndex(1);
        QVERIFY(window_.click(u"lstMonstarName"_qs, 0));
        auto *details = window_.control<QPlainTextEdit>(u"txtMonstarInf"_qs);
        QCOMPARE(details->wordWrapMode(), QTextOption::WrapAnywhere);
        QCOMPARE(details->toPlainText().right(huge.size() + 1), u'\n' + huge);
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

    // A wide window shows the details beside the list, past a divider, under a heading naming
    // the card; the find words are marked in them, their text as it was. Narrow again, the
    // window is as it was.
    void showsTheCardBesideTheListWhenWide()
    {
        QVERIFY(openCards());
        frmMain *w = window_.get();
        auto *list = window_.control<QListView>(u"lstMonstarName"_qs);
        auto *box = window_.control<QPlainTextEdit>(u"txtMonstarInf"_qs);
        const QRect listPlace = list->geometry();
        const QRect boxPlace = box->geometry();
        QVERIFY(window_.click(u"lstMonstarName"_qs, 0));
        const QString details = box->toPlainText();
        w->resize(900, 600);
        auto *heading = window_.control<QLabel>(u"lblMonstarCard"_qs);
        QTRY_VERIFY(heading->isVisible());
        QVERIFY(box->geometry().left() > list->geometry().right());
        QVERIFY(heading->geometry().bottom() < box->geometry().top());
        for (const QString &part : {u"001 Alpha"_qs, u"Tavrin"_qs, u"3 枚"_qs})
            QVERIFY2(heading->text().contains(part), qPrintable(heading->text()));
        auto *divider = window_.control(u"divMonstar"_qs);
        const int listWidth = list->width();
        QMouseEvent drag(QEvent::MouseMove, QPointF(52, 50), divider->mapToGlobal(QPointF(52, 50)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(divider, &drag);
        QVERIFY(list->width() > listWidth + 40);

        QTest::keyClick(w, Qt::Key_F, Qt::ControlModifier);
        typeText(QApplication::focusWidget(), u"守"_qs);
        QTRY_COMPARE(box->extraSelections().size(), 1);
        QCOMPARE(box->extraSelections().first().cursor.selectedText(), u"守"_qs);
        QCOMPARE(box->toPlainText(), details);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);

        w->resize(w->minimumWidth(), 505);
        QTRY_VERIFY(!heading->isVisible());
        QCOMPARE(list->geometry(), listPlace);
        QCOMPARE(box->geometry(), boxPlace);
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
    }

    // The first Down in a list with nothing selected shows the first card; F6 goes from any
    // control to the list, then to the details box, then back where it started (the list, where
    // the user went there otherwise).
    void keyboardReachesListAndDetails()
    {
        QVERIFY(openCards());
        auto *list = window_.control<QListView>(u"lstMonstarName"_qs);
        QWidget *start = window_.control(u"txtAP"_qs);
        start->setFocus();
        const QList<QWidget *> round = {list, window_.control(u"txtMonstarInf"_qs), start};
        for (QWidget *next : round) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        list->setFocus(); // reached without F6: a round starts at the list
        for (QWidget *next : {round[1], round[0]}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(list->currentIndex().row(), 0);
        QCOMPARE(window_.details(u"lstMonstarName"_qs).section(u'\n', -2), u"ID-A-1\n守る"_qs);
        QCOMPARE(list->toolTip(), u"3 枚"_qs);
    }

    // A threshold typed but not yet searched shows that it waits for Enter, until a search of
    // its page uses it; the text stays as typed.
    void showsAThresholdWaitingForEnter()
    {
        QVERIFY(openCards());
        auto *box = window_.control<ThresholdBox>(u"txtDP"_qs);
        const QColor base = box->palette().color(QPalette::Base);
        box->setFocus();
        QTest::keyClicks(box, u"1000"_qs);
        QTest::keyClick(box, Qt::Key_Tab);
        QVERIFY(box->isPending());
        QCOMPARE(box->toolTip(), u"Enterで検索"_qs);
        QVERIFY(!box->accessibleDescription().isEmpty());
        QVERIFY(box->palette().color(QPalette::Base) != base);
        QCOMPARE(window_.monsters().size(), 3);                 // nothing searched
        window_.control<QRadioButton>(u"optDP(1)"_qs)->click(); // a search of the page: 以下 1000
        QVERIFY(!box->isPending());
        QCOMPARE(box->palette().color(QPalette::Base), base);
        QCOMPARE(window_.monsters(), (QStringList{u"001  Alpha"_qs, u"002  Beta"_qs}));
        QCOMPARE(box->text(), u"1000"_qs);
    }

    // Every filter of the page in front goes back as it starts, with one search; the other page
    // and the find words stay.
    void clearsTheFiltersOfThePageInFront()
    {
        QVERIFY(openCards());
        window_.control<QComboBox>(u"cmbType"_qs)->setCurrentIndex(2);
        window_.control<QCheckBox>(u"chkDuelistC(2)"_qs)->click();
        window_.control<QRadioButton>(u"optCostC(1)"_qs)->click();
        auto *ap = window_.control<ThresholdBox>(u"txtAP"_qs);
        ap->setText(u"2000"_qs);
        window_.control<QComboBox>(u"cmbMagic"_qs)->setCurrentIndex(1);
        const int runsBefore = runs(u"lstMonstarName"_qs);
        QTest::keyClick(window_.get(), Qt::Key_Delete, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(runs(u"lstMonstarName"_qs) - runsBefore, 1);
        QCOMPARE(window_.control<QComboBox>(u"cmbType"_qs)->currentIndex(), 0);
        QVERIFY(!window_.control<QCheckBox>(u"chkDuelistC(2)"_qs)->isChecked());
        QVERIFY(window_.control<QRadioButton>(u"optCostC(0)"_qs)->isChecked());
        QCOMPARE(window_.control(u"optCostC(0)"_qs)->focusPolicy(), Qt::StrongFocus);
        QCOMPARE(ap->text(), u"0"_qs);
        QVERIFY(!ap->isPending());
        QCOMPARE(window_.monsters().size(), 3);
        QCOMPARE(window_.control<QComboBox>(u"cmbMagic"_qs)->currentIndex(), 1);
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
