#include "card_rules/tableExport.h"

#include "card_data/readOnlyFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace tableExport {

namespace {

using mdlZorv::CardTable;
using tableColumns::Columns;

bool needsQuotes(QStringView field, QChar separator)
{
    for (const QChar c : field) {
        if (c == separator || c == u'"' || c == u'\r' || c == u'\n')
            return true;
    }
    return false;
}

void appendHeader(QString &text, Columns columns, QChar separator, QStringView lineEnd)
{
    for (size_t i = 0; i < columns.size(); ++i) {
        if (i > 0)
            text += separator;
        appendField(text, columns[i].header, separator);
    }
    text += lineEnd;
}

void appendRow(QString &text, const tableColumns::Cells &cells, qsizetype row, Columns columns,
               QChar separator, QStringView lineEnd)
{
    QString reading;
    for (size_t i = 0; i < columns.size(); ++i) {
        if (i > 0)
            text += separator;
        appendField(text, cells.text(columns[i], row, reading), separator);
    }
    text += lineEnd;
}

// Where writing to a path puts the bytes: symbolic links followed, as QSaveFile follows them,
// in a folder named by its canonical path when it exists.
QString writtenPath(const QString &path)
{
    QFileInfo info(path);
    for (int links = 0; links < 64 && info.isSymLink(); ++links)
        info.setFile(info.symLinkTarget());
    const QString folder = QDir(info.absolutePath()).canonicalPath();
    return (folder.isEmpty() ? QDir::cleanPath(info.absolutePath()) : folder) + u'/' +
           info.fileName();
}

// True when writing to path would write one of files: the same file now (whatever the path's
// spelling, links included), or the same place should that file be missing for the moment.
bool leadsToAnyOf(const QString &path, const QStringList &files)
{
#ifdef Q_OS_WIN
    constexpr Qt::CaseSensitivity names = Qt::CaseInsensitive;
#else
    constexpr Qt::CaseSensitivity names = Qt::CaseSensitive;
#endif
    const mdlZorv::FileStamp target = mdlZorv::stampOf(path);
    const QString written = writtenPath(path);
    for (const QString &file : files) {
        if (file.isEmpty())
            continue;
        const mdlZorv::FileStamp read = mdlZorv::stampOf(file);
        if (target.exists && read.exists && target.device == read.device &&
            target.file == read.file)
            return true;
        if (written.compare(writtenPath(file), names) == 0)
            return true;
    }
    return false;
}

// Why a file could not be created: the plain cases first, then the system's own words.
QString createProblem(const QString &path, const QString &systemReason)
{
    const QFileInfo info(path);
    if (!info.absoluteDir().exists())
        return QStringLiteral("フォルダーがありません");
    if (info.isDir())
        return QStringLiteral("同じ名前のフォルダーがあります");
    if (!QFileInfo(info.absolutePath()).isWritable())
        return QStringLiteral("フォルダーに書き込む権限がありません");
    return QStringLiteral("作れません: %1").arg(systemReason);
}

// Why writing failed. A write cut short, as by a full disk or a file size limit, leaves the
// system no words to give, only Qt's "Unknown error".
QString writeProblem(const QFileDevice &file)
{
    if (file.errorString() == QFile().errorString())
        return QStringLiteral("空き容量が足りないか、ファイルが大きすぎます");
    return QStringLiteral("書き込めません: %1").arg(file.errorString());
}

} // namespace

void appendField(QString &text, QStringView field, QChar separator)
{
    if (!needsQuotes(field, separator)) {
        text += field;
        return;
    }
    text += u'"';
    for (const QChar c : field) {
        if (c == u'"')
            text += u'"';
        text += c;
    }
    text += u'"';
}

QString clipboardText(const tableColumns::Cells &cells, const mdlZorv::RowList &rows,
                      Columns columns)
{
    constexpr QChar tab = u'\t';
    QString text;
    appendHeader(text, columns, tab, u"\n");
    for (const qsizetype row : rows)
        appendRow(text, cells, row, columns, tab, u"\n");
    return text;
}

namespace {

// A cell as spreadsheets read pasted HTML: a number column's field that reads as a number whole
// is a number; every other field is text, in the format both Excel (mso-number-format) and
// LibreOffice (sdnum) keep as text, so that "049" is not read as 49.
void appendHtmlCell(QString &html, QStringView field, tableColumns::Sorting sorting)
{
    bool isNumber = false;
    const double number = field.toDouble(&isNumber);
    if (sorting == tableColumns::Sorting::Number && isNumber && !field.isEmpty()) {
        html += QStringLiteral("<td x:num=\"%1\" sdval=\"%1\" sdnum=\"1041;\">")
                    .arg(QString::number(number, 'g', 15));
    } else {
        html += QStringLiteral("<td style=\"mso-number-format:'\\@'\" sdnum=\"1041;0;@\">");
    }
    QString text = field.toString().toHtmlEscaped();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    html += text.replace(u'\n', QStringLiteral("<br style=\"mso-data-placement:same-cell\">"));
    html += QStringLiteral("</td>");
}

} // namespace

QString clipboardHtml(const tableColumns::Cells &cells, const mdlZorv::RowList &rows,
                      Columns columns)
{
    QString html = QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body><table><tr>");
    for (const tableColumns::Column &column : columns)
        html += QStringLiteral("<th>%1</th>").arg(column.header.toString().toHtmlEscaped());
    html += QStringLiteral("</tr>");
    QString reading;
    for (const qsizetype row : rows) {
        html += QStringLiteral("<tr>");
        for (const tableColumns::Column &column : columns)
            appendHtmlCell(html, cells.text(column, row, reading), column.sorting);
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table></body></html>");
}

bool writeCsv(QIODevice &device, const tableColumns::Cells &cells, const mdlZorv::RowList &rows,
              Columns columns)
{
    constexpr qsizetype pieceSize = 1 << 18; // characters gathered before they are written
    constexpr QChar comma = u',';
    QString text;
    text.reserve(pieceSize * 2);
    const auto writeText = [&] {
        const QByteArray bytes = text.toUtf8();
        text.resize(0); // keeps the room for the next piece
        return device.write(bytes) == bytes.size();
    };
    text += QChar(0xFEFF); // the byte-order mark, EF BB BF in UTF-8
    appendHeader(text, columns, comma, u"\r\n");
    for (const qsizetype row : rows) {
        appendRow(text, cells, row, columns, comma, u"\r\n");
        if (text.size() >= pieceSize && !writeText())
            return false;
    }
    return writeText();
}

QString saveCsv(const QString &path, const QStringList &filesBeingRead,
                const tableColumns::Cells &cells, const mdlZorv::RowList &rows, Columns columns)
{
    const auto problem = [&](const QString &reason) {
        return QStringLiteral("保存できませんでした (%1)。\n%2")
            .arg(reason, QDir::toNativeSeparators(path));
    };
    if (leadsToAnyOf(path, filesBeingRead))
        return problem(QStringLiteral("読み込んでいるカードファイルです"));
    // A new file renamed over a named pipe or a device would put a CSV file in its place (over
    // /dev/null, as root).
    if (const QFileInfo target(path); target.exists() && !target.isFile() && !target.isDir())
        return problem(
            QStringLiteral("普通のファイルではありません (名前付きパイプやデバイスなど)"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return problem(createProblem(path, file.errorString()));
    // Without a commit the new file is removed when file goes, and the old one stays. The end
    // still buffered is written out first: commit() writes it too, but goes on to put the file in
    // place even when that write fails (no room, a size limit), which would leave a CSV cut short.
    if (!writeCsv(file, cells, rows, columns) || !file.flush() || !file.commit())
        return problem(writeProblem(file));
    return QString();
}

} // namespace tableExport
