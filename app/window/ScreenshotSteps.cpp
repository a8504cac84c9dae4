#include "app/window/ScreenshotSteps.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPushButton>
#include <filesystem>
#include <memory>

#include "app/window/TForm1.h"
#include "app/window/TScreenImage.h"
#include "files/widgets/ImageFile.h"
#include "link/Exceptions.h"
#include "transfers/ScreenshotTransfer.h"

void Button1Click(TForm1& form, Ti92Link& link)
{
    GrabScreenshot(link, form, *form.ScrShot);
}

void CopyImgBtnClick(TForm1& form)
{
    QGuiApplication::clipboard()->setImage(form.ScrShot2->Picture().convertToFormat(QImage::Format_RGB32));
    form.StatusMemoAdd("The screenshot was successfully copied into windows clipboard.");
}

FileDialogRequest ScreenshotSaveDialog()
{
    FileDialogRequest r;
    r.title = "Save screenshot as..";
    r.filter = "Bitmaps (*.bmp);;PNG images (*.png)";
    r.defaultExtension = "bmp";
    r.fileName = "*.bmp";
    return r;
}

void SaveImgBtnClick(TForm1& form, Dialogs& dialogs, std::string& lastFolder)
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
        WriteImageFile(form.ScrShot2->Picture(), *file, format.c_str());
        form.StatusMemoAdd("The screenshot was successfully saved into " + *file + ".");
    } catch (const std::exception& e) {
        // Said at once too: without automatic Next the report is not in view.
        form.ErrorDialog(ErrorDialogText("saving the screenshot", e));
        form.StatusMemoAdd("An error occured (" + ErrorClassName(e) + ") when saving the screenshot.");
    }
    form.ClickNextButton();
}

void InstallScreenshotSteps(TForm1& form, Ti92Link& link, Dialogs& dialogs)
{
    QObject::connect(form.GrabBtn, &QPushButton::clicked, &form, [&form, &link] { Button1Click(form, link); });
    form.SetStepAction(taskScreenshot, 2, [&form] { form.ScrShot2->CopyFrom(*form.ScrShot); });
    QObject::connect(form.CopyImageBtn, &QPushButton::clicked, &form, [&form] { CopyImgBtnClick(form); });
    auto lastFolder = std::make_shared<std::string>();
    QObject::connect(form.SaveImageBtn, &QPushButton::clicked, &form,
                     [&form, &dialogs, lastFolder] { SaveImgBtnClick(form, dialogs, *lastFolder); });
}
