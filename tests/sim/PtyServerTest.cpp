// The virtual TI-92 on a pseudo-terminal: in process, and as the executable
// driven through the real serial code.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include "link/TTI92.h"
#include "sim/SimPtyServer.h"
#include "tests/sim/SimBytes.h"
#include "tests/support/ScriptedDialogs.h"

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
    const auto ms = std::chrono::duration_cast<std::chrono::microseconds>(
                        std::chrono::steady_clock::now() - start).count() / 1000.0;
    EXPECT_GE(ms, 8.0);    // 8 bytes of 1.04 ms
    EXPECT_LT(ms, 100.0);
    close(fd);
}

TEST_F(PtyFixture, LongSendsOweAtMostTheBacklogCap)
{
    server.SetBaud(9600);
    server.maxInputBacklogMs = 100;
    int fd = OpenRaw(server.SlavePath());
    const std::string noise(1000, '\0');   // 1.04 s of line time, skipped by the calculator
    ASSERT_EQ(write(fd, noise.data(), noise.size()), 1000);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Exchange(server, fd, "09 68 00 00", 4), "89 56 00 00");
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(ms, 100);
    EXPECT_LT(ms, 600);
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
TEST(VirtualTI92Executable, ServesTheRealSerialCodeAndCleansUp)
{
    char dir[] = "/tmp/linkwise-sim-test-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string linkPath = std::string(dir) + "/ti92";

    int out[2];
    ASSERT_EQ(pipe(out), 0);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        dup2(out[1], 1);
        close(out[0]);
        execl(LINKWISE_SIM_EXE, LINKWISE_SIM_EXE, "--link", linkPath.c_str(), "--port", "3",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    std::string line;
    char c;
    while (read(out[0], &c, 1) == 1 && c != '\n')
        line += c;
    EXPECT_EQ(line, "LINKWISE_COM3=" + linkPath);

    setenv("LINKWISE_COM3", linkPath.c_str(), 1);
    {
        TSerialPort port;
        port.SetCommPort(cpCOM3);
        ASSERT_TRUE(port.OpenPort());
        SteadyClock clock;
        NullEventPump pump;
        ScriptedDialogs dialogs;
        struct NoPort : PortIO {
            void PortOut(uint16_t, uint8_t) override {}
            uint8_t PortIn(uint16_t) override { return 0x30; }
        } noPort;
        TTI92 ti(LinkEnvironment{clock, pump, dialogs, noPort});
        ti.Cabletype = 2;
        ti.SerialPort = &port;
        EXPECT_TRUE(ti.CheckReady());
        port.ClosePort();
        ASSERT_TRUE(port.OpenPort());
        EXPECT_TRUE(ti.CheckReady());
        port.ClosePort();
    }
    unsetenv("LINKWISE_COM3");

    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    struct stat st{};
    EXPECT_NE(lstat(linkPath.c_str(), &st), 0) << "the link must be removed";
    close(out[0]);
    rmdir(dir);
}
#endif
