#include "card_data/cardFileFormat.h"

namespace mdlZorv {

QString displayName(CardFileFormat::Encoding encoding)
{
    using Encoding = CardFileFormat::Encoding;
    switch (encoding) {
    case Encoding::ShiftJis:
        return QStringLiteral("Shift-JIS");
    case Encoding::Utf8:
        return QStringLiteral("UTF-8");
    case Encoding::Utf8WithMark:
        return QStringLiteral("UTF-8 (BOM 付き)");
    case Encoding::Utf16Le:
        return QStringLiteral("UTF-16 LE");
    case Encoding::Utf16Be:
        return QStringLiteral("UTF-16 BE");
    }
    return {};
}

QString displayName(CardFileFormat::LineEnds lineEnds)
{
    using LineEnds = CardFileFormat::LineEnds;
    switch (lineEnds) {
    case LineEnds::CrLf:
        return QStringLiteral("CR LF");
    case LineEnds::Cr:
        return QStringLiteral("CR");
    case LineEnds::Lf:
        return QStringLiteral("LF");
    }
    return {};
}

} // namespace mdlZorv
