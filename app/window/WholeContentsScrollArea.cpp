#include "app/window/WholeContentsScrollArea.h"

#include <QEvent>
#include <QScrollBar>

#include <algorithm>

WholeContentsScrollArea::WholeContentsScrollArea(QWidget* contents, QWidget* parent) : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setWidget(contents);
}

QSize WholeContentsScrollArea::sizeHint() const
{
    const QSize least = widget()->minimumSizeHint().expandedTo(widget()->minimumSize());
    return {least.width() + 2 * frameWidth(), least.height() + 2 * frameWidth()};
}

void WholeContentsScrollArea::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    FitContents();
}

// The contents' needs change as they are laid out anew (fonts, shown blocks).
bool WholeContentsScrollArea::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == widget() && event->type() == QEvent::LayoutRequest) {
        updateGeometry();
        FitContents();
    }
    return QScrollArea::eventFilter(watched, event);
}

// The contents take the room they are given, and never less than they need.
void WholeContentsScrollArea::FitContents()
{
    const QSize least = widget()->minimumSizeHint().expandedTo(widget()->minimumSize());
    widget()->resize(std::max(viewport()->width(), least.width()), std::max(viewport()->height(), least.height()));
}
