#include "support/cli_runner.h"

#include "support/build_paths.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace {
std::string quoted(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}
std::string slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}
} // namespace

CliRun runCli(const std::vector<std::string>& args, const std::string& input) {
    namespace fs = std::filesystem;
    const fs::path tmp = fs::temp_directory_path() / ("quillet-cli-" + std::to_string(::getpid()));
    fs::create_directories(tmp);
    { std::ofstream(tmp / "in", std::ios::binary) << input; }
    // The tests' data lives in the working directory, whether or not it holds a settings file.
    std::string command = quoted(cliProgram()) + " --data .";
    for (const std::string& a : args)
        command += " " + quoted(a);
    command += " <" + quoted((tmp / "in").string()) + " >" + quoted((tmp / "out").string()) + " 2>" +
               quoted((tmp / "err").string());
    CliRun run;
    int status = std::system(command.c_str());
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = slurp(tmp / "out");
    run.err = slurp(tmp / "err");
    fs::remove_all(tmp);
    return run;
}

CliLoop::CliLoop(const std::string& args, int count) {
    const std::string command = "i=0; while [ $i -lt " + std::to_string(count) + " ]; do " + quoted(cliProgram()) +
                                " --data . " + args + " >/dev/null 2>&1 && echo done; i=$((i+1)); done";
    m_pipe = ::popen(command.c_str(), "r");
}

int CliLoop::wait() {
    int done = 0;
    if (!m_pipe)
        return done;
    char line[64];
    while (std::fgets(line, sizeof line, m_pipe))
        ++done;
    ::pclose(m_pipe);
    m_pipe = nullptr;
    return done;
}
