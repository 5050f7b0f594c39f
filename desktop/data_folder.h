#pragma once
// Where the program keeps its data, so it starts the same from a menu, a terminal or the session's autostart:
// the folder given with --data; else the current directory when it holds the settings file (the portable
// layout); else the user's data folder under XDG_DATA_HOME, created on first use and filled with the
// delivered defaults. The chosen folder becomes the working directory, under which every data path is formed.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <variant>

// Reads an environment variable; "" when it is unset.
using EnvLookup = std::function<std::string(const char* name)>;
EnvLookup processEnvironment();
// ${XDG_CONFIG_HOME:-~/.config}; empty when neither names an absolute folder.
std::filesystem::path userConfigFolder(const EnvLookup& env);

enum class DataFolderSource { Option, Portable, UserData };

struct DataFolder {
    std::filesystem::path path;
    DataFolderSource source = DataFolderSource::UserData;
};

// Picks the folder (nothing is created). Fails only when no user data folder can be named (no HOME).
std::variant<DataFolder, std::string> chooseDataFolder(const std::optional<std::filesystem::path>& option,
                                                       const std::filesystem::path& currentDir, const EnvLookup& env);

// Makes the chosen folder ready: a missing user data folder is built beside its final place from the defaults
// in `defaults` and renamed into place, so a failure leaves nothing half-made; an existing folder is never
// touched. Returns a message naming the path and the reason on failure.
std::optional<std::string> prepareDataFolder(const DataFolder& folder, const std::filesystem::path& defaults);

// The shared files of an installation: `<prefix>/share/quillet` beside `<prefix>/bin`, or (in a build tree)
// the program's own folder when it holds the defaults. Empty when neither is there.
std::filesystem::path findShareFolder(const std::filesystem::path& programFolder);
// The folder of the running program file.
std::filesystem::path runningProgramFolder();

// Chooses, prepares and enters the data folder; the message on failure names the path.
std::variant<DataFolder, std::string> enterDataFolder(const std::optional<std::filesystem::path>& option,
                                                      const std::filesystem::path& programFolder);
