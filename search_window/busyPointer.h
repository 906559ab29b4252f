#pragma once

#include <QWidget>

// Shows the busy pointer over a window while work that the user waits for runs, and the default
// pointer again once it is done. One shown while the pointer is busy already (a sort still
// running aside while the table follows the list) leaves it busy when it goes.
class BusyPointer
{
public:
    explicit BusyPointer(QWidget *window)
        : window_(window), wasBusy_(window->cursor().shape() == Qt::WaitCursor)
    {
        window_->setCursor(Qt::WaitCursor);
    }
    ~BusyPointer()
    {
        if (!wasBusy_)
            window_->unsetCursor();
    }
    BusyPointer(const BusyPointer &) = delete;
    BusyPointer &operator=(const BusyPointer &) = delete;

private:
    QWidget *window_;
    bool wasBusy_;
};
