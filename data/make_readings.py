#!/usr/bin/env python3
"""Writes NameReadings.dat, the readings the program derives card names' readings from, and
NameReadings-copyright.txt, the notices of the data it is made of.

    make_readings.py IPADIC_DIR KANJIDIC OUTPUT COPYRIGHT_OUTPUT

IPADIC_DIR holds the word lists of Debian's mecab-ipadic (*.csv, EUC-JP); KANJIDIC is Debian's
kanjidic file (EUC-JP), read for the readings of single kanji. The build runs this; the output
depends on the inputs alone, so every platform gets the same bytes.

The file (little-endian; code points as UTF-16 code units):
    "ZRDG", version 1
    u32 wordCount, surfaceUnitCount, kanjiCount, readingBytes
    u32 surfaceStarts[wordCount + 1]   where each word's surface starts in surfaceUnits
    u32 wordReadings[wordCount + 1]    where each word's readings start in readings
    u32 kanjiReadings[kanjiCount + 1]  where each kanji's readings start in readings
    u16 kanjiUnits[kanjiCount]         the kanji, in increasing order
    u16 surfaceUnits[surfaceUnitCount] the surfaces, sorted as UTF-16 code units
    u8  readings[readingBytes]
Words' readings: one after another, each a length byte and that many reading bytes, best first.
A kanji's readings: a byte that counts its on readings, then its on readings in the same form, then
its kun readings, each followed by a byte of the first kana of its okurigana (0 for none). A
reading byte is a hiragana less 0x3040 (0x01-0x56), or 0xBC for "ー" (its code point less 0x3040).
"""

import collections
import glob
import os
import struct
import sys

MAGIC = b"ZRDG"
VERSION = 1
LONG_MARK_BYTE = 0xBC
MOST_WORD_READINGS = 3
PROPER_NOUN = "固有名詞"


def is_kanji(c):
    code = ord(c)
    return 0x3400 <= code <= 0x4DBF or 0x4E00 <= code <= 0x9FFF or c in "々〆ヶ"


def reading_bytes(kana):
    """The reading bytes of a text of kana, katakana made hiragana, or None if it holds others."""
    out = bytearray()
    for c in kana:
        code = ord(c)
        if 0x30A1 <= code <= 0x30F6:
            code -= 0x60
        if 0x3041 <= code <= 0x3096:
            out.append(code - 0x3040)
        elif c == "ー":
            out.append(LONG_MARK_BYTE)
        else:
            return None
    return bytes(out) if 0 < len(out) < 256 else None


def read_words(ipadic_dir):
    """Each surface made of kanji alone, with its readings ranked: readings that a common word
    gives before those only names give, then by how many entries give them, then by the lowest
    cost of those entries (the commoner word)."""
    votes = collections.defaultdict(dict)  # surface -> reading -> [common, entries, -cost]
    for path in sorted(glob.glob(os.path.join(ipadic_dir, "*.csv"))):
        with open(path, encoding="euc_jp", errors="strict") as lines:
            for line in lines:
                fields = line.rstrip("\n").split(",")
                if len(fields) < 12:
                    continue
                surface, cost, kind, reading = fields[0], int(fields[3]), fields[5], fields[11]
                if not surface or not all(is_kanji(c) for c in surface):
                    continue
                code = reading_bytes(reading)
                if code is None:
                    continue
                vote = votes[surface].setdefault(code, [False, 0, -(1 << 30)])
                vote[0] = vote[0] or kind != PROPER_NOUN
                vote[1] += 1
                vote[2] = max(vote[2], -cost)
    words = {}
    for surface, readings in votes.items():
        ranked = sorted(readings.items(), key=lambda item: (item[1], item[0]), reverse=True)
        words[surface] = [code for code, _ in ranked[:MOST_WORD_READINGS]]
    return words


def read_kanji(kanjidic_path):
    """Each kanji's on readings and kun readings, as kanjidic lists them: a kun reading is its
    stem, the part before the okurigana ("しろ.い" -> "しろ"), without the marks of prefixes and
    suffixes ("おお-" -> "おお"), with the first kana of its okurigana ("い"). Name readings
    (after T1) are left out."""
    kanji = {}
    with open(kanjidic_path, encoding="euc_jp", errors="replace") as lines:
        for line in lines:
            if line.startswith("#"):
                continue
            tokens = line.split("{")[0].split()
            if len(tokens) < 2 or len(tokens[0]) != 1:
                continue
            on, kun = [], []
            for token in tokens[2:]:
                if token.startswith("T"):
                    break
                stem, _, okurigana = token.strip("-").partition(".")
                code = reading_bytes(stem)
                if code is None:
                    continue
                if all(0x30A1 <= ord(c) <= 0x30FA or c == "ー" for c in stem):
                    if code not in on:
                        on.append(code)
                    continue
                okurigana_code = reading_bytes(okurigana.strip("-")) if okurigana else None
                entry = (code, okurigana_code[0] if okurigana_code else 0)
                if entry not in kun:
                    kun.append(entry)
            if on or kun:
                kanji[tokens[0]] = (on, kun)
    return kanji


def reading_list(readings):
    return b"".join(bytes([len(code)]) + code for code in readings)


def write_dictionary(words, kanji, output):
    # Surfaces hold code points below U+10000 alone, so code point order is UTF-16 order.
    surfaces = sorted(words)
    kanji_units = sorted(c for c in kanji if ord(c) <= 0xFFFF)
    readings = bytearray()
    surface_units = []
    surface_starts, word_readings = [0], [0]
    for surface in surfaces:
        surface_units.extend(ord(c) for c in surface)
        surface_starts.append(len(surface_units))
        readings += reading_list(words[surface])
        word_readings.append(len(readings))
    kanji_readings = [len(readings)]
    for c in kanji_units:
        on, kun = kanji[c]
        readings += bytes([len(on)]) + reading_list(on)
        readings += b"".join(bytes([len(code)]) + code + bytes([okurigana])
                             for code, okurigana in kun)
        kanji_readings.append(len(readings))
    with open(output, "wb") as out:
        out.write(MAGIC + struct.pack("<5I", VERSION, len(surfaces), len(surface_units),
                                      len(kanji_units), len(readings)))
        out.write(struct.pack(f"<{len(surface_starts)}I", *surface_starts))
        out.write(struct.pack(f"<{len(word_readings)}I", *word_readings))
        out.write(struct.pack(f"<{len(kanji_readings)}I", *kanji_readings))
        out.write(struct.pack(f"<{len(kanji_units)}H", *[ord(c) for c in kanji_units]))
        out.write(struct.pack(f"<{len(surface_units)}H", *surface_units))
        out.write(readings)


def notice(path):
    with open(path, encoding="utf-8", errors="replace") as text:
        return text.read()


def write_copyright(ipadic_dir, kanjidic_path, output):
    ipadic_doc = "/usr/share/doc/mecab-ipadic/copyright"
    kanjidic_doc = "/usr/share/doc/kanjidic/copyright"
    with open(output, "w", encoding="utf-8", newline="\n") as out:
        out.write(
            "NameReadings.dat\n"
            "================\n\n"
            "NameReadings.dat, which the Zorv card search tool reads to derive the readings of\n"
            "card names, is made from two dictionaries, as Debian ships them:\n\n"
            "  - the words made of kanji, with their readings, from the word lists of IPAdic\n"
            "    (Debian package mecab-ipadic), ranked and cut to three readings a word;\n"
            "  - the on and kun readings of single kanji from KANJIDIC (Debian package kanjidic),\n"
            "    the kun readings cut to their stems. It uses no other part of KANJIDIC.\n\n"
            "The data was changed: selected, converted to hiragana and written in a binary form\n"
            "of this program's own (data/make_readings.py in the program's sources makes it).\n\n"
            "As KANJIDIC is licensed under the Creative Commons Attribution-ShareAlike Licence\n"
            "(V3.0), NameReadings.dat is distributed under that licence as well:\n"
            "https://creativecommons.org/licenses/by-sa/3.0/legalcode\n"
            "KANJIDIC is the property of the Electronic Dictionary Research and Development\n"
            "Group, used in conformance with the Group's licence:\n"
            "https://www.edrdg.org/edrdg/licence.html (https://www.edrdg.org/wiki/index.php/KANJIDIC_Project)\n\n"
            "The notices of both dictionaries follow, as Debian ships them.\n\n")
        for name, path in (("IPAdic (mecab-ipadic)", ipadic_doc), ("KANJIDIC", kanjidic_doc)):
            out.write(f"---------------------------------------------------------------------\n"
                      f"{name}: {path}\n"
                      f"---------------------------------------------------------------------\n\n")
            out.write(notice(path) if os.path.exists(path) else f"(see {path})\n")
            out.write("\n")


def main():
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    ipadic_dir, kanjidic_path, output, copyright_output = sys.argv[1:]
    words = read_words(ipadic_dir)
    kanji = read_kanji(kanjidic_path)
    if not words or not kanji:
        sys.exit("make_readings.py: no words or no kanji read")
    write_dictionary(words, kanji, output + ".part")
    os.replace(output + ".part", output)
    write_copyright(ipadic_dir, kanjidic_path, copyright_output)


if __name__ == "__main__":
    main()
