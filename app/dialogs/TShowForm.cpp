#include "app/dialogs/TShowForm.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cctype>

#include "app/settings/SettingsRecord.h"
#include "app/settings/SettingsStore.h"

TShowForm::TShowForm(QWidget* parent) : QDialog(parent)
{
    setObjectName("ShowForm");
    setWindowTitle("Show..");

    TI92Box = new QCheckBox("TI92-files (*.92*)", this);
    TextBox = new QCheckBox("Text-files (*.TXT)", this);
    Fargo1Box = new QCheckBox("Fargo v1.x files", this);
    Fargo2Box = new QCheckBox("Fargo v2.x files", this);
    for (QCheckBox* b : {TI92Box, TextBox, Fargo1Box, Fargo2Box})
        b->setChecked(true);
    TI92Box->setObjectName("TI92Box");
    TextBox->setObjectName("TextBox");
    Fargo1Box->setObjectName("Fargo1Box");
    Fargo2Box->setObjectName("Fargo2Box");
    connect(TI92Box, &QCheckBox::clicked, this, &TShowForm::TypeBoxClick);
    connect(TextBox, &QCheckBox::clicked, this, &TShowForm::TypeBoxClick);

    fAdvanced = new QWidget(this);
    ExtLabel = new QLabel("These extensions is being showed:", fAdvanced);
    ExtEdit = new QLineEdit(kDefaultExtensionString, fAdvanced);
    ExtEdit->setObjectName("ExtEdit");
    auto* adv = new QVBoxLayout(fAdvanced);
    adv->setContentsMargins(0, 0, 0, 0);
    adv->addWidget(ExtLabel);
    adv->addWidget(ExtEdit);

    AdvancedBtn = new QPushButton("&Advanced", this);
    OkBtn = new QPushButton("&Ok", this);
    OkBtn->setDefault(true);
    connect(AdvancedBtn, &QPushButton::clicked, this, &TShowForm::AdvancedClick);
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);

    auto* fargo = new QVBoxLayout;
    fargo->setContentsMargins(20, 0, 0, 0);
    fargo->addWidget(Fargo1Box);
    fargo->addWidget(Fargo2Box);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(AdvancedBtn);
    buttons->addStretch();
    buttons->addWidget(OkBtn);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TI92Box);
    layout->addLayout(fargo);
    layout->addWidget(TextBox);
    layout->addStretch();
    layout->addLayout(buttons);
    layout->addWidget(fAdvanced);

    fAdvanced->hide();
    setFixedSize(260, kEasyHeight);
}

void TShowForm::ReadSettings(SettingsStore& store)
{
    TI92Box->setChecked(ReadBool(store, kSectionSettings, "Show TI92-files", 1));
    TextBox->setChecked(ReadBool(store, kSectionSettings, "Show Text-files", 1));
    Fargo1Box->setChecked(ReadBool(store, kSectionSettings, "Show Fargo1-files", 1));
    Fargo2Box->setChecked(ReadBool(store, kSectionSettings, "Show Fargo2-files", 1));
    UpdateFargoBoxes();
    const std::string stored =
        ReadText(store, kSectionSettings, "Show Extenstionsstring", kDefaultExtensionString);
    ExtEdit->setText(QString::fromStdString(FollowBoxes(stored, ShowTI92(), ShowText())));
}

namespace {

bool IsTI92Extension(const std::string& ext)
{
    return ext.size() == 4 && ext.compare(0, 3, ".92") == 0;
}

}  // namespace

std::string TShowForm::FollowBoxes(const std::string& extensions, bool ti92, bool text)
{
    std::string kept;
    bool anyTI92 = false;
    size_t from = 0;
    while (from < extensions.size()) {
        size_t end = extensions.find(';', from);
        if (end == std::string::npos)
            end = extensions.size();
        const std::string ext = extensions.substr(from, end - from);
        from = end + 1;
        std::string upper = ext;
        for (char& c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (ext.empty() || (!ti92 && IsTI92Extension(upper)) || (!text && upper == ".TXT"))
            continue;
        anyTI92 = anyTI92 || IsTI92Extension(upper);
        if (upper == ".TXT" && kept.find(".TXT;") != std::string::npos)
            continue;
        kept += ext + ";";
    }
    if (ti92 && !anyTI92)
        kept = kDefaultExtensionString + kept;
    if (text && kept.find(".TXT;") == std::string::npos && kept.find(".txt;") == std::string::npos)
        kept += ".TXT;";
    return kept;
}

void TShowForm::UpdateFargoBoxes()
{
    Fargo1Box->setEnabled(TI92Box->isChecked());
    Fargo2Box->setEnabled(TI92Box->isChecked());
}

void TShowForm::TypeBoxClick()
{
    UpdateFargoBoxes();
    QString ext;
    if (TI92Box->isChecked())
        ext += kDefaultExtensionString;
    if (TextBox->isChecked())
        ext += ".TXT;";
    ExtEdit->setText(ext);
}

void TShowForm::AdvancedClick()
{
    bool toTall = height() != kAdvancedHeight;
    fAdvanced->setVisible(toTall);
    setFixedSize(width(), toTall ? kAdvancedHeight : kEasyHeight);
    AdvancedBtn->setText(toTall ? "&Easy" : "&Advanced");
}

std::string TShowForm::ExtensionText() const { return ExtEdit->text().toStdString(); }
bool TShowForm::ShowTI92() const { return TI92Box->isChecked(); }
bool TShowForm::ShowText() const { return TextBox->isChecked(); }
bool TShowForm::ShowFargo1() const { return Fargo1Box->isChecked(); }
bool TShowForm::ShowFargo2() const { return Fargo2Box->isChecked(); }
