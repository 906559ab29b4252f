#pragma once

#include <QString>

class QCoreApplication;

// The program's command line and its messages on the terminal, in Japanese where the user's
// language is Japanese and in English elsewhere. Qt's own words (the usage line, --version, its
// errors on unknown options) come from Qt's translations, which must be installed first.
namespace commandLine {

// Answers --help and --version, and a wrong command line, then ends the program; otherwise
// returns the card file named, or an empty text.
QString cardFileNamed(const QCoreApplication &app);

// True on a Linux desktop system without a display, where the toolkit would stop with a cryptic
// error; tellNoDisplay() says plainly what is missing instead.
bool displayMissing();
void tellNoDisplay();

} // namespace commandLine
