#include "search_window/cardTableState.h"

#include "search_window/userSettings.h"

#include <algorithm>
#include <numeric>

namespace cardTableState {

namespace {

QString key(const QString &page, QStringView name)
{
    return QStringLiteral("cardTable/%1/%2").arg(page, name);
}

// Numbers written as text, blank-separated: a list survives any settings format as it is.
QString joined(const QList<int> &numbers)
{
    QStringList texts;
    for (const int number : numbers)
        texts << QString::number(number);
    return texts.join(u' ');
}

// The numbers of a text, a word that is none read as -1; empty unless it holds count words.
QList<int> numbers(const QString &text, int count)
{
    const QStringList words = text.split(u' ', Qt::SkipEmptyParts);
    QList<int> read;
    if (words.size() != count)
        return read;
    for (const QString &word : words) {
        bool isNumber = false;
        const int number = word.toInt(&isNumber);
        read << (isNumber ? number : -1);
    }
    return read;
}

QList<int> widthsOf(const QString &text, int columnCount)
{
    QList<int> widths = numbers(text, columnCount);
    if (widths.isEmpty())
        widths.fill(0, columnCount);
    for (int &width : widths)
        width = width < 0 ? 0 : std::min(width, widestColumn);
    return widths;
}

QList<int> orderOf(const QString &text, int columnCount)
{
    QList<int> order = numbers(text, columnCount);
    QList<int> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    QList<int> every(columnCount);
    std::iota(every.begin(), every.end(), 0);
    return sorted == every ? order : every;
}

} // namespace

State read(const UserSettings &settings, const QString &page, int columnCount)
{
    State state;
    state.widths = widthsOf(settings.value(key(page, u"widths")).toString(), columnCount);
    state.order = orderOf(settings.value(key(page, u"order")).toString(), columnCount);
    bool isNumber = false;
    const int sortColumn = settings.value(key(page, u"sortColumn")).toString().toInt(&isNumber);
    if (isNumber && sortColumn >= 0 && sortColumn < columnCount) {
        state.sortColumn = sortColumn;
        state.sortOrder = settings.value(key(page, u"sortDescending")).toString() == u"true"
                              ? Qt::DescendingOrder
                              : Qt::AscendingOrder;
    }
    state.wrap = settings.value(key(page, u"wrap")).toString() != u"false";
    return state;
}

void write(UserSettings &settings, const QString &page, const State &state)
{
    settings.setValue(key(page, u"widths"), joined(state.widths));
    settings.setValue(key(page, u"order"), joined(state.order));
    settings.setValue(key(page, u"sortColumn"), QString::number(state.sortColumn));
    settings.setValue(key(page, u"sortDescending"),
                      state.sortOrder == Qt::DescendingOrder ? u"true"_qs : u"false"_qs);
    settings.setValue(key(page, u"wrap"), state.wrap ? u"true"_qs : u"false"_qs);
}

} // namespace cardTableState
