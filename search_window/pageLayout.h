#pragma once

#include <QLayout>
#include <QRect>

#include <memory>
#include <vector>

class QListView;
class QPlainTextEdit;

// Lays out one page of the window's tab control as the window's fixed layout draws it: every
// control where it stands at the window's default size, given in pixels from the outer corner of
// the tab control, wherever the tab control puts the page. What the page gains or loses against
// that size goes to its name list and the details box below it: the width to both, the height
// shared between them (windowLayout::shareHeight), each keeping about three lines.
class PageLayout final : public QLayout
{
public:
    // tabControl: the tab control whose page this lays out, defaultTabSize its size when the
    // window has its default size.
    PageLayout(QWidget *page, QWidget *tabControl, QSize defaultTabSize);
    ~PageLayout() override;

    // A control that keeps its place; least is the size it needs at the least (a caption's).
    void addControl(QWidget *control, QRect place, QSize least = {});
    void addListAndDetails(QListView *list, QRect listPlace, QPlainTextEdit *details,
                           QRect detailsPlace);
    // The most height the page can give up.
    int leastExtraHeight() const;

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

    QWidget *tabControl_;
    QSize defaultTabSize_;
    std::vector<Placed> placed_;
    QListView *list_ = nullptr;
    QPlainTextEdit *details_ = nullptr;
    QRect listPlace_;
    QRect detailsPlace_;
};
