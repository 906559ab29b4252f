// Loads a card file as the program does at start-up and reports what it cost:
//   zorv-load-probe FILE [--find | --readings]   ->   "load_ms=… first_search_ms=… peak_kb=…"
// The first search is the monster search for type "天使" with AP of 1000 or more. With --find the
// find indexes of both pages are built, as the find bar's first word has them built; with
// --readings the dictionary of readings is loaded and the reading indexes of both pages are built
// too (readings_ms: both). Peak memory is the process's high-water mark of resident memory
// (Linux).

#include "bench/peakMemory.h"
#include "card_data/mdlZorv.h"
#include "card_rules/cardFind.h"
#include "card_rules/cardSearch.h"
#include "card_rules/nameReadings.h"
#include "card_rules/readingIndex.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <cstring>
#include <memory>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fputs("usage: zorv-load-probe FILE [--find | --readings]\n", stderr);
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
    const bool readings = argc > 2 && std::strcmp(argv[2], "--readings") == 0;
    const bool find = readings || (argc > 2 && std::strcmp(argv[2], "--find") == 0);
    std::unique_ptr<cardFind::FindIndex> findIndexes[2];
    std::unique_ptr<cardFind::ReadingIndex> readingIndexes[2];
    if (find) {
        findIndexes[0] =
            std::make_unique<cardFind::FindIndex>(mdlZorv::strMonstarData, cardFind::monsterFields);
        findIndexes[1] =
            std::make_unique<cardFind::FindIndex>(mdlZorv::strMagicData, cardFind::magicFields);
    }
    timer.restart();
    if (readings) {
        const nameReadings::LoadedDictionary dictionary = nameReadings::loadDictionary();
        if (!dictionary.dictionary) {
            std::fprintf(stderr, "%s\n", qPrintable(dictionary.problem));
            return 1;
        }
        readingIndexes[0] = std::make_unique<cardFind::ReadingIndex>(
            mdlZorv::strMonstarData, mdlZorv::CardField::Name, *dictionary.dictionary);
        readingIndexes[1] = std::make_unique<cardFind::ReadingIndex>(
            mdlZorv::strMagicData, mdlZorv::MagicField::Name, *dictionary.dictionary);
    }
    const double readingsMs = double(timer.nsecsElapsed()) / 1e6;
    std::printf("load_ms=%.2f first_search_ms=%.2f listed=%zu readings_ms=%.2f peak_kb=%lld\n",
                loadMs, searchMs, rows.size(), readingsMs, peakResidentKb());
    return loaded.problem.isEmpty() ? 0 : 1;
}
