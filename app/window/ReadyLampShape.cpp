#include "app/window/ReadyLampShape.h"

#include <QMouseEvent>
#include <QPainter>

ReadyLampShape::ReadyLampShape(QWidget* parent) : QWidget(parent)
{
    setObjectName("ReadyLamp");
    setFixedSize(22, 9);
    setCursor(Qt::PointingHandCursor);
    setToolTip("Green light - calculator is ready, red light - calculator did not respond on "
               "request. Click to update!");
}

void ReadyLampShape::SetBrushColor(uint32_t rgb)
{
    fColor = rgb;
    update();
    emit Turned(rgb);
}

void ReadyLampShape::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QColor c(QRgb(0xFF000000u | fColor));
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, c.lighter(150));
    g.setColorAt(1, c.darker(115));
    p.setBrush(g);
    p.setPen(QPen(QColor(64, 64, 64), 1));
    p.drawRoundedRect(QRectF(0.5, 0.5, width() - 1, height() - 1), 3, 3);
}

void ReadyLampShape::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        emit MouseUp();
}
