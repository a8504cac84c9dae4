#include "app/dialogs/FargoLibraryDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

FargoLibraryDialog::FargoLibraryDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName("FargoLibraryDialog");
    headline = new QLabel("This file is a Fargo-program!", this);
    QFont bold = headline->font();
    bold.setBold(true);
    headline->setFont(bold);
    questionLabel = new QLabel("This program requires some fargo libraries. Do you want to send these?", this);
    yesHintLabel = new QLabel("Select yes to send the variable AND requied libraries.", this);
    noHintLabel = new QLabel("Select no to just send the variable.", this);
    for (QLabel* l : {questionLabel, yesHintLabel, noHintLabel})
        l->setWordWrap(true);

    yesButton = new QPushButton("&Yes", this);
    noButton = new QPushButton("&No", this);
    advancedButton = new QPushButton("&Advanced", this);
    yesButton->setDefault(true);
    connect(yesButton, &QPushButton::clicked, this, [this] { done(ResultFor(true)); });
    connect(noButton, &QPushButton::clicked, this, [this] { done(ResultFor(false)); });
    connect(advancedButton, &QPushButton::clicked, this, &FargoLibraryDialog::onAdvancedClicked);

    fAdvanced = new QWidget(this);
    alwaysYesRadio = new QRadioButton("Do not ask again - always say Yes.", fAdvanced);
    alwaysNoRadio = new QRadioButton("Do not ask again - always say No.", fAdvanced);
    alwaysAskRadio = new QRadioButton("Always Ask", fAdvanced);
    alwaysAskRadio->setChecked(true);
    auto* al = new QVBoxLayout(fAdvanced);
    al->setContentsMargins(0, 0, 0, 0);
    for (QRadioButton* r : {alwaysYesRadio, alwaysNoRadio, alwaysAskRadio})
        al->addWidget(r);
    fAdvanced->hide();

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(advancedButton);
    buttons->addStretch();
    buttons->addWidget(yesButton);
    buttons->addWidget(noButton);
    auto* l = new QVBoxLayout(this);
    for (QLabel* label : {headline, questionLabel, yesHintLabel, noHintLabel})
        l->addWidget(label);
    l->addStretch();
    l->addLayout(buttons);
    l->addWidget(fAdvanced);
    setFixedSize(400, kSmallHeight);
}

void FargoLibraryDialog::onAdvancedClicked()
{
    const bool show = !fAdvanced->isVisible() && height() != kAdvancedHeight;
    fAdvanced->setVisible(show);
    setFixedSize(width(), show ? kAdvancedHeight : kSmallHeight);
}

bool FargoLibraryDialog::AdvancedShown() const
{
    return height() == kAdvancedHeight;
}

int FargoLibraryDialog::ResultFor(bool yes) const
{
    return (alwaysYesRadio->isChecked() ? 10 : 0) + (alwaysNoRadio->isChecked() ? 20 : 0) + (yes ? 1 : 2);
}

int FargoLibraryDialog::Ask(const QString& caption)
{
    setWindowTitle(caption);
    yesButton->setFocus();
    const int r = exec();
    // Escape and the window frame both reject: the plain "No".
    return r == QDialog::Rejected ? 2 : r;
}
