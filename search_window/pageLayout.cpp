#include "search_window/pageLayout.h"

#include "search_window/windowLayout.h"

#include <QListView>
#include <QPlainTextEdit>

namespace {

constexpr int leastLines = 3;

} // namespace

PageLayout::PageLayout(QWidget *page, QWidget *tabControl, QSize defaultTabSize)
    : QLayout(page), tabControl_(tabControl), defaultTabSize_(defaultTabSize)
{
    // The page's size is the tab control's to give: the layout asks for none.
    setSizeConstraint(QLayout::SetNoConstraint);
    setContentsMargins(0, 0, 0, 0);
}

PageLayout::~PageLayout() = default;

void PageLayout::addControl(QWidget *control, QRect place, QSize least)
{
    add(control, place, least);
}

void PageLayout::addListAndDetails(QListView *list, QRect listPlace, QPlainTextEdit *details,
                                   QRect detailsPlace)
{
    list_ = list;
    details_ = details;
    listPlace_ = listPlace;
    detailsPlace_ = detailsPlace;
    add(list, listPlace, {});
    add(details, detailsPlace, {});
}

void PageLayout::add(QWidget *control, QRect place, QSize least)
{
    addChildWidget(control);
    placed_.push_back({std::make_unique<QWidgetItem>(control), place, least});
    invalidate();
}

// Only controls added with a place are laid out.
void PageLayout::addItem(QLayoutItem *item)
{
    delete item;
}

QLayoutItem *PageLayout::itemAt(int index) const
{
    return index >= 0 && size_t(index) < placed_.size() ? placed_[size_t(index)].item.get()
                                                        : nullptr;
}

QLayoutItem *PageLayout::takeAt(int index)
{
    if (index < 0 || size_t(index) >= placed_.size())
        return nullptr;
    QLayoutItem *item = placed_[size_t(index)].item.release();
    placed_.erase(placed_.begin() + index);
    return item;
}

int PageLayout::count() const
{
    return int(placed_.size());
}

QSize PageLayout::sizeHint() const
{
    QRect all;
    for (const Placed &placed : placed_)
        all |= placed.place;
    return all.size();
}

// The places are given from the tab control's corner: the page's own corner in it is where the
// tab control has put the page.
void PageLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    const QPoint pageCorner = parentWidget()->mapTo(tabControl_, QPoint(0, 0));
    for (const Placed &placed : placed_) {
        QWidget *control = placed.item->widget();
        if (control != list_ && control != details_)
            control->setGeometry(QRect(placed.place.topLeft() - pageCorner,
                                       placed.place.size().expandedTo(placed.least)));
    }
    if (!list_)
        return;
    const QSize extra = tabControl_->size() - defaultTabSize_;
    const QRect list = listPlace_.translated(-pageCorner);
    const QRect details = detailsPlace_.translated(-pageCorner);
    const auto [listHeight, detailsHeight] = windowLayout::shareHeight(
        list.height(), details.height(), extra.height(), leastListHeight(), leastDetailsHeight());
    list_->setGeometry(list.x(), list.y(), list.width() + extra.width(), listHeight);
    details_->setGeometry(details.x(), details.y() + (listHeight - list.height()),
                          details.width() + extra.width(), detailsHeight);
}

int PageLayout::leastExtraHeight() const
{
    if (!list_)
        return 0;
    return leastListHeight() + leastDetailsHeight() - listPlace_.height() - detailsPlace_.height();
}

int PageLayout::leastListHeight() const
{
    return leastLines * list_->fontMetrics().height() + 2 * list_->frameWidth() + 4;
}

int PageLayout::leastDetailsHeight() const
{
    return leastLines * details_->fontMetrics().lineSpacing() + 2 * details_->frameWidth() +
           2 * int(details_->document()->documentMargin());
}
