#pragma once

// The keys of a name's readings as finding by reading compares them, made plainly, for checking
// the reading index against: for each reading, the key of the whole and the keys of its pieces
// (the code between runs of kanji, each word's and single kanji's reading) one after another.

#include "card_rules/nameReadings.h"

#include <string>
#include <vector>

namespace plainReadingKeys {

inline std::vector<std::string> keys(nameReadings::Reader &reader, QStringView name)
{
    std::vector<std::string> keys;
    for (const std::vector<std::string> &pieces : reader.readingPieces(name)) {
        std::string whole;
        std::string apart;
        for (const std::string &piece : pieces) {
            whole += piece;
            apart += nameReadings::tolerantKey(piece);
        }
        keys.push_back(nameReadings::tolerantKey(whole));
        keys.push_back(apart);
    }
    return keys;
}

// Whether one of the keys holds the key of a find word (none for an empty one).
inline bool holds(const std::vector<std::string> &keys, const std::string &key)
{
    return !key.empty() && std::any_of(keys.begin(), keys.end(), [&](const std::string &k) {
        return k.find(key) != std::string::npos;
    });
}

} // namespace plainReadingKeys
