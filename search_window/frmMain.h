#pragma once

#include <QWidget>

// The card search window.
class frmMain : public QWidget
{
    Q_OBJECT

public:
    explicit frmMain(QWidget *parent = nullptr);

    // Fills the filter lists and both name lists from the card tables; called once before the
    // window is first shown.
    void FormInit();
};
