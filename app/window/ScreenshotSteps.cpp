#include "app/window/ScreenshotSteps.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPushButton>
#include <filesystem>
#include <memory>

#include "app/window/ScreenImage.h"
#include "app/window/WizardWindow.h"
#include "files/widgets/ImageFile.h"
#include "link/Exceptions.h"
#include "transfers/ScreenshotTransfer.h"

void onGrabClicked(WizardWindow& form, Ti92Link& link)
{
    GrabScreenshot(link, form, *form.screenshotImage);
}

void onCopyImageClicked(WizardWindow& form)
{
    QGuiApplication::clipboard()->setImage(form.imageToSave->Picture().convertToFormat(QImage::Format_RGB32));
    form.StatusMemoAdd("The screenshot was successfully copied to the clipboard.");
}

FileDialogRequest ScreenshotSaveDialog()
{
    FileDialogRequest r;
    r.title = "Save screenshot as..";
    r.filter = "PNG images (*.png);;Bitmaps (*.bmp)";
    r.defaultExtension = "png";
    r.fileName = "*.png";
    return r;
}

void onSaveImageClicked(WizardWindow& form, Dialogs& dialogs, std::string& lastFolder)
{
    dialogs.MessageBox("Note!\rIf you save the screenshot as the same name as a variable the screenshot will be "
                       "associated with the variable and show up everytime you click that variable!",
                       "Linkwise", MsgIcon::Information, MsgButtons::Ok);
    FileDialogRequest request = ScreenshotSaveDialog();
    request.initialDir = lastFolder;
    const auto file = dialogs.SaveFileName(request);
    if (!file)
        return;
    lastFolder = std::filesystem::path(*file).parent_path().string();
    try {
        // Any name that does not end in .png is written as a bitmap.
        const std::string format = ImageFormatOf(*file) == "PNG" ? "PNG" : "BMP";
        WriteImageFile(form.imageToSave->Picture(), *file, format.c_str());
        form.StatusMemoAdd("The screenshot was successfully saved into " + *file + ".");
    } catch (const std::exception& e) {
        // Said at once too: without automatic Next the report is not in view.
        form.ErrorDialog(ErrorDialogText("saving the screenshot", e));
        form.StatusMemoAdd("An error occured (" + ErrorClassName(e) + ") when saving the screenshot.");
    }
    form.ClickNextButton();
}

void InstallScreenshotSteps(WizardWindow& form, Ti92Link& link, Dialogs& dialogs)
{
    QObject::connect(form.grabButton, &QPushButton::clicked, &form, [&form, &link] { onGrabClicked(form, link); });
    form.SetStepAction(taskScreenshot, 2, [&form] { form.imageToSave->CopyFrom(*form.screenshotImage); });
    QObject::connect(form.copyImageButton, &QPushButton::clicked, &form, [&form] { onCopyImageClicked(form); });
    auto lastFolder = std::make_shared<std::string>();
    QObject::connect(form.saveImageButton, &QPushButton::clicked, &form,
                     [&form, &dialogs, lastFolder] { onSaveImageClicked(form, dialogs, *lastFolder); });
}
