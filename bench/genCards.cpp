// Writes a card file of any size for benchmarks: Shift-JIS, CR LF, a mix of monsters and magic
// cards like the sample, with Japanese names of 4 to 20 characters and effect texts of 20 to 200,
// as players' own card files have them. With --kanji the names are made of kanji above all: runs
// of two to five kanji, common ones and any of JIS, mostly joined by の, so that hardly a run of
// kanji repeats.
//   zorv-gen-cards COUNT OUTPUT [SEED] [--kanji]

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringList>

#include <cstdio>
#include <cstring>
#include <random>

namespace {

const QStringList types = {u"天使"_qs, u"機械"_qs,     u"炎"_qs,   u"爬虫類"_qs, u"獣"_qs,
                           u"戦士"_qs, u"魔法使い"_qs, u"悪魔"_qs, u"水"_qs,     u"植物"_qs};
const QStringList mazoku = {u"光"_qs, u"闇"_qs, u"風"_qs, u"大地"_qs, u"水"_qs, u"炎"_qs};
const QStringList kinds = {u"魔法"_qs, u"罠"_qs, u"儀式"_qs};
const QStringList nameHeads = {u"白翼の"_qs, u"鋼鉄の"_qs, u"紅蓮の"_qs,   u"岩鱗の"_qs,
                               u"月夜の"_qs, u"流浪の"_qs, u"星読みの"_qs, u"深淵の"_qs,
                               u"潮騒の"_qs, u"棘の"_qs,   u"古代"_qs,     u"見えざる"_qs};
const QStringList nameTails = {u"守護者"_qs,   u"巨兵"_qs,   u"火竜"_qs,  u"大蜥蜴"_qs, u"狼"_qs,
                               u"騎士"_qs,     u"賢者"_qs,   u"魔公"_qs,  u"人魚"_qs,   u"樹人"_qs,
                               u"落とし穴"_qs, u"鏡の盾"_qs, u"光の雨"_qs};
const QStringList phrases = {u"場に出た時、"_qs,
                             u"カードを一枚引く。"_qs,
                             u"相手モンスター一体の攻撃力を500下げる。"_qs,
                             u"戦闘で破壊された時、"_qs,
                             u"相手に300の損傷を与える。"_qs,
                             u"一ターンに一度、"_qs,
                             u"自分の体力を1000回復する。"_qs,
                             u"このカードは罠の効果を受けない。"_qs,
                             u"墓地から儀式モンスターを一体呼び戻す。"_qs};
// Kanji common in card names.
constexpr QStringView commonKanji =
    u"天地人火水木金土日月星風雷雲雪氷光闇影炎竜龍虎狼熊鷹鳥獣魚蛇亀鬼神魔王帝皇姫騎士剣盾槍弓"
    u"斧鎧兜城塔門壁森林山川海湖谷岩石鉄鋼銀銅玉珠宝花草葉根実種春夏秋冬朝昼夜夕暁黄昏紅蒼白黒"
    u"赤青緑紫色大小古新長高深遠東西南北上下前後心魂血骨牙爪翼角尾目耳口手足頭体力気命夢幻想願"
    u"祈歌舞楽音声言葉文字書読詠詩聖邪呪封印滅破砕斬撃双三千万";

const QStringList duelists = {QString(), u"T"_qs,  u"O"_qs,  u"J"_qs,
                              u"TO"_qs,  u"TJ"_qs, u"OJ"_qs, u"TOJ"_qs};

class CardMaker
{
public:
    CardMaker(unsigned seed, bool kanjiNames) : random_(seed), kanjiNames_(kanjiNames)
    {
        // Those that come back from code page 932 as they went: the encoder writes others as
        // bytes of its own, without an error.
        QStringEncoder encoder("windows-31j");
        QStringDecoder decoder("windows-31j");
        for (char16_t unit = 0x4E00; unit < 0x9FA0; ++unit) {
            const QChar kanji(unit);
            if (QString(decoder(encoder(QStringView(&kanji, 1)))) == QStringView(&kanji, 1))
                jisKanji_ += kanji;
        }
    }

    QString line(long long index)
    {
        const bool magic = pick(5) == 0;
        const QString number = QStringLiteral("%1").arg(index % 1000, 3, 10, QLatin1Char('0'));
        const QString type = magic ? any(kinds) : any(types);
        const int level = 1 + pick(12);
        const QStringList fields = {number,
                                    kanjiNames_ ? kanjiName() : text(nameHeads + nameTails, 4, 20),
                                    magic ? QString() : QString::number(pick(81) * 50),
                                    magic ? QString() : QString::number(pick(61) * 50),
                                    type,
                                    magic ? QString() : any(mazoku),
                                    magic ? QString() : QString::number(level),
                                    QString::number(magic ? pick(8) : level + pick(3)),
                                    QStringLiteral("Z-%1").arg(index + 1, 7, 10, QLatin1Char('0')),
                                    text(phrases, 20, 200),
                                    any(duelists)};
        return fields.join(u',');
    }

private:
    int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }
    const QString &any(const QStringList &list) { return list[pick(int(list.size()))]; }
    // Pieces from the list, one after another, cut to a length from shortest to longest.
    QString text(const QStringList &pieces, int shortest, int longest)
    {
        const int length = shortest + pick(longest - shortest + 1);
        QString text;
        while (text.size() < length)
            text += any(pieces);
        text.truncate(length);
        return text;
    }

    // Runs of kanji, three in four common ones, joined by の but one time in four.
    QString kanjiName()
    {
        const int length = 4 + pick(17);
        QString name;
        while (name.size() < length) {
            if (!name.isEmpty() && pick(4) != 0)
                name += u'の';
            for (int n = 2 + pick(4); n > 0; --n) {
                name += pick(4) != 0 ? commonKanji[pick(int(commonKanji.size()))]
                                     : jisKanji_[pick(int(jisKanji_.size()))];
            }
        }
        name.truncate(length);
        return name;
    }

    std::mt19937 random_;
    bool kanjiNames_;
    QString jisKanji_; // every CJK ideograph of code page 932
};

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fputs("usage: zorv-gen-cards COUNT OUTPUT [SEED] [--kanji]\n", stderr);
        return 2;
    }
    const long long count = std::atoll(argv[1]);
    QFile out(QString::fromLocal8Bit(argv[2]));
    if (count < 0 || !out.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "zorv-gen-cards: cannot write %s\n", argv[2]);
        return 1;
    }
    const bool kanjiNames = argc > 4 && std::strcmp(argv[4], "--kanji") == 0;
    CardMaker maker(argc > 3 ? unsigned(std::atoi(argv[3])) : 20261206u, kanjiNames);
    QStringEncoder encoder("windows-31j");
    for (long long index = 0; index < count; ++index)
        out.write(encoder(maker.line(index) + QStringLiteral("\r\n")));
    return out.flush() ? 0 : 1;
}
