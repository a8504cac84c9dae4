#pragma once
#include <QImage>

class MonoPicture;

// The picture as an image: white, black where the calculator's bit is 1.
QImage PictureImage(const MonoPicture& picture);
