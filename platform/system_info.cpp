#include "platform/system_info.h"

#include <QProcess>
#include <QString>

#ifndef _WIN32
#include <unistd.h>
#endif

std::string registryStringText(std::string_view buffer, std::size_t size) {
    size = std::min(size, buffer.size());
    if (size > 0 && buffer[size - 1] == '\0')
        --size;
    return std::string(buffer.substr(0, size));
}

std::optional<std::string> registryDwordText(std::string_view buffer, std::size_t size) {
    if (size != 4 || buffer.size() < 4)
        return std::nullopt;
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(buffer[i]);
    return std::to_string(value);
}

bool registryValueText(uint32_t type, std::string_view buffer, std::size_t size, std::string& keyVal) {
    if (type == kRegSz) {
        keyVal = registryStringText(buffer, size);
    } else if (type == kRegDword) {
        std::optional<std::string> number = registryDwordText(buffer, size);
        if (!number)
            return false;
        keyVal = *number;
    }
    return true;
}

const std::vector<std::string>& sysInfoProgramNames() {
    static const std::vector<std::string> names = {
        "hardinfo",          "hardinfo2", "kinfocenter", "gnome-system-monitor", "mate-system-monitor",
        "xfce4-taskmanager", "lxtask"};
    return names;
}

namespace {

bool isExecutableFile(const std::filesystem::path& candidate) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(candidate, ec))
        return false;
#ifdef _WIN32
    return true;
#else
    return ::access(candidate.c_str(), X_OK) == 0;
#endif
}

} // namespace

std::optional<std::filesystem::path> findProgramOnPath(std::string_view searchPath,
                                                       const std::vector<std::string>& names) {
#ifdef _WIN32
    constexpr char kSeparator = ';';
#else
    constexpr char kSeparator = ':';
#endif
    std::vector<std::filesystem::path> folders;
    for (std::size_t start = 0; start <= searchPath.size();) {
        std::size_t end = std::min(searchPath.find(kSeparator, start), searchPath.size());
        if (end > start)
            folders.emplace_back(searchPath.substr(start, end - start));
        start = end + 1;
    }
    for (const std::string& name : names)
        for (const std::filesystem::path& folder : folders)
            if (isExecutableFile(folder / name))
                return folder / name;
    return std::nullopt;
}

bool startProgramDetached(const std::filesystem::path& program) {
    return QProcess::startDetached(QString::fromStdU16String(program.u16string()), {});
}

bool startSysInfoTool() {
    std::optional<std::filesystem::path> tool = findSysInfoTool();
    return tool && startProgramDetached(*tool);
}
