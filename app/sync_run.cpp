#include "app/sync_run.h"

#include "sync/vdirsyncer_config.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMostDetailLines = 8;

std::vector<std::string> linesOf(std::string_view text) {
    std::vector<std::string> lines;
    std::istringstream in{std::string(text)};
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
    }
    return lines;
}

struct Counts {
    int quillet[3] = {}, vdir[3] = {};
    int conflicts = 0;
};

// The counts every run ends with, after "sync: " or "sync failed, done before: ": the last line that holds
// "Quillet: created A, updated B, deleted C; vdir: created D, updated E, deleted F; conflicts G".
bool readSummary(const std::vector<std::string>& lines, Counts& c) {
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
        const std::size_t at = it->find("Quillet: created ");
        if (at != std::string::npos &&
            std::sscanf(it->c_str() + at,
                        "Quillet: created %d, updated %d, deleted %d; vdir: created %d, updated %d, deleted %d; "
                        "conflicts %d",
                        &c.quillet[0], &c.quillet[1], &c.quillet[2], &c.vdir[0], &c.vdir[1], &c.vdir[2],
                        &c.conflicts) == 7)
            return true;
    }
    return false;
}

std::string countsText(const int (&c)[3]) {
    return "新增 " + std::to_string(c[0]) + " 条, 更改 " + std::to_string(c[1]) + " 条, 删除 " + std::to_string(c[2]) +
           " 条";
}

std::string summaryText(const Counts& c) {
    return "本机收到: " + countsText(c.quillet) + "\n发往服务器: " + countsText(c.vdir) +
           "\n两边都改过(两份都保留): " + std::to_string(c.conflicts) + " 条";
}

// The lines a user should read: conflicts and notes, at most a few, then how many more there were.
std::string details(const std::vector<std::string>& lines, bool (*wanted)(const std::string&)) {
    std::string out;
    std::size_t shown = 0, more = 0;
    for (const std::string& line : lines) {
        if (!wanted(line))
            continue;
        if (shown == kMostDetailLines) {
            ++more;
            continue;
        }
        out += "\n" + line;
        ++shown;
    }
    if (more > 0)
        out += "\n……(另有 " + std::to_string(more) + " 行)";
    return out;
}

bool isNote(const std::string& line) {
    return line.starts_with("note: ") || line.starts_with("conflict: ");
}

std::string withoutProgramName(std::string line) {
    constexpr std::string_view prefix = "quillet-cli: ";
    if (line.starts_with(prefix))
        line.erase(0, prefix.size());
    return line;
}

} // namespace

bool syncConfigured() {
    std::error_code ec;
    return fs::is_regular_file(vdirsyncerConfigPath(), ec);
}

fs::path syncSettingsPath() {
    return syncConfigFolder() / "sync.conf";
}

int syncIntervalMinutes(const fs::path& settings) {
    std::ifstream in(settings, std::ios::binary);
    int minutes = 0;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        constexpr std::string_view key = "interval=";
        if (!line.starts_with(key))
            continue;
        const std::string value = line.substr(key.size());
        minutes = 0;
        if (value.empty() || value.size() > 4 || value.find_first_not_of("0123456789") != std::string::npos)
            continue;
        minutes = std::stoi(value);
    }
    return minutes >= 1 && minutes <= kMaxSyncInterval ? minutes : 0;
}

fs::path findCliProgram(const fs::path& programFolder) {
    std::error_code ec;
    if (fs::is_regular_file(programFolder / "quillet-cli", ec))
        return programFolder / "quillet-cli";
    return (programFolder / ".." / "cli" / "quillet-cli").lexically_normal();
}

SyncOutcome syncOutcome(const SyncRunEnd& run) {
    SyncOutcome outcome;
    const auto warn = [&outcome](std::string text) {
        outcome.failed = true;
        outcome.notice = Notice{"警告", "同步未能完成:\n" + text, NoticeIcon::Critical, NoticeButtons::Ok};
        return outcome;
    };
    if (!run.started)
        return warn("无法运行 quillet-cli: " + run.err);
    const std::vector<std::string> out = linesOf(run.out);
    Counts counts;
    const bool summary = readSummary(out, counts);
    outcome.booksChanged = !summary || counts.quillet[0] + counts.quillet[1] + counts.quillet[2] > 0;
    if (run.crashed || run.exitCode != 0 || !summary) {
        std::string reason;
        for (const std::string& line : linesOf(run.err))
            reason += withoutProgramName(line) + "\n";
        if (reason.size() > 4000)
            reason = "……" + reason.substr(reason.size() - 4000);
        if (reason.empty())
            reason = run.crashed                     ? "quillet-cli 意外终止\n"
                     : !summary && run.exitCode == 0 ? "quillet-cli 没有报告同步的结果\n"
                                                     : "quillet-cli 以代码 " + std::to_string(run.exitCode) + " 结束\n";
        return warn(reason + (summary ? "\n已完成的部分:\n" + summaryText(counts) : std::string()));
    }
    outcome.notice = Notice{"提示", "同步完成。\n" + summaryText(counts) + details(out, isNote),
                            NoticeIcon::Information, NoticeButtons::Ok};
    return outcome;
}

Notice syncBusyNotice() {
    return Notice{"提示", "同步正在进行,请稍候。", NoticeIcon::Information, NoticeButtons::Ok};
}
