// linkwise-cli screenshot and keys against the virtual TI-92's executable on
// a pseudo-terminal: the pictures read back pixel for pixel, the keys as the
// calculator logged them.
#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>
#include <sstream>

#include "sim/VirtualTI92.h"
#include "tests/support/ProgramProcess.h"

namespace {

struct ScreenshotKeysOnPty : ::testing::Test {
    QTemporaryDir dir;
    VirtualCalculatorProcess calculator{LINKWISE_SIM_PATH, {"--verbose"}};
    const VirtualTI92 demo = VirtualTI92::WithDemoContent();

    ProgramOutcome Cli(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), {LINKWISE_CLI_PATH, "--port", calculator.device});
        return RunProgram(arguments);
    }
    std::string Path(const char* name) { return (dir.path() + "/" + name).toStdString(); }

    // Pixels that differ from the calculator's screen, the image enlarged by `scale`.
    int Differences(const QImage& image, int scale)
    {
        EXPECT_EQ(image.size(), QSize(240 * scale, 128 * scale));
        int wrong = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                wrong += (qGray(image.pixel(x, y)) < 128) != demo.Pixel(x / scale, y / scale);
        return wrong;
    }
};

}  // namespace

TEST_F(ScreenshotKeysOnPty, ScreenshotAsPngBmpAndOnStandardOutput)
{
    ASSERT_FALSE(calculator.device.empty());
    ProgramOutcome png = Cli({"screenshot", "-o", Path("screen.png")});
    ASSERT_EQ(png.status, 0) << png.err;
    EXPECT_EQ(png.out, "Saved the screenshot to " + Path("screen.png") + "\n");
    QImage image(QString::fromStdString(Path("screen.png")), "PNG");
    EXPECT_EQ(Differences(image, 1), 0);

    ProgramOutcome bmp = Cli({"screenshot", "-o", Path("screen.BMP"), "--scale", "3"});
    ASSERT_EQ(bmp.status, 0) << bmp.err;
    EXPECT_EQ(Differences(QImage(QString::fromStdString(Path("screen.BMP")), "BMP"), 3), 0);

    ProgramOutcome piped = Cli({"screenshot", "-o", "-"});
    ASSERT_EQ(piped.status, 0) << piped.err;
    // The rows counted as they arrive, a line at every tenth.
    EXPECT_EQ(piped.err.rfind("linkwise-cli: screenshot: 10% (390 of 3840 bytes)\n", 0), 0u) << piped.err;
    EXPECT_NE(piped.err.find(
                  "linkwise-cli: screenshot: 100% (3840 of 3840 bytes)\nSaved the screenshot to standard output\n"),
              std::string::npos)
        << piped.err;
    EXPECT_EQ(Differences(QImage::fromData(QByteArray::fromStdString(piped.out), "PNG"), 1), 0);

    ProgramOutcome gif = Cli({"screenshot", "-o", Path("screen.gif")});
    EXPECT_EQ(gif.status, 64);
    EXPECT_NE(gif.err.find("name it .png or .bmp"), std::string::npos) << gif.err;
}

TEST_F(ScreenshotKeysOnPty, DamagedScreenshotWritesNothing)
{
    VirtualCalculatorProcess damaging(LINKWISE_SIM_PATH, {"--fault", "damage-screenshot"}, 4);
    ProgramOutcome r = RunProgram({LINKWISE_CLI_PATH, "--port", damaging.device, "screenshot", "-o", Path("bad.png")});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("linkwise-cli: screenshot: " + damaging.device +
                         ": receiving the screenshot failed: The screenshot arrived damaged (checksum error).\n"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("A screenshot was grabbed but aborted by an error."), std::string::npos) << r.err;
    EXPECT_FALSE(QFile::exists(QString::fromStdString(Path("bad.png"))));
}

TEST_F(ScreenshotKeysOnPty, KeysInOrderWithNamedKeys)
{
    ASSERT_FALSE(calculator.device.empty());
    ProgramOutcome keys = Cli({"keys", "a\x1b", "--key", "enter", "--key", "F8", "2", "--key", "0x2101"});
    ASSERT_EQ(keys.status, 0) << keys.err;
    EXPECT_EQ(keys.out, "6 key(s) sent.\n");
    std::string logged, line;
    std::istringstream log(calculator.Log());
    while (std::getline(log, line))
        if (line.rfind("key ", 0) == 0)
            logged += line + ";";
    EXPECT_EQ(logged, "key 97 (a);key 264 (ESC);key 13 (ENTER);key 275 (F8);key 50 (2);key 8449 (DEL);");

    ProgramOutcome unknown = Cli({"keys", "--key", "HOME"});
    EXPECT_EQ(unknown.status, 64);
    EXPECT_NE(unknown.err.find("unknown key 'HOME'"), std::string::npos) << unknown.err;

    calculator.Freeze();
    ProgramOutcome frozen =
        RunProgram({LINKWISE_CLI_PATH, "--port", calculator.device, "--timeout", "300", "keys", "x"});
    calculator.Thaw();
    EXPECT_EQ(frozen.status, 2);
    EXPECT_EQ(frozen.err, "linkwise-cli: keys: Timeout occured when receiving byte.\n");
}
