#include "files/widgets/TPictureForm.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPixmap>
#include <QScrollArea>
#include <QVBoxLayout>

#include "files/VariableViewing.h"
#include "files/widgets/ImageFile.h"
#include "files/widgets/PictureImage.h"
#include "link/Dialogs.h"

TPictureForm::TPictureForm(Dialogs& dialogs, QWidget* parent)
    : TViewerForm(dialogs, "Pictureviewer", "Viewing picture", "Save as..", parent)
{
    setObjectName("PictureForm");
    Image1 = new QLabel;
    Image1->setObjectName("Image1");
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* area = new QScrollArea(this);
    area->setWidget(Image1);
    area->setWidgetResizable(true);
    area->setStyleSheet("background: white;");
    Body()->addWidget(area);
}

void TPictureForm::SetImage(const QImage& image)
{
    fImage = image;
    Image1->setPixmap(QPixmap::fromImage(image));
}

void TPictureForm::ShowPicture(const MonoPicture& picture)
{
    SetImage(PictureImage(picture));
}

bool TPictureForm::LoadFromFile(const std::string& path)
{
    QImage image;
    if (!image.load(QString::fromStdString(path)))
        return false;
    SetImage(image);
    return true;
}

void TPictureForm::SaveAsClick()
{
    FileDialogRequest request;
    request.title = "Save screenshot as..";
    request.fileName = "*.bmp";
    request.filter = "Bitmaps (*.bmp);;PNG pictures (*.png)";
    request.defaultExtension = "bmp";
    std::optional<std::string> path = fDialogs.SaveFileName(request);
    if (!path)
        return;
    // The format follows the extension; BMP when there is none.
    const QString name = QString::fromStdString(*path);
    const char* format = name.endsWith(".png", Qt::CaseInsensitive) ? "PNG" : "BMP";
    try {
        WriteImageFile(fImage, *path, format);
    } catch (const std::exception& e) {
        ShowMessage(fDialogs, e.what(), MsgIcon::Error);
    }
}

void TPictureForm::CopyClick()
{
    QApplication::clipboard()->setImage(fImage);
}
