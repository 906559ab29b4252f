// Loads a card file as the program does at start-up and reports what it cost:
//   zorv-load-probe FILE   ->   "load_ms=… first_search_ms=… peak_kb=…"
// The first search is the monster search for type "天使" with AP of 1000 or more. Peak memory is
// the process's high-water mark of resident memory (Linux).

#include "bench/peakMemory.h"
#include "card_data/mdlZorv.h"
#include "card_rules/cardSearch.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fputs("usage: zorv-load-probe FILE\n", stderr);
        return 2;
    }
    QElapsedTimer timer;
    timer.start();
    const mdlZorv::LoadOutcome loaded = mdlZorv::loadCardFile(QString::fromLocal8Bit(argv[1]));
    const double loadMs = double(timer.nsecsElapsed()) / 1e6;
    timer.restart();
    cardSearch::MonsterFilters filters;
    filters.type = QStringLiteral("天使");
    filters.ap = {1000, true};
    const auto rows = cardSearch::searchMonsters(mdlZorv::strMonstarData, filters);
    const double searchMs = double(timer.nsecsElapsed()) / 1e6;
    std::printf("load_ms=%.2f first_search_ms=%.2f listed=%zu peak_kb=%lld\n", loadMs, searchMs,
                rows.size(), peakResidentKb());
    return loaded.problem.isEmpty() ? 0 : 1;
}
