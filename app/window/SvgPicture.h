#pragma once
#include <QPixmap>
#include <QString>

// One of the program's own pictures (":/pictures/<name>.svg") at a size.
QPixmap SvgPicture(const QString& name, int width, int height);
