// linkwise-cli against the virtual TI-92 served on a pseudo-terminal: both
// real programs, the real termios code in between.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Outcome {
    int status = -1;
    std::string out, err;
};

std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs a program to its end with extra environment variables.
Outcome RunProgram(const std::vector<std::string>& argv, const std::vector<std::string>& env)
{
    char outPath[] = "/tmp/linkwise-cli-out-XXXXXX";
    char errPath[] = "/tmp/linkwise-cli-err-XXXXXX";
    int outFd = mkstemp(outPath), errFd = mkstemp(errPath);
    Outcome o;
    pid_t pid = fork();
    if (pid == 0) {
        dup2(outFd, 1);
        dup2(errFd, 2);
        for (const std::string& e : env)
            putenv(const_cast<char*>(e.c_str()));
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    o.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    o.out = Slurp(outPath);
    o.err = Slurp(errPath);
    close(outFd);
    close(errFd);
    unlink(outPath);
    unlink(errPath);
    return o;
}

#ifdef LINKWISE_SIM_PATH

// The virtual calculator as a child process, on port 3 behind a link in a
// fresh folder.
class VirtualCalculator {
public:
    VirtualCalculator()
    {
        char dir[] = "/tmp/linkwise-e2e-XXXXXX";
        fDir = mkdtemp(dir);
        const std::string link = fDir + "/ti92";
        int pipeFds[2];
        if (pipe(pipeFds) != 0)
            return;
        pid = fork();
        if (pid == 0) {
            dup2(pipeFds[1], 1);
            int null = open("/dev/null", O_WRONLY);
            dup2(null, 2);
            close(pipeFds[0]);
            execl(LINKWISE_SIM_PATH, LINKWISE_SIM_PATH, "--link", link.c_str(), "--port", "3", (char*)nullptr);
            _exit(127);
        }
        close(pipeFds[1]);
        // The first line names the port: LINKWISE_COM3=<link>.
        std::string line;
        pollfd p{pipeFds[0], POLLIN, 0};
        while (line.find('\n') == std::string::npos && poll(&p, 1, 5000) > 0) {
            char buf[256];
            ssize_t n = read(pipeFds[0], buf, sizeof buf);
            if (n <= 0)
                break;
            line.append(buf, size_t(n));
        }
        close(pipeFds[0]);
        environment = line.substr(0, line.find('\n'));
    }
    ~VirtualCalculator()
    {
        Stop();
        rmdir(fDir.c_str());
    }
    void Stop()
    {
        if (pid <= 0)
            return;
        kill(pid, SIGCONT);
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        pid = -1;
    }
    pid_t pid = -1;
    std::string environment;

private:
    std::string fDir;
};

Outcome Ready(const VirtualCalculator& calculator)
{
    return RunProgram({LINKWISE_CLI_PATH, "--port", "3", "--timeout", "500", "ready"}, {calculator.environment});
}

TEST(CliEndToEnd, ReadyAgainstTheVirtualCalculator)
{
    VirtualCalculator calculator;
    ASSERT_GT(calculator.pid, 0);
    ASSERT_EQ(calculator.environment.rfind("LINKWISE_COM3=", 0), 0u) << calculator.environment;

    Outcome ready = Ready(calculator);
    EXPECT_EQ(ready.status, 0) << ready.err;
    EXPECT_EQ(ready.out, "Calculator is ready.\n");
    EXPECT_EQ(Ready(calculator).status, 0) << "the port can be opened again";

    // Frozen: the line is there, nobody answers.
    kill(calculator.pid, SIGSTOP);
    Outcome frozen = Ready(calculator);
    kill(calculator.pid, SIGCONT);
    EXPECT_EQ(frozen.status, 2);
    EXPECT_EQ(frozen.err.rfind("ELinkError: Calculator is not ready!\n* Check the cable\n", 0), 0u) << frozen.err;
    EXPECT_EQ(Ready(calculator).status, 0) << "answers again once it runs again";

    // Gone: its line is gone too.
    calculator.Stop();
    Outcome gone = Ready(calculator);
    EXPECT_EQ(gone.status, 2);
    EXPECT_EQ(gone.err.rfind("ELinkError: An error occured while opening the comport!\n", 0), 0u) << gone.err;
}

#else

TEST(CliEndToEnd, ReadyAgainstTheVirtualCalculator)
{
    GTEST_SKIP() << "the virtual TI-92 is not built";
}

#endif

TEST(CliEndToEnd, ExitStatusOfThePrograms)
{
    Outcome help = RunProgram({LINKWISE_CLI_PATH, "--help"}, {});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: linkwise-cli"), std::string::npos);
    Outcome bad = RunProgram({LINKWISE_CLI_PATH, "--cable", "usb", "ready"}, {});
    EXPECT_EQ(bad.status, 2);
    EXPECT_TRUE(bad.out.empty());
    EXPECT_NE(bad.err.find("unknown cable 'usb'"), std::string::npos);
}

}  // namespace
