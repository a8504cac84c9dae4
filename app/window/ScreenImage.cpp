#include "app/window/ScreenImage.h"

#include <QPainter>
#include <algorithm>
#include <string_view>

#include "files/VariableViewing.h"
#include "files/widgets/PictureImage.h"

namespace {

constexpr int kFrame = 2;

}  // namespace

ScreenImage::ScreenImage(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(kWidth + 2 * kFrame, kHeight + 2 * kFrame);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void ScreenImage::Clear()
{
    fBitmap.Clear();
    update();
}

void ScreenImage::SetBlack(int x, int y)
{
    fBitmap.SetBlack(x, y);
    if (x >= 0 && y >= 0 && x < kWidth && y < kHeight)
        update();
}

void ScreenImage::CopyFrom(const ScreenImage& other)
{
    fBitmap = other.fBitmap;
    update();
}

QImage ScreenImage::Picture() const
{
    const auto& bytes = fBitmap.Bytes();
    return PictureImage(
        MonoPicture(kWidth, kHeight, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())));
}

int ScreenImage::Scale() const
{
    return std::max(1, std::min((width() - 2 * kFrame) / kWidth, (height() - 2 * kFrame) / kHeight));
}

QSize ScreenImage::sizeHint() const
{
    return {2 * kWidth + 2 * kFrame, 2 * kHeight + 2 * kFrame};
}

void ScreenImage::paintEvent(QPaintEvent*)
{
    const int scale = Scale();
    const QRect picture(kFrame, kFrame, kWidth * scale, kHeight * scale);
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(picture.adjusted(-1, -1, 0, 0));
    p.drawImage(picture, Picture());
}
