#pragma once

#include <QStringList>
#include <QStyledItemDelegate>

class CardTableModel;

// Paints the card table's cells: each text from the top of its cell, the effect text in lines
// when wrapping is on, what does not fit cut with "…", and the find words marked in names and
// effect texts. A cell lays out only its own text, at most CardTableModel::cellTextLength
// characters, so that painting costs the cells in view alone.
class CardCellDelegate final : public QStyledItemDelegate
{
    Q_OBJECT

public:
    // The most lines a wrapped cell shows; the tool tip shows the rest.
    static constexpr int mostLines = 4;
    // Room between a cell's edges and its text.
    static constexpr QMargins padding{4, 2, 4, 2};

    CardCellDelegate(const CardTableModel *rows, QObject *parent);

    void setWrapping(bool wrap) { wrap_ = wrap; }
    bool wrapping() const { return wrap_; }
    void setFindWords(const QStringList &foldedWords) { findWords_ = foldedWords; }

    // Whether a column's text wraps, wrapping being on.
    bool wraps(int column) const;
    // The height of a row of one line, and of a row whose cell in column shows text in lines of
    // that column's width, up to mostLines.
    static int lineRowHeight(const QFont &font);
    int rowHeight(const QString &text, int columnWidth, const QFont &font) const;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    bool marksWords(int column) const;

    const CardTableModel *rows_;
    bool wrap_ = true;
    QStringList findWords_;
};
