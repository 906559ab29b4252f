#pragma once

#include <QString>

// Words typed in Latin letters read as kana: as typed into an input method (Hepburn or kunrei, both
// ways of small kana) and as written with or without long vowels marked.
namespace romaji {

// The hiragana a word of small Latin letters (as textFold makes them) reads as, or nothing for a
// word that is no romaji, nor one still being typed that ends in a consonant other than "n":
//   "ryukishi" -> りゅきし     "kotetsu" -> こてつ      "shi", "si" -> し     "tsu", "tu" -> つ
//   "kanna", "kannna" -> かんな "kan'i" -> かんい       "xtu", "ltu" -> っ    "kakko" -> かっこ
//   "matcha" -> まっちゃ       "shimbun" -> しんぶん    "ko-do" -> こーど     "ryūkishi" ->
//   りゅーきし "ryuk" -> りゅ             "dark", "abc", "k" -> (none)
// Long vowels left unwritten ("ryukishi" for りゅうきし) are the reading key's to forgive.
QString toKana(QStringView word);

} // namespace romaji
