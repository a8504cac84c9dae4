#include "files/widgets/PictureViewer.h"

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

PictureViewer::PictureViewer(Dialogs& dialogs, QWidget* parent)
    : ViewerWindow(dialogs, "Pictureviewer", "Viewing picture", "Save as..", parent)
{
    setObjectName("PictureViewer");
    pictureLabel = new QLabel;
    pictureLabel->setObjectName("pictureLabel");
    pictureLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* area = new QScrollArea(this);
    area->setWidget(pictureLabel);
    area->setWidgetResizable(true);
    area->setStyleSheet("background: white;");
    Body()->addWidget(area);
}

void PictureViewer::SetImage(const QImage& image)
{
    fImage = image;
    pictureLabel->setPixmap(QPixmap::fromImage(image));
}

void PictureViewer::ShowPicture(const MonoPicture& picture)
{
    SetImage(PictureImage(picture));
}

bool PictureViewer::LoadFromFile(const std::string& path)
{
    QImage image;
    if (!image.load(QString::fromStdString(path)))
        return false;
    SetImage(image);
    return true;
}

void PictureViewer::onSaveAsClicked()
{
    FileDialogRequest request;
    request.title = "Save screenshot as..";
    request.fileName = "*.png";
    request.filter = "PNG pictures (*.png);;Bitmaps (*.bmp)";
    request.defaultExtension = "png";
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

void PictureViewer::onCopyClicked()
{
    QApplication::clipboard()->setImage(fImage);
}
