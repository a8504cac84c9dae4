#pragma once
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

// Runs linkwise-virtual-ti92 as a child process and reads the device path it
// announces on its LINKWISE_COMn line. Stopped when the object goes.
class SimProcess {
public:
    SimProcess(const std::string& program, std::vector<std::string> args)
    {
        int out[2];
        if (pipe(out) != 0)
            return;
        fPid = fork();
        if (fPid == 0) {
            dup2(out[1], STDOUT_FILENO);
            close(out[0]);
            close(out[1]);
            std::vector<char*> argv;
            argv.push_back(const_cast<char*>(program.c_str()));
            for (auto& a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(program.c_str(), argv.data());
            _exit(127);
        }
        close(out[1]);
        std::string text;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (text.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
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
        const auto eq = text.find('=');
        const auto nl = text.find('\n');
        if (text.rfind("LINKWISE_COM", 0) == 0 && eq != std::string::npos && nl != std::string::npos)
            device = text.substr(eq + 1, nl - eq - 1);
    }
    ~SimProcess()
    {
        if (fPid > 0) {
            kill(fPid, SIGTERM);
            int status = 0;
            waitpid(fPid, &status, 0);
        }
    }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    std::string device;   // empty when the calculator did not start

private:
    pid_t fPid = -1;
};
