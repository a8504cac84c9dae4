#pragma once
#include <QLabel>

// A one-line label that never pushes its neighbours aside: text that does not
// fit ends in "…", and the tooltip always holds the whole text.
class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(const QString& text, QWidget* parent = nullptr);
    void SetFullText(const QString& text);  // text and tooltip
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;
};
