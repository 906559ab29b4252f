#include "search_window/cardCellDelegate.h"

#include "card_rules/textFold.h"
#include "search_window/cardTableModel.h"
#include "search_window/windowControls.h"

#include <QApplication>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Where a text's lines end, laid out in a box of a width, no more than most lines and, past the
// first, no lower than highest.
struct Lines
{
    int count = 0;
    qreal height = 0;
    bool cut = false; // the text goes on past the last line, or is wider than the box
};

Lines layOut(QTextLayout &layout, qreal width, int most, bool wrap,
             qreal highest = std::numeric_limits<qreal>::max())
{
    QTextOption option(layout.textOption());
    option.setWrapMode(wrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    layout.setTextOption(option);
    Lines lines;
    qsizetype end = 0;
    layout.beginLayout();
    while (lines.count < most) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        if (lines.count > 0 && lines.height + line.height() > highest) {
            line.setNumColumns(0); // an empty line ends the layout here
            break;
        }
        line.setPosition(QPointF(0, lines.height));
        lines.height += line.height();
        end = line.textStart() + line.textLength();
        lines.cut = line.naturalTextWidth() > width;
        ++lines.count;
    }
    layout.endLayout();
    lines.cut = lines.cut || end < layout.text().size();
    return lines;
}

QList<QTextLayout::FormatRange> markFormats(const QList<textFold::Mark> &marks, qsizetype from,
                                            qsizetype before)
{
    const QTextCharFormat marked = windowControls::findMarkFormat(); // readable on a selected row
    QList<QTextLayout::FormatRange> formats;
    for (const textFold::Mark &mark : marks) {
        const qsizetype start = std::max(mark.start, from);
        const qsizetype end = std::min(mark.start + mark.length, before);
        if (start < end)
            formats.append({int(start - from), int(end - start), marked});
    }
    return formats;
}

// The last line that fits, cut with "…", marks and all.
void drawCutLine(QPainter *painter, const QTextLayout &layout, const QTextLine &last,
                 const QPointF &at, const QList<textFold::Mark> &marks)
{
    const QString rest = layout.text().sliced(last.textStart());
    const QString cut = QFontMetricsF(layout.font()).elidedText(rest, Qt::ElideRight, last.width());
    QTextLayout line(cut, layout.font());
    line.setTextOption(layout.textOption());
    line.setFormats(markFormats(marks, last.textStart(), last.textStart() + cut.size() - 1));
    layOut(line, last.width(), 1, false);
    line.draw(painter, at + last.position());
}

void drawText(QPainter *painter, const QRect &box, const QString &text, Qt::Alignment alignment,
              bool wrap, const QList<textFold::Mark> &marks)
{
    QTextLayout layout(text, painter->font());
    layout.setTextOption(QTextOption(alignment));
    layout.setFormats(markFormats(marks, 0, text.size()));
    // A pixel more than the box: the grid line below a cell is its row's, not the cell's.
    const Lines lines =
        layOut(layout, box.width(), wrap ? CardCellDelegate::mostLines : 1, wrap, box.height() + 1);
    const QPointF at = box.topLeft();
    for (int i = 0; i < lines.count; ++i) {
        if (i == lines.count - 1 && lines.cut)
            drawCutLine(painter, layout, layout.lineAt(i), at, marks);
        else
            layout.lineAt(i).draw(painter, at);
    }
}

} // namespace

CardCellDelegate::CardCellDelegate(const CardTableModel *rows, QObject *parent)
    : QStyledItemDelegate(parent), rows_(rows)
{}

bool CardCellDelegate::wraps(int column) const
{
    return wrap_ && rows_->columns()[size_t(column)].cell == tableColumns::Cell::Effect;
}

bool CardCellDelegate::marksWords(int column) const
{
    const tableColumns::Cell cell = rows_->columns()[size_t(column)].cell;
    return cell == tableColumns::Cell::Name || cell == tableColumns::Cell::Reading ||
           cell == tableColumns::Cell::Effect;
}

int CardCellDelegate::lineRowHeight(const QFont &font)
{
    return int(std::ceil(QFontMetricsF(font).height())) + padding.top() + padding.bottom();
}

int CardCellDelegate::rowHeight(const QString &text, int columnWidth, const QFont &font) const
{
    QTextLayout layout(text, font);
    const int width = columnWidth - padding.left() - padding.right();
    const Lines lines = layOut(layout, std::max(width, 1), mostLines, true);
    const int height = int(std::ceil(lines.height)) + padding.top() + padding.bottom();
    return std::max(height, lineRowHeight(font));
}

void CardCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const QString text = std::exchange(cell.text, QString());
    const QWidget *widget = cell.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);
    if (text.isEmpty())
        return;
    const bool selected = cell.state.testFlag(QStyle::State_Selected);
    const QPalette::ColorGroup group =
        cell.state.testFlag(QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
    const QList<textFold::Mark> marks = findWords_.isEmpty() || !marksWords(index.column())
                                            ? QList<textFold::Mark>()
                                            : textFold::findMarks(text, findWords_);
    painter->save();
    painter->setFont(cell.font);
    painter->setPen(
        cell.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setClipRect(cell.rect);
    drawText(painter, cell.rect.marginsRemoved(padding), text, cell.displayAlignment,
             wraps(index.column()), marks);
    painter->restore();
}

QSize CardCellDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QString text = index.data().toString();
    const QSize line = QFontMetrics(option.font).size(Qt::TextSingleLine, text);
    return line.grownBy(padding).expandedTo(QSize(0, lineRowHeight(option.font)));
}
