#include "app/window/SvgPicture.h"

#include <QPainter>
#include <QSvgRenderer>

// The pictures live in a static library: make sure its resources are linked.
static void InitPictures()
{
    Q_INIT_RESOURCE(pictures);
}

QPixmap SvgPicture(const QString& name, int width, int height)
{
    static const bool initialised = (InitPictures(), true);
    (void)initialised;
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(":/pictures/" + name + ".svg");
    QPainter painter(&pixmap);
    renderer.render(&painter);
    return pixmap;
}
