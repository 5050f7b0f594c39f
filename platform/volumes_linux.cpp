#include "platform/volumes.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <pwd.h>
#include <sstream>
#include <unistd.h>

namespace {

// Mount points escape blanks, tabs, newlines and backslashes as three octal digits.
std::string unescapeMountPoint(std::string_view field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            std::string_view digits = field.substr(i + 1, 3);
            if (std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '7'; })) {
                out += static_cast<char>(std::stoi(std::string(digits), nullptr, 8));
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

bool isRemovableMediaPoint(const std::string& point) {
    for (std::string_view base : {"/media/", "/run/media/", "/mnt/"})
        if (point.size() > base.size() && point.compare(0, base.size(), base) == 0)
            return true;
    return point == "/mnt";
}

std::string homeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return {};
}

} // namespace

std::vector<std::string> volumesFromMountTable(std::string_view mountTable, std::string_view home) {
    std::vector<std::string> media;
    std::istringstream lines{std::string(mountTable)};
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string device, point;
        if (!(fields >> device >> point))
            continue;
        point = unescapeMountPoint(point);
        if (isRemovableMediaPoint(point) && std::find(media.begin(), media.end(), point) == media.end())
            media.push_back(point);
    }
    std::sort(media.begin(), media.end());
    while (home.size() > 1 && home.back() == '/')
        home.remove_suffix(1);
    std::vector<std::string> volumes{"/"};
    if (!home.empty() && home != "/")
        volumes.emplace_back(home);
    for (std::string& point : media)
        if (std::find(volumes.begin(), volumes.end(), point) == volumes.end())
            volumes.push_back(std::move(point));
    return volumes;
}

std::vector<std::string> mountedVolumes() {
    std::ifstream in("/proc/self/mounts");
    std::ostringstream table;
    table << in.rdbuf();
    return volumesFromMountTable(table.str(), homeFolder());
}
