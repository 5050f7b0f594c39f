#include "cli/cli_registry.h"

#include "common/numeric_text.h"

#include <chrono>
#include <ctime>
#include <iostream>

std::map<std::string, CliFamily>& cliFamilies() {
    static std::map<std::string, CliFamily> families;
    return families;
}

int cliUsageError(const std::string& message) {
    std::cerr << "quillet-cli: " << message << "\n";
    return 2;
}

int cliFailure(const std::string& message) {
    std::cerr << "quillet-cli: " << message << "\n";
    return 1;
}

std::string utcStamp() {
    std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm utc{};
    gmtime_r(&now, &utc);
    return fourDigits(utc.tm_year + 1900) + twoDigits(utc.tm_mon + 1) + twoDigits(utc.tm_mday) + "T" +
           twoDigits(utc.tm_hour) + twoDigits(utc.tm_min) + twoDigits(utc.tm_sec) + "Z";
}

static void printUsage(std::ostream& out) {
    out << "usage:\n";
    for (const auto& [name, family] : cliFamilies())
        out << family.usage;
}

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        return printUsage(std::cerr), 2;
    if (args[0] == "--help" || args[0] == "-h")
        return printUsage(std::cout), 0;
    auto it = cliFamilies().find(args[0]);
    if (it == cliFamilies().end())
        return cliUsageError("unknown command '" + args[0] + "' (see quillet-cli --help)");
    return it->second.run(CliArgs(args.begin() + 1, args.end()));
}
