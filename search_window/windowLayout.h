#pragma once

#include <QList>
#include <QMargins>
#include <QRect>

#include <utility>

// The arithmetic of the window's layout, apart from any widget.
namespace windowLayout {

// The heights of a name list and a details box that share extra pixels of height, or give up
// pixels when extra is below 0: half each, an odd pixel to the list. When they shrink, one that
// reaches its least height keeps it and the other gives the rest, down to its own least.
//   280, 82, +11 -> 286, 87        280, 82, -10 -> 275, 77
//   280, 82, -100 (least 45 each) -> 217, 45
std::pair<int, int> shareHeight(int list, int details, int extra, int leastList, int leastDetails);

// A window this many pixels wider than its default (640 pixels wide, or more) shows each page's
// details beside its name list rather than below it.
inline constexpr int sideBySideExtraWidth = 296;

// The places of a name list and, beside it past a divider, a heading above a details box, all in
// one area. The list takes listShare of the width beside the divider, but each side keeps least
// pixels while the area has them; the heading is headingHeight high.
//   (0, 0, 706, 400), 0.4, divider 6, heading 40, least 120
//     -> list (0, 0, 280, 400), divider (280, 0, 6, 400), heading (286, 0, 420, 40),
//        details (286, 42, 420, 358)
struct SideBySide
{
    QRect list;
    QRect divider;
    QRect heading;
    QRect details;
};
SideBySide sideBySide(const QRect &area, double listShare, int dividerWidth, int headingHeight,
                      int least);

// Where the window goes, as its inner rectangle: where it was last (saved) if its title bar falls
// on one of the screens now, else the default size in the middle of the preferred screen; either
// way no wider and no taller than that screen's available area (frame: what the window's frame
// adds around it), but not lower than leastHeight, and moved as far as it takes to lie inside it,
// frame and all. Screens are given by their available areas.
//   screen 1366 x 728 at 0,0, frame 4, 30, 4, 4:
//   100, 50, 400 x 900     -> 100, 30, 400 x 694       (as high as there is room)
//   100, 50, 100000 x 600  -> 4, 50, 1358 x 600        (as wide as there is room)
//   1200, 50, 400 x 600    -> 962, 50, 400 x 600       (moved left to end at the edge)
QRect windowPlace(const QRect &saved, const QSize &defaultSize, int leastHeight,
                  const QList<QRect> &screens, const QRect &preferred, const QMargins &frame);

} // namespace windowLayout
