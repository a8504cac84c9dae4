#include "app/dialogs/FileFilterDialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cctype>

#include "app/settings/SettingsRecord.h"
#include "app/settings/SettingsStore.h"

FileFilterDialog::FileFilterDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName("FileFilterDialog");
    setWindowTitle("Show..");

    ti92FilesBox = new QCheckBox("TI92-files (*.92*)", this);
    textFilesBox = new QCheckBox("Text-files (*.TXT)", this);
    fargo1FilesBox = new QCheckBox("Fargo v1.x files", this);
    fargo2FilesBox = new QCheckBox("Fargo v2.x files", this);
    for (QCheckBox* b : {ti92FilesBox, textFilesBox, fargo1FilesBox, fargo2FilesBox})
        b->setChecked(true);
    ti92FilesBox->setObjectName("ti92FilesBox");
    textFilesBox->setObjectName("textFilesBox");
    fargo1FilesBox->setObjectName("fargo1FilesBox");
    fargo2FilesBox->setObjectName("fargo2FilesBox");
    connect(ti92FilesBox, &QCheckBox::clicked, this, &FileFilterDialog::onTypeBoxClicked);
    connect(textFilesBox, &QCheckBox::clicked, this, &FileFilterDialog::onTypeBoxClicked);

    fAdvanced = new QWidget(this);
    extensionsLabel = new QLabel("These extensions is being showed:", fAdvanced);
    extensionsEdit = new QLineEdit(kDefaultExtensionString, fAdvanced);
    extensionsEdit->setObjectName("extensionsEdit");
    auto* adv = new QVBoxLayout(fAdvanced);
    adv->setContentsMargins(0, 0, 0, 0);
    adv->addWidget(extensionsLabel);
    adv->addWidget(extensionsEdit);

    advancedButton = new QPushButton("&Advanced", this);
    okButton = new QPushButton("&Ok", this);
    okButton->setDefault(true);
    connect(advancedButton, &QPushButton::clicked, this, &FileFilterDialog::onAdvancedClicked);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* fargo = new QVBoxLayout;
    fargo->setContentsMargins(20, 0, 0, 0);
    fargo->addWidget(fargo1FilesBox);
    fargo->addWidget(fargo2FilesBox);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(advancedButton);
    buttons->addStretch();
    buttons->addWidget(okButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ti92FilesBox);
    layout->addLayout(fargo);
    layout->addWidget(textFilesBox);
    layout->addStretch();
    layout->addLayout(buttons);
    layout->addWidget(fAdvanced);

    fAdvanced->hide();
    setFixedSize(260, kEasyHeight);
}

void FileFilterDialog::ReadSettings(SettingsStore& store)
{
    ti92FilesBox->setChecked(ReadBool(store, kSectionSettings, "Show TI92-files", 1));
    textFilesBox->setChecked(ReadBool(store, kSectionSettings, "Show Text-files", 1));
    fargo1FilesBox->setChecked(ReadBool(store, kSectionSettings, "Show Fargo1-files", 1));
    fargo2FilesBox->setChecked(ReadBool(store, kSectionSettings, "Show Fargo2-files", 1));
    UpdateFargoBoxes();
    const std::string stored = ReadText(store, kSectionSettings, "Show Extenstionsstring", kDefaultExtensionString);
    extensionsEdit->setText(QString::fromStdString(FollowBoxes(stored, ShowTI92(), ShowText())));
}

namespace {

bool IsTI92Extension(const std::string& ext)
{
    return ext.size() == 4 && ext.compare(0, 3, ".92") == 0;
}

}  // namespace

std::string FileFilterDialog::FollowBoxes(const std::string& extensions, bool ti92, bool text)
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

void FileFilterDialog::UpdateFargoBoxes()
{
    fargo1FilesBox->setEnabled(ti92FilesBox->isChecked());
    fargo2FilesBox->setEnabled(ti92FilesBox->isChecked());
}

void FileFilterDialog::onTypeBoxClicked()
{
    UpdateFargoBoxes();
    QString ext;
    if (ti92FilesBox->isChecked())
        ext += kDefaultExtensionString;
    if (textFilesBox->isChecked())
        ext += ".TXT;";
    extensionsEdit->setText(ext);
}

void FileFilterDialog::onAdvancedClicked()
{
    bool toTall = height() != kAdvancedHeight;
    fAdvanced->setVisible(toTall);
    setFixedSize(width(), toTall ? kAdvancedHeight : kEasyHeight);
    advancedButton->setText(toTall ? "&Easy" : "&Advanced");
}

std::string FileFilterDialog::ExtensionText() const
{
    return extensionsEdit->text().toStdString();
}
bool FileFilterDialog::ShowTI92() const
{
    return ti92FilesBox->isChecked();
}
bool FileFilterDialog::ShowText() const
{
    return textFilesBox->isChecked();
}
bool FileFilterDialog::ShowFargo1() const
{
    return fargo1FilesBox->isChecked();
}
bool FileFilterDialog::ShowFargo2() const
{
    return fargo2FilesBox->isChecked();
}
