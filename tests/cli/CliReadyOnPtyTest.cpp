// `ready` through the real termios code, with a minimal responder on the far
// end of a pseudo-terminal.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sstream>
#include <thread>
#include <unistd.h>

#include "app/cli/CliCommands.h"

namespace {

class Responder {
public:
    explicit Responder(std::string reply) : fReply(std::move(reply))
    {
        fMaster = posix_openpt(O_RDWR | O_NOCTTY);
        if (fMaster >= 0 && grantpt(fMaster) == 0 && unlockpt(fMaster) == 0)
            slavePath = ptsname(fMaster);
        fThread = std::thread([this] { Serve(); });
    }
    ~Responder()
    {
        fStop = true;
        fThread.join();
        close(fMaster);
    }
    std::string slavePath;
    std::string Heard()
    {
        std::lock_guard<std::mutex> lock(fMutex);
        return fHeard;
    }

private:
    void Serve()
    {
        while (!fStop) {
            pollfd p{fMaster, POLLIN, 0};
            if (poll(&p, 1, 10) <= 0 || !(p.revents & POLLIN))
                continue;
            char buf[64];
            ssize_t n = read(fMaster, buf, sizeof buf);
            if (n <= 0)
                continue;
            std::lock_guard<std::mutex> lock(fMutex);
            fHeard.append(buf, size_t(n));
            if (fHeard.size() >= 4 && fHeard.compare(fHeard.size() - 4, 4, std::string("\x09\x68\x00\x00", 4)) == 0 &&
                !fReply.empty())
                (void)!write(fMaster, fReply.data(), fReply.size());
        }
    }
    std::string fReply;
    int fMaster = -1;
    std::thread fThread;
    std::atomic<bool> fStop{false};
    std::mutex fMutex;
    std::string fHeard;
};

int Ready(const std::string& device, std::string& out, std::string& err)
{
    std::ostringstream o, e;
    int status = RunCli({"--port", device, "--timeout", "300", "ready"}, o, e);
    out = o.str();
    err = e.str();
    return status;
}

TEST(CliReadyOnPty, AcknowledgedCheckExitsZero)
{
    Responder calculator(std::string("\x89\x56\x00\x00", 4));
    ASSERT_FALSE(calculator.slavePath.empty());
    std::string out, err;
    EXPECT_EQ(Ready(calculator.slavePath, out, err), 0) << err;
    EXPECT_EQ(out, "Calculator is ready.\n");
    EXPECT_EQ(calculator.Heard(), std::string("\x09\x68\x00\x00", 4));
}

TEST(CliReadyOnPty, RefusedCheckExitsOne)
{
    Responder calculator(std::string("\x89\x92\x00\x00", 4));
    std::string out, err;
    EXPECT_EQ(Ready(calculator.slavePath, out, err), 1) << err;
    EXPECT_EQ(out, "Calculator is not ready.\n");
}

TEST(CliReadyOnPty, SilentCalculatorIsALinkError)
{
    Responder calculator("");
    std::string out, err;
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Ready(calculator.slavePath, out, err), 2);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_EQ(err, "ELinkError: Calculator is not ready!\n* Check the cable\n"
                   "* Be sure that you are in homescreen (press <diamond> and Q)\n");
    EXPECT_TRUE(out.empty());
}

}  // namespace
