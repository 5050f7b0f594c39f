#include "sync/vdirsyncer_config.h"

#include "common/data_paths.h"

#include <cstdlib>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kVdirMark = "# quillet vdir: ";

// A string as vdirsyncer's configuration reads it (JSON).
std::string configString(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out + "\"";
}

std::string storagePair(std::string_view pair, std::string_view type, std::string_view local, std::string_view remote,
                        const std::string& fetch, const SyncServer& server, std::string_view extension,
                        const fs::path& vdir) {
    const std::string name(pair);
    std::string out = "[pair " + name + "]\na = " + configString(name + "_local") +
                      "\nb = " + configString(name + "_remote") + "\ncollections = [[" + configString(local) + ", " +
                      configString(local) + ", " + configString(remote) + "]]\n" +
                      "conflict_resolution = \"b wins\"\n\n";
    out += "[storage " + name + "_local]\ntype = \"filesystem\"\npath = " + configString(pathToUtf8(vdir)) +
           "\nfileext = " + configString(extension) + "\n\n";
    out += "[storage " + name + "_remote]\ntype = " + configString(type) + "\nurl = " + configString(server.url) +
           "\nusername = " + configString(server.user) + "\npassword.fetch = " + fetch + "\n\n";
    return out;
}

} // namespace

fs::path syncConfigFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && *config && fs::path(config).is_absolute())
        return fs::path(config) / "quillet";
    const char* home = std::getenv("HOME");
    return fs::path(home ? home : ".") / ".config" / "quillet";
}

fs::path vdirsyncerConfigPath() {
    return syncConfigFolder() / "vdirsyncer.conf";
}

std::string vdirsyncerConfig(const SyncServer& server, const fs::path& vdir, const fs::path& statusFolder) {
    const std::string fetch =
        server.passwordCommand.empty()
            ? "[\"command\", \"secret-tool\", \"lookup\", \"service\", \"quillet-sync\", \"username\", " +
                  configString(server.user) + "]"
            : "[\"command\", \"sh\", \"-c\", " + configString(server.passwordCommand) + "]";
    std::string out = std::string(kVdirMark) + pathToUtf8(vdir) + "\n";
    out += "# Written by quillet-cli sync setup: the vdir of Quillet's data folder and a CardDAV/CalDAV server.\n";
    out += "# The password is fetched by the command below each time; it is not stored here.\n\n";
    out += "[general]\nstatus_path = " + configString(pathToUtf8(statusFolder) + "/") + "\n\n";
    out += storagePair(kContactsPair, "carddav", "contacts", server.addressBook, fetch, server, ".vcf", vdir);
    out += storagePair(kMemosPair, "caldav", "memos", server.calendar, fetch, server, ".ics", vdir);
    return out;
}

std::optional<fs::path> configuredVdir(std::string_view config) {
    if (!config.starts_with(kVdirMark))
        return std::nullopt;
    config.remove_prefix(kVdirMark.size());
    return pathFromUtf8(config.substr(0, config.find('\n')));
}
