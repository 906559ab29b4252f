#include "card_data/cardLine.h"

#include <algorithm>
#include <iterator>

namespace mdlZorv {

QStringView FieldBounds::field(QStringView line, int field) const
{
    const qsizetype from = start(field);
    const qsizetype size = length(field);
    return size > 0 ? line.sliced(from, size) : QStringView();
}

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

} // namespace

FieldBounds cutLine(QStringView line)
{
    constexpr qsizetype firstFieldLength = 3;
    FieldBounds bounds;
    // separator: the position of the character that ends the previous field.
    qsizetype separator = std::min(firstFieldLength, line.size());
    bounds.ends[0] = separator;
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

bool isMagicKind(QStringView type)
{
    if (type.size() > 2) // every line is routed: settle the common case without comparing
        return false;
    return std::ranges::find(magicKinds, type) != std::end(magicKinds);
}

} // namespace mdlZorv
