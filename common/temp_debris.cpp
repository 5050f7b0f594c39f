#include "common/temp_debris.h"

#include "common/safe_write.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kMarker = ".quillet-tmp.";

bool allOf(std::string_view s, bool (*pred)(char)) {
    if (s.empty())
        return false;
    for (char c : s)
        if (!pred(c))
            return false;
    return true;
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isHex(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'f');
}

// Seconds since the epoch at which process `pid` started, from /proc; nullopt when unknown.
std::optional<double> processStart(long pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string all((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // The command name (field 2) is in parentheses and may hold blanks: count fields after the last ')'.
    std::size_t close = all.rfind(')');
    if (close == std::string::npos)
        return std::nullopt;
    std::istringstream rest(all.substr(close + 1));
    std::string field;
    for (int i = 3; i <= 22 && rest >> field; ++i)
        if (i == 22) {
            std::ifstream procStat("/proc/stat");
            std::string key;
            double bootTime = 0;
            while (procStat >> key)
                if (key == "btime" && procStat >> bootTime)
                    return bootTime + std::stod(field) / static_cast<double>(::sysconf(_SC_CLK_TCK));
            return std::nullopt;
        }
    return std::nullopt;
}

bool writerGone(long pid, const struct stat& st) {
    if (pid <= 0)
        return true;
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
        return true;
    // The boot time in /proc/stat has whole seconds: allow for that before calling the pid reused.
    std::optional<double> started = processStart(pid);
    return started && *started > static_cast<double>(st.st_mtim.tv_sec) + 2.0;
}

} // namespace

fs::path tempPathFor(const fs::path& target) {
    static std::mt19937 rng{std::random_device{}()};
    char suffix[8];
    std::snprintf(suffix, sizeof suffix, "%06x", static_cast<unsigned>(rng() & 0xFFFFFFu));
    std::string name = "." + target.filename().string();
    name.append(kMarker).append(std::to_string(::getpid())).append(".").append(suffix);
    return target.parent_path() / name;
}

std::optional<TempName> parseTempName(std::string_view name) {
    if (name.size() < 2 || name[0] != '.')
        return std::nullopt;
    const std::size_t marker = name.rfind(kMarker);
    if (marker == std::string_view::npos || marker < 2)
        return std::nullopt;
    std::string_view tail = name.substr(marker + kMarker.size());
    const std::size_t dot = tail.find('.');
    if (dot == std::string_view::npos)
        return std::nullopt;
    std::string_view pid = tail.substr(0, dot), hex = tail.substr(dot + 1);
    if (!allOf(pid, isDigit) || pid.size() > 9 || hex.size() != 6 || !allOf(hex, isHex))
        return std::nullopt;
    return TempName{std::string(name.substr(1, marker - 1)), std::stol(std::string(pid))};
}

int sweepStaleTemps(const fs::path& folder, std::string_view targetName) {
    std::error_code ec;
    fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec);
    int removed = 0;
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const fs::path& path = it->path();
        std::optional<TempName> temp = parseTempName(path.filename().string());
        if (!temp || (!targetName.empty() && temp->target != targetName))
            continue;
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || !writerGone(temp->pid, st))
            continue;
        if (::unlink(path.c_str()) == 0)
            ++removed;
    }
    return removed;
}

int sweepDataFolders(const fs::path& dataFolder) {
    int removed = sweepStaleTemps(dataFolder);
    for (const char* sub : {"bwl", "rjb", "txl", "txl/txlphoto"})
        removed += sweepStaleTemps(dataFolder / sub);
    return removed + sweepNotedFolders();
}

namespace {

constexpr std::size_t kMostNotedFolders = 64;

fs::path notedFoldersFile() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && *state == '/')
        return fs::path(state) / "quillet" / "temp-folders";
    const char* home = std::getenv("HOME");
    return home && *home == '/' ? fs::path(home) / ".local" / "state" / "quillet" / "temp-folders" : fs::path();
}

std::vector<std::string> notedFolders(const fs::path& list) {
    std::vector<std::string> folders;
    std::ifstream in(list, std::ios::binary);
    for (std::string line; std::getline(in, line);)
        if (!line.empty())
            folders.push_back(line);
    return folders;
}

void writeNotedFolders(const fs::path& list, const std::vector<std::string>& folders) {
    std::string text;
    for (const std::string& folder : folders)
        text += folder + "\n";
    if (ensureFolder(list.parent_path()))
        (void)writeFileAtomic(list, text, FileAccess::Private);
}

bool holdsTemps(const fs::path& folder) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec); !ec && it != fs::directory_iterator(); it.increment(ec))
        if (parseTempName(it->path().filename().string()))
            return true;
    return false;
}

} // namespace

void noteTempFolder(const fs::path& folder) {
    const fs::path list = notedFoldersFile();
    std::error_code ec;
    const std::string absolute = fs::absolute(folder, ec).lexically_normal().string();
    if (list.empty() || ec)
        return;
    std::vector<std::string> folders = notedFolders(list);
    if (std::find(folders.begin(), folders.end(), absolute) != folders.end())
        return;
    folders.push_back(absolute);
    if (folders.size() > kMostNotedFolders)
        folders.erase(folders.begin());
    writeNotedFolders(list, folders);
}

int sweepNotedFolders() {
    const fs::path list = notedFoldersFile();
    if (list.empty())
        return 0;
    const std::vector<std::string> folders = notedFolders(list);
    std::vector<std::string> kept;
    int removed = 0;
    for (const std::string& folder : folders) {
        removed += sweepStaleTemps(folder);
        if (holdsTemps(folder))
            kept.push_back(folder); // a conversion still running, or a file that could not be removed
    }
    if (kept != folders)
        writeNotedFolders(list, kept);
    return removed;
}
