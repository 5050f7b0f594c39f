// Reading grows in step with the input, however it is shaped: a 3 MB vCard whose lines are folded over and
// over (an unclosed quote in the parameters, each piece ending in "="), imported into an empty address book,
// and `diary show` of a day holding 30 MB of text. Each must take well under a second.
#include "addressbook/card_book.h"
#include "addressbook/card_vcard_import.h"
#include "diary/diary_book.h"
#include "diary/diary_month.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

namespace fs = std::filesystem;

namespace {

class TempFolder {
public:
    TempFolder() : m_path(fs::temp_directory_path() / ("quillet-bench-" + std::to_string(std::random_device{}()))) {
        fs::create_directories(m_path);
    }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

std::string foldedVCard(std::size_t bytes) {
    std::string text = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Folded\r\nNOTE;X=\"start=\r\n";
    while (text.size() < bytes)
        text += " " + std::string(72, 'a') + "=\r\n";
    return text + "END:VCARD\r\n";
}

void BM_ImportFoldedVCard(benchmark::State& state) {
    const std::string vcard = foldedVCard(3'000'000);
    FakeClock clock({2026, 12, 9});
    for (auto _ : state) {
        TempFolder folder;
        CardBook book(folder.path(), clock);
        book.load(true);
        benchmark::DoNotOptimize(importVCards(book, vcard));
    }
}
BENCHMARK(BM_ImportFoldedVCard)->Unit(benchmark::kMillisecond);

void BM_ShowBigDiaryDay(benchmark::State& state) {
    TempFolder folder;
    FakeClock clock({2026, 12, 9, 10, 0, 0});
    std::string day;
    for (int n = 0; day.size() < 30'000'000; ++n)
        day += "第" + std::to_string(n) + "行 " + std::string(1000, 'x') + "\r\n";
    DiaryBook diary(clock, folder.path());
    diary.LoadMonth("2026", "12", "09", "key");
    if (diary.SaveDay("2026", "12", "09", day, "key"))
        state.SkipWithError("the day could not be saved");
    for (auto _ : state) {
        const StoredMonth stored = readStoredMonth(folder.path(), "2026", "12", "key", 9);
        benchmark::DoNotOptimize(withLineFeeds(stored.read.shownEntry));
    }
}
BENCHMARK(BM_ShowBigDiaryDay)->Unit(benchmark::kMillisecond);

} // namespace
