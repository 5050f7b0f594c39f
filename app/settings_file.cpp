#include "app/settings_file.h"

#include "common/data_lock.h"
#include "common/line_file.h"
#include "common/numeric_text.h"
#include "common/safe_write.h"
#include "common/text_codec.h"

#include <cerrno>
#include <cstring>

std::string trimBlanks(std::string_view text) {
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    std::size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::variant<SettingsValues, SettingsProblem> parseSettings(std::string_view bytes, const std::string& pathText) {
    std::vector<std::string> lines = decodeLines(bytes);
    if (lines.size() < 4)
        return SettingsProblem{"设置文件 " + pathText + " 不完整:应有四行,只读到 " + std::to_string(lines.size()) +
                               " 行。"};
    std::optional<int16_t> dss = textToInt16(lines[3]);
    if (!dss)
        return SettingsProblem{"设置文件 " + pathText + " 第四行的备忘提示间隔 \"" + lines[3] + "\" 超出范围 (溢出)。"};
    return SettingsValues{lines[0], lines[1], lines[2], *dss};
}

std::variant<SettingsValues, SettingsProblem> readSettingsFile(const std::filesystem::path& path) {
    Result<std::string> bytes = readFileBytes(path);
    std::string pathText = path.string();
    if (!bytes) {
        std::error_code ec;
        if (!std::filesystem::exists(path, ec))
            return SettingsProblem{"找不到设置文件 " + pathText + "。"};
        return SettingsProblem{"无法读取设置文件 " + pathText + ": " + bytes.error().reason};
    }
    return parseSettings(*bytes, pathText);
}

std::string serializeSettings(const SettingsValues& values) {
    return encodeLines({values.password, values.password3, trimBlanks(values.MRURL), printForm(values.dss)});
}

Result<void> writeSettingsFile(const std::filesystem::path& path, const SettingsValues& values) {
    Result<DataLock> lock = DataLock::take(dataFolderAbove(path, 0));
    if (!lock)
        return lock.error();
    return writeFileAtomic(path, serializeSettings(values), FileAccess::Private);
}
