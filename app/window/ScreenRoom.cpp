#include "app/window/ScreenRoom.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

QRect FitOnScreen(QRect inside)
{
    // The window manager's title bar and bottom border, outside the size.
    constexpr int kTitle = 24, kBottom = 8;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect room = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const int width = std::min(inside.width(), room.width());
    const int height = std::min(inside.height(), room.height() - kTitle - kBottom);
    const int left = std::clamp(inside.x(), room.left(), std::max(room.left(), room.x() + room.width() - width));
    const int top = std::clamp(inside.y(), room.top() + kTitle,
                               std::max(room.top() + kTitle, room.y() + room.height() - height - kBottom));
    return {left, top, width, height};
}
