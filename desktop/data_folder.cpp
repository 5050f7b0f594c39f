#include "desktop/data_folder.h"

#include "common/result.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string failure(const fs::path& path, const std::string& what) {
    return "数据文件夹 " + path.string() + ": " + what;
}

// Copies the defaults without overwriting anything, folders owner-only (0700) and files owner-only (0600):
// the settings file holds the diary key and the access password. Placeholder files that keep empty folders in
// Git, the tunes and the delivered holiday table (read from the share folder itself) are left out: a holiday
// file in the data folder is the user's own.
std::optional<std::string> copyDefaults(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(from, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        const fs::path rel = it->path().lexically_relative(from);
        const fs::path dest = to / rel;
        if (it->is_directory(ec)) {
            if (::mkdir(dest.c_str(), 0700) != 0 && errno != EEXIST)
                ec.assign(errno, std::generic_category());
        } else if (rel.filename() != ".keep" && rel.extension() != ".mid" && rel != "jjr.cjf") {
            if (fs::copy_file(it->path(), dest, fs::copy_options::skip_existing, ec))
                fs::permissions(dest, fs::perms::owner_read | fs::perms::owner_write, ec);
        }
        if (ec)
            return failure(dest, systemReason(ec.value()));
    }
    if (ec)
        return failure(from, systemReason(ec.value()));
    return std::nullopt;
}

} // namespace

EnvLookup processEnvironment() {
    return [](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value ? value : "");
    };
}

fs::path userConfigFolder(const EnvLookup& env) {
    const fs::path base = env("XDG_CONFIG_HOME");
    if (!base.empty() && base.is_absolute())
        return base;
    const fs::path home = env("HOME");
    return home.empty() || home.is_relative() ? fs::path() : home / ".config";
}

std::variant<DataFolder, std::string> chooseDataFolder(const std::optional<fs::path>& option,
                                                       const fs::path& currentDir, const EnvLookup& env) {
    if (option)
        return DataFolder{fs::absolute(*option).lexically_normal(), DataFolderSource::Option};
    std::error_code ec;
    if (fs::is_regular_file(currentDir / "pavosz.cjf", ec))
        return DataFolder{currentDir, DataFolderSource::Portable};
    fs::path base = env("XDG_DATA_HOME");
    if (base.empty() || base.is_relative()) { // relative values are to be ignored, like unset ones
        const fs::path home = env("HOME");
        if (home.empty() || home.is_relative())
            return std::string("找不到用户的数据文件夹: HOME 和 XDG_DATA_HOME 都没有设置");
        base = home / ".local" / "share";
    }
    return DataFolder{base / "quillet", DataFolderSource::UserData};
}

std::optional<std::string> prepareDataFolder(const DataFolder& folder, const fs::path& defaults) {
    std::error_code ec;
    const fs::file_status status = fs::status(folder.path, ec);
    // A folder that cannot be written (a read-only mount, a backup) can still be read: each write that is
    // refused there says why.
    if (fs::is_directory(status))
        return ::access(folder.path.c_str(), R_OK | X_OK) == 0 ? std::nullopt
                                                               : std::optional(failure(folder.path, "不能读取"));
    if (fs::exists(status))
        return failure(folder.path, "不是文件夹");
    if (folder.source != DataFolderSource::UserData)
        return failure(folder.path, "不存在");
    if (defaults.empty() || !fs::is_directory(defaults, ec))
        return failure(folder.path, "无法建立: 找不到程序的默认数据 " + defaults.string());

    const fs::path parent = folder.path.parent_path();
    fs::create_directories(parent, ec);
    if (ec)
        return failure(folder.path, "无法建立 " + parent.string() + ": " + systemReason(ec.value()));
    const fs::path building = parent / (".quillet.new-" + std::to_string(::getpid()));
    fs::remove_all(building, ec);
    if (::mkdir(building.c_str(), 0700) != 0)
        return failure(folder.path, "无法建立: " + systemReason(errno));
    std::optional<std::string> problem = copyDefaults(defaults, building);
    // Another first start may have put its folder in place meanwhile: then that one is used.
    if (!problem && ::rename(building.c_str(), folder.path.c_str()) != 0) {
        const int err = errno;
        if (!fs::is_directory(folder.path, ec))
            problem = failure(folder.path, "无法建立: " + systemReason(err));
    }
    fs::remove_all(building, ec);
    return problem;
}

fs::path findShareFolder(const fs::path& programFolder) {
    std::error_code ec;
    const fs::path installed = (programFolder / ".." / "share" / "quillet").lexically_normal();
    if (fs::is_directory(installed / "defaults", ec))
        return installed;
    if (fs::is_directory(programFolder / "defaults", ec))
        return programFolder;
    return {};
}

fs::path runningProgramFolder() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::current_path(ec) : self.parent_path();
}

std::variant<DataFolder, std::string> enterDataFolder(const std::optional<fs::path>& option,
                                                      const fs::path& programFolder) {
    std::error_code ec;
    const fs::path cwd = fs::current_path(ec);
    auto chosen = chooseDataFolder(option, cwd, processEnvironment());
    if (auto* message = std::get_if<std::string>(&chosen))
        return *message;
    const DataFolder folder = std::get<DataFolder>(chosen);
    const fs::path share = findShareFolder(programFolder);
    const fs::path defaults = share.empty()
                                  ? (programFolder / ".." / "share" / "quillet" / "defaults").lexically_normal()
                                  : share / "defaults";
    if (auto problem = prepareDataFolder(folder, defaults))
        return *problem;
    if (::chdir(folder.path.c_str()) != 0)
        return failure(folder.path, systemReason(errno));
    return folder;
}
