#pragma once

#include <QWidget>

// Shows the busy pointer over a window while work that the user waits for runs, and the default
// pointer again once it is done.
class BusyPointer
{
public:
    explicit BusyPointer(QWidget *window) : window_(window) { window_->setCursor(Qt::WaitCursor); }
    ~BusyPointer() { window_->unsetCursor(); }
    BusyPointer(const BusyPointer &) = delete;
    BusyPointer &operator=(const BusyPointer &) = delete;

private:
    QWidget *window_;
};
