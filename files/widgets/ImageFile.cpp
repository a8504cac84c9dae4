#include "files/widgets/ImageFile.h"

#include <QBuffer>
#include <QString>

#include "files/ReplacingFile.h"
#include "link/Exceptions.h"

std::string ImageFormatOf(const std::string& path)
{
    const QString name = QString::fromStdString(path);
    if (name.endsWith(".png", Qt::CaseInsensitive))
        return "PNG";
    if (name.endsWith(".bmp", Qt::CaseInsensitive))
        return "BMP";
    return {};
}

QImage ScaledCrisp(const QImage& image, int factor)
{
    if (factor <= 1)
        return image;
    return image.scaled(image.width() * factor, image.height() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

QByteArray EncodeImage(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format))
        throw EFileError(std::string("Cannot encode the picture as ") + format + ".");
    return bytes;
}

void WriteImageFile(const QImage& image, const std::string& path, const char* format)
{
    const QByteArray bytes = EncodeImage(image, format);
    // Written aside and renamed, so a failed write leaves no broken file.
    ReplacingFile file(path);
    file.Stream().write(bytes.constData(), bytes.size());
    file.Commit();
}
