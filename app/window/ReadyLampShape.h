#pragma once
#include <QWidget>

#include "link/ReadyLamp.h"

// The lamp of the bottom bar: a small rounded shape in the link's colour.
class ReadyLampShape : public QWidget, public ReadyLamp {
    Q_OBJECT
public:
    explicit ReadyLampShape(QWidget* parent = nullptr);
    void SetBrushColor(uint32_t rgb) override;
    uint32_t BrushColor() const { return fColor; }
    QSize sizeHint() const override { return {22, 9}; }

signals:
    void MouseUp();
    void Turned(uint32_t rgb);

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    uint32_t fColor = kLampGrey;
};
