#include "search_window/windowLayout.h"

#include <algorithm>
#include <cmath>

namespace windowLayout {

std::pair<int, int> shareHeight(int list, int details, int extra, int leastList, int leastDetails)
{
    const int listShare = extra >= 0 ? (extra + 1) / 2 : extra / 2; // the odd pixel to the list
    int newList = list + listShare;
    int newDetails = details + (extra - listShare);
    if (newDetails < leastDetails) {
        newList -= leastDetails - newDetails;
        newDetails = leastDetails;
    }
    if (newList < leastList) {
        newDetails = std::max(leastDetails, newDetails - (leastList - newList));
        newList = leastList;
    }
    return {newList, newDetails};
}

SideBySide sideBySide(const QRect &area, double listShare, int dividerWidth, int headingHeight,
                      int least)
{
    constexpr int headingGap = 2;
    const int room = std::max(0, area.width() - dividerWidth);
    const int most = std::max(least, room - least);
    const int listWidth =
        std::clamp(int(std::lround(room * listShare)), std::min(least, room), std::min(most, room));
    const int right = area.left() + listWidth + dividerWidth;
    const int rightWidth = area.right() + 1 - right;
    return {QRect(area.left(), area.top(), listWidth, area.height()),
            QRect(area.left() + listWidth, area.top(), dividerWidth, area.height()),
            QRect(right, area.top(), rightWidth, headingHeight),
            QRect(right, area.top() + headingHeight + headingGap, rightWidth,
                  std::max(0, area.height() - headingHeight - headingGap))};
}

QRect windowPlace(const QRect &saved, const QSize &defaultSize, int leastHeight,
                  const QList<QRect> &screens, const QRect &preferred, const QMargins &frame)
{
    // The title bar is what the user takes hold of: a window is on a screen when that is.
    const QRect titleBar(saved.left() - frame.left(), saved.top() - frame.top(),
                         std::min(saved.width(), 100), frame.top());
    const auto holding = std::find_if(screens.begin(), screens.end(), [&](const QRect &screen) {
        return saved.isValid() && screen.contains(titleBar.topLeft()) &&
               screen.contains(titleBar.bottomRight());
    });
    const QRect screen = holding != screens.end() ? *holding : preferred;
    QRect place = holding != screens.end() ? saved : QRect(QPoint(), defaultSize);
    const int roomyHeight = screen.height() - frame.top() - frame.bottom();
    place.setHeight(std::max(leastHeight, std::min(place.height(), roomyHeight)));
    place.setWidth(std::min(place.width(), screen.width() - frame.left() - frame.right()));
    if (holding == screens.end())
        place.moveCenter(screen.center());
    // Kept inside the screen, the title bar and the left edge first.
    place.moveTop(
        std::max(screen.top() + frame.top(),
                 std::min(place.top(), screen.bottom() - frame.bottom() - place.height() + 1)));
    place.moveLeft(
        std::max(screen.left() + frame.left(),
                 std::min(place.left(), screen.right() - frame.right() - place.width() + 1)));
    return place;
}

} // namespace windowLayout
