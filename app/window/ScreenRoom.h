#pragma once
#include <QRect>

// The place `inside` (a top-level window's inside, without the title bar and
// border the window manager adds) moved and shrunk so that all of the window
// is on the primary screen's free area: on a short screen (a netbook, a small
// remote desktop) the buttons along a window's bottom stay reachable.
QRect FitOnScreen(QRect inside);
