#include "search_window/frmMain.h"

frmMain::frmMain(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Zorvカード検索ツール"));
    setFixedSize(344, 505);
}

void frmMain::FormInit()
{}
