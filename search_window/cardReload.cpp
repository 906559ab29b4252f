#include "search_window/cardReload.h"

#include "card_data/cardFileReader.h"
#include "card_rules/cardFind.h"

namespace cardReload {

std::function<void()> beforeIndexing;

namespace {

FindIndexes makeIndexes(const mdlZorv::CardTable &monsters, const mdlZorv::CardTable &magic)
{
    if (beforeIndexing)
        beforeIndexing();
    return makeFindIndexes(monsters, magic);
}

} // namespace

ReadCards read(const Request &request)
{
    ReadCards result{request.path, request.opened, request.asked, {}, {}};
    result.cards = mdlZorv::readCards(request.path);
    if (!request.withFindIndexes || !result.cards.outcome.problem.isEmpty())
        return result;
    try {
        result.findIndexes = makeIndexes(result.cards.monsters, result.cards.magic);
    } catch (const std::bad_alloc &) {
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

} // namespace cardReload
