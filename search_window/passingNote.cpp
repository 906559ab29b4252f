#include "search_window/passingNote.h"

#include <QAccessible>

namespace {

constexpr int shownFor = 4'000; // ms
constexpr int edge = 6;         // pixels from the window's edges

} // namespace

PassingNote::PassingNote(QWidget *window) : QLabel(window)
{
    setObjectName(QStringLiteral("lblNote"));
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::ToolTipBase);
    setForegroundRole(QPalette::ToolTipText);
    setFrameShape(QFrame::Box);
    setMargin(4);
    setWordWrap(true);
    hide();
    shown_.setSingleShot(true);
    connect(&shown_, &QTimer::timeout, this, &QWidget::hide);
}

void PassingNote::pass(const QString &text)
{
    setText(text);
    setAccessibleName(text);
    show();
    raise();
    place(bottom_);
    shown_.start(shownFor);
    QAccessibleEvent announcement(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&announcement);
}

void PassingNote::place(int bottom)
{
    bottom_ = bottom;
    const QWidget *window = parentWidget();
    const int width = window->width() - 2 * edge;
    const int height = heightForWidth(width);
    setGeometry(edge, window->height() - bottom - edge - height, width, height);
}
