#pragma once
// Runs quillet-cli on the data in the current working directory (--data .) and collects what it printed.
#include <cstdio>
#include <string>
#include <vector>

struct CliRun {
    int code = -1;
    std::string out;
    std::string err;
};

// cliProgram() names the program; `input` is fed to its standard input.
CliRun runCli(const std::vector<std::string>& args, const std::string& input = {});

// `count` runs of quillet-cli on the working directory in a background shell loop, started at once ($i in `args`
// is the run's index, 0 to count - 1; output is dropped).
class CliLoop {
public:
    CliLoop(const std::string& args, int count);
    CliLoop(const CliLoop&) = delete;
    CliLoop& operator=(const CliLoop&) = delete;
    ~CliLoop() { (void)wait(); }
    // Waits for the loop's end; how many runs exited 0.
    int wait();

private:
    FILE* m_pipe = nullptr;
};
