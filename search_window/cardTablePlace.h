#pragma once

#include <QMargins>
#include <QRect>

// Where the card table window opens, apart from any widget.
namespace cardTablePlace {

// The table's inner rectangle (frame: what a window's frame adds around it). Beside the main
// window (given by its frame), on the side of its screen's available area with more room, when
// that room is at least least.width(): as wide as the room, up to widest, and as tall as the main
// window but at least least.height(), within the screen. Where neither side has the room, the
// table fills the screen's available area, over the main window:
//   main (0,0 400x600), screen 0,0 1920x1040, least 760x480, widest 1400
//     -> beside it, on the right: x 400, 1400 wide, 600 high
//   main (0,0 400x600), screen 0,0 1000x700                 -> over it: the whole 1000x700
QRect place(const QRect &mainFrame, const QRect &screenArea, const QSize &least, int widest,
            const QMargins &frame);

} // namespace cardTablePlace
