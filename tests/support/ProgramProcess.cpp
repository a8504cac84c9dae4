#include "tests/support/ProgramProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

namespace {

std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<char*> Pointers(const std::vector<std::string>& texts)
{
    std::vector<char*> out;
    for (const std::string& t : texts)
        out.push_back(const_cast<char*>(t.c_str()));
    out.push_back(nullptr);
    return out;
}

int ExitStatus(int status)
{
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

std::string TemporaryPattern(const std::string& stem)
{
    return (std::filesystem::temp_directory_path() / (stem + "-XXXXXX")).string();
}

namespace {

// Where the child's standard output goes: the captured file, another file,
// or nowhere (closed).
struct OutputChoice {
    bool captured = true;
    std::string path;
    // Standard input on a pseudo-terminal where this was typed.
    std::optional<std::string> typed;
};

ProgramOutcome Run(const std::vector<std::string>& argv, const std::vector<std::string>& env, int signal,
                   int signalAfterMs, const OutputChoice& output)
{
    // Both ends open before the child starts, so what is typed waits in
    // the line discipline until the program reads it.
    int terminal = -1, typist = -1;
    if (output.typed) {
        terminal = posix_openpt(O_RDWR | O_NOCTTY);
        if (terminal < 0 || grantpt(terminal) != 0 || unlockpt(terminal) != 0 ||
            (typist = open(ptsname(terminal), O_RDWR | O_NOCTTY)) < 0)
            return {};
    }
    std::string outPath = TemporaryPattern("linkwise-run-out");
    std::string errPath = TemporaryPattern("linkwise-run-err");
    const int outFd = mkstemp(outPath.data());
    const int errFd = mkstemp(errPath.data());
    ProgramOutcome o;
    const pid_t pid = outFd >= 0 && errFd >= 0 && !argv.empty() ? fork() : -1;
    if (pid == 0) {
        if (terminal >= 0) {
            dup2(typist, STDIN_FILENO);
            close(terminal);
        }
        if (output.captured)
            dup2(outFd, STDOUT_FILENO);
        else if (output.path.empty())
            close(STDOUT_FILENO);
        else
            dup2(open(output.path.c_str(), O_WRONLY), STDOUT_FILENO);
        dup2(errFd, STDERR_FILENO);
        for (const std::string& e : env)
            putenv(const_cast<char*>(e.c_str()));
        std::vector<char*> args = Pointers(argv);
        execv(args[0], args.data());
        _exit(127);
    }
    if (pid > 0) {
        if (terminal >= 0 && write(terminal, output.typed->data(), output.typed->size()) < 0)
            kill(pid, SIGKILL);
        if (signal != 0) {
            usleep(static_cast<useconds_t>(signalAfterMs) * 1000);
            kill(pid, signal);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        o.status = ExitStatus(status);
    }
    if (terminal >= 0) {
        close(typist);
        close(terminal);
    }
    o.out = Slurp(outPath);
    o.err = Slurp(errPath);
    close(outFd);
    close(errFd);
    unlink(outPath.c_str());
    unlink(errPath.c_str());
    return o;
}

}  // namespace

ProgramOutcome RunProgram(const std::vector<std::string>& argv, const std::vector<std::string>& env, int signal,
                          int signalAfterMs)
{
    return Run(argv, env, signal, signalAfterMs, OutputChoice{});
}

ProgramOutcome RunProgramWithOutput(const std::vector<std::string>& argv, const std::string& outputPath,
                                    const std::vector<std::string>& env)
{
    return Run(argv, env, 0, 0, OutputChoice{false, outputPath, std::nullopt});
}

ProgramOutcome RunProgramOnTerminal(const std::vector<std::string>& argv, const std::string& typed,
                                    const std::vector<std::string>& env)
{
    return Run(argv, env, 0, 0, OutputChoice{true, {}, typed});
}

VirtualCalculatorProcess::VirtualCalculatorProcess(const std::string& program, const std::vector<std::string>& options,
                                                   int port)
    : port(port)
{
    std::string folder = TemporaryPattern("linkwise-ti92");
    if (!mkdtemp(folder.data()))
        return;
    fFolder = folder;
    link = fFolder + "/ti92";
    std::vector<std::string> argv{program, "--link", link, "--port", std::to_string(port)};
    argv.insert(argv.end(), options.begin(), options.end());

    int out[2];
    if (pipe(out) != 0)
        return;
    pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        const int log = open((fFolder + "/stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(log, STDERR_FILENO);
        close(out[0]);
        close(out[1]);
        std::vector<char*> args = Pointers(argv);
        execv(args[0], args.data());
        _exit(127);
    }
    close(out[1]);
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (pid > 0 && text.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        pollfd p{out[0], POLLIN, 0};
        if (poll(&p, 1, 100) <= 0)
            continue;
        char buf[256];
        const ssize_t n = read(out[0], buf, sizeof buf);
        if (n <= 0)
            break;
        text.append(buf, static_cast<size_t>(n));
    }
    close(out[0]);
    const std::string prefix = "LINKWISE_COM" + std::to_string(port) + "=";
    const auto nl = text.find('\n');
    if (text.rfind(prefix, 0) == 0 && nl != std::string::npos) {
        environment = text.substr(0, nl);
        device = environment.substr(prefix.size());
    }
}

VirtualCalculatorProcess::~VirtualCalculatorProcess()
{
    Stop();
    if (!fFolder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(fFolder, ignored);
    }
}

void VirtualCalculatorProcess::Freeze()
{
    if (pid > 0)
        kill(pid, SIGSTOP);
}

void VirtualCalculatorProcess::Thaw()
{
    if (pid > 0)
        kill(pid, SIGCONT);
}

int VirtualCalculatorProcess::Stop()
{
    if (pid <= 0)
        return -1;
    kill(pid, SIGCONT);
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    pid = -1;
    return ExitStatus(status);
}

std::string VirtualCalculatorProcess::Log() const
{
    return Slurp(fFolder + "/stderr");
}
