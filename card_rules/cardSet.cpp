#include "card_rules/cardSet.h"

#include "card_data/mdlZorv.h"
#include "card_rules/cardFind.h"
#include "card_rules/readingIndex.h"

std::shared_ptr<const CardSet> CardSet::ofShownTables()
{
    auto set = std::make_shared<CardSet>();
    set->generation = mdlZorv::tablesGeneration();
    set->monsters.table =
        std::make_shared<const mdlZorv::CardTable>(mdlZorv::strMonstarData.textOnly());
    set->magic.table = std::make_shared<const mdlZorv::CardTable>(mdlZorv::strMagicData.textOnly());
    return set;
}

std::shared_ptr<const CardSet> CardSet::withFindIndexes(FindIndexes indexes) const
{
    auto set = std::make_shared<CardSet>(*this);
    set->monsters.findIndex = std::move(indexes.monsters);
    set->magic.findIndex = std::move(indexes.magic);
    return set;
}

std::shared_ptr<const CardSet> CardSet::withReadings(ReadingIndexes readings) const
{
    auto set = std::make_shared<CardSet>(*this);
    set->monsters.readings = std::move(readings.monsters);
    set->magic.readings = std::move(readings.magic);
    return set;
}

FindIndexes makeFindIndexes(const mdlZorv::CardTable &monsters, const mdlZorv::CardTable &magic)
{
    return {std::make_shared<const cardFind::FindIndex>(monsters, cardFind::monsterFields),
            std::make_shared<const cardFind::FindIndex>(magic, cardFind::magicFields)};
}

ReadingIndexes makeReadingIndexes(const mdlZorv::CardTable &monsters,
                                  const mdlZorv::CardTable &magic,
                                  const nameReadings::Dictionary &dictionary)
{
    return {std::make_shared<const cardFind::ReadingIndex>(monsters, mdlZorv::CardField::Name,
                                                           dictionary),
            std::make_shared<const cardFind::ReadingIndex>(magic, mdlZorv::MagicField::Name,
                                                           dictionary)};
}
