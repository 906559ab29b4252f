#include "card_rules/romaji.h"

#include <QHash>

namespace romaji {

namespace {

struct Syllables
{
    QHash<QString, QString> kana;
    qsizetype longest = 0;
};

// Syllables as "romaji kana" pairs, separated by blanks.
constexpr QStringView syllableList =
    u"a あ i い u う e え o お "
    u"ka か ki き ku く ke け ko こ kya きゃ kyu きゅ kyo きょ kye きぇ "
    u"ga が gi ぎ gu ぐ ge げ go ご gya ぎゃ gyu ぎゅ gyo ぎょ "
    u"sa さ si し su す se せ so そ shi し sha しゃ shu しゅ sho しょ she しぇ "
    u"sya しゃ syu しゅ syo しょ sye しぇ "
    u"za ざ zi じ zu ず ze ぜ zo ぞ zya じゃ zyu じゅ zyo じょ "
    u"ja じゃ ji じ ju じゅ je じぇ jo じょ jya じゃ jyu じゅ jyo じょ "
    u"ta た ti ち tu つ te て to と chi ち tsu つ cha ちゃ chu ちゅ cho ちょ che ちぇ "
    u"tya ちゃ tyu ちゅ tyo ちょ cya ちゃ cyu ちゅ cyo ちょ thi てぃ tsa つぁ "
    u"da だ di ぢ du づ de で do ど dya ぢゃ dyu ぢゅ dyo ぢょ dhi でぃ "
    u"na な ni に nu ぬ ne ね no の nya にゃ nyu にゅ nyo にょ "
    u"ha は hi ひ hu ふ he へ ho ほ fu ふ hya ひゃ hyu ひゅ hyo ひょ "
    u"fa ふぁ fi ふぃ fe ふぇ fo ふぉ "
    u"ba ば bi び bu ぶ be べ bo ぼ bya びゃ byu びゅ byo びょ "
    u"pa ぱ pi ぴ pu ぷ pe ぺ po ぽ pya ぴゃ pyu ぴゅ pyo ぴょ "
    u"ma ま mi み mu む me め mo も mya みゃ myu みゅ myo みょ "
    u"ya や yu ゆ yo よ ye いぇ "
    u"ra ら ri り ru る re れ ro ろ rya りゃ ryu りゅ ryo りょ "
    u"wa わ wi うぃ we うぇ wo を "
    u"va ゔぁ vi ゔぃ vu ゔ ve ゔぇ vo ゔぉ "
    u"ca か cu く co こ "
    u"xa ぁ xi ぃ xu ぅ xe ぇ xo ぉ la ぁ li ぃ lu ぅ le ぇ lo ぉ "
    u"xya ゃ xyu ゅ xyo ょ lya ゃ lyu ゅ lyo ょ xtu っ ltu っ xtsu っ ltsu っ "
    u"xwa ゎ lwa ゎ xka ゕ xke ゖ xn ん - ー";

// Vowels written long with a macron or a circumflex, and the vowel and "-" they stand for.
constexpr QStringView longVowels = u"āaīiūuēeōoâaîiûuêeôo";

const Syllables &syllables()
{
    static const Syllables table = [] {
        Syllables s;
        const QList<QStringView> parts = syllableList.split(u' ');
        for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
            const QString romaji = parts[i].toString();
            s.kana.insert(romaji, parts[i + 1].toString());
            s.longest = std::max(s.longest, romaji.size());
        }
        return s;
    }();
    return table;
}

bool isVowel(QChar c)
{
    return c == u'a' || c == u'i' || c == u'u' || c == u'e' || c == u'o';
}

bool isConsonant(QChar c)
{
    return c >= u'a' && c <= u'z' && !isVowel(c);
}

} // namespace

QString toKana(QStringView word)
{
    QString spelled; // long vowels spelled with "-"
    for (const QChar c : word) {
        const qsizetype longVowel = longVowels.indexOf(c);
        if (longVowel >= 0 && longVowel % 2 == 0) {
            spelled += longVowels[longVowel + 1];
            spelled += u'-';
        } else {
            spelled += c;
        }
    }
    const Syllables &table = syllables();
    QString kana;
    const auto at = [&](qsizetype i) {
        return i < spelled.size() ? spelled[i] : QChar();
    };
    for (qsizetype i = 0; i < spelled.size();) {
        const QChar c = spelled[i];
        const QChar next = at(i + 1);
        // ん: "n" before a consonant or at the end, "nn" (one "n" of them before a vowel, which
        // reads "kanna" as Hepburn writes かんな), "n'", and "m" before b, p or m.
        if (c == u'n' && !isVowel(next) && next != u'y') {
            const bool twice = next == u'n' && !isVowel(at(i + 2)) && at(i + 2) != u'y';
            kana += u'ん';
            i += next == u'\'' || twice ? 2 : 1;
            continue;
        }
        if (c == u'm' && (next == u'b' || next == u'p' || next == u'm')) {
            kana += u'ん';
            ++i;
            continue;
        }
        // A doubled consonant, or "tch", is a small っ before the syllable.
        if (isConsonant(c) && (next == c || (c == u't' && next == u'c' && at(i + 2) == u'h'))) {
            kana += u'っ';
            ++i;
            continue;
        }
        qsizetype length = std::min(table.longest, spelled.size() - i);
        for (; length > 0; --length) {
            const auto found = table.kana.constFind(spelled.sliced(i, length));
            if (found != table.kana.constEnd()) {
                kana += *found;
                break;
            }
        }
        if (length == 0)
            return {};
        i += length;
    }
    return kana;
}

} // namespace romaji
