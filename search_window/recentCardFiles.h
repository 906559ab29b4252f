#pragma once

#include <QStringList>

// The card files the user opened last, newest first, kept in the user's settings: the newest is
// opened again at the next start (unless a file is named on the command line), and the window's
// menu lists them all. The list is bounded, and whatever else the settings hold there reads as
// no list.
namespace recentCardFiles {

inline constexpr qsizetype most = 8;

// The list with the file first, its other mentions dropped, no longer than most:
//   {"b", "a"} + "a" -> {"a", "b"}        nine files + "new" -> {"new", the first seven}
QStringList withFirst(QStringList files, const QString &file);

QStringList read();
void remember(const QString &file);
void forget(const QString &file);
// The newest file, if it is still there, else none.
QString fileToReopen();

// "MyCards.dat  (C:\Users\me\cards)": the name, and the folder it is in.
QString menuText(const QString &file);

} // namespace recentCardFiles
