#include "search_window/cardTablePlace.h"

#include <algorithm>

namespace cardTablePlace {

QRect place(const QRect &mainFrame, const QRect &screenArea, const QSize &least, int widest,
            const QMargins &frame)
{
    const int frameWidth = frame.left() + frame.right();
    const int frameHeight = frame.top() + frame.bottom();
    const int roomRight = screenArea.right() - mainFrame.right() - frameWidth;
    const int roomLeft = mainFrame.left() - screenArea.left() - frameWidth;
    const int room = std::max(roomRight, roomLeft);
    if (room < least.width())
        return screenArea - frame;
    const int width = std::min(room, widest);
    const int height = std::min(std::max(mainFrame.height() - frameHeight, least.height()),
                                screenArea.height() - frameHeight);
    const int left = roomRight >= roomLeft ? mainFrame.right() + 1 + frame.left()
                                           : mainFrame.left() - frame.right() - width;
    const int top = std::clamp(mainFrame.top(), screenArea.top(),
                               screenArea.bottom() + 1 - height - frameHeight) +
                    frame.top();
    return QRect(left, top, width, height);
}

} // namespace cardTablePlace
