// The card table window: it lists what the page in front lists, as filters, tabs and the card
// file change, sorted by a header, and a row chosen in it shows its card in the main window.

#include "card_data/cardFileReader.h"
#include "search_window/frmMain.h"
#include "windowDriver.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QSettings>
#include <QTableView>

#include <atomic>
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

// count monsters "000" to ..., named "Card…" (every name holds a d), attack falling with the
// number; version tells their IDs apart.
QByteArray numberedCards(int count, int version)
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << u"%1,Card%1,%2,0,獣,,1,1,V%3,E,T"_qs.arg(i, 3, 10, QChar(u'0'))
                     .arg(5000 - 10 * i)
                     .arg(version);
    return testFiles::cardFile(lines);
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
    }
    void cleanup()
    {
        typed_ = true; // lets a read held open by a failed test end
        window_.close();
        mdlZorv::readerHooks = {};
        emptyFolder(dir_);
    }

    void followsThePageInFront()
    {
        QVERIFY(window_.open(cards));
        QTest::keyClick(window_.get(), Qt::Key_L, Qt::ControlModifier);
        QTableView *grid = cardGrid(window_);
        QVERIFY(grid);
        QWidget *table = grid->window();
        QCOMPARE(table->windowTitle(), u"カード一覧 - モンスター (3 枚)"_qs);
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
};

QTEST_MAIN(tst_frmCardTable)
#include "tst_frmCardTable.moc"
