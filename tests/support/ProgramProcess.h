#pragma once
#include <sys/types.h>

#include <string>
#include <vector>

// What a program run to its end left behind.
struct ProgramOutcome {
    int status = -1;  // exit status; -1 when it did not exit normally
    std::string out;
    std::string err;
};

// A pattern for mkstemp or mkdtemp in the temporary folder ($TMPDIR, which
// the tests set to their own): the folder, `stem`, then -XXXXXX.
std::string TemporaryPattern(const std::string& stem);

// Runs `argv` (argv[0] is the program's path) to its end with `env`
// ("NAME=value") added to the environment; no shell in between.
// With `signal`, that signal is sent to it `signalAfterMs` after its start.
ProgramOutcome RunProgram(const std::vector<std::string>& argv, const std::vector<std::string>& env = {},
                          int signal = 0, int signalAfterMs = 0);
// Runs it with standard output on the file `outputPath` (such as /dev/full),
// or closed when that is empty; `out` stays empty.
ProgramOutcome RunProgramWithOutput(const std::vector<std::string>& argv, const std::string& outputPath,
                                    const std::vector<std::string>& env = {});
// Runs it with standard input on a pseudo-terminal where `typed` was typed.
ProgramOutcome RunProgramOnTerminal(const std::vector<std::string>& argv, const std::string& typed,
                                    const std::vector<std::string>& env = {});

// The virtual TI-92's executable as a child process, serving a pseudo-terminal
// behind a link in a fresh folder. `device` and `environment` are read from the
// LINKWISE_COMn=PATH line it prints; both stay empty when it did not start.
// Stopped and its folder removed when the object goes.
class VirtualCalculatorProcess {
public:
    explicit VirtualCalculatorProcess(const std::string& program, const std::vector<std::string>& options = {},
                                      int port = 3);
    ~VirtualCalculatorProcess();
    VirtualCalculatorProcess(const VirtualCalculatorProcess&) = delete;
    VirtualCalculatorProcess& operator=(const VirtualCalculatorProcess&) = delete;

    void Freeze();  // the line stays, nobody answers
    void Thaw();
    // Ends it with SIGTERM; gives its exit status (-1 when it did not exit normally).
    int Stop();
    bool Running() const { return pid > 0; }
    std::string Log() const;  // what it wrote on stderr

    pid_t pid = -1;
    int port;
    std::string link;         // the symbolic link to the pseudo-terminal
    std::string device;       // the path it announced (the link)
    std::string environment;  // "LINKWISE_COMn=PATH", for the programs that follow

private:
    std::string fFolder;
};
