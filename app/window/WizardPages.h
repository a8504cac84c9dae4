#pragma once
#include <QStackedWidget>

// A page control without tabs; its currentStep holds the wizard's step number.
class WizardPages : public QStackedWidget {
public:
    using QStackedWidget::QStackedWidget;
    int currentStep = 0;
};
