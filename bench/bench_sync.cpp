// The sync with a vdir at the size of a full address book: 1,000 cards and 1,000 memos already agreed, synced
// again with nothing changed (target 0.3 s: every file of the vdir is read and hashed, nothing parsed or written)
// and with one card edited in the card file (one .vcf rewritten).
#include "common/clock.h"
#include "common/numeric_text.h"
#include "common/safe_write.h"
#include "common/text_codec.h"
#include "memo/memo_line.h"
#include "sync/vdir_sync.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string cardLine(int n, std::string_view title) {
    return "%" + std::to_string(n) + "%小" + std::to_string(n) + "%张" + std::to_string(n) + "%" + std::string(title) +
           "%010-" + std::to_string(n) + "%%1380000" + std::to_string(1000 + n) + "%%北京市海淀区%100080%z" +
           std::to_string(n) + "@example.cn%%%######";
}

void writeCards(const fs::path& data, std::string_view firstTitle) {
    std::string text;
    for (int n = 1; n <= 1000; ++n)
        text += cardLine(n, n == 1 ? firstTitle : "经理") + "\r\n";
    writeFileAtomic(data / "txl" / "txl.cjf", encodeGb(text));
}

// A data folder of 1,000 cards and 1,000 memos, synced once with its vdir.
SyncSettings agreedFolder(const Clock& clock) {
    const fs::path data = fs::temp_directory_path() / "quillet-bench-sync";
    fs::remove_all(data);
    fs::create_directories(data / "txl");
    fs::create_directories(data / "bwl");
    writeCards(data, "经理");
    std::string memos;
    for (int n = 1; n <= 1000; ++n)
        memos += buildMemoLine(memoNumber(n), "2026" + twoDigits(1 + n % 12) + twoDigits(1 + n % 28) + "09",
                               "第" + std::to_string(n) + "条备忘:到会议室开会", "F", "2026120909") +
                 "\r\n";
    writeFileAtomic(data / "bwl" / "bwl.cjf", encodeGb(memos));
    SyncSettings settings{data, data / "vdir", data / "sync" / "state"};
    (void)syncWithVdir(settings, clock);
    return settings;
}

void BM_SyncNothingChanged(benchmark::State& state) {
    FakeClock clock(LocalDateTime{2026, 12, 9, 10, 0, 0});
    const SyncSettings settings = agreedFolder(clock);
    for (auto _ : state) {
        Result<SyncReport> report = syncWithVdir(settings, clock);
        if (!report || syncSummary(*report) != syncSummary(SyncReport{}))
            state.SkipWithError("the sync changed something");
    }
}
BENCHMARK(BM_SyncNothingChanged)->Unit(benchmark::kMillisecond);

void BM_SyncOneCardEdited(benchmark::State& state) {
    FakeClock clock(LocalDateTime{2026, 12, 9, 10, 0, 0});
    const SyncSettings settings = agreedFolder(clock);
    bool flip = false;
    for (auto _ : state) {
        state.PauseTiming();
        writeCards(settings.dataDir, (flip = !flip) ? "总监" : "经理");
        state.ResumeTiming();
        Result<SyncReport> report = syncWithVdir(settings, clock);
        if (!report || report->vdir.updated != 1)
            state.SkipWithError("not one file rewritten");
    }
}
BENCHMARK(BM_SyncOneCardEdited)->Unit(benchmark::kMillisecond);

} // namespace
