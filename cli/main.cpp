#include "cli/cli_output.h"
#include "cli/cli_registry.h"
#include "desktop/data_folder.h"

#include "common/data_paths.h"
#include "common/numeric_text.h"
#include "common/temp_debris.h"

#include <chrono>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <optional>

std::map<std::string, CliFamily>& cliFamilies() {
    static std::map<std::string, CliFamily> families;
    return families;
}

int cliUsageError(const std::string& message) {
    std::cerr << "quillet-cli: " << message << "\n";
    return 2;
}

namespace {
std::filesystem::path& callerFolder() {
    static std::filesystem::path folder;
    return folder;
}
} // namespace

void setCliCallerFolder(const std::filesystem::path& folder) {
    callerFolder() = folder;
}

std::filesystem::path cliUserPath(const std::string& utf8) {
    const std::filesystem::path path = pathFromUtf8(utf8);
    return path.is_absolute() || callerFolder().empty() ? path : callerFolder() / path;
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
    out << "usage: quillet-cli [--data DIR] [--verbose] COMMAND ...\n"
           "  --data DIR  the data folder (default: the current directory when it holds pavosz.cjf,\n"
           "              else ${XDG_DATA_HOME:-~/.local/share}/quillet)\n"
           "  --verbose   print the data folder in use on stderr\n"
           "commands:\n";
    for (const auto& [name, family] : cliFamilies())
        out << family.usage;
}

namespace {
int runCommand(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::optional<std::filesystem::path> data;
    bool verbose = false;
    // The options before the command choose the data folder.
    while (!args.empty() && (args[0] == "--data" || args[0] == "--verbose")) {
        if (args[0] == "--verbose") {
            verbose = true;
        } else {
            if (args.size() < 2 || args[1].empty())
                return cliUsageError("--data needs a folder");
            data = args[1];
            args.erase(args.begin());
        }
        args.erase(args.begin());
    }
    if (args.empty())
        return printUsage(std::cerr), 2;
    if (args[0] == "--help" || args[0] == "-h")
        return printUsage(std::cout), 0;
    auto it = cliFamilies().find(args[0]);
    if (it == cliFamilies().end())
        return cliUsageError("unknown command '" + args[0] + "' (see quillet-cli --help)");
    if (it->second.usesDataFolder) {
        std::error_code ec;
        setCliCallerFolder(std::filesystem::current_path(ec));
        auto folder = enterDataFolder(data, runningProgramFolder());
        if (auto* problem = std::get_if<std::string>(&folder))
            return cliFailure(*problem);
        sweepDataFolders(dataPath({})); // what killed saves left behind
        if (verbose)
            std::cerr << "quillet-cli: data folder " << std::get<DataFolder>(folder).path.string() << "\n";
    } else if (verbose) {
        std::cerr << "quillet-cli: " << args[0] << " uses no data folder\n";
    }
    return it->second.run(CliArgs(args.begin() + 1, args.end()));
}
} // namespace

int main(int argc, char** argv) {
    installCliOutput();
    return finishCliOutput(runCommand(argc, argv));
}
