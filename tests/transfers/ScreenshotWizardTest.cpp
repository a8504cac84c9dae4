// The screenshot task on the wizard window: "&Grab!", the save page's copy of
// the picture, "&Copy image" and "&Save image" (PNG and BMP read back pixel
// for pixel, cancel, a failed save).
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <gtest/gtest.h>

#include "app/window/ScreenImage.h"
#include "tests/app/AppRig.h"

namespace {

struct ScreenshotWizard : ::testing::Test {
    AppRig rig;
    WizardWindow& f = rig.Create();

    std::string Path(const char* name) { return rig.dir.path().toStdString() + "/" + name; }
    std::string Shown(const ScreenImage& image)
    {
        return std::string(image.Bitmap().Bytes().begin(), image.Bitmap().Bytes().end());
    }
    // Pixels of the image that differ from the calculator's screen.
    int Differences(const QImage& image)
    {
        EXPECT_EQ(image.size(), QSize(240, 128));
        int wrong = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                wrong += (qGray(image.pixel(x, y)) < 128) != rig.calc.Pixel(x, y);
        return wrong;
    }
    std::string LastReportLine() { return f.reportMemo->toPlainText().split('\n').last().toStdString(); }
    void SaveAs(std::optional<std::string> path)
    {
        rig.dialogs.ExpectFile(std::move(path));
        f.saveImageButton->click();
    }
};

}  // namespace

TEST_F(ScreenshotWizard, GrabCopyAndSaveWithAutomaticNext)
{
    f.autoNextBox->setChecked(true);
    f.screenshotButton->click();  // "Screenshot!"
    ASSERT_EQ(f.PageShown(), pageScreenShot);
    f.grabButton->click();  // grabs, then moves on to the save page by itself
    EXPECT_EQ(Shown(*f.screenshotImage), rig.calc.screen);
    ASSERT_EQ(f.PageShown(), pageScreenshotedit);
    EXPECT_EQ(Shown(*f.imageToSave), rig.calc.screen);

    f.copyImageButton->click();
    EXPECT_EQ(Differences(QGuiApplication::clipboard()->image()), 0);
    EXPECT_EQ(f.PageShown(), pageScreenshotedit) << "copying does not move on";

    const int linesBefore = f.reportMemo->blockCount();
    SaveAs(std::nullopt);
    EXPECT_EQ(f.reportMemo->blockCount(), linesBefore);
    EXPECT_EQ(f.PageShown(), pageScreenshotedit) << "cancel does not move on";
    const auto& shown = rig.dialogs.shown;
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(shown[shown.size() - 2].text.rfind("Note!\rIf you save the screenshot as the same name", 0), 0u);
    EXPECT_EQ(shown.back().request.title, "Save screenshot as..");
    EXPECT_EQ(shown.back().request.filter.rfind("PNG images (*.png);;", 0), 0u) << "PNG first";

    SaveAs(Path("screen.png"));
    EXPECT_EQ(f.PageShown(), pageFinished);
    QImage png(QString::fromStdString(Path("screen.png")), "PNG");
    EXPECT_FALSE(png.isNull()) << "written as PNG";
    EXPECT_EQ(Differences(png), 0);

    f.previousButton->click();
    SaveAs(Path("screen.bmp"));
    EXPECT_EQ(shown.back().request.initialDir, rig.dir.path().toStdString()) << "the folder used last";
    QImage bmp(QString::fromStdString(Path("screen.bmp")), "BMP");
    EXPECT_FALSE(bmp.isNull()) << "written as BMP";
    EXPECT_EQ(Differences(bmp), 0);

    EXPECT_EQ(f.reportMemo->toPlainText().toStdString(),
              "The wizard has now completed the selected task.\n --- \nStatusreport:\n"
              "A screenshot was grabbed.\n"
              "The screenshot was successfully copied to the clipboard.\n"
              "The screenshot was successfully saved into " +
                  Path("screen.png") +
                  ".\n"
                  "The screenshot was successfully saved into " +
                  Path("screen.bmp") + ".");
    EXPECT_TRUE(f.TaskSucceeded());
}

TEST_F(ScreenshotWizard, DamagedGrabAndFailedSaveAreReported)
{
    rig.calc.LoadDemoContent();
    rig.calcLink.faults.damageScreenshot = true;
    f.screenshotButton->click();
    f.nextButton->click();
    f.grabButton->click();
    EXPECT_EQ(Shown(*f.screenshotImage), rig.calc.screen) << "the picture stays in view";
    EXPECT_EQ(LastReportLine(), "A screenshot was grabbed but aborted by an error (EDamagedReply).");
    EXPECT_FALSE(f.TaskSucceeded());

    f.nextButton->click();
    SaveAs(Path("no/such/folder/screen.bmp"));
    EXPECT_EQ(LastReportLine(), "An error occured (EFileError) when saving the screenshot.");
    const auto messages = rig.dialogs.Messages();
    EXPECT_EQ(messages.back().rfind("Some error occured while saving the screenshot!", 0), 0u) << messages.back();
}
