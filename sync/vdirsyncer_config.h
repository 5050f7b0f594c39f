#pragma once
// The settings of vdirsyncer that carries the vdir to a server: the vdir's contacts/ paired with the server's
// address book (CardDAV) and memos/ with its calendar (CalDAV). They live in the user's configuration folder
// (${XDG_CONFIG_HOME:-~/.config}/quillet/vdirsyncer.conf, vdirsyncer's status in vdirsyncer-status/ beside it), not
// in the data folder: they name a server and an account, not data. The password is never written down: vdirsyncer
// runs the given command each time (`password.fetch = ["command", ...]`), by default a look-up in the desktop's
// keyring (secret-tool, service "quillet-sync").
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

struct SyncServer {
    std::string url;
    std::string user;
    std::string passwordCommand; // a shell command that prints the password; empty: the keyring
    std::string addressBook = "contacts";
    std::string calendar = "memos";
};

std::filesystem::path syncConfigFolder();
std::filesystem::path vdirsyncerConfigPath();
// The configuration text; `vdir` and `statusFolder` absolute.
std::string vdirsyncerConfig(const SyncServer& server, const std::filesystem::path& vdir,
                             const std::filesystem::path& statusFolder);
// The vdir a configuration was written for (from its first line), if any.
std::optional<std::filesystem::path> configuredVdir(std::string_view config);
// The pairs of a configuration, for vdirsyncer's discover and sync.
inline constexpr std::string_view kContactsPair = "quillet_contacts";
inline constexpr std::string_view kMemosPair = "quillet_memos";
