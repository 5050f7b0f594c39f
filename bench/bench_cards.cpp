// The address book with 1,000 cards: loading the card file and exporting the boxed text (the window's "确定")
// must together stay under 5 ms. The export's atomic replace of dctxl.cjf ends in an fsync whose time is the
// disk's, so the whole export is measured twice: in a folder on the disk and in one in memory (/dev/shm,
// where the flush costs nothing), besides the load and the text alone.
#include "addressbook/card_book.h"
#include "addressbook/card_export.h"
#include "common/text_codec.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;

namespace {

// A working folder with txl/txl.cjf holding 1,000 cards of typical lengths, half with Chinese text.
class CardFolder {
public:
    explicit CardFolder(const fs::path& base = fs::temp_directory_path())
        : m_path(base / ("quillet-bench-cards-" + std::to_string(std::random_device{}()))) {
        fs::create_directories(m_path / "txl");
        std::string text;
        for (int k = 1; k <= 1000; ++k) {
            const std::string n = std::to_string(k);
            text += "%" + newSerialNumber(k - 1) + "%" + (k % 2 ? "老张" + n : "nick" + n) + "%" +
                    (k % 2 ? "张三" : "Li Si") + "%经理%010-6234" + n + "%020-8888" + n + "%1390000" + n + "%" + n +
                    "%北京市海淀区中关村大街" + n + "号%100080%user" + n + "@example.cn%www.user" + n +
                    ".cn%www.corp.cn%######\r\n";
        }
        std::ofstream(m_path / "txl" / "txl.cjf", std::ios::binary) << encodeGb(text);
    }
    ~CardFolder() {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

void BM_LoadAndBuildExport(benchmark::State& state) {
    CardFolder folder;
    FakeClock clock({2026, 12, 8});
    CardBook book(folder.path(), clock);
    for (auto _ : state) {
        book.load();
        benchmark::DoNotOptimize(buildExportText(book, commonExportFields(), clock.now()));
    }
}
BENCHMARK(BM_LoadAndBuildExport)->Unit(benchmark::kMillisecond);

void loadAndExport(benchmark::State& state, const fs::path& base) {
    CardFolder folder(base);
    FakeClock clock({2026, 12, 8});
    CardBook book(folder.path(), clock);
    for (auto _ : state) {
        book.load();
        benchmark::DoNotOptimize(book.exportCards(commonExportFields()));
    }
}
void BM_LoadAndExportToDisk(benchmark::State& state) {
    loadAndExport(state, fs::temp_directory_path());
}
BENCHMARK(BM_LoadAndExportToDisk)->Unit(benchmark::kMillisecond);

void BM_LoadAndExportInMemoryFolder(benchmark::State& state) {
    std::error_code ec;
    if (!fs::is_directory("/dev/shm", ec)) {
        state.SkipWithError("no /dev/shm");
        return;
    }
    loadAndExport(state, "/dev/shm");
}
BENCHMARK(BM_LoadAndExportInMemoryFolder)->Unit(benchmark::kMillisecond);

void BM_LoadAndExportAllFields(benchmark::State& state) {
    CardFolder folder;
    FakeClock clock({2026, 12, 8});
    CardBook book(folder.path(), clock);
    const std::vector<int> all{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
    for (auto _ : state) {
        book.load();
        benchmark::DoNotOptimize(buildExportText(book, all, clock.now()));
    }
}
BENCHMARK(BM_LoadAndExportAllFields)->Unit(benchmark::kMillisecond);

} // namespace
