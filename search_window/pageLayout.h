#pragma once

#include <QLayout>
#include <QRect>

#include <memory>
#include <vector>

class QLabel;
class QListView;
class QPlainTextEdit;
class PageDivider;

// Lays out one page of the window's tab control as the window's fixed layout draws it: every
// control where it stands at the window's default size, given in pixels from the outer corner of
// the tab control, wherever the tab control puts the page. What the page gains or loses against
// that size goes to its name list and the details box below it: the width to both, the height
// shared between them (windowLayout::shareHeight), each keeping about three lines. A window wide
// enough shows the details box beside the list instead, past a divider the user can drag, under a
// heading: those two are made the first time the page is that wide, so that a window of the
// default size holds exactly the controls it always had.
class PageLayout final : public QLayout
{
public:
    // tabControl: the tab control whose page this lays out, defaultTabSize its size when the
    // window has its default size.
    PageLayout(QWidget *page, QWidget *tabControl, QSize defaultTabSize);
    ~PageLayout() override;

    // A control that keeps its place; least is the size it needs at the least (a caption's).
    void addControl(QWidget *control, QRect place, QSize least = {});
    // The names of the heading and the divider, once made.
    struct SideBySideNames
    {
        QString heading;
        QString divider;
    };
    void addListAndDetails(QListView *list, QRect listPlace, QPlainTextEdit *details,
                           QRect detailsPlace, SideBySideNames names);
    // The most height the page can give up.
    int leastExtraHeight() const;
    // The heading above the details box, as rich text, and as screen readers say it.
    void setHeading(const QString &text, const QString &spoken);
    bool isSideBySide() const { return sideBySide_; }
    // The divider was dragged to x, in the page.
    void moveDivider(int x);

    void addItem(QLayoutItem *item) override;
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;
    int count() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect &rect) override;

private:
    struct Placed
    {
        std::unique_ptr<QLayoutItem> item;
        QRect place;
        QSize least;
    };
    void add(QWidget *control, QRect place, QSize least);
    int leastListHeight() const;
    int leastDetailsHeight() const;
    // The list's and details' room together, or their own places, for a tab control extra
    // pixels larger than at the default size; pageCorner is where the page starts in it.
    QRect listAndDetailsArea(QPoint pageCorner, QSize extra) const;
    void placeBelowEachOther(QPoint pageCorner, QSize extra);
    void placeSideBySide(QPoint pageCorner, QSize extra);
    void makeSideBySideParts();
    void showSideBySideParts(bool shown);

    QWidget *tabControl_;
    QSize defaultTabSize_;
    std::vector<Placed> placed_;
    QListView *list_ = nullptr;
    QPlainTextEdit *details_ = nullptr;
    QRect listPlace_;
    QRect detailsPlace_;
    SideBySideNames names_;
    bool sideBySide_ = false;
    double listShare_ = 0.4; // of the width beside the divider
    QLabel *heading_ = nullptr;
    PageDivider *divider_ = nullptr;
    QString headingText_;
    QString headingSpoken_;
};
