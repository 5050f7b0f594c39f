#pragma once
// Starting with the session (XDG autostart): a desktop entry in ${XDG_CONFIG_HOME:-~/.config}/autostart named
// after the program's desktop id. Writing it switches autostart on, removing it switches it off.
#include "desktop/data_folder.h"

#include <filesystem>
#include <optional>
#include <string>

// The autostart entry's path; empty when neither XDG_CONFIG_HOME nor HOME names a folder.
std::filesystem::path autostartFile(const EnvLookup& env);
// The entry that starts `program` (an absolute path, so any installation prefix works) on `dataFolder` when one
// is given: the session starts in the home folder, where neither --data nor the portable layout would be seen.
std::string autostartEntry(const std::filesystem::path& program, const std::filesystem::path& dataFolder = {});
// The folder the entry must name for a program running on `folder`: none for the user data folder, which every
// start finds again by itself.
std::filesystem::path autostartDataFolder(const DataFolder& folder);
// The same for a start with this --data option from the current directory (before the data folder is entered).
std::filesystem::path autostartDataFolder(const std::optional<std::filesystem::path>& dataOption);
bool autostartEnabled(const std::filesystem::path& file);
// Writes or removes the entry; a message naming the path and the reason on failure.
std::optional<std::string> setAutostart(const std::filesystem::path& file, bool on,
                                        const std::filesystem::path& program,
                                        const std::filesystem::path& dataFolder = {});
