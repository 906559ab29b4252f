#pragma once

#include <QString>
#include <QStringView>

namespace mdlZorv {

// Reads the leading number of a text, leniently. This is the one way text becomes a number:
// threshold boxes, numeric card fields and adjusted values all go through it.
//   - blanks, tabs and line feeds are skipped wherever they stand:  " 1 2 0 " -> 120
//   - one optional sign, then digits with at most one period:        "-1.5.3" -> -1.5, ".5" -> 0.5
//   - an optional exponent, E or e and a signed whole number:        "2e3x" -> 2000, "1e" -> 1
//   - reading stops at the first character that cannot continue:     "300,5" -> 300
//   - no digits read as 0:                                           "?", "--3", "１２" -> 0
//   - beyond the double range is plus or minus infinity:             "1e999" -> inf
// The period is the decimal separator whatever the locale.
double readNumber(QStringView text);

// Writes a number back as text: rounded to 15 significant digits, trailing zeros and a trailing
// period dropped, a leading minus for negatives: 1300 * 0.7 -> "910", 0.65 -> "0.65".
// Infinities are written "∞" and "-∞".
QString numberText(double value);

} // namespace mdlZorv
