#include "search_window/cardReload.h"

#include "card_data/cardFileReader.h"
#include "card_rules/cardFind.h"

#include <mutex>

namespace cardReload {

namespace {

std::mutex hookGuard;
std::function<void()> beforeIndexing; // under hookGuard

void runBeforeIndexing()
{
    std::function<void()> hook;
    {
        const std::scoped_lock lock(hookGuard);
        hook = beforeIndexing;
    }
    if (hook)
        hook();
}

FindIndexes makeIndexes(const mdlZorv::CardTable &monsters, const mdlZorv::CardTable &magic)
{
    runBeforeIndexing();
    return makeFindIndexes(monsters, magic);
}

void makeIndexes(const Request &request, ReadCards &result)
{
    const mdlZorv::LoadedCards &cards = result.cards;
    if (request.withFindIndexes)
        result.findIndexes = makeIndexes(cards.monsters, cards.magic);
    if (request.readingsBy)
        result.readings = makeReadingIndexes(cards.monsters, cards.magic, *request.readingsBy);
}

} // namespace

void setBeforeIndexing(std::function<void()> hook)
{
    const std::scoped_lock lock(hookGuard);
    beforeIndexing = std::move(hook);
}

ReadCards read(const Request &request)
{
    ReadCards result{request.path, request.opened, request.asked, {}, {}, {}};
    result.cards = mdlZorv::readCards(request.path);
    if (!result.cards.outcome.problem.isEmpty())
        return result;
    try {
        makeIndexes(request, result);
    } catch (const std::bad_alloc &) {
        result.findIndexes = {};
        result.readings = {};
        const mdlZorv::FileStamp stamp = result.cards.outcome.read;
        result.cards = mdlZorv::LoadedCards(); // the memory of the new tables back first
        result.cards.outcome.problem = mdlZorv::tooLargeProblem(request.path);
        result.cards.outcome.read = stamp;
    }
    return result;
}

std::optional<FindIndexes> findIndexes(const CardSet &cards)
{
    try {
        return makeIndexes(*cards.monsters.table, *cards.magic.table);
    } catch (const std::bad_alloc &) {
        return std::nullopt;
    }
}

ReadingsMade readingsOf(const CardSet &cards,
                        std::shared_ptr<const nameReadings::Dictionary> dictionary)
{
    ReadingsMade made{std::move(dictionary), std::nullopt, QString()};
    if (!made.dictionary) {
        nameReadings::LoadedDictionary loaded = nameReadings::loadDictionary();
        made.dictionary = std::move(loaded.dictionary);
        made.problem = std::move(loaded.problem);
    }
    if (!made.dictionary)
        return made;
    try {
        made.readings =
            makeReadingIndexes(*cards.monsters.table, *cards.magic.table, *made.dictionary);
    } catch (const std::bad_alloc &) {
        made.problem = QStringLiteral("メモリーが足りないため読みを作れませんでした。");
    }
    return made;
}

} // namespace cardReload
