#pragma once
#include <QImage>
#include <QWidget>

#include "transfers/ScreenCanvas.h"

// The calculator's 240 x 128 display on a page: drawn pixel by pixel while a
// screenshot arrives, shown crisp at the largest whole factor that fits
// (never smoothed), white until something is drawn.
class ScreenImage : public QWidget, public ScreenCanvas {
    Q_OBJECT
public:
    explicit ScreenImage(QWidget* parent = nullptr);

    void Clear() override;
    void SetBlack(int x, int y) override;

    const ScreenBitmap& Bitmap() const { return fBitmap; }
    // Copies the whole picture of another image (0, 0, 240, 128).
    void CopyFrom(const ScreenImage& other);
    // The picture as a 240 x 128 one-bit image, black where a bit is 1.
    QImage Picture() const;
    // The whole factor the picture is shown at now.
    int Scale() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ScreenBitmap fBitmap;
};
