#include "desktop/autostart.h"

#include "common/safe_write.h"
#include "desktop/app_identity.h"

#include <fstream>
#include <sstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {
// Exec= quoting of the desktop entry format: quoted when it holds a reserved character, with ", `, $ and the backslash
// escaped by a backslash.
// A "%" is doubled, as field codes start with it.
std::string execArgument(const std::string& text) {
    std::string quoted;
    for (char c : text) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        quoted += c;
        if (c == '%')
            quoted += '%';
    }
    if (text.find_first_of(" \t\n\"'\\><~|&;$*?#()`") == std::string::npos)
        return quoted;
    return "\"" + quoted + "\"";
}
} // namespace

fs::path autostartFile(const EnvLookup& env) {
    const fs::path base = userConfigFolder(env);
    return base.empty() ? base : base / "autostart" / (std::string(kDesktopId) + ".desktop");
}

std::string autostartEntry(const fs::path& program, const fs::path& dataFolder) {
    std::string exec = execArgument(program.string());
    if (!dataFolder.empty())
        exec += " --data " + execArgument(dataFolder.string());
    std::ostringstream out;
    out << "[Desktop Entry]\n"
        << "Type=Application\n"
        << "Name=Quillet\n"
        << "Name[zh_CN]=Quillet 桌面日历\n"
        << "Comment=Desk calendar and organiser\n"
        << "Comment[zh_CN]=桌面日历与备忘工具\n"
        << "Exec=" << exec << "\n"
        << "Icon=" << kDesktopId << "\n"
        << "Terminal=false\n"
        << "X-GNOME-Autostart-enabled=true\n";
    return out.str();
}

fs::path autostartDataFolder(const DataFolder& folder) {
    return folder.source == DataFolderSource::UserData ? fs::path() : fs::absolute(folder.path).lexically_normal();
}

fs::path autostartDataFolder(const std::optional<fs::path>& dataOption) {
    std::error_code ec;
    const auto folder = chooseDataFolder(dataOption, fs::current_path(ec), processEnvironment());
    const DataFolder* chosen = std::get_if<DataFolder>(&folder);
    return chosen ? autostartDataFolder(*chosen) : fs::path();
}

bool autostartEnabled(const fs::path& file) {
    std::error_code ec;
    return !file.empty() && fs::is_regular_file(file, ec);
}

std::optional<std::string> setAutostart(const fs::path& file, bool on, const fs::path& program,
                                        const fs::path& dataFolder) {
    if (file.empty())
        return std::string("找不到自启动文件夹: HOME 和 XDG_CONFIG_HOME 都没有设置");
    std::error_code ec;
    if (!on) {
        fs::remove(file, ec);
        if (ec)
            return file.string() + ": " + systemReason(ec.value());
        return std::nullopt;
    }
    const fs::path folder = file.parent_path();
    if (fs::exists(folder, ec) && !fs::is_directory(folder, ec))
        return folder.string() + ": 不是文件夹";
    fs::create_directories(folder, ec);
    if (ec)
        return folder.string() + ": " + systemReason(ec.value());
    if (Result<void> written = writeFileAtomic(file, autostartEntry(program, dataFolder)); !written)
        return written.error().path + ": " + written.error().reason;
    return std::nullopt;
}
