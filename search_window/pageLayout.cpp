#include "search_window/pageLayout.h"

#include "search_window/windowLayout.h"

#include <QLabel>
#include <QListView>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QStyleOption>

namespace {

constexpr int leastLines = 3;
constexpr int dividerWidth = 6;
constexpr int leastSideWidth = 120;

} // namespace

// The bar between the name list and the details box beside it: dragging it shares the width
// between them anew.
class PageDivider final : public QWidget
{
public:
    PageDivider(QWidget *page, PageLayout *layout) : QWidget(page), layout_(layout)
    {
        setCursor(Qt::SplitHCursor);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        QStyleOption option;
        option.initFrom(this);
        option.state |= QStyle::State_Horizontal;
        style()->drawControl(QStyle::CE_Splitter, &option, &painter, this);
    }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        if (event->buttons() & Qt::LeftButton)
            layout_->moveDivider(mapToParent(event->position().toPoint()).x());
    }

private:
    PageLayout *layout_;
};

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
                                   QRect detailsPlace, SideBySideNames names)
{
    names_ = std::move(names);
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
    sideBySide_ = extra.width() >= windowLayout::sideBySideExtraWidth;
    if (sideBySide_)
        placeSideBySide(pageCorner, extra);
    else
        placeBelowEachOther(pageCorner, extra);
}

void PageLayout::placeBelowEachOther(QPoint pageCorner, QSize extra)
{
    showSideBySideParts(false);
    const QRect list = listPlace_.translated(-pageCorner);
    const QRect details = detailsPlace_.translated(-pageCorner);
    const auto [listHeight, detailsHeight] = windowLayout::shareHeight(
        list.height(), details.height(), extra.height(), leastListHeight(), leastDetailsHeight());
    list_->setGeometry(list.x(), list.y(), list.width() + extra.width(), listHeight);
    details_->setGeometry(details.x(), details.y() + (listHeight - list.height()),
                          details.width() + extra.width(), detailsHeight);
}

// The heading is as high as its text at the width beside the list.
void PageLayout::placeSideBySide(QPoint pageCorner, QSize extra)
{
    makeSideBySideParts();
    const QRect area = listAndDetailsArea(pageCorner, extra);
    const auto placesWith = [&](int headingHeight) {
        return windowLayout::sideBySide(area, listShare_, dividerWidth, headingHeight,
                                        leastSideWidth);
    };
    const windowLayout::SideBySide places =
        placesWith(heading_->heightForWidth(placesWith(0).heading.width()));
    list_->setGeometry(places.list);
    divider_->setGeometry(places.divider);
    heading_->setGeometry(places.heading);
    details_->setGeometry(places.details);
    showSideBySideParts(true);
}

QRect PageLayout::listAndDetailsArea(QPoint pageCorner, QSize extra) const
{
    const QRect both = (listPlace_ | detailsPlace_).translated(-pageCorner);
    return both.adjusted(0, 0, extra.width(), extra.height());
}

void PageLayout::makeSideBySideParts()
{
    if (heading_)
        return;
    QWidget *page = parentWidget();
    heading_ = new QLabel(page);
    heading_->setObjectName(names_.heading);
    heading_->setWordWrap(true);
    heading_->setTextFormat(Qt::RichText);
    heading_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    heading_->setText(headingText_);
    heading_->setAccessibleName(headingSpoken_);
    divider_ = new PageDivider(page, this);
    divider_->setObjectName(names_.divider);
    divider_->setAccessibleName(QStringLiteral("一覧と詳細の境目"));
}

void PageLayout::showSideBySideParts(bool shown)
{
    if (!heading_)
        return;
    heading_->setVisible(shown);
    divider_->setVisible(shown);
}

void PageLayout::setHeading(const QString &text, const QString &spoken)
{
    headingText_ = text;
    headingSpoken_ = spoken;
    if (!heading_)
        return;
    heading_->setText(text);
    heading_->setAccessibleName(spoken);
    if (sideBySide_)
        setGeometry(geometry());
}

void PageLayout::moveDivider(int x)
{
    const QPoint pageCorner = parentWidget()->mapTo(tabControl_, QPoint(0, 0));
    const QRect area = listAndDetailsArea(pageCorner, tabControl_->size() - defaultTabSize_);
    const int room = area.width() - dividerWidth;
    if (room <= 0)
        return;
    listShare_ = std::clamp(double(x - area.left()) / room, 0.0, 1.0);
    setGeometry(geometry());
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
