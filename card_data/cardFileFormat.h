#pragma once

#include <QString>

namespace mdlZorv {

// How a card file is written: its encoding and how its lines end.
struct CardFileFormat
{
    // UTF-16 files are those that start with its byte-order mark, little- or big-endian.
    enum class Encoding { ShiftJis, Utf8, Utf8WithMark, Utf16Le, Utf16Be };
    enum class LineEnds { CrLf, Cr, Lf };

    Encoding encoding = Encoding::ShiftJis;
    LineEnds lineEnds = LineEnds::CrLf; // as its first line ends
    bool operator==(const CardFileFormat &) const = default;
};

// The names the user is shown: Utf8WithMark -> "UTF-8 (BOM 付き)", Utf16Le -> "UTF-16 LE",
// CrLf -> "CR LF".
QString displayName(CardFileFormat::Encoding encoding);
QString displayName(CardFileFormat::LineEnds lineEnds);

} // namespace mdlZorv
