// Without a registry: the first well-known system-information program on PATH.
#include "platform/system_info.h"

#include <cstdlib>

std::optional<std::filesystem::path> findSysInfoTool() {
    const char* path = std::getenv("PATH");
    return findProgramOnPath(path ? path : "", sysInfoProgramNames());
}
