// quillet-cli lok FILE [--password-stdin]: scrambles FILE into its .lok file or unscrambles a .lok file, by
// the same naming rule and the same safe steps as the encryptor window's OK button, and prints the new path.
#include "cli/cli_registry.h"
#include "common/data_paths.h"
#include "encryptor/lok_file.h"

#include <iostream>
#include <optional>
#include <termios.h>
#include <unistd.h>

namespace {

// One line of stdin without its line end; on a terminal the typed characters are not echoed.
std::optional<std::string> readPasswordLine(const char* prompt, bool fromTerminal) {
    termios saved{};
    if (fromTerminal) {
        std::cerr << prompt << std::flush;
        tcgetattr(STDIN_FILENO, &saved);
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    std::string line;
    const bool got = static_cast<bool>(std::getline(std::cin, line));
    if (fromTerminal) {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
        std::cerr << "\n";
    }
    if (!got)
        return std::nullopt;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

int runLok(const CliArgs& args) {
    std::optional<std::string> file;
    bool passwordFromStdin = false;
    for (const std::string& arg : args) {
        if (arg == "--password-stdin")
            passwordFromStdin = true;
        else if (!file && !(arg.size() > 1 && arg.front() == '-'))
            file = arg;
        else
            return cliUsageError("lok: unexpected argument '" + arg + "'");
    }
    if (!file)
        return cliUsageError("lok: FILE is missing");
    if (!passwordFromStdin && !::isatty(STDIN_FILENO))
        return cliUsageError("lok: no terminal to ask for the password; use --password-stdin");

    std::optional<std::string> password = readPasswordLine("输入密码: ", !passwordFromStdin);
    std::optional<std::string> confirmation = passwordFromStdin ? password : readPasswordLine("密码确认: ", true);
    if (!password || !confirmation)
        return cliFailure("lok: no password given");
    if (std::optional<Notice> problem = lokPasswordProblem(*password, *confirmation))
        return cliFailure(problem->text);

    LokOutcome outcome = convertLokFile(pathFromUtf8(*file), *password);
    if (outcome.failure)
        return cliFailure(outcome.failure->text);
    std::cout << pathToUtf8(outcome.target.path) << "\n";
    return 0;
}

} // namespace

static CliRegistrar lokRegistrar("lok", {"  quillet-cli lok FILE [--password-stdin]\n", runLok, false});
