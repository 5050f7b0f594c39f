#pragma once
// quillet-cli command families register themselves by name; main() dispatches on the first argument.
// Commands work on the current directory, print UTF-8, and return 0, 1 (failure) or 2 (bad arguments).
#include <functional>
#include <map>
#include <string>
#include <vector>

using CliArgs = std::vector<std::string>;
using CliCommand = std::function<int(const CliArgs& args)>;

struct CliFamily {
    std::string usage; // one or more usage lines shown by "quillet-cli --help"
    CliCommand run;
};

std::map<std::string, CliFamily>& cliFamilies();

struct CliRegistrar {
    CliRegistrar(const std::string& name, CliFamily family) { cliFamilies()[name] = std::move(family); }
};

// Prints "quillet-cli: <message>" on stderr and returns 2 (bad arguments).
int cliUsageError(const std::string& message);
// Prints "quillet-cli: <message>" on stderr and returns 1 (the command failed).
int cliFailure(const std::string& message);
// The current time as an iCalendar UTC stamp, YYYYMMDDTHHMMSSZ.
std::string utcStamp();
