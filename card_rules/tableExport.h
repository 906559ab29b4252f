#pragma once

#include "card_data/cardTable.h"
#include "card_rules/tableColumns.h"

#include <QIODevice>
#include <QString>
#include <QStringList>

#include <vector>

// The rows of the card table window as text for other programs: tab-separated text for the
// clipboard, and CSV files. Both start with a line of the column headers and hold every field as
// stored, in the columns and row order given.
//
// A field that holds the separator, a double quote, a CR or an LF is written in double quotes,
// its quotes doubled: a,"b" -> "a,""b""". Spreadsheets read pasted tab-separated text by the
// same rule, so a tab or a line break inside a field stays in its cell instead of starting a
// column or a row, and a field's own quotes come through as they are.
namespace tableExport {

// Appends one field as CSV (separator ',') or tab-separated text (separator '\t') writes it.
void appendField(QString &text, QStringView field, QChar separator);

// Tab-separated text of the given rows, lines ended by "\n", the last one too, as spreadsheets
// copy. Qt turns each "\n" into CR LF on the Windows clipboard, as Windows programs expect.
QString clipboardText(const tableColumns::Cells &cells, const mdlZorv::RowList &rows,
                      tableColumns::Columns columns);

// The same rows as an HTML table, which spreadsheets paste cell by cell without asking how to read
// the text: card numbers and IDs stay text ("049" stays "049"), and a number column's field that
// is a number whole (attack, defence, level, cost) is a number:
//   <td style="mso-number-format:'\@'" sdnum="1041;0;@">049</td>
//   <td x:num="1300" sdval="1300" sdnum="1041;">1300</td>
QString clipboardHtml(const tableColumns::Cells &cells, const mdlZorv::RowList &rows,
                      tableColumns::Columns columns);
// Writes the rows as CSV: UTF-8 with a byte-order mark (which spreadsheets need to read it as
// UTF-8), lines ended by CR LF, the last one too. It is written in pieces of a bounded size, so
// that a million rows never stand in memory as a whole. False when the device refused a write.
bool writeCsv(QIODevice &device, const tableColumns::Cells &cells, const mdlZorv::RowList &rows,
              tableColumns::Columns columns);

// Saves the rows as a CSV file at path. The file appears whole or not at all: it is written to a
// new file beside it, which replaces the old one only once complete. No file being read is ever
// written: a path that leads to one of filesBeingRead (the followed card file, one read for a
// reload, one being opened or waiting to be), by another spelling, a symbolic link or a hard
// link, is refused; empty names are passed over. So is a path that leads to anything but a
// regular file or a folder (a named pipe, a device), which the new file would replace. Returns why
// saving failed, in Japanese, with the path, or an empty text when saved.
QString saveCsv(const QString &path, const QStringList &filesBeingRead,
                const tableColumns::Cells &cells, const mdlZorv::RowList &rows,
                tableColumns::Columns columns);
// The same with the card file alone.

} // namespace tableExport
