#include "files/widgets/PictureImage.h"

#include "files/VariableViewing.h"

QImage PictureImage(const MonoPicture& picture)
{
    QImage image(picture.Width(), picture.Height(), QImage::Format_Mono);
    if (image.isNull())
        return image;
    image.setColor(0, qRgb(255, 255, 255));
    image.setColor(1, qRgb(0, 0, 0));
    image.fill(0);
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            if (picture.Black(x, y))
                image.setPixel(x, y, 1);
    return image;
}
