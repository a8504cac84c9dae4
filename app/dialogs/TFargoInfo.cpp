#include "app/dialogs/TFargoInfo.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TFargoInfo::TFargoInfo(QWidget* parent) : QDialog(parent)
{
    setObjectName("FargoInfo");
    Label1 = new QLabel("This file is a Fargo-program!", this);
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    Label2 = new QLabel("This program requires some fargo libraries. Do you want to send these?", this);
    Label3 = new QLabel("Select yes to send the variable AND requied libraries.", this);
    Label4 = new QLabel("Select no to just send the variable.", this);
    for (QLabel* l : {Label2, Label3, Label4})
        l->setWordWrap(true);

    YesBtn = new QPushButton("&Yes", this);
    NoBtn = new QPushButton("&No", this);
    AdvancedBtn = new QPushButton("&Advanced", this);
    YesBtn->setDefault(true);
    connect(YesBtn, &QPushButton::clicked, this, [this] { done(ResultFor(true)); });
    connect(NoBtn, &QPushButton::clicked, this, [this] { done(ResultFor(false)); });
    connect(AdvancedBtn, &QPushButton::clicked, this, &TFargoInfo::AdvancedClick);

    fAdvanced = new QWidget(this);
    AlwaysYes = new QRadioButton("Do not ask again - always say Yes.", fAdvanced);
    AlwaysNo = new QRadioButton("Do not ask again - always say No.", fAdvanced);
    AlwaysAsk = new QRadioButton("Always Ask", fAdvanced);
    AlwaysAsk->setChecked(true);
    auto* al = new QVBoxLayout(fAdvanced);
    al->setContentsMargins(0, 0, 0, 0);
    for (QRadioButton* r : {AlwaysYes, AlwaysNo, AlwaysAsk})
        al->addWidget(r);
    fAdvanced->hide();

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(AdvancedBtn);
    buttons->addStretch();
    buttons->addWidget(YesBtn);
    buttons->addWidget(NoBtn);
    auto* l = new QVBoxLayout(this);
    for (QLabel* label : {Label1, Label2, Label3, Label4})
        l->addWidget(label);
    l->addStretch();
    l->addLayout(buttons);
    l->addWidget(fAdvanced);
    setFixedSize(400, kSmallHeight);
}

void TFargoInfo::AdvancedClick()
{
    const bool show = !fAdvanced->isVisible() && height() != kAdvancedHeight;
    fAdvanced->setVisible(show);
    setFixedSize(width(), show ? kAdvancedHeight : kSmallHeight);
}

bool TFargoInfo::AdvancedShown() const
{
    return height() == kAdvancedHeight;
}

int TFargoInfo::ResultFor(bool yes) const
{
    return (AlwaysYes->isChecked() ? 10 : 0) + (AlwaysNo->isChecked() ? 20 : 0) + (yes ? 1 : 2);
}

int TFargoInfo::Ask(const QString& caption)
{
    setWindowTitle(caption);
    YesBtn->setFocus();
    const int r = exec();
    // Escape and the window frame both reject: the plain "No".
    return r == QDialog::Rejected ? 2 : r;
}
