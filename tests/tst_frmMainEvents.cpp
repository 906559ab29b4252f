#include "card_data/mdlZorv.h"
#include "search_window/frmMain.h"
#include "search_window/thresholdBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#include <memory>

namespace {

const QStringList cards = {
    u"001,Alpha,1300,800,天使,光,4,3,A-1,守る,T"_qs,
    u"002,Beta,42,0,獣,闇,4,0,B-2,,TJ"_qs,
    u"003,Gamma,40,1500,獣,光,7,5,C-3,走る,J"_qs,
    u"101,Spell,,,魔法,,,2,S-1,光る,TJ"_qs,
    u"102,Pit,,,罠,,,3,S-2,,O"_qs,
};

} // namespace

class tst_frmMainEvents final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void filterRerunsOnlyItsOwnPage_data();
    void filterRerunsOnlyItsOwnPage();
    void checkBoxCheckedThenClearedRunsTwice();
    void selectingANameShowsItsDetails();
    void emptyListShowsNothing();
    void tabSwitchEnablesOnlyTheFrontPage();
    void typingKeepsToDigits_data();
    void typingKeepsToDigits();
    void enteringABoxSelectsItsText_data();
    void enteringABoxSelectsItsText();
    void enterRunsTheSearchOfItsPage_data();
    void enterRunsTheSearchOfItsPage();
    void pasteKeepsOnlyDigits_data();
    void pasteKeepsOnlyDigits();
    void typedTextRule_data();
    void typedTextRule();

private:
    template <typename T = QWidget> T *control(const QString &name);
    QStringList entries(const QString &list);
    void showPage(int page);

    std::unique_ptr<frmMain> window_;
    std::unique_ptr<QSignalSpy> monsterRuns_;
    std::unique_ptr<QSignalSpy> magicRuns_;
};

void tst_frmMainEvents::init()
{
    mdlZorv::loadCardText(cards.join(u"\r\n"));
    window_ = std::make_unique<frmMain>();
    window_->FormInit();
    window_->show();
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    // Every search empties and refills its list's entries at once.
    monsterRuns_ = std::make_unique<QSignalSpy>(control<QListView>(u"lstMonstarName"_qs)->model(),
                                                &QAbstractItemModel::modelReset);
    magicRuns_ = std::make_unique<QSignalSpy>(control<QListView>(u"lstMagicName"_qs)->model(),
                                              &QAbstractItemModel::modelReset);
}

void tst_frmMainEvents::cleanup()
{
    monsterRuns_.reset();
    magicRuns_.reset();
    window_.reset();
}

template <typename T> T *tst_frmMainEvents::control(const QString &name)
{
    T *found = window_->findChild<T *>(name);
    if (!found)
        qFatal("no control %s", qPrintable(name));
    return found;
}

QStringList tst_frmMainEvents::entries(const QString &list)
{
    const QAbstractItemModel *model = control<QListView>(list)->model();
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, 0).data().toString();
    return texts;
}

void tst_frmMainEvents::showPage(int page)
{
    auto *tabs = control<QTabWidget>(u"SSTab"_qs);
    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(page).center());
    QCOMPARE(tabs->currentIndex(), page);
}

void tst_frmMainEvents::filterRerunsOnlyItsOwnPage_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("monsterRuns");
    QTest::addColumn<int>("magicRuns");

    for (const QString &name :
         {u"cmbType"_qs, u"cmbMazoku"_qs, u"cmbLevel"_qs, u"chkKouka"_qs, u"chkDuelistC(1)"_qs,
          u"optCostC(1)"_qs, u"optAP(1)"_qs, u"optDP(1)"_qs})
        QTest::newRow(qPrintable(name)) << name << 0 << 1 << 0;
    for (const QString &name : {u"cmbMagic"_qs, u"chkDuelistM(2)"_qs, u"optCostM(1)"_qs})
        QTest::newRow(qPrintable(name)) << name << 1 << 0 << 1;
}

void tst_frmMainEvents::filterRerunsOnlyItsOwnPage()
{
    QFETCH(QString, name);
    QFETCH(int, page);
    QFETCH(int, monsterRuns);
    QFETCH(int, magicRuns);
    if (page == 1)
        showPage(1);
    const QStringList magicBefore = entries(u"lstMagicName"_qs);
    const QStringList monstersBefore = entries(u"lstMonstarName"_qs);

    QWidget *widget = control(name);
    if (qobject_cast<QComboBox *>(widget))
        QTest::keyClick(widget, Qt::Key_Down); // the next entry, as a user picks it
    else
        QTest::mouseClick(widget, Qt::LeftButton);

    QCOMPARE(monsterRuns_->count(), monsterRuns);
    QCOMPARE(magicRuns_->count(), magicRuns);
    if (magicRuns == 0)
        QCOMPARE(entries(u"lstMagicName"_qs), magicBefore);
    if (monsterRuns == 0)
        QCOMPARE(entries(u"lstMonstarName"_qs), monstersBefore);
}

void tst_frmMainEvents::checkBoxCheckedThenClearedRunsTwice()
{
    auto *box = control<QCheckBox>(u"chkDuelistC(2)"_qs);
    QTest::mouseClick(box, Qt::LeftButton);
    QCOMPARE(entries(u"lstMonstarName"_qs), (QStringList{u"002  Beta"_qs, u"003  Gamma"_qs}));
    QTest::mouseClick(box, Qt::LeftButton);
    QCOMPARE(monsterRuns_->count(), 2);
    QCOMPARE(entries(u"lstMonstarName"_qs).size(), 3);
}

void tst_frmMainEvents::selectingANameShowsItsDetails()
{
    auto *list = control<QListView>(u"lstMonstarName"_qs);
    auto *details = control<QPlainTextEdit>(u"txtMonstarInf"_qs);
    const QModelIndex first = list->model()->index(0, 0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(first).center());
    QCOMPARE(details->toPlainText(),
             u"Lv-4       ｺｽﾄ-3\nAP-1300 → 910\nDP-800  → 560\n天使\n光\nID-A-1\n守る"_qs);

    QTest::keyClick(list, Qt::Key_Down);
    QVERIFY(details->toPlainText().startsWith(u"Lv-4       ｺｽﾄ-0\nAP-42 → 54.6"_qs));
    QTest::keyClick(list, Qt::Key_End);
    QVERIFY(details->toPlainText().endsWith(u"ID-C-3\n走る"_qs));

    // A search that drops the card leaves its details in place.
    control<QComboBox>(u"cmbType"_qs)->setCurrentIndex(1); // 天使
    QCOMPARE(entries(u"lstMonstarName"_qs), QStringList{u"001  Alpha"_qs});
    QVERIFY(details->toPlainText().endsWith(u"ID-C-3\n走る"_qs));
    QVERIFY(list->selectionModel()->selectedIndexes().isEmpty());

    showPage(1);
    auto *magicList = control<QListView>(u"lstMagicName"_qs);
    QTest::mouseClick(magicList->viewport(), Qt::LeftButton, {},
                      magicList->visualRect(magicList->model()->index(1, 0)).center());
    QCOMPARE(control<QPlainTextEdit>(u"txtMagicInf"_qs)->toPlainText(), u"ｺｽﾄ-3\nID-S-2\n"_qs);
}

void tst_frmMainEvents::emptyListShowsNothing()
{
    auto *details = control<QPlainTextEdit>(u"txtMonstarInf"_qs);
    auto *list = control<QListView>(u"lstMonstarName"_qs);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(0, 0)).center());
    const QString shown = details->toPlainText();
    control<QComboBox>(u"cmbLevel"_qs)->setCurrentIndex(12); // level 12: no card
    QCOMPARE(list->model()->rowCount(), 0);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(details->toPlainText(), shown);
}

void tst_frmMainEvents::tabSwitchEnablesOnlyTheFrontPage()
{
    const QStringList monsterControls = {
        u"cmbType"_qs,        u"cmbMazoku"_qs,      u"cmbLevel"_qs,       u"chkKouka"_qs,
        u"chkDuelistC(0)"_qs, u"chkDuelistC(1)"_qs, u"chkDuelistC(2)"_qs, u"txtCostC"_qs,
        u"optCostC(0)"_qs,    u"optCostC(1)"_qs,    u"txtAP"_qs,          u"optAP(0)"_qs,
        u"optAP(1)"_qs,       u"txtDP"_qs,          u"optDP(0)"_qs,       u"optDP(1)"_qs,
        u"lstMonstarName"_qs};
    const QStringList magicControls = {
        u"cmbMagic"_qs, u"chkDuelistM(0)"_qs, u"chkDuelistM(1)"_qs, u"chkDuelistM(2)"_qs,
        u"txtCostM"_qs, u"optCostM(0)"_qs,    u"optCostM(1)"_qs,    u"lstMagicName"_qs};
    const QStringList neverDisabled = {u"SSTab"_qs,      u"Frame1"_qs,        u"Frame2"_qs,
                                       u"Frame3"_qs,     u"Frame4"_qs,        u"Frame5"_qs,
                                       u"frmDuelist"_qs, u"txtMonstarInf"_qs, u"txtMagicInf"_qs};
    const auto enabledFlags = [this](const QStringList &names) {
        QList<bool> flags;
        for (const QString &name : names)
            flags << control(name)->isEnabled();
        return flags;
    };
    control<QCheckBox>(u"chkKouka"_qs)->setChecked(true);
    control<QLineEdit>(u"txtDP"_qs)->setText(u"7"_qs);
    const QStringList monsterEntries = entries(u"lstMonstarName"_qs);
    const int runsBefore = monsterRuns_->count();

    showPage(1);
    QCOMPARE(enabledFlags(monsterControls), QList<bool>(monsterControls.size(), false));
    QCOMPARE(enabledFlags(magicControls), QList<bool>(magicControls.size(), true));
    QCOMPARE(enabledFlags(neverDisabled), QList<bool>(neverDisabled.size(), true));

    showPage(0);
    QCOMPARE(enabledFlags(monsterControls), QList<bool>(monsterControls.size(), true));
    QCOMPARE(enabledFlags(magicControls), QList<bool>(magicControls.size(), false));
    QCOMPARE(enabledFlags(neverDisabled), QList<bool>(neverDisabled.size(), true));
    QCOMPARE(monsterRuns_->count(), runsBefore);
    QCOMPARE(magicRuns_->count(), 0);
    QVERIFY(control<QCheckBox>(u"chkKouka"_qs)->isChecked());
    QCOMPARE(control<QLineEdit>(u"txtDP"_qs)->text(), u"7"_qs);
    QCOMPARE(entries(u"lstMonstarName"_qs), monsterEntries);
}

void tst_frmMainEvents::typingKeepsToDigits_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed"); // after the box is entered by the Tab key
    QTest::addColumn<QString>("expected");

    QTest::newRow("letters") << u"txtAP"_qs << u"ab"_qs << u"0"_qs;
    QTest::newRow("blank, minus, period") << u"txtDP"_qs << u" -."_qs << u"0"_qs;
    QTest::newRow("full-width digit") << u"txtCostC"_qs << u"１"_qs << u"0"_qs;
    QTest::newRow("digits replace the selected 0") << u"txtAP"_qs << u"12"_qs << u"12"_qs;
    QTest::newRow("txtCostC takes three") << u"txtCostC"_qs << u"12345"_qs << u"123"_qs;
    QTest::newRow("txtAP takes four") << u"txtAP"_qs << u"12345"_qs << u"1234"_qs;
    QTest::newRow("txtDP takes four") << u"txtDP"_qs << u"12345"_qs << u"1234"_qs;
    QTest::newRow("txtCostM takes any") << u"txtCostM"_qs << u"1234567"_qs << u"1234567"_qs;
    QTest::newRow("backspace to empty shows 0") << u"txtAP"_qs << u"7\b"_qs << u"0"_qs;
    QTest::newRow("digit, letter, digit") << u"txtAP"_qs << u"1x2"_qs << u"12"_qs;
}

void tst_frmMainEvents::typingKeepsToDigits()
{
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    auto *edit = control<QLineEdit>(box);
    if (box == u"txtCostM")
        showPage(1);
    edit->setFocus(Qt::TabFocusReason);
    for (const QChar c : typed) {
        if (c == u'\b') {
            QTest::keyClick(edit, Qt::Key_Backspace);
            continue;
        }
        // keyClicks sends Latin-1 only: send full-width characters as key events with text.
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(edit, &press);
    }
    QCOMPARE(edit->text(), expected);
    QCOMPARE(monsterRuns_->count() + magicRuns_->count(), 0); // typing alone runs no search
}

void tst_frmMainEvents::enteringABoxSelectsItsText_data()
{
    QTest::addColumn<bool>("byMouse");
    QTest::newRow("Tab key") << false;
    QTest::newRow("mouse click") << true;
}

void tst_frmMainEvents::enteringABoxSelectsItsText()
{
    QFETCH(bool, byMouse);
    auto *edit = control<QLineEdit>(u"txtAP"_qs);
    if (byMouse) {
        QTest::mouseClick(edit, Qt::LeftButton);
    } else {
        control(u"optCostC(0)"_qs)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(QApplication::focusWidget(), edit);
    QCOMPARE(edit->selectedText(), u"0"_qs);
    QTest::keyClicks(edit, u"12"_qs);
    QCOMPARE(edit->text(), u"12"_qs);

    // A second click places the cursor instead.
    QTest::mouseClick(edit, Qt::LeftButton);
    QVERIFY(!edit->hasSelectedText());
}

void tst_frmMainEvents::enterRunsTheSearchOfItsPage_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QStringList>("monsters"); // null: the monster search must not run
    QTest::addColumn<QStringList>("magic");

    QTest::newRow("txtAP rewrites its number")
        << u"txtAP"_qs << u"0042"_qs << u"42"_qs << QStringList{u"001  Alpha"_qs, u"002  Beta"_qs}
        << QStringList();
    QTest::newRow("txtDP keeps its zeros")
        << u"txtDP"_qs << u"0800"_qs << u"0800"_qs
        << QStringList{u"001  Alpha"_qs, u"003  Gamma"_qs} << QStringList();
    QTest::newRow("txtCostC") << u"txtCostC"_qs << u"5"_qs << u"5"_qs
                              << QStringList{u"003  Gamma"_qs} << QStringList();
    QTest::newRow("txtCostM runs the magic search only")
        << u"txtCostM"_qs << u"3"_qs << u"3"_qs << QStringList() << QStringList{u"102  Pit"_qs};
}

void tst_frmMainEvents::enterRunsTheSearchOfItsPage()
{
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QStringList, monsters);
    QFETCH(QStringList, magic);
    const bool magicBox = box == u"txtCostM";
    if (magicBox)
        showPage(1);
    auto *edit = control<QLineEdit>(box);
    edit->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(edit, typed);

    for (int press = 1; press <= 2; ++press) {
        QTest::keyClick(edit, press == 1 ? Qt::Key_Return : Qt::Key_Enter,
                        press == 1 ? Qt::NoModifier : Qt::ShiftModifier);
        QCOMPARE(edit->text(), shown);
        QCOMPARE(magicRuns_->count(), magicBox ? press : 0);
        QCOMPARE(monsterRuns_->count(), magicBox ? 0 : press);
        QCOMPARE(entries(magicBox ? u"lstMagicName"_qs : u"lstMonstarName"_qs),
                 magicBox ? magic : monsters);
    }
}

void tst_frmMainEvents::pasteKeepsOnlyDigits_data()
{
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("expected");
    QTest::newRow("leading blank") << u" 12"_qs << u"12"_qs;
    QTest::newRow("spreadsheet cell") << u"12\n"_qs << u"12"_qs;
    QTest::newRow("no digits") << u"abc"_qs << u"0"_qs;
    QTest::newRow("full-width digits") << u"１２3"_qs << u"3"_qs;
}

void tst_frmMainEvents::pasteKeepsOnlyDigits()
{
    QFETCH(QString, clipboard);
    QFETCH(QString, expected);
    QApplication::clipboard()->setText(clipboard);
    auto *edit = control<QLineEdit>(u"txtAP"_qs);
    edit->setFocus(Qt::TabFocusReason);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit->text(), expected);
}

void tst_frmMainEvents::typedTextRule_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("rejected");
    QTest::addColumn<bool>("withCtrl");
    QTest::newRow("v with Ctrl (a shortcut)") << u"v"_qs << false << true;
    QTest::newRow("digit") << u"7"_qs << false << false;
    QTest::newRow("nothing (arrow keys)") << QString() << false << false;
    QTest::newRow("backspace") << u"\b"_qs << false << false;
    QTest::newRow("Ctrl+V as a control character") << u"\x16"_qs << false << false;
    QTest::newRow("letter") << u"a"_qs << true << false;
    QTest::newRow("blank") << u" "_qs << true << false;
    QTest::newRow("full-width digit") << u"１"_qs << true << false;
    QTest::newRow("kana") << u"あ"_qs << true << false;
}

void tst_frmMainEvents::typedTextRule()
{
    QFETCH(QString, text);
    QFETCH(bool, rejected);
    QFETCH(bool, withCtrl);
    QCOMPARE(thresholdBox::rejectsTypedText(text, withCtrl ? Qt::ControlModifier : Qt::NoModifier),
             rejected);
}

QTEST_MAIN(tst_frmMainEvents)
#include "tst_frmMainEvents.moc"
