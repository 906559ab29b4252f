// Starts the window on a card file as the program does and reports what it cost:
//   zorv-window-probe FILE [--find] [--table | --sorted]   ->   "load_ms=… window_ms=…
//   forminit_ms=… peak_kb=…"
// The work before the window is first shown: loading, building the window and FormInit with both
// lists filled. With --find the find bar is opened and a word typed, which has the cards' texts
// folded, and with --table the card table is opened (with --sorted, and sorted by name), before
// the peak memory is read. Peak memory is the high-water mark of resident memory (Linux).

#include "bench/peakMemory.h"
#include "card_data/mdlZorv.h"
#include "search_window/frmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

#include <cstdio>
#include <cstring>

namespace {

// The name lists lay out a long list in batches while the window goes on: until they are done,
// what they keep is not all there.
void layOutLists()
{
    for (int turn = 0; turn < 5'000; ++turn)
        QApplication::processEvents();
}

bool asked(int argc, char *argv[], const char *option)
{
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], option) == 0)
            return true;
    }
    return false;
}

void openFind(QWidget &window)
{
    QTest::keyClick(&window, Qt::Key_F, Qt::ControlModifier);
    window.findChild<QLineEdit *>(QStringLiteral("txtFind"))->setText(QStringLiteral("の"));
    const auto *count = window.findChild<QLabel *>(QStringLiteral("lblFindCount"));
    while (count->text().contains(QStringLiteral("準備中")))
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// Sorted by name, the sort keeps the place of every row.
void openCardTable(QWidget &window, bool sorted)
{
    QTest::keyClick(&window, Qt::Key_L, Qt::ControlModifier);
    auto *grid = window.findChild<QTableView *>(QStringLiteral("grdCards"));
    if (sorted) {
        QHeaderView *header = grid->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(1) + 5, 5));
    }
    layOutLists();
}

double lap(QElapsedTimer &timer)
{
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    timer.restart();
    return ms;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fputs("usage: zorv-window-probe FILE [--find] [--table | --sorted]\n", stderr);
        return 2;
    }
    QElapsedTimer timer;
    timer.start();
    const mdlZorv::LoadOutcome loaded = mdlZorv::loadCardFile(QString::fromLocal8Bit(argv[1]));
    const double loadMs = lap(timer);
    frmMain window;
    const double windowMs = lap(timer);
    window.FormInit();
    const double formInitMs = lap(timer);
    window.show();
    layOutLists();
    window.activateWindow();
    (void)QTest::qWaitForWindowActive(&window);
    if (asked(argc, argv, "--find"))
        openFind(window);
    if (asked(argc, argv, "--table") || asked(argc, argv, "--sorted"))
        openCardTable(window, asked(argc, argv, "--sorted"));
    std::printf("load_ms=%.2f window_ms=%.2f forminit_ms=%.2f peak_kb=%lld\n", loadMs, windowMs,
                formInitMs, peakResidentKb());
    return loaded.problem.isEmpty() ? 0 : 1;
}
