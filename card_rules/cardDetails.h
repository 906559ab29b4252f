#pragma once

#include "card_data/cardTable.h"

#include <QString>

#include <optional>

// The details texts of the two detail boxes. Lines are joined by CR LF, with none after the last;
// every field is shown as stored.
namespace cardDetails {

// The first row whose card number (field 1) is exactly the given text.
std::optional<qsizetype> findCard(const mdlZorv::CardTable &table, QStringView number);

// The rate that a monster's attack and defence are multiplied by, chosen by its type:
// 0.7 for "天使", "機械" and "炎", 1.0 for "爬虫類", 1.3 for anything else (empty included).
double typeRate(QStringView type);

// Seven lines of a monster row:
//   Lv-4       ｺｽﾄ-12        level padded with blanks to 11 characters, then the cost
//   AP-1300 → 910            the attack, one blank (two after three characters), the adjusted value
//   DP-800  → 560            the defence, likewise
//   天使                     type
//   光                       Mazoku value
//   ID-A-001                 ID
//   守りを固める             effect text
QString monsterDetails(const mdlZorv::CardTable &monsters, qsizetype row);

// Three lines of a magic row: "ｺｽﾄ-" and the cost, "ID-" and the ID, the effect text.
QString magicDetails(const mdlZorv::CardTable &magic, qsizetype row);

// The text for a multi-line box, whose lines end with a line feed alone.
QString boxText(QString details);

} // namespace cardDetails
