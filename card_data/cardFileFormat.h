#pragma once

namespace mdlZorv {

// How a card file is written: its encoding and how its lines end.
struct CardFileFormat
{
    enum class Encoding { ShiftJis, Utf8, Utf8WithMark };
    enum class LineEnds { CrLf, Cr, Lf };

    Encoding encoding = Encoding::ShiftJis;
    LineEnds lineEnds = LineEnds::CrLf; // as its first line ends
    bool operator==(const CardFileFormat &) const = default;
};

} // namespace mdlZorv
