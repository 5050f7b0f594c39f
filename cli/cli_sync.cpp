// quillet-cli sync [--vdir VDIR] [--dry-run]: the memo book and the address book mirrored both ways into a vdir
// (sync/vdir_sync.h). Without --vdir the vdir is the data folder's own (sync/vdir) and, when a server is set up,
// vdirsyncer carries it to the server between two passes: reconcile, vdirsyncer sync, reconcile.
// quillet-cli sync setup URL USER [--password-command CMD] [--addressbook NAME] [--calendar NAME]: writes
// vdirsyncer's settings for that server (sync/vdirsyncer_config.h).
#include "cli/cli_registry.h"
#include "common/clock.h"
#include "common/data_paths.h"
#include "common/safe_write.h"
#include "sync/vdir_sync.h"
#include "sync/vdirsyncer_config.h"

#include <QProcess>
#include <QStringList>

#include <filesystem>
#include <iostream>
#include <optional>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kVdirsyncerFailed = "同步出错(vdirsyncer 报告):";

fs::path statusFolder() {
    return syncConfigFolder() / "vdirsyncer-status";
}

void printReport(const SyncReport& report) {
    for (const std::string& line : report.lines)
        std::cout << line << '\n';
    for (const std::string& problem : report.problems)
        std::cout << "note: " << problem << '\n';
}

void add(SyncReport& total, const SyncReport& pass) {
    for (auto [to, from] : {std::pair{&total.quillet, &pass.quillet}, std::pair{&total.vdir, &pass.vdir}}) {
        to->created += from->created;
        to->updated += from->updated;
        to->deleted += from->deleted;
    }
    total.conflicts += pass.conflicts;
}

std::optional<SyncReport> reconcile(const fs::path& vdir, bool dryRun, bool incomingOnly) {
    const fs::path data = fs::current_path();
    SystemClock clock;
    Result<SyncReport> report = syncWithVdir({data, vdir, syncStateFile(data, vdir), dryRun, incomingOnly}, clock);
    if (!report) {
        cliFailure("sync: nothing more done: " + report.error().path + ": " + report.error().reason);
        return std::nullopt;
    }
    printReport(*report);
    return *report;
}

// Runs vdirsyncer with `args`; its output is shown under a Chinese caption when it fails.
bool runVdirsyncer(const QStringList& args) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start("vdirsyncer", QStringList{"-c", QString::fromStdString(pathToUtf8(vdirsyncerConfigPath()))} + args);
    if (!process.waitForStarted()) {
        std::cerr << kVdirsyncerFailed
                  << "\n  找不到 vdirsyncer(Debian 软件包 vdirsyncer): " << process.errorString().toStdString() << '\n';
        return false;
    }
    process.write("y\ny\ny\ny\n"); // discover asks before it creates a missing collection on the server
    process.closeWriteChannel();
    process.waitForFinished(-1);
    const std::string output = process.readAll().toStdString();
    if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        return true;
    std::cerr << kVdirsyncerFailed << "\n" << output;
    if (!output.empty() && output.back() != '\n')
        std::cerr << '\n';
    return false;
}

bool needsDiscover() {
    for (std::string_view pair : {kContactsPair, kMemosPair})
        if (!fs::exists(statusFolder() / (std::string(pair) + ".collections")))
            return true;
    return false;
}

// The server step, when one is set up for this data folder's vdir: false on a failure (already reported).
std::optional<bool> serverStep(const fs::path& vdir) {
    Result<std::string> config = readFileBytes(vdirsyncerConfigPath());
    if (!config)
        return std::nullopt;
    std::optional<fs::path> configured = configuredVdir(*config);
    std::error_code ec;
    if (!configured || fs::weakly_canonical(*configured, ec) != fs::weakly_canonical(vdir, ec)) {
        std::cerr << kVdirsyncerFailed << "\n  " << pathToUtf8(vdirsyncerConfigPath())
                  << " was set up for another data folder; run quillet-cli sync setup again here\n";
        return false;
    }
    if (needsDiscover() && !runVdirsyncer({"discover"}))
        return false;
    return runVdirsyncer({"sync"});
}

int syncCommand(const CliArgs& args) {
    std::optional<fs::path> vdir;
    bool dryRun = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--dry-run")
            dryRun = true;
        else if (args[i] == "--vdir" && i + 1 < args.size() && !args[i + 1].empty())
            vdir = cliUserPath(args[++i]);
        else
            return cliUsageError("sync: unknown argument '" + args[i] + "' (see quillet-cli --help)");
    }
    const bool withServer = !vdir && fs::exists(vdirsyncerConfigPath()) && !dryRun;
    if (dryRun && !vdir && fs::exists(vdirsyncerConfigPath()))
        std::cout << "(a dry run does not reach the server: what the vdir holds now is compared)\n";
    const fs::path folder = vdir ? *vdir : defaultVdir(fs::current_path());
    SyncReport total;
    bool failed = false;
    // Every run ends with the counts of what was done, also when a step failed.
    const auto finish = [&] {
        std::cout << (failed   ? "sync failed, done before: "
                      : dryRun ? "dry run, nothing written: "
                               : "sync: ")
                  << syncSummary(total) << '\n';
        return failed ? 1 : 0;
    };
    std::optional<SyncReport> first = reconcile(folder, dryRun, withServer);
    if (!first)
        return failed = true, finish();
    add(total, *first);
    if (withServer) {
        failed = serverStep(folder) == false;
        // The second pass runs after a failed server step too: it agrees what did come back.
        std::optional<SyncReport> second = reconcile(folder, false, false);
        if (!second)
            return failed = true, finish();
        add(total, *second);
        // What the second pass wrote goes out to the server.
        if (!failed && second->vdir.created + second->vdir.updated + second->vdir.deleted + second->conflicts > 0)
            failed = !runVdirsyncer({"sync"});
    }
    return finish();
}

int setupCommand(const CliArgs& args) {
    if (args.size() < 3)
        return cliUsageError("sync setup URL USER [--password-command CMD] [--addressbook NAME] [--calendar NAME]");
    SyncServer server;
    server.url = args[1];
    server.user = args[2];
    for (std::size_t i = 3; i < args.size(); i += 2) {
        if (i + 1 >= args.size())
            return cliUsageError("sync setup: " + args[i] + " needs a value");
        if (args[i] == "--password-command")
            server.passwordCommand = args[i + 1];
        else if (args[i] == "--addressbook")
            server.addressBook = args[i + 1];
        else if (args[i] == "--calendar")
            server.calendar = args[i + 1];
        else
            return cliUsageError("sync setup: unknown argument '" + args[i] + "'");
    }
    if (!server.url.starts_with("http://") && !server.url.starts_with("https://"))
        return cliUsageError("sync setup: the server's URL starts with https:// (or http://)");
    const fs::path vdir = fs::absolute(defaultVdir(fs::current_path()));
    const std::string text = vdirsyncerConfig(server, vdir, statusFolder());
    if (Result<void> made = ensureFolder(syncConfigFolder()); !made)
        return cliFailure("sync setup: " + made.error().path + ": " + made.error().reason);
    if (Result<void> written = writeFileAtomic(vdirsyncerConfigPath(), text, FileAccess::Private); !written)
        return cliFailure("sync setup: " + written.error().path + ": " + written.error().reason);
    // The status belongs to the vdir it was made with: a new set-up starts vdirsyncer afresh.
    std::error_code ec;
    fs::remove_all(statusFolder(), ec);
    std::cout << "written " << pathToUtf8(vdirsyncerConfigPath()) << '\n';
    if (server.passwordCommand.empty())
        std::cout << "the password is taken from the keyring; store it once with:\n  secret-tool store --label=Quillet "
                     "service quillet-sync username "
                  << server.user << '\n';
    std::cout << "now run: quillet-cli sync\n";
    return 0;
}

int run(const CliArgs& args) {
    if (!args.empty() && args[0] == "setup")
        return setupCommand(args);
    return syncCommand(args);
}

const CliRegistrar registrar{
    "sync",
    {"  sync [--vdir VDIR] [--dry-run]   memos and cards both ways with a vdir (VDIR/contacts/*.vcf,\n"
     "                                   VDIR/memos/*.ics); without --vdir the data folder's sync/vdir and,\n"
     "                                   once set up, the server through vdirsyncer\n"
     "  sync setup URL USER [--password-command CMD] [--addressbook NAME] [--calendar NAME]\n"
     "                                   vdirsyncer's settings for a CardDAV/CalDAV server\n",
     run}};

} // namespace
