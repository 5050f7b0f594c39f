#pragma once
// Runs quillet-cli on the data in the current working directory (--data .) and collects what it printed.
#include <string>
#include <vector>

struct CliRun {
    int code = -1;
    std::string out;
    std::string err;
};

// cliProgram() names the program; `input` is fed to its standard input.
CliRun runCli(const std::vector<std::string>& args, const std::string& input = {});
