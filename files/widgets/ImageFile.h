#pragma once
#include <QByteArray>
#include <QImage>
#include <string>

// "PNG" or "BMP" for a file name ending in .png or .bmp (any case); empty
// for any other name.
std::string ImageFormatOf(const std::string& path);
// The image enlarged by a whole factor, pixel for pixel, never smoothed.
QImage ScaledCrisp(const QImage& image, int factor);
// The image encoded as "PNG" or "BMP"; throws EFileError when that fails.
QByteArray EncodeImage(const QImage& image, const char* format);
// Writes the encoded image to the file; throws EFileError naming the file
// when it cannot be written.
void WriteImageFile(const QImage& image, const std::string& path, const char* format);
