// The memo file at its largest: load and save of 10,000 memo lines (target 20 ms), and one reminder check
// over them (target 5 ms).
#include "common/numeric_text.h"
#include "common/safe_write.h"
#include "common/text_codec.h"
#include "memo/memo_book.h"
#include "reminder/memo_reminder.h"
#include "reminder/music.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

class SilentMci : public MciDevice {
public:
    std::string sendString(std::string_view) override { return "playing"; }
};

// A memo file of `count` lines with Chinese texts of varied length, dues spread over 2020-2024, two in three
// memos active.
fs::path writeBigMemoFile(int count) {
    fs::path folder = fs::temp_directory_path() / "quillet-bench-memo" / "bwl";
    fs::create_directories(folder);
    std::string bytes;
    for (int n = 1; n <= count; ++n) {
        std::string text = "第" + std::to_string(n) + "条备忘:下午到会议室开会,带上季度报告";
        text.append(static_cast<std::size_t>(n % 7) * 3, 'x');
        std::string due =
            std::to_string(2020 + n % 5) + twoDigits(1 + n % 12) + twoDigits(1 + n % 31) + twoDigits(n % 24);
        bytes += encodeGb(buildMemoLine(memoNumber(std::min(n, 9999)), due, text, n % 3 ? "F" : "T", "2024010108"));
        bytes += "\r\n";
    }
    fs::path file = folder / "bwl.cjf";
    writeFileAtomic(file, bytes);
    return file;
}

void BM_MemoBookLoadSave10000(benchmark::State& state) {
    fs::path file = writeBigMemoFile(10000);
    MemoBook book;
    for (auto _ : state) {
        if (!book.load(file) || !book.save(file))
            state.SkipWithError("memo file I/O failed");
        benchmark::DoNotOptimize(book.count());
    }
}
BENCHMARK(BM_MemoBookLoadSave10000)->Unit(benchmark::kMillisecond);

void BM_MemoBookLoad10000(benchmark::State& state) {
    fs::path file = writeBigMemoFile(10000);
    MemoBook book;
    for (auto _ : state) {
        book.load(file);
        benchmark::DoNotOptimize(book.count());
    }
}
BENCHMARK(BM_MemoBookLoad10000)->Unit(benchmark::kMillisecond);

// `now` decides how many lines pass the date test and must be decoded: on 15 June at 14 o'clock about one in
// eight (the typical case); on 31 December at 23 o'clock every one (the worst case, two in three announced).
void BM_MemoReminderCheck10000(benchmark::State& state) {
    fs::path file = writeBigMemoFile(10000);
    SilentMci mci;
    Music music(mci, fs::temp_directory_path());
    Form3State desk;
    const LocalDateTime now = state.range(0) ? LocalDateTime{2024, 12, 31, 23, 30} : LocalDateTime{2024, 6, 15, 14, 30};
    int announced = 0;
    for (auto _ : state) {
        announced = runMemoCheck(desk, music, file, now, [](const AnnouncedMemo&) {});
        benchmark::DoNotOptimize(announced);
    }
    state.counters["announced"] = announced;
}
BENCHMARK(BM_MemoReminderCheck10000)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
