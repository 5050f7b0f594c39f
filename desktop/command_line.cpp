#include "desktop/command_line.h"

#include "desktop/app_identity.h"
#include "desktop/autostart.h"

#include <iostream>

ProgramOptions parseProgramOptions(const std::vector<std::string>& args) {
    ProgramOptions options;
    for (size_t i = 0; i < args.size() && options.error.empty(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 < args.size())
                return args[++i];
            options.error = arg + " needs a value";
            return std::nullopt;
        };
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--data") {
            if (auto dir = value())
                options.data = *dir;
        } else if (arg.rfind("--data=", 0) == 0) {
            options.data = arg.substr(7);
        } else if (arg == "--autostart") {
            if (auto v = value()) {
                if (*v == "on" || *v == "off")
                    options.autostart = *v == "on";
                else
                    options.error = "--autostart takes on or off, not '" + *v + "'";
            }
        } else if (arg.rfind("--", 0) == 0) {
            options.error = "unknown option '" + arg + "'";
        }
    }
    if (options.data && options.data->empty())
        options.error = "--data needs a folder";
    return options;
}

std::string programUsage() {
    return "usage: quillet [--data DIR] [--autostart on|off] [--help] [--version]\n"
           "  --data DIR         keep the data in DIR (default: the current directory when it holds\n"
           "                     pavosz.cjf, else ${XDG_DATA_HOME:-~/.local/share}/quillet)\n"
           "  --autostart on|off start Quillet with the desktop session, or stop doing so\n"
           "  --help             show this text\n"
           "  --version          show the version\n";
}

std::optional<int> runTerminalOptions(const ProgramOptions& options) {
    if (!options.error.empty()) {
        std::cerr << "quillet: " << options.error << "\n" << programUsage();
        return 2;
    }
    if (options.help) {
        std::cout << programUsage();
        return 0;
    }
    if (options.version) {
        std::cout << "Quillet " << QUILLET_VERSION << "\n";
        return 0;
    }
    if (options.autostart) {
        const std::filesystem::path file = autostartFile(processEnvironment());
        const std::filesystem::path program = runningProgramFolder() / "quillet";
        // The entry starts the program on the folder this start would use.
        if (auto problem = setAutostart(file, *options.autostart, program, autostartDataFolder(options.data))) {
            std::cerr << "quillet: " << *problem << "\n";
            return 1;
        }
        std::cout << (*options.autostart ? "autostart on: " : "autostart off: ") << file.string() << "\n";
        return 0;
    }
    return std::nullopt;
}
