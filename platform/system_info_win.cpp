// Windows: the place of MSINFO32 as the registry records it.
#include "platform/system_info.h"

#include <windows.h>

namespace {

// Reads one value of a key under `KeyRoot` as text into `KeyVal` (empty when the key or the value cannot
// be read). The key is opened for reading only: asking for full access to HKEY_LOCAL_MACHINE fails for a
// user without administrator rights, and the lookup needs nothing more than a query.
bool GetKeyValue(HKEY KeyRoot, const std::string& KeyName, const std::string& SubKeyRef, std::string& KeyVal) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(KeyRoot, KeyName.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        KeyVal.clear();
        return false;
    }
    char buffer[kRegValueBuffer] = {};
    DWORD size = sizeof buffer;
    DWORD type = 0;
    LONG status = RegQueryValueExA(key, SubKeyRef.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) {
        KeyVal.clear();
        return false;
    }
    return registryValueText(type, std::string_view(buffer, sizeof buffer), size, KeyVal);
}

} // namespace

std::optional<std::filesystem::path> findSysInfoTool() {
    std::string value;
    if (GetKeyValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", value) && !value.empty())
        return std::filesystem::path(value);
    if (GetKeyValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO", value)) {
        std::filesystem::path tool = std::filesystem::path(value) / "MSINFO32.EXE";
        std::error_code ec;
        if (std::filesystem::exists(tool, ec))
            return tool;
    }
    return std::nullopt;
}
