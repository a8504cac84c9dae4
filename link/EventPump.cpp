#include "link/EventPump.h"

#include <QCoreApplication>

void QtEventPump::ProcessMessages()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}
