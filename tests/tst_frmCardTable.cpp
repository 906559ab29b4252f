// The card table window: it lists what the page in front lists, as filters, tabs and the card
// file change, sorted by a header, and a row chosen in it shows its card in the main window.

#include "card_data/cardFileReader.h"
#include "card_rules/tableSort.h"
#include "card_rules/textFold.h"
#include "search_window/cardTableState.h"
#include "search_window/frmCardTable.h"
#include "search_window/frmMain.h"
#include "windowDriver.h"

#include <QAbstractButton>
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QSettings>
#include <QTableView>
#include <QTimer>

#include <atomic>
#include <functional>
#include <thread>

using namespace windowDriver;

namespace {

QTableView *cardGrid(const Window &window)
{
    auto *table = window.get()->findChild<QWidget *>(u"frmCardTable"_qs);
    return table ? table->findChild<QTableView *>(u"grdCards"_qs) : nullptr;
}

// The texts of a column, top to bottom.
QStringList column(const QTableView *grid, int column)
{
    QStringList texts;
    for (int row = 0; row < grid->model()->rowCount(); ++row)
        texts << grid->model()->index(row, column).data().toString();
    return texts;
}

void clickHeader(QTableView *grid, int column)
{
    QHeaderView *header = grid->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + 5, 5));
}

// count monsters "000" to "999" and round again, named "Card000" on (every name holds a d),
// attack falling with the number (500 at a time); version tells their IDs apart.
QStringList numberedLines(int count, int version)
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << u"%1,Card%2,%3,0,獣,,1,1,V%4,E,T"_qs.arg(i % 1000, 3, 10, QChar(u'0'))
                     .arg(i, 3, 10, QChar(u'0'))
                     .arg(5000 - 10 * (i % 500))
                     .arg(version);
    return lines;
}

QByteArray numberedCards(int count, int version)
{
    return testFiles::cardFile(numberedLines(count, version));
}

// The first card's effect fills several lines of any table, and looks like HTML.
const QStringList longEffects = {
    u"001,Alpha,1300,800,天使,光,4,3,A-1,<b>光の盾</b>で味方を守り、次の相手の番の終わりまで"
    u"攻撃を受けても破壊されない。墓地に送られた時は手札に戻り、さらに一枚引く。"
    u"この効果は一ターンに一度しか使えず、使った番には攻撃もできない。,T"_qs,
    u"002,Beta,42,0,獣,闇,4,0,B-2,吠える,TJ"_qs,
};

frmCardTable *tableWindow(const Window &window)
{
    QTableView *grid = cardGrid(window);
    return grid ? qobject_cast<frmCardTable *>(grid->window()) : nullptr;
}

// Opens the card table of the page in front with Ctrl+L, and waits until it is the active window.
QTableView *openTable(const Window &window)
{
    window.get()->activateWindow(); // shortcuts answer in the active window
    if (!QTest::qWaitForWindowActive(window.get()))
        return nullptr;
    QTest::keyClick(window.get(), Qt::Key_L, Qt::ControlModifier);
    QTableView *grid = cardGrid(window);
    return grid && QTest::qWaitForWindowActive(grid->window()) ? grid : nullptr;
}

void selectRows(QTableView *grid, int first, int last)
{
    grid->selectionModel()->select(
        QItemSelection(grid->model()->index(first, 0), grid->model()->index(last, 0)),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

// Answers the save dialog that is about to open with a path.
void answerSaveDialog(const QString &path)
{
    auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
    if (!dialog) {
        QTimer::singleShot(20, [path] { answerSaveDialog(path); });
        return;
    }
    dialog->selectFile(path);
    static_cast<QDialog *>(dialog)->accept(); // as the save button does
}

// Answers the message box about to open, yes where it asks (to replace a file), and keeps its
// text; then, the next one.
void answerMessage(QString *text, const std::function<void()> &then = {})
{
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!box) {
        QTimer::singleShot(20, [text, then] { answerMessage(text, then); });
        return;
    }
    *text = box->text();
    if (then)
        QTimer::singleShot(0, then);
    if (QAbstractButton *yes = box->button(QMessageBox::Yes))
        yes->click();
    else
        box->accept();
}

// The headings of the cards compared side by side, joined by |, and the line of how many more.
QString comparedCards(const QWidget *table)
{
    QStringList headings;
    for (int number = 1; number <= 8; ++number) {
        const auto *heading = table->findChild<QLabel *>(u"lblCompareHeading%1"_qs.arg(number));
        if (heading->isVisible())
            headings << heading->text();
    }
    const auto *more = table->findChild<QLabel *>(u"lblCompareMore"_qs);
    return headings.join(u'|') + (more->isVisible() ? u" + "_qs + more->text() : QString());
}

// Pixels of the colour that marks find words, in what the grid shows.
int markedPixels(QTableView *grid)
{
    const QImage shown = grid->viewport()->grab().toImage();
    int count = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x)
            count += shown.pixelColor(x, y) == QColor(255, 224, 102);
    }
    return count;
}

} // namespace

class tst_frmCardTable final : public QObject
{
    Q_OBJECT

    Window window_;
    QTemporaryDir dir_;
    std::atomic<bool> fileOpen_ = false;
    std::atomic<bool> typed_ = false;

private Q_SLOTS:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           dir_.filePath(u"settings"_qs));
        testFiles::forgetUserSettings();
        // Qt's own file dialog, which a test can answer, on Windows too.
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    }
    void cleanup()
    {
        typed_ = true; // lets a read held open by a failed test end
        window_.close();
        mdlZorv::readerHooks = {};
        emptyFolder(dir_);
        testFiles::forgetUserSettings();
    }

    void followsThePageInFront()
    {
        QVERIFY(window_.open(cards));
        QTest::keyClick(window_.get(), Qt::Key_L, Qt::ControlModifier);
        QTableView *grid = cardGrid(window_);
        QVERIFY(grid);
        QWidget *table = grid->window();
        QCOMPARE(table->windowTitle(), u"カード一覧 - モンスター (3 枚)"_qs);
        // The readings, made as the table opens, are in: their arrival shows the table anew,
        // which would hide a table that does not follow the list.
        QTRY_VERIFY(!column(grid, 11).join(QString()).isEmpty());
        window_.control<QComboBox>(u"cmbType"_qs)->setCurrentIndex(2); // 獣
        QTRY_COMPARE(column(grid, 0).join(u' '), u"002 003"_qs);
        clickHeader(grid, 2); // 攻撃力
        QCOMPARE(column(grid, 0).join(u' '), u"003 002"_qs);
        grid->setCurrentIndex(grid->model()->index(1, 0));
        QCOMPARE(window_.details(u"lstMonstarName"_qs).section(u'\n', -2), u"ID-B-2\n"_qs);
        QVERIFY(window_.showPage(1));
        QCOMPARE(table->windowTitle(), u"カード一覧 - 魔法、罠、儀式 (2 枚)"_qs);
    }

    // Sorted by attack, while the user types, the card file saved with fewer cards: the moment the
    // new cards show, the table holds the list's rows of the new cards, and sorts them rightly.
    // The save is read while the table has just followed a keystroke, when it would otherwise
    // wait before following again.
    void switchesToNewCardsAtOnce()
    {
        const QString path = dir_.filePath(u"CardData.dat"_qs);
        QVERIFY(testFiles::writeFile(path, numberedCards(40, 1)));
        QVERIFY(window_.openFile(path));
        QTest::keyClick(window_.get(), Qt::Key_L, Qt::ControlModifier);
        QTableView *grid = cardGrid(window_);
        QVERIFY(grid);
        clickHeader(grid, 2); // 攻撃力, up: the last card first
        QTest::keyClick(window_.get(), Qt::Key_F, Qt::ControlModifier);
        auto *find = window_.control<QLineEdit>(u"txtFind"_qs);
        QTRY_VERIFY(!window_.session()->isBusy());

        QStringList tableAtReload;
        QStringList listAtReload;
        connect(window_.get(), &frmMain::cardFileReloaded, this, [&] {
            tableAtReload = column(grid, 0);
            listAtReload = window_.monsters();
        });
        mdlZorv::readerHooks.afterOpen = [this] { // reads on once the user has typed
            fileOpen_ = true;
            while (!typed_)
                std::this_thread::yield();
        };
        QVERIFY(testFiles::writeFile(path, numberedCards(25, 2)));
        QTRY_VERIFY(fileOpen_);
        typeText(find, u"d"_qs);
        typeText(find, u"\b"_qs);
        typed_ = true;
        QTRY_COMPARE(listAtReload.size(), 25);

        QStringList expected;
        for (int i = 24; i >= 0; --i)
            expected << u"%1"_qs.arg(i, 3, 10, QChar(u'0'));
        QCOMPARE(tableAtReload, expected);
        clickHeader(grid, 2); // down
        std::reverse(expected.begin(), expected.end());
        QCOMPARE(column(grid, 0), expected);
        QCOMPARE(column(grid, 8), QStringList(25, u"V2"_qs));
    }

    // A long effect wraps and its row grows; the dense view keeps every row one line high. The
    // tool tip shows the text as written, in lines.
    void wrapsEffectTextsOrShowsThemDense()
    {
        QVERIFY(window_.open(longEffects));
        QTableView *grid = openTable(window_);
        QVERIFY(grid);
        QVERIFY(grid->rowHeight(0) >= 2 * grid->rowHeight(1));
        const QString toolTip = grid->model()->index(0, 9).data(Qt::ToolTipRole).toString();
        QVERIFY2(toolTip.startsWith(u"<p>&lt;b&gt;光の盾&lt;/b&gt;"), qPrintable(toolTip));

        QTest::keyClick(grid->window(), Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(grid->rowHeight(0), grid->rowHeight(1));
        QTest::keyClick(grid->window(), Qt::Key_E, Qt::ControlModifier);
        QVERIFY(grid->rowHeight(0) >= 2 * grid->rowHeight(1));
    }

    void marksTheFindWords()
    {
        QVERIFY(window_.open(cards));
        QTableView *grid = openTable(window_);
        QVERIFY(grid);
        QCOMPARE(markedPixels(grid), 0);
        tableWindow(window_)->setFindWords(textFold::words(u"ＧＡＭ"));
        QVERIFY(markedPixels(grid) > 0);
    }

    // Widths, order, sort and wrapping come back when the table opens again, for each page.
    void remembersEachPagesColumns()
    {
        QVERIFY(window_.open(cards));
        QTableView *grid = openTable(window_);
        QVERIFY(grid);
        QHeaderView *header = grid->horizontalHeader();
        header->resizeSection(1, 201);
        header->moveSection(3, 0); // 守備力 first
        QTest::keyClick(grid->window(), Qt::Key_3, Qt::ControlModifier);
        QTest::keyClick(grid->window(), Qt::Key_3, Qt::ControlModifier); // 攻撃力, down
        QTest::keyClick(grid->window(), Qt::Key_E, Qt::ControlModifier); // dense
        QVERIFY(window_.showPage(1));
        QCOMPARE(header->sortIndicatorSection(), -1);
        QVERIFY(window_.showPage(0));
        grid->window()->close();
        QTRY_VERIFY(!cardGrid(window_));

        grid = openTable(window_);
        QVERIFY(grid);
        header = grid->horizontalHeader();
        QCOMPARE(header->sectionSize(1), 201);
        QCOMPARE(header->visualIndex(3), 0);
        QCOMPARE(header->sortIndicatorSection(), 2);
        QCOMPARE(column(grid, 0).join(u' '), u"001 002 003"_qs);
        const auto actions = grid->actions();
        const auto wrap = std::find_if(actions.begin(), actions.end(), [](const QAction *action) {
            return action->objectName() == u"actWrap";
        });
        QVERIFY(wrap != actions.end() && !(*wrap)->isChecked());
    }

    // Two rows or more are compared side by side, up to eight, until other rows are listed; one
    // row shows in the main window.
    void comparesTheSelectedCards_data()
    {
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("compared");
        QTest::newRow("one") << 1 << QString();
        QTest::newRow("three") << 3 << u"000  Card000|001  Card001|002  Card002"_qs;
        QTest::newRow("ten: eight and how many more")
            << 10
            << u"000  Card000|001  Card001|002  Card002|003  Card003|004  Card004|005  Card005|"
               u"006  Card006|007  Card007 + ほかに 2 枚を選んでいます"_qs;
    }
    void comparesTheSelectedCards()
    {
        QFETCH(int, selected);
        QFETCH(QString, compared);
        QVERIFY(window_.open(numberedLines(12, 1)));
        QTableView *grid = openTable(window_);
        QVERIFY(grid);
        selectRows(grid, 0, selected - 1);
        QCOMPARE(comparedCards(grid->window()), compared);
        if (selected == 1)
            QVERIFY(window_.details(u"lstMonstarName"_qs).contains(u"ID-V1"));
        window_.control<QLineEdit>(u"txtFind"_qs)->setText(u"Card00"_qs); // new rows listed
        QTRY_COMPARE(comparedCards(grid->window()), QString());
    }

    // Ctrl+C: tab-separated text and HTML cells side by side, card numbers kept as text.
    void copiesRowsAsTextAndHtml()
    {
        QVERIFY(window_.open(cards));
        QTableView *grid = openTable(window_);
        QVERIFY(grid);
        QTRY_COMPARE(grid->model()->index(0, 11).data().toString(), u"alpha"_qs); // its reading
        selectRows(grid, 0, 0);
        QTest::keyClick(grid->window(), Qt::Key_C, Qt::ControlModifier);
        const QMimeData *copied = QApplication::clipboard()->mimeData();
        QVERIFY(copied->text().endsWith(
            u"\n001\tAlpha\t1300\t800\t天使\t光\t4\t3\tA-1\t守る\tT\talpha\n"));
        QVERIFY(copied->html().contains(
            u"<td style=\"mso-number-format:'\\@'\" sdnum=\"1041;0;@\">001</td>"));
        QVERIFY(copied->html().contains(u">1300</td>"));
    }

    // The rows selected alone, in the table's order; the card file is never written.
    void savesTheSelectedRowsAsCsv()
    {
        QVERIFY(window_.open(cards));
        QTableView *grid = openTable(window_);
        QVERIFY(grid);
        QTest::keyClick(grid->window(), Qt::Key_3, Qt::ControlModifier); // 攻撃力, up
        grid->selectionModel()->select(grid->model()->index(0, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
        grid->selectionModel()->select(grid->model()->index(2, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
        const QString path = dir_.filePath(u"chosen.csv"_qs);
        QTimer::singleShot(0, [path] { answerSaveDialog(path); });
        QTest::keyClick(grid->window(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(saved.readAll()).split(u"\r\n"_qs);
        QCOMPARE(lines.size(), 4); // the header, two rows and the end
        QVERIFY(lines[1].startsWith(u"003,") && lines[2].startsWith(u"001,"));
    }

    // Sorted by name, kanji names stand in 五十音 order by their reading among kana ones, and
    // the 読み column shows each.
    void sortsNamesByTheirReading()
    {
        QVERIFY(window_.open(
            {u"001,闇夜の梟,0,0,鳥,闇,1,1,I,E,T"_qs, u"002,黄昏の竜,0,0,竜,闇,1,1,I,E,T"_qs,
             u"003,暁の鷲,0,0,鳥,光,1,1,I,E,T"_qs, u"004,つきかげ,0,0,獣,光,1,1,I,E,T"_qs}));
        QTableView *grid = openTable(window_);
        QVERIFY(grid);
        QTRY_COMPARE(column(grid, 11).value(2), u"あかつきのわし"_qs);
        clickHeader(grid, 1); // 名前
        QTRY_COMPARE(column(grid, 0).join(u' '), u"003 002 004 001"_qs);
    }

    // While another card file is being opened, saving the table over it is refused: it keeps
    // every byte, whichever way the path is spelled.
    void neverSavesOverAFileBeingOpened()
    {
        const QString path = dir_.filePath(u"CardData.dat"_qs);
        const QString other = dir_.filePath(u"Other.dat"_qs);
        QVERIFY(testFiles::writeFile(path, numberedCards(3, 1)));
        QVERIFY(testFiles::writeFile(other, numberedCards(5, 2)));
        QVERIFY(window_.openFile(path));
        QTRY_VERIFY(!window_.session()->isBusy());
        mdlZorv::readerHooks.afterOpen = [this] {
            fileOpen_ = true;
            while (!typed_)
                std::this_thread::yield();
        };
        window_.session()->open(other);
        QTRY_VERIFY(fileOpen_);
        QTableView *grid = openTable(window_);
        QVERIFY(grid);
        QString replace; // the save dialog asks whether to replace the file
        QString refusal;
        QTimer::singleShot(0, [&] {
            answerMessage(&replace, [&] { answerMessage(&refusal); });
            answerSaveDialog(dir_.path() + u"/./Other.dat"_qs);
        });
        QTest::keyClick(grid->window(), Qt::Key_S, Qt::ControlModifier);
        QTRY_VERIFY2(refusal.contains(u"読み込んでいる"_qs), qPrintable(refusal));
        typed_ = true;
        QFile kept(other);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), numberedCards(5, 2));
    }

    // Ctrl+0 sorts by the tenth column, 効果: the card without one first.
    void sortsByTheTenthColumnWithCtrl0()
    {
        QVERIFY(window_.open(cards));
        QTableView *grid = openTable(window_);
        QVERIFY(grid);
        QTest::keyClick(grid->window(), Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(grid->horizontalHeader()->sortIndicatorSection(), 9);
        QCOMPARE(column(grid, 0).value(0), u"002"_qs);
    }

    // A long table sorts on a thread of its own, under the busy pointer, into the order a sort at
    // once gives; a sort for a page no longer shown is left.
    void sortsALongTableAside()
    {
        const QStringList lines = numberedLines(25'000, 1);
        QVERIFY(window_.open(lines + cards.mid(3))); // and two magic cards
        QTableView *grid = openTable(window_);
        QVERIFY(grid);
        QWidget *table = grid->window();
        mdlZorv::RowList listed(lines.size());
        std::iota(listed.begin(), listed.end(), 0);
        QStringList expected;
        for (const qsizetype row : tableSort::sortedRows(
                 mdlZorv::strMonstarData, listed, tableColumns::monster[1], Qt::DescendingOrder))
            expected << mdlZorv::strMonstarData[mdlZorv::CardField::Name][row];

        QVERIFY(window_.showPage(1));
        clickHeader(grid, 1); // the magic cards by name too, at once
        QVERIFY(window_.showPage(0));
        clickHeader(grid, 1);
        QCOMPARE(table->cursor().shape(), Qt::WaitCursor);
        QVERIFY(window_.showPage(1));
        QCOMPARE(table->cursor().shape(), Qt::WaitCursor);
        QTRY_VERIFY(table->cursor().shape() != Qt::WaitCursor);
        QCOMPARE(column(grid, 0).join(u' '), u"102 101"_qs);

        QVERIFY(window_.showPage(0)); // sorts by name again, as chosen on this page
        clickHeader(grid, 1);         // down
        QTRY_VERIFY(table->cursor().shape() != Qt::WaitCursor);
        QCOMPARE(column(grid, 1), expected);
    }

    // Where the table cannot sit beside the main window (the offscreen screen is 800 x 600) it
    // fills the screen, and Ctrl+L in either window brings the other one to the front.
    void switchesWindowsWithCtrlL()
    {
        QVERIFY(window_.open(cards));
        QTableView *grid = openTable(window_);
        QVERIFY(grid);
        QWidget *table = grid->window();
        const QRect screen = window_.get()->screen()->availableGeometry();
        QVERIFY(screen.contains(table->frameGeometry()));
        if (table->frameGeometry().intersects(window_.get()->frameGeometry()))
            QCOMPARE(table->frameGeometry(), screen);
        QTest::keyClick(table, Qt::Key_L, Qt::ControlModifier);
        QTRY_VERIFY(window_.get()->isActiveWindow());
        QTest::keyClick(window_.get(), Qt::Key_L, Qt::ControlModifier);
        QTRY_VERIFY(table->isActiveWindow());
    }
};

QTEST_MAIN(tst_frmCardTable)
#include "tst_frmCardTable.moc"
