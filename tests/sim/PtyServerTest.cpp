// The virtual TI-92 on a pseudo-terminal: in process, and as its executable.
#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "sim/CalculatorLink.h"
#include "sim/SimPtyServer.h"
#include "sim/VirtualTI92.h"
#include "tests/sim/SimBytes.h"
#include "tests/support/ProgramProcess.h"

namespace {

int OpenRaw(const std::string& path)
{
    int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd >= 0) {
        termios t{};
        tcgetattr(fd, &t);
        cfmakeraw(&t);
        tcsetattr(fd, TCSANOW, &t);
    }
    return fd;
}

// Writes `hex` to the computer's end and steps the server until `count`
// reply bytes came back or a second passed.
std::string Exchange(SimPtyServer& server, int fd, const std::string& hex, size_t count)
{
    const std::string bytes = Hex(hex);
    EXPECT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    std::string reply;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (reply.size() < count && std::chrono::steady_clock::now() < end) {
        server.Step(2);
        char buf[256];
        ssize_t n = read(fd, buf, sizeof buf);
        if (n > 0)
            reply.append(buf, static_cast<size_t>(n));
    }
    return ToHex(reply);
}

struct PtyFixture : ::testing::Test {
    PtyFixture() : link(calc), server(link)
    {
        std::string error;
        EXPECT_TRUE(server.Open(error)) << error;
    }
    VirtualTI92 calc;
    CalculatorLink link;
    SimPtyServer server;
};

}  // namespace

TEST_F(PtyFixture, AnswersAndSurvivesTheClientReopening)
{
    int fd = OpenRaw(server.SlavePath());
    ASSERT_GE(fd, 0);
    EXPECT_EQ(Exchange(server, fd, "09 68 00 00", 4), "89 56 00 00");
    close(fd);
    for (int i = 0; i < 5; ++i)
        server.Step(1);
    fd = OpenRaw(server.SlavePath());
    ASSERT_GE(fd, 0);
    EXPECT_EQ(Exchange(server, fd, "09 68 00 00", 4), "89 56 00 00");
    close(fd);
}

TEST_F(PtyFixture, PacingTakesTheLineTime)
{
    server.SetBaud(9600);
    int fd = OpenRaw(server.SlavePath());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Exchange(server, fd, "09 68 00 00", 4), "89 56 00 00");
    const auto ms =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count() /
        1000.0;
    EXPECT_GE(ms, 8.0);  // 8 bytes of 1.04 ms
    EXPECT_LT(ms, 100.0);
    close(fd);
}

TEST_F(PtyFixture, ReadsALongWriteAtTheLinesPaceFromTheTerminalsBuffer)
{
    server.SetBaud(9600);
    int fd = OpenRaw(server.SlavePath());
    const std::string noise(300, '\0');  // 0.31 s of line time, skipped by the calculator
    ASSERT_EQ(write(fd, noise.data(), noise.size()), 300) << "the terminal buffers a whole packet";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Exchange(server, fd, "09 68 00 00", 4), "89 56 00 00");
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(ms, 300) << "the request waited behind the noise on the line";
    close(fd);
}

TEST_F(PtyFixture, HalfPacketIsDroppedAfterAPause)
{
    server.framingResetMs = 20;
    int fd = OpenRaw(server.SlavePath());
    Exchange(server, fd, "09 A2 06", 0);
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(40);
    while (std::chrono::steady_clock::now() < end)
        server.Step(5);
    EXPECT_EQ(Exchange(server, fd, "09 68 00 00", 4), "89 56 00 00");
    close(fd);
}

#ifdef LINKWISE_SIM_EXE
// Talking to it through the real serial code is the command line's end-to-end test.
TEST(VirtualTI92Executable, AnnouncesItsLineAndRemovesTheLinkWhenStopped)
{
    VirtualCalculatorProcess calculator(LINKWISE_SIM_EXE);
    EXPECT_EQ(calculator.environment, "LINKWISE_COM3=" + calculator.link);
    struct stat st {};
    ASSERT_EQ(lstat(calculator.link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(calculator.Stop(), 0);
    EXPECT_NE(lstat(calculator.link.c_str(), &st), 0) << "the link must be removed";
}
#endif
