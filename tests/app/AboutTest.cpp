// The tips file and the about box.
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <gtest/gtest.h>

#include "app/dialogs/AboutBox.h"
#include "app/window/TipFile.h"
#include "tests/app/AppRig.h"

namespace {

struct TipsDir {
    std::string Write(const std::string& content)
    {
        std::string path = dir.path().toStdString() + "/hints.dat";
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
    QTemporaryDir dir;
};

auto Fixed(int k)
{
    return [k](int) { return k; };
}

}  // namespace

TEST(PickTip, ReadsTheDrawnTip)
{
    TipsDir d;
    const std::string path = d.Write("3\nfirst\r\nsecond\nthird\n");
    EXPECT_EQ(PickTipFrom(path, Fixed(0)), "first");
    EXPECT_EQ(PickTipFrom(path, Fixed(1)), "second");
    EXPECT_EQ(PickTipFrom(path, Fixed(2)), "third");
    int drawnFrom = 0;
    PickTipFrom(path, [&](int n) {
        drawnFrom = n;
        return 0;
    });
    EXPECT_EQ(drawnFrom, 3);
    EXPECT_EQ(PickTipFrom(d.Write("1\nonly one\nignored\n"), Fixed(0)), "only one");
}

TEST(PickTip, ShortFileGivesAnEmptyTip)
{
    TipsDir d;
    const std::string path = d.Write("5\none\ntwo");
    EXPECT_EQ(PickTipFrom(path, Fixed(1)), "two");
    EXPECT_EQ(PickTipFrom(path, Fixed(4)), "");
}

TEST(PickTip, MissingOrDamagedFileGivesTheCorruptText)
{
    TipsDir d;
    EXPECT_EQ(PickTipFrom(d.dir.path().toStdString() + "/none.dat", Fixed(0)),
              "Hintfile is corrupt! Get a new version!");
    EXPECT_EQ(PickTipFrom(d.Write("many\ntip\n"), Fixed(0)), kCorruptHintFile);
    EXPECT_EQ(PickTipFrom(d.Write(""), Fixed(0)), kCorruptHintFile);
    EXPECT_EQ(PickTipFrom(d.Write("0x2\na\nb\n"), Fixed(0)), kCorruptHintFile);
    // No tips counted: the first line after the count, if any.
    EXPECT_EQ(PickTipFrom(d.Write("0\nstray\n"),
                          [](int) -> int {
                              ADD_FAILURE() << "nothing to draw from";
                              return 0;
                          }),
              "stray");
}

TEST(PickTip, TheShippedFileIsSound)
{
    const std::string path = std::string(LINKWISE_SOURCE_DIR) + "/app/hints.dat";
    std::ifstream in(path);
    int count = 0;
    in >> count;
    EXPECT_GE(count, 12);
    for (int k = 0; k < count; ++k) {
        std::string tip = PickTipFrom(path, Fixed(k));
        EXPECT_FALSE(tip.empty()) << "tip " << k + 1;
        EXPECT_NE(tip, kCorruptHintFile);
    }
}

TEST(AboutBox, ClosesItselfAfterFourSecondsUnlessClicked)
{
    TipsDir d;
    RecordingShell shell;
    AboutBox about(shell, d.Write("2\nalpha\nbeta\n"));
    EXPECT_EQ(about.windowTitle(), "About!");
    EXPECT_TRUE(about.closeTimer->isActive());
    EXPECT_EQ(about.closeTimer->interval(), 4000);
    const QString first = about.tipText->toPlainText();
    EXPECT_TRUE(first == "alpha" || first == "beta");
    EXPECT_EQ(about.tipText->toolTip(), first);

    about.drawTip = Fixed(1);
    about.nextTipButton->click();
    EXPECT_EQ(about.tipText->toPlainText(), "beta");
    EXPECT_TRUE(about.closeTimer->isActive()) << ">> keeps the timer running";

    // A click on the tip text itself does not stop the timer.
    QTest::mouseClick(about.tipText->viewport(), Qt::LeftButton);
    EXPECT_TRUE(about.closeTimer->isActive());

    about.show();
    EXPECT_FALSE(about.closeLabel->isHidden());
    about.onCloseTimer();
    EXPECT_FALSE(about.isVisible());
    EXPECT_FALSE(about.closeTimer->isActive());
    EXPECT_TRUE(about.closeLabel->isHidden()) << "closing stops the timer and hides the label";

    about.getThereButton->click();
    EXPECT_EQ(shell.addresses, std::vector<std::string>{"https://linkwise.example/"});
}

TEST(AboutBox, AClickOnThePanelKeepsItOpen)
{
    TipsDir d;
    RecordingShell shell;
    AboutBox about(shell, d.Write("1\ntip\n"));
    QTest::mouseClick(about.tipPanel, Qt::LeftButton);
    EXPECT_FALSE(about.closeTimer->isActive());
    EXPECT_TRUE(about.closeLabel->isHidden());
}

TEST(AboutBox, OpenedFromTheWindowItStaysUntilClosed)
{
    TipsDir d;
    AppRig rig;
    WizardWindow& f = rig.Create();
    AboutBox about(rig.shell, d.Write("1\ntip\n"));
    f.SetAboutBox(&about);
    about.closeButton->click();  // the start-up showing ends
    bool timerRunning = true;
    rig.answerModal = [&](QDialog& dialog) {
        timerRunning = static_cast<AboutBox&>(dialog).closeTimer->isActive();
        return static_cast<int>(QDialog::Accepted);
    };
    f.aboutButton->click();
    EXPECT_EQ(rig.modalShown, std::vector<std::string>{"AboutBox"});
    EXPECT_FALSE(timerRunning);
    EXPECT_TRUE(about.closeLabel->isHidden());
}

TEST(AboutBox, ALongTipShowsWholeAndCloseKeepsItsSize)
{
    TipsDir d;
    RecordingShell shell;
    AboutBox about(shell, d.Write("1\nA tip long enough to need four or five lines in the panel of the box, "
                                  "which must grow with it so that nothing of it is cut off at all.\n"));
    about.show();
    const QRect needed =
        about.tipText->fontMetrics().boundingRect(QRect(0, 0, about.tipText->viewport()->width() - 8, 10000),
                                                  Qt::TextWordWrap, about.tipText->toPlainText());
    EXPECT_GE(needed.height(), 3 * about.tipText->fontMetrics().lineSpacing()) << "the tip needs several lines";
    EXPECT_GE(about.tipText->viewport()->height(), needed.height() + 8);
    EXPECT_GE(about.height(), 201);
    about.KeepOpen();
    QTest::qWait(1);
    EXPECT_LE(about.closeButton->width(), about.closeButton->sizeHint().width());
    about.close();
}
