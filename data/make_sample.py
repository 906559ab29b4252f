#!/usr/bin/env python3
"""Writes the bundled sample CardData.dat: invented cards, Shift-JIS (code page 932), CR LF.

Run from this folder: python3 make_sample.py. The output is deterministic."""

import random

random.seed(20261206)

TYPES = ["天使", "機械", "炎", "爬虫類", "獣", "戦士", "魔法使い", "悪魔", "水", "植物"]
MAZOKU = ["光", "闇", "風", "大地", "水", "炎"]
NAME_HEAD = {
    "天使": ["白翼の", "聖なる", "暁の", "祈りの"],
    "機械": ["鋼鉄の", "歯車の", "自動", "機甲"],
    "炎": ["紅蓮の", "灼熱の", "火輪の", "燐光の"],
    "爬虫類": ["岩鱗の", "沼地の", "砂漠の", "古代"],
    "獣": ["森の", "牙持つ", "月夜の", "雪原の"],
    "戦士": ["流浪の", "盾持ちの", "双剣の", "見習い"],
    "魔法使い": ["星読みの", "霧の", "古書の", "見えざる"],
    "悪魔": ["深淵の", "黒炎の", "嘆きの", "仮面の"],
    "水": ["潮騒の", "氷河の", "泉の", "渦巻く"],
    "植物": ["棘の", "苔むした", "花咲く", "根張りの"],
}
NAME_TAIL = {
    "天使": ["守護者", "伝令", "歌い手", "癒し手"],
    "機械": ["巨兵", "番犬", "砲台", "整備士"],
    "炎": ["精霊", "獅子", "鍛冶師", "火竜"],
    "爬虫類": ["大蜥蜴", "亀", "蛇竜", "鰐王"],
    "獣": ["狼", "大熊", "山猫", "牡鹿"],
    "戦士": ["剣士", "騎士", "傭兵", "槍兵"],
    "魔法使い": ["賢者", "術師", "占い師", "見習い魔導士"],
    "悪魔": ["魔公", "小鬼", "影法師", "契約者"],
    "水": ["人魚", "海蛇", "水妖", "大蟹"],
    "植物": ["樹人", "食人花", "蔓草", "茸使い"],
}
MONSTER_EFFECTS = [
    "場に出た時、カードを一枚引く。",
    "戦闘で破壊された時、相手に300の損傷を与える。",
    "自分の場に同じタイプのモンスターがいる限り、攻撃力が200上がる。",
    "一ターンに一度、相手モンスター一体の守備力を半分にする。",
    "このカードは罠の効果を受けない。",
    "墓地から戻った時、コストを1減らす。",
    "自分の手札を一枚捨てて、相手の魔法を無効にする。",
    "攻撃した時、相手の場のカードを一枚手札に戻す。",
]
SPELLS = {
    "魔法": (["光の雨", "大地の恵み", "風読み", "星の導き", "炎の壁", "静寂の書", "記憶の泉",
             "双子の鏡", "嵐の前触れ", "黄金の秤", "眠りの霧", "月光の剣"],
            ["自分のモンスター一体の攻撃力を500上げる。", "カードを二枚引き、一枚捨てる。",
             "相手の場の魔法を一枚破壊する。", "自分の体力を1000回復する。"]),
    "罠": (["落とし穴", "鏡の盾", "蜘蛛の糸", "足止めの沼", "反撃の狼煙", "偽りの宝箱",
           "凍てつく風", "封印の鎖", "裏切りの鐘"],
          ["相手モンスターが攻撃した時、その攻撃を無効にする。",
           "相手が魔法を使った時、その効果を打ち消す。", "相手モンスター一体を次のターンまで動けなくする。"]),
    "儀式": (["竜の目覚め", "天使降臨の儀", "機神起動", "深淵の契約", "精霊召喚の祭壇", "古き王の帰還"],
            ["手札から儀式モンスター一体を場に出す。コストの合計が足りなければ使えない。",
             "墓地のモンスター二体を除外して、強力なモンスターを呼び出す。"]),
}
DUELISTS = ["", "T", "O", "J", "TO", "TJ", "OJ", "TOJ", "OT", "JT"]


def monster(number, index):
    kind = TYPES[index % len(TYPES)]
    name = random.choice(NAME_HEAD[kind]) + random.choice(NAME_TAIL[kind])
    level = index % 12 + 1
    ap = random.randrange(0, 30) * 100 + level * 50
    dp = random.randrange(0, 25) * 100 + random.choice([0, 0, 50])
    cost = max(1, level + random.randrange(-1, 3))
    effect = "" if index % 6 == 5 else random.choice(MONSTER_EFFECTS)
    mazoku = MAZOKU[(index * 7 + level) % len(MAZOKU)]
    duelists = DUELISTS[index % len(DUELISTS)]
    return [number, name, str(ap), str(dp), kind, mazoku, str(level), str(cost),
            f"M-{int(number):04d}", effect, duelists]


def spell(number, kind, name, index):
    effect = "" if index % 7 == 3 else random.choice(SPELLS[kind][1])
    cost = random.randrange(0, 8)
    return [number, name, "", "", kind, "", "", str(cost), f"S-{int(number):04d}", effect,
            DUELISTS[(index * 3) % len(DUELISTS)]]


def main():
    rows = []
    spells = [(kind, name) for kind, (names, _) in SPELLS.items() for name in names]
    monsters_between = 4
    index = 0
    while len(rows) < 160:
        number = f"{len(rows) + 1:03d}"
        if index % monsters_between == monsters_between - 1 and spells:
            kind, name = spells.pop(0)
            rows.append(spell(number, kind, name, index))
        else:
            rows.append(monster(number, index))
        index += 1
    # A monster whose attack is unknown reads as 0.
    rows[20][2] = "?"
    text = "".join(",".join(row) + "\r\n" for row in rows)
    with open("CardData.dat", "wb") as out:
        out.write(text.encode("cp932"))


if __name__ == "__main__":
    main()
