#include "card_data/cardLine.h"

#include <algorithm>
#include <iterator>

namespace mdlZorv {

namespace {

// The first comma at or after from, or -1. Fields are short: a plain loop beats a library call.
qsizetype commaFrom(QStringView line, qsizetype from)
{
    const char16_t *chars = line.utf16();
    for (qsizetype i = from; i < line.size(); ++i) {
        if (chars[i] == u',')
            return i;
    }
    return -1;
}

// The position count characters after from, a surrogate pair counting as one character.
qsizetype afterCharacters(QStringView line, qsizetype from, int count)
{
    qsizetype at = from;
    for (int i = 0; i < count && at < line.size(); ++i) {
        const bool pair =
            line[at].isHighSurrogate() && at + 1 < line.size() && line[at + 1].isLowSurrogate();
        at += pair ? 2 : 1;
    }
    return at;
}

} // namespace

FieldBounds cutLine(QStringView line)
{
    constexpr int firstFieldLength = 3;
    FieldBounds bounds;
    // separator: the position of the character that ends the previous field.
    qsizetype separator = afterCharacters(line, 0, firstFieldLength);
    bounds.ends[0] = separator;
    bounds.wideSeparator = afterCharacters(line, separator, 1) == separator + 2;
    bool commaMissing = false;
    for (int field = 2; field <= 10; ++field) {
        const qsizetype comma = commaMissing ? -1 : commaFrom(line, separator + 1);
        commaMissing = comma < 0;
        separator = commaMissing ? separator + 1 : comma;
        bounds.ends[field - 1] = separator;
    }
    bounds.ends[lastField - 1] = std::max(separator + 1, line.size());
    return bounds;
}

// Once a comma is missing, every later field's end is one past the one before, and no comma
// follows: field 10 ends at a comma only when each earlier one did.
bool hasEveryField(QStringView line, const FieldBounds &bounds)
{
    const qsizetype end = bounds.ends[lastField - 2];
    return end < line.size() && line[end] == u',';
}

bool isMagicKind(QStringView type)
{
    if (type.size() > 2) // every line is routed: settle the common case without comparing
        return false;
    return std::ranges::find(magicKinds, type) != std::end(magicKinds);
}

} // namespace mdlZorv
