// The window's layout: its default size gives every control its place, and a larger or lower
// window gives or takes the difference to the tab control and each page's list and details box.
// Its size and place are remembered for the next start.

#include "search_window/findBar.h"
#include "search_window/frmMain.h"
#include "search_window/pageLayout.h"
#include "search_window/passingNote.h"
#include "search_window/searchPage.h"
#include "search_window/userSettings.h"
#include "search_window/windowLayout.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QListView>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>

#include <algorithm>

int frmMain::findBarRoom() const
{
    return findBar && findBar->isVisible() ? FindBar::barHeight : 0;
}

void frmMain::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeTab();
}

// The find bar, when open, lies along the bottom edge; the tab control takes the rest.
void frmMain::placeTab()
{
    const QSize extra = size() - QSize(0, findBarRoom()) - defaultSize;
    SSTab->setGeometry(pageControls::tabPlace().adjusted(0, 0, extra.width(), extra.height()));
    if (findBarRoom() > 0)
        findBar->setGeometry(0, height() - FindBar::barHeight, width(), FindBar::barHeight);
    note_->place(findBarRoom());
}

// As low as the pages' lists and details boxes allow, as narrow as the default.
void frmMain::updateLeastSize()
{
    const int leastExtra =
        std::max(monster_.layout->leastExtraHeight(), magic_.layout->leastExtraHeight());
    setMinimumSize(defaultSize.width(), defaultSize.height() + leastExtra + findBarRoom());
}

void frmMain::restoreWindowPlace()
{
    const UserSettings settings;
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens << screen->availableGeometry();
    const int titleBar = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    const QRect place = windowLayout::windowPlace(
        settings.value(QStringLiteral("window/geometry")).toRect(), defaultSize, minimumHeight(),
        screens, screen()->availableGeometry(), QMargins(4, titleBar + 4, 4, 4));
    setGeometry(place);
    if (settings.value(QStringLiteral("window/maximized")).toBool())
        setWindowState(windowState() | Qt::WindowMaximized);
}

void frmMain::closeEvent(QCloseEvent *event)
{
    UserSettings settings;
    const QRect place = isMaximized() ? normalGeometry() : geometry();
    settings.setValue(QStringLiteral("window/geometry"),
                      place.adjusted(0, 0, 0, -(findBarGrewWindow_ ? findBarRoom() : 0)));
    settings.setValue(QStringLiteral("window/maximized"), isMaximized());
    QWidget::closeEvent(event);
}

// F6 takes the keyboard from any control of the page in front to its name list, from the list
// to the details box (which is no stop of the Tab key, but can be scrolled and copied from), and
// from there back to where it started.
void frmMain::cycleFocusWithF6()
{
    const SearchPage &front = frontPage();
    QWidget *focus = QApplication::focusWidget();
    QWidget *next = front.list();
    if (focus == front.detailsBox()) {
        next = focusBeforeF6_ ? focusBeforeF6_.data() : front.list();
    } else if (focus == front.list()) {
        if (f6Target_ != focus) // the list was not reached by F6: the round starts there
            focusBeforeF6_ = focus;
        next = front.detailsBox();
    } else {
        focusBeforeF6_ = focus;
    }
    f6Target_ = next;
    next->setFocus(Qt::ShortcutFocusReason);
}
