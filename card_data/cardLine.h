#pragma once

#include <QStringView>

#include <array>

namespace mdlZorv {

// A card line has eleven fields, numbered 1 to 11.
inline constexpr int firstField = 1;
inline constexpr int lastField = 11;

// Where the eleven fields of one line end, as positions in the line. Field k starts one position
// after field k - 1 ends (field 1 at 0), or two after field 1 when the character between them is
// a surrogate pair; so the ends alone describe every field without copying any text. A length of
// 0 or less is an empty field.
template <typename Position> struct BasicFieldBounds
{
    std::array<Position, lastField> ends{};
    bool wideSeparator = false; // the character after field 1 is a surrogate pair

    qsizetype start(int field) const
    {
        return field == firstField ? 0 : qsizetype(ends[field - 2]) + separatorAfter(field - 1);
    }
    qsizetype length(int field) const { return qsizetype(ends[field - 1]) - start(field); }
    QStringView field(QStringView line, int field) const
    {
        const qsizetype size = length(field);
        return size > 0 ? line.sliced(start(field), size) : QStringView();
    }

private:
    int separatorAfter(int field) const { return field == firstField && wideSeparator ? 2 : 1; }
};
using FieldBounds = BasicFieldBounds<qsizetype>;

// Cuts one line into its eleven fields:
//   - field 1 is the first three characters (the whole line if shorter), a surrogate pair
//     counting as one character;
//   - the fourth character is the separator after field 1 and is skipped unexamined;
//   - fields 2 to 10 each run to the next comma; a field with no comma after it stays empty
//     and the scan moves one character on, so later fields shift;
//   - field 11 is the rest of the line, commas included.
// "001,A,1,2,T,M,3,4,I,E,D,X" -> 001|A|1|2|T|M|3|4|I|E|D,X
// "001,A,B"                   -> 001|A and nine empty fields (the B is lost)
// "0001,A,..."                -> 000||A|... (every later field one place on)
FieldBounds cutLine(QStringView line);

// True when cutting the line found every field: the comma after each of fields 2 to 10, so that
// field 11 is the line's own (ten commas with the separator after field 1).
// "001,A,1,2,T,M,3,4,I,E,D" -> true     "001,A,1,2,T,M,3,4,I,E," -> true (field 11 empty)
// "001,A,1,2,T,M,3,4,I,E"   -> false    "" -> false
bool hasEveryField(QStringView line, const FieldBounds &bounds);

// The type field (field 5) values of magic, trap and ritual cards, in the order the magic page
// lists them.
inline constexpr QStringView magicKinds[] = {u"魔法", u"罠", u"儀式"};

// True when a type field names a magic, trap or ritual card: exactly one of magicKinds, compared
// character by character. Everything else, empty included, is a monster.
bool isMagicKind(QStringView type);

} // namespace mdlZorv
