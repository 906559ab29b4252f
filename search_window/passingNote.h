#pragma once

#include <QLabel>
#include <QTimer>

// A note that shows for a few seconds along the bottom of the window, over what is there, and
// goes by itself: it never takes the focus or a click, and screen readers announce it.
class PassingNote final : public QLabel
{
    Q_OBJECT

public:
    explicit PassingNote(QWidget *window);

    void pass(const QString &text);
    // Along the bottom edge of the window, above bottom pixels of it.
    void place(int bottom);

private:
    QTimer shown_;
    int bottom_ = 0;
};
