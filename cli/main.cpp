#include "cli/cli_registry.h"

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
