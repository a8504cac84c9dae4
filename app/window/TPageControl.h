#pragma once
#include <QStackedWidget>

// A page control without tabs; its Tag holds the wizard's step number.
class TPageControl : public QStackedWidget {
public:
    using QStackedWidget::QStackedWidget;
    int Tag = 0;
};
