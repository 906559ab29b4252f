#pragma once

namespace mdlZorv {

// Field numbers of the card tables.
namespace CardField {
inline constexpr int Number = 1, Name = 2, AP = 3, DP = 4, Type = 5, Mazoku = 6, Level = 7,
                     Cost = 8, Id = 9, Effect = 10, Duelists = 11;
} // namespace CardField
namespace MagicField {
inline constexpr int Number = 1, Name = 2, Kind = 3, Cost = 4, Id = 5, Effect = 6, Duelists = 7;
} // namespace MagicField
inline constexpr int MatchMark = 0;

} // namespace mdlZorv
