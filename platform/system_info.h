#pragma once
// Finding and starting the platform's system-information tool (the About box's "系统(&S)" button).
// On Windows the tool's place is read from the registry (HKEY_LOCAL_MACHINE, "SOFTWARE\Microsoft\Shared
// Tools\MSINFO" value "PATH", else the folder in "SOFTWARE\Microsoft\Shared Tools Location" value "MSINFO"
// plus "\MSINFO32.EXE"); elsewhere a few well-known programs are looked for on PATH.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Registry value types the lookup understands.
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegDword = 4;
// Size of the value buffer, in characters.
constexpr std::size_t kRegValueBuffer = 1024;

// A REG_SZ value from the query buffer and the size the query returned: a terminating NUL counted in the
// size is dropped, otherwise all `size` characters are kept.
std::string registryStringText(std::string_view buffer, std::size_t size);
// A REG_DWORD value: the four bytes, least significant first, as an unsigned decimal number; nothing when
// the query did not return exactly four bytes.
std::optional<std::string> registryDwordText(std::string_view buffer, std::size_t size);
// The text of a queried value into `keyVal` by its type: REG_SZ and REG_DWORD as above; any other type
// leaves `keyVal` as it was. False only for a malformed REG_DWORD.
bool registryValueText(uint32_t type, std::string_view buffer, std::size_t size, std::string& keyVal);

// Programs that show the system's information, in the order they are looked for.
const std::vector<std::string>& sysInfoProgramNames();
// The first of `names` that is an executable file in a folder of `searchPath` (folders separated as in the
// PATH variable). Empty entries are skipped: the working directory is never searched implicitly.
std::optional<std::filesystem::path> findProgramOnPath(std::string_view searchPath,
                                                       const std::vector<std::string>& names);

// This platform's system-information tool, or nothing when it cannot be found.
std::optional<std::filesystem::path> findSysInfoTool();
// Starts a program on its own (it outlives us); false when it could not be started.
bool startProgramDetached(const std::filesystem::path& program);
// Finds and starts the tool; false when there is none or it did not start.
bool startSysInfoTool();
