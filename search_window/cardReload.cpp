#include "search_window/cardReload.h"

#include "card_data/cardFileReader.h"
#include "card_rules/cardFind.h"

namespace cardReload {

std::function<void()> beforeFolding;

FoldedTexts::FoldedTexts() = default;
FoldedTexts::FoldedTexts(FoldedTexts &&) noexcept = default;
FoldedTexts &FoldedTexts::operator=(FoldedTexts &&) noexcept = default;
FoldedTexts::~FoldedTexts() = default;

FoldedTexts fold(const mdlZorv::CardTable &monsters, const mdlZorv::CardTable &magic)
{
    if (beforeFolding)
        beforeFolding();
    FoldedTexts folded;
    folded.monsters = std::make_unique<cardFind::FindIndex>(monsters, cardFind::monsterFields);
    folded.magic = std::make_unique<cardFind::FindIndex>(magic, cardFind::magicFields);
    return folded;
}

ReloadedCards read(const QString &path, bool fold)
{
    ReloadedCards result;
    result.path = path;
    result.cards = mdlZorv::readCards(path);
    if (!fold || !result.cards.outcome.problem.isEmpty())
        return result;
    try {
        result.folded = cardReload::fold(result.cards.monsters, result.cards.magic);
    } catch (const std::bad_alloc &) {
        const mdlZorv::FileStamp stamp = result.cards.outcome.read;
        result = ReloadedCards(); // the memory of the new tables back first
        result.path = path;
        result.cards.outcome.problem = mdlZorv::tooLargeProblem(path);
        result.cards.outcome.read = stamp;
    }
    return result;
}

} // namespace cardReload
