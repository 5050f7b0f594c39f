#include "common/data_paths.h"

std::filesystem::path dataPathIn(const std::filesystem::path& workDir, std::initializer_list<std::string_view> parts) {
    std::filesystem::path path = workDir;
    for (std::string_view part : parts)
        path /= pathFromUtf8(part);
    return path;
}

std::filesystem::path dataPath(std::initializer_list<std::string_view> parts) {
    return dataPathIn(std::filesystem::current_path(), parts);
}

std::filesystem::path pathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string pathToUtf8(const std::filesystem::path& path) {
    std::u8string s = path.u8string();
    return std::string(reinterpret_cast<const char*>(s.data()), s.size());
}
