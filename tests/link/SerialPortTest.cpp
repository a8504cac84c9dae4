#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include "link/DeviceHolder.h"
#include "link/Exceptions.h"
#include "link/PosixSerialDevice.h"
#include "link/PpdevPortIO.h"
#include "link/SerialPort.h"
#include "link/Ti92Link.h"
#include "link/TtyModemLines.h"
#include "tests/support/AutoClock.h"
#include "tests/support/ScriptedDialogs.h"

namespace {

// The far end of a pseudo-terminal, held by the test; the port opens the
// slave through LINKWISE_COM8.
class PseudoTerminal {
public:
    PseudoTerminal()
    {
        master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0)
            slavePath = ptsname(master);
    }
    ~PseudoTerminal() { CloseMaster(); }
    void CloseMaster()
    {
        if (master >= 0)
            close(master);
        master = -1;
    }
    void Send(const std::string& bytes) { ASSERT_EQ(write(master, bytes.data(), bytes.size()), ssize_t(bytes.size())); }
    // Everything that arrived within a short while.
    std::string Received()
    {
        std::string got;
        pollfd p{master, POLLIN, 0};
        while (poll(&p, 1, 100) > 0 && (p.revents & POLLIN)) {
            char buf[256];
            ssize_t n = read(master, buf, sizeof buf);
            if (n <= 0)
                break;
            got.append(buf, size_t(n));
        }
        return got;
    }
    int master = -1;
    std::string slavePath;
};

class SerialPortOnPty : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(pty.slavePath.empty());
        setenv("LINKWISE_COM8", pty.slavePath.c_str(), 1);
        port.SetCommPort(cpCOM8);
    }
    void TearDown() override { unsetenv("LINKWISE_COM8"); }
    termios Line()
    {
        termios t{};
        auto& device = dynamic_cast<PosixSerialDevice&>(port.Device());
        EXPECT_EQ(tcgetattr(device.Descriptor(), &t), 0);
        return t;
    }

    PseudoTerminal pty;
    SerialPort port;
};

TEST_F(SerialPortOnPty, OpensRawEightNoneOneAtNineSixHundred)
{
    ASSERT_TRUE(port.OpenPort());
    termios t = Line();
    EXPECT_EQ(cfgetospeed(&t), speed_t(B9600));
    EXPECT_EQ(cfgetispeed(&t), speed_t(B9600));
    EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_FALSE(t.c_cflag & (PARENB | CSTOPB | CRTSCTS));
    EXPECT_FALSE(t.c_lflag & (ICANON | ECHO | ISIG));
    EXPECT_FALSE(t.c_iflag & (IXON | IXOFF | ICRNL));
    EXPECT_FALSE(t.c_oflag & OPOST);

    EXPECT_TRUE(port.ClosePort());
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.ClosePort());
    EXPECT_TRUE(port.OpenPort()) << "the port can be opened again after closing";
}

TEST_F(SerialPortOnPty, OtherSettingsReachTheLine)
{
    ASSERT_TRUE(port.OpenPort());
    const cc_t ownEof = Line().c_cc[VEOF];
    port.SetBaudRate(br56000);
    port.SetStopBits(sbTwo);
    port.SetXONChar(0x01);
    port.SetXOFFChar(0x02);
    termios t = Line();
    EXPECT_EQ(cfgetospeed(&t), speed_t(B57600));
    EXPECT_TRUE(t.c_cflag & CSTOPB);
    EXPECT_EQ(t.c_cc[VSTART], 0x01);
    EXPECT_EQ(t.c_cc[VSTOP], 0x02);
    EXPECT_EQ(t.c_cc[VEOF], ownEof) << "EOFChar 0 keeps the line's own";

    port.SetEOFChar(0x1A);
    EXPECT_EQ(Line().c_cc[VEOF], 0x1A);
}

// A pseudo-terminal always runs 8 bits without parity, so the rest of the
// mapping is checked on the attributes themselves.
TEST(PosixSerialDevice, MapsParityDataBitsAndFlowOntoTermios)
{
    auto setUp = [](auto change) {
        SerialLineSettings s;
        change(s);
        termios t{};
        t.c_lflag = ICANON | ECHO;
        PosixSerialDevice::SetUp(t, s);
        return t;
    };
    termios t = setUp([](SerialLineSettings&) {});
    EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), tcflag_t(CS8));
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO), 0u);

    const auto parityBits = PARENB | PARODD | CMSPAR;
    EXPECT_EQ(setUp([](auto& s) { s.parity = 'E'; }).c_cflag & parityBits, tcflag_t(PARENB));
    EXPECT_EQ(setUp([](auto& s) { s.parity = 'O'; }).c_cflag & parityBits, tcflag_t(PARENB | PARODD));
    EXPECT_EQ(setUp([](auto& s) { s.parity = 'M'; }).c_cflag & parityBits, tcflag_t(PARENB | PARODD | CMSPAR));
    EXPECT_EQ(setUp([](auto& s) { s.parity = 'S'; }).c_cflag & parityBits, tcflag_t(PARENB | CMSPAR));

    EXPECT_EQ(setUp([](auto& s) { s.dataBits = 7; }).c_cflag & CSIZE, tcflag_t(CS7));
    EXPECT_EQ(setUp([](auto& s) { s.dataBits = 4; }).c_cflag & CSIZE, tcflag_t(CS5));
    EXPECT_TRUE(setUp([](auto& s) { s.stopBitsTimesTen = 15; }).c_cflag & CSTOPB);

    t = setUp([](auto& s) { s.flow = SerialLineSettings::Flow::XonXoff; });
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), tcflag_t(IXON | IXOFF));
    EXPECT_TRUE(setUp([](auto& s) { s.flow = SerialLineSettings::Flow::RtsCts; }).c_cflag & CRTSCTS);

    t = setUp([](auto& s) { s.baudRate = 14400; });
    EXPECT_EQ(cfgetospeed(&t), speed_t(B19200));
    t = setUp([](auto& s) { s.baudRate = 128000; });
    EXPECT_EQ(cfgetospeed(&t), speed_t(B115200));
}

TEST_F(SerialPortOnPty, WrittenBytesArriveAndPurgesDoNotLoseThem)
{
    ASSERT_TRUE(port.OpenPort());
    const uint8_t ready[] = {0x09, 0x68, 0x00, 0x00};
    port.WriteData(ready, sizeof ready);
    // The link purges around every byte; output already written must survive.
    port.PurgeOutput();
    port.PurgeInput();
    EXPECT_EQ(pty.Received(), std::string("\x09\x68\x00\x00", 4));
}

TEST_F(SerialPortOnPty, ReadsEveryByteValueAndNeverBlocks)
{
    ASSERT_TRUE(port.OpenPort());
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(port.ReadByte(), -1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));

    pty.Send(std::string("\xFF\x00\x89", 3));
    ASSERT_TRUE(port.WaitForInput(2000));
    std::vector<int> got;
    for (int i = 0; i < 100 && got.size() < 3; ++i) {
        int b = port.ReadByte();
        if (b >= 0)
            got.push_back(b);
        else
            port.WaitForInput(10);
    }
    EXPECT_EQ(got, (std::vector<int>{255, 0, 0x89}));
    EXPECT_EQ(port.ReadByte(), -1);
}

TEST_F(SerialPortOnPty, PurgeInputDiscardsUnreadBytes)
{
    ASSERT_TRUE(port.OpenPort());
    pty.Send("garbage");
    ASSERT_TRUE(port.WaitForInput(2000));
    port.PurgeInput();
    EXPECT_EQ(port.ReadByte(), -1);
}

TEST_F(SerialPortOnPty, WaitOnAHungUpLineStillWaitsItsSlice)
{
    ASSERT_TRUE(port.OpenPort());
    pty.CloseMaster();
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(port.WaitForInput(20));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(15));
    EXPECT_EQ(port.ReadByte(), -1);
    EXPECT_TRUE(port.IsBroken()) << "the next operation opens it again";
}

TEST_F(SerialPortOnPty, ALockKeepsASecondOpenOutUntilTheFirstCloses)
{
    ASSERT_TRUE(port.OpenPort());
    SerialPort second;
    second.SetCommPort(cpCOM8);
    EXPECT_FALSE(second.OpenPort());
    EXPECT_EQ(second.OpenError(), pty.slavePath + ": in use by another program");
    port.ClosePort();
    EXPECT_TRUE(second.OpenPort());
}

// Another program that holds the line (and its lock) is named with its
// process id; one that merely keeps the line open, as the program at the far
// end of a pseudo-terminal does, is not.
TEST_F(SerialPortOnPty, ALineHeldByAnotherProgramNamesItAndItsProcess)
{
    // `sleep`, under a name with an escape sequence in it, with the line open
    // on an inherited descriptor; started when this returns.
    const std::string folder = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp";
    const std::string program = folder + "/sl\x1b[2Jeep";
    unlink(program.c_str());
    ASSERT_EQ(symlink("/bin/sleep", program.c_str()), 0);
    auto sleepHolding = [&](bool locked) {
        const int line = open(pty.slavePath.c_str(), O_RDWR | O_NOCTTY);
        EXPECT_TRUE(!locked || flock(line, LOCK_EX | LOCK_NB) == 0);
        int execed[2];
        EXPECT_EQ(pipe2(execed, O_CLOEXEC), 0);
        const pid_t child = fork();
        if (child == 0) {
            execl(program.c_str(), "sleep", "60", nullptr);
            _exit(127);
        }
        close(line);
        close(execed[1]);
        char c;
        EXPECT_EQ(read(execed[0], &c, 1), 0) << "the pipe closes when sleep has started";
        close(execed[0]);
        return child;
    };
    const pid_t farEnd = sleepHolding(false);
    EXPECT_EQ(DeviceHolder(pty.slavePath), "");
    const pid_t holder = sleepHolding(true);
    const std::string named = "sl?[2Jeep (process " + std::to_string(holder) + ")";
    EXPECT_EQ(DeviceHolder(pty.slavePath), named);
    EXPECT_FALSE(port.OpenPort());
    EXPECT_EQ(port.OpenError(), pty.slavePath + ": in use by " + named);
    for (const pid_t child : {farEnd, holder}) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    unlink(program.c_str());
}

// A FIFO, a file or /dev/null would take a conversation and never answer.
TEST_F(SerialPortOnPty, OnlyASerialLineOpens)
{
    const std::string folder = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp");
    const std::string fifo = folder + "/line-fifo", file = folder + "/line-file";
    unlink(fifo.c_str());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    close(open(file.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600));
    const std::pair<std::string, std::string> rows[] = {
        {fifo, fifo + " is not a character device"},
        {file, file + " is a regular file, not a serial line"},
        {folder, folder + " is a folder, not a device"},
        {"/dev/null", "/dev/null is a character device that is no serial line"},
        {pty.slavePath, ""},
    };
    for (const auto& [path, error] : rows) {
        PosixSerialDevice device;
        EXPECT_EQ(device.Open(path), error.empty()) << path;
        EXPECT_EQ(device.OpenError(), error);
    }
    TtyModemLines blackCable;  // nor is a FIFO opened for the black cable
    EXPECT_FALSE(blackCable.Open(fifo));
    EXPECT_EQ(blackCable.OpenError(), fifo + " is not a character device");
    unlink(fifo.c_str());
    unlink(file.c_str());
}

TEST(SerialPort, MissingDeviceStaysClosedAndEveryOperationIsHarmless)
{
    setenv("LINKWISE_COM8", "/nonexistent/linkwise-tty", 1);
    SerialPort port;
    port.SetCommPort(cpCOM8);
    int notified = 0;
    port.OnTransmit = [&](SerialPort*, const std::string&) { ++notified; };
    EXPECT_FALSE(port.OpenPort());
    EXPECT_FALSE(port.IsOpen());
    const uint8_t b = 0x41;
    port.WriteData(&b, 1);
    port.PurgeInput();
    port.PurgeOutput();
    port.ApplySettings();
    EXPECT_EQ(port.ReadByte(), -1);
    EXPECT_FALSE(port.WaitForInput(1));
    EXPECT_FALSE(port.ClosePort());
    EXPECT_EQ(notified, 0);
    unsetenv("LINKWISE_COM8");
}

// Counts what the port asks of its device.
class CountingDevice : public SerialDevice {
public:
    bool Open(const std::string& path) override
    {
        openedPath = path;
        open = true;
        return true;
    }
    void Close() override { open = false; }
    bool IsOpen() const override { return open; }
    bool Apply(const SerialLineSettings& s) override
    {
        ++applied;
        last = s;
        return true;
    }
    void Write(const uint8_t* data, size_t count) override
    {
        written.append(reinterpret_cast<const char*>(data), count);
    }
    int BytesWaiting() override { return 0; }
    int ReadOne() override { return -1; }
    void DiscardInput() override { ++discards; }
    bool WaitForInput(int) override { return false; }

    bool open = false;
    std::string openedPath;
    std::string written;
    int applied = 0;
    int discards = 0;
    SerialLineSettings last;
};

TEST(SerialPort, DefaultsAndSettersApplyOnlyOnAChangeWhileOpen)
{
    auto owned = std::make_unique<CountingDevice>();
    CountingDevice& device = *owned;
    SerialPort port(std::move(owned));
    EXPECT_EQ(port.CommPort(), cpCOM2);
    EXPECT_EQ(port.BaudRate(), br9600);
    EXPECT_EQ(port.XONChar(), 17);
    EXPECT_EQ(port.XOFFChar(), 19);
    EXPECT_EQ(port.XONLim(), 1024);
    EXPECT_EQ(port.XOFFLim(), 2048);
    EXPECT_EQ(port.FlowControl(), fcNone);

    port.SetBaudRate(br19200);  // closed: stored only
    EXPECT_EQ(device.applied, 0);
    EXPECT_EQ(port.BaudRate(), br19200);

    unsetenv("LINKWISE_COM2");
    SerialPort::SetStoredDevice(2, "");
    ASSERT_TRUE(port.OpenPort());
    EXPECT_EQ(device.openedPath, "/dev/ttyS1");
    EXPECT_EQ(device.applied, 1);
    EXPECT_EQ(device.last.baudRate, 19200);

    port.SetBaudRate(br19200);
    EXPECT_EQ(device.applied, 1) << "an equal value does not touch the port";
    port.SetParityType(pcEven);
    EXPECT_EQ(device.applied, 2);
    EXPECT_EQ(device.last.parity, 'E');
    port.SetParityType(pcOdd);
    EXPECT_EQ(device.last.parity, 'O');
    port.SetStopBits(sbOnePtFive);
    EXPECT_EQ(device.last.stopBitsTimesTen, 15);
    port.SetDataBits(db4);
    EXPECT_EQ(device.last.dataBits, 4);
    port.SetFlowControl(fsDSR_DTR);
    EXPECT_EQ(device.last.flow, SerialLineSettings::Flow::DsrDtr);
    port.SetBaudRate(br256000);
    EXPECT_EQ(device.last.baudRate, 256000);
    EXPECT_EQ(device.applied, 7);

    EXPECT_TRUE(port.ClosePort());
    EXPECT_GE(device.discards, 1) << "closing purges the input";
}

TEST(SerialPort, TransmitNotificationsSeeTheTextUpToTheFirstZero)
{
    auto owned = std::make_unique<CountingDevice>();
    CountingDevice& device = *owned;
    SerialPort port(std::move(owned));
    std::vector<std::string> before, after;
    std::vector<size_t> writtenBefore, writtenAfter;
    port.OnTransmit = [&](SerialPort* sender, const std::string& text) {
        EXPECT_EQ(sender, &port);
        before.push_back(text);
        writtenBefore.push_back(device.written.size());
    };
    port.AfterTransmit = [&](SerialPort*, const std::string& text) {
        after.push_back(text);
        writtenAfter.push_back(device.written.size());
    };
    ASSERT_TRUE(port.OpenPort());

    const uint8_t zero = 0x00;
    port.WriteData(&zero, 1);
    const uint8_t mixed[] = {'A', 'B', 0x00, 'C'};
    port.WriteData(mixed, sizeof mixed);
    const uint8_t plain[] = {'X', 'Y'};
    port.WriteData(plain, sizeof plain);

    EXPECT_EQ(before, (std::vector<std::string>{"", "AB", "XY"}));
    EXPECT_EQ(after, before);
    EXPECT_EQ(writtenBefore, (std::vector<size_t>{0, 1, 5}));
    EXPECT_EQ(writtenAfter, (std::vector<size_t>{1, 5, 7}));
    EXPECT_EQ(device.written, std::string("\0AB\0CXY", 7)) << "all bytes are written, zeros included";
}

TEST(SerialPort, DeviceMappingPrefersEnvironmentThenStoredThenDefault)
{
    unsetenv("LINKWISE_COM3");
    SerialPort::SetStoredDevice(3, "");
    EXPECT_EQ(SerialPort::DevicePath(3), "/dev/ttyS2");
    EXPECT_EQ(SerialPort::DevicePath(8), "/dev/ttyS7");

    SerialPort::SetStoredDevice(3, "/dev/ttyUSB0");
    EXPECT_EQ(SerialPort::DevicePath(3), "/dev/ttyUSB0");
    EXPECT_EQ(SerialPort::DevicePath(4), "/dev/ttyS3");

    setenv("LINKWISE_COM3", "/tmp/virtual-ti92", 1);
    EXPECT_EQ(SerialPort::DevicePath(3), "/tmp/virtual-ti92");
    setenv("LINKWISE_COM3", "", 1);
    EXPECT_EQ(SerialPort::DevicePath(3), "/dev/ttyUSB0") << "an empty variable does not count";

    unsetenv("LINKWISE_COM3");
    SerialPort::SetStoredDevice(3, "");
    EXPECT_EQ(SerialPort::DevicePath(3), "/dev/ttyS2");
}

TEST(PpdevPortIO, WithoutADeviceWritesNothingAndNobodyAnswers)
{
    PpdevPortIO io;
    for (int i = 0; i < 4; ++i)
        io.SetDevicePath(i, "/nonexistent/parport");
    EXPECT_EQ(PpdevPortIO::PortIndex(0x378), 0);
    EXPECT_EQ(PpdevPortIO::PortIndex(0x379), 0);
    EXPECT_EQ(PpdevPortIO::PortIndex(0x278), 1);
    EXPECT_EQ(PpdevPortIO::PortIndex(0x3BD), 2);
    EXPECT_EQ(PpdevPortIO::PortIndex(0x2BC), 3);
    EXPECT_EQ(PpdevPortIO::PortIndex(0x100), -1);

    io.PortOut(0x378, 2);
    EXPECT_EQ(io.PortIn(0x379) & 0x30, 0x30);
    EXPECT_EQ(io.PortIn(0x279), 0x30);
    EXPECT_EQ(io.PortIn(0x101), 0x30);
    io.PortOut(0x100, 3);
    EXPECT_FALSE(io.Available(0));
}

TEST(PpdevPortIO, APortThatCannotBeUsedIsReportedWithItsDeviceAndWhatToDo)
{
    struct Case {
        int error;
        std::string text;
    };
    const Case cases[] = {
        {ENOENT, "/nonexistent/parport0: no such device\rThe parallel-port driver may not be loaded: load it with "
                 "\"sudo modprobe ppdev\"."},
        {EACCES, "/nonexistent/parport0: permission denied\rMembers of the group lp may use it: add yourself with "
                 "\"sudo usermod -aG lp $USER\", then log in again."},
        {EBUSY, "/nonexistent/parport0: in use by another program"},
    };
    // The owning group is read from the device; without one it is lp.
    for (const Case& c : cases)
        EXPECT_EQ(PpdevPortIO::OpenErrorText("/nonexistent/parport0", c.error), c.text);

    // The link hears it before its first byte instead of timing out.
    PpdevPortIO io;
    io.SetDevicePath(0, "/nonexistent/parport0");
    EXPECT_EQ(io.Problem(0x378).rfind("/nonexistent/parport0: no such device\r", 0), 0u);
    EXPECT_EQ(io.Problem(0x100), "Port address 0x100 is none of the parallel ports 0x378, 0x278, 0x3BC and 0x2BC.");
    AutoClock clock;
    NullEventPump pump;
    ScriptedDialogs dialogs;
    Ti92Link link{LinkEnvironment{clock, pump, dialogs, io}};
    const uint32_t start = clock.Now();
    try {
        link.SendByte(0x09);
        ADD_FAILURE() << "no error";
    } catch (const ELinkError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("/nonexistent/parport0: no such device", 0), 0u) << e.what();
    }
    EXPECT_LT(clock.Now() - start, 10u);
}

}  // namespace
