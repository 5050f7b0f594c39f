// Scrambling throughput of .lok files next to plain memcpy, and the peak memory of one conversion.
//
// BM_Memcpy/N       memcpy of N bytes between two N-byte buffers (the yardstick)
// BM_CipherPass/N   the streaming cipher over an N-byte buffer in place (what the conversion adds per byte)
// BM_CopySynced/N   an N-byte file copied through the atomic streamed write, no cipher (the I/O yardstick)
// BM_LokFile/N      convertLokFile on an N-byte file: read, cipher, write, fsync, rename, remove
// N is in MiB. The LokFile case reports peak_rss_KiB, the peak resident set while it converted (the peak is
// reset before), and rss_growth_KiB, that peak above the idle program's resident set at start: both stay
// near the 1 MiB chunk whatever the file size.
// The 1 GiB cases take several seconds each and run only with QUILLET_BENCH_1GIB=1 in the environment.
#include "common/safe_write.h"
#include "diary/text_cipher.h"
#include "encryptor/lok_file.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;

// "VmRSS" or "VmHWM" of this process, in KiB.
long statusKiB(const char* field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field, 0) == 0)
            return std::atol(line.c_str() + std::strlen(field) + 1);
    return -1;
}

// The resident set of the idle program, before any case ran.
const long g_startRss = statusKiB("VmRSS:");

// Makes the peak resident set start again from the current one.
void resetPeakRss() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

fs::path benchFolder() {
    fs::path folder = fs::temp_directory_path() / ("quillet-bench-lok-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder);
    return folder;
}

void writeSample(const fs::path& file, std::size_t size) {
    std::string chunk(kMiB, '\0');
    for (std::size_t i = 0; i < chunk.size(); ++i)
        chunk[i] = static_cast<char>((i * 131 + 7) % 251);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    for (std::size_t done = 0; done < size; done += chunk.size())
        out.write(chunk.data(), static_cast<std::streamsize>(std::min(chunk.size(), size - done)));
}

void BM_Memcpy(benchmark::State& state) {
    const std::size_t size = static_cast<std::size_t>(state.range(0)) * kMiB;
    std::vector<char> from(size, 'q'), to(size, 'z');
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), size);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(size));
}

void BM_CipherPass(benchmark::State& state) {
    const std::size_t size = static_cast<std::size_t>(state.range(0)) * kMiB;
    std::vector<char> data(size, 'q');
    for (auto _ : state) {
        CipherStream cipher(6, size);
        cipher.process(data.data(), size);
        benchmark::DoNotOptimize(data.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(size));
}

void BM_CopySynced(benchmark::State& state) {
    const std::size_t size = static_cast<std::size_t>(state.range(0)) * kMiB;
    const fs::path folder = benchFolder();
    writeSample(folder / "plain.dat", size);
    std::vector<char> buffer(kMiB);
    for (auto _ : state) {
        std::ifstream in(folder / "plain.dat", std::ios::binary);
        Result<void> done = writeFileAtomicStreamed(folder / "copy.dat", [&](const ChunkSink& sink) -> Result<void> {
            while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0)
                if (!sink(std::string_view(buffer.data(), static_cast<std::size_t>(in.gcount()))))
                    break;
            return {};
        });
        if (!done)
            state.SkipWithError(done.error().message().c_str());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(size));
    fs::remove_all(folder);
}

void BM_LokFile(benchmark::State& state) {
    const std::size_t size = static_cast<std::size_t>(state.range(0)) * kMiB;
    const fs::path folder = benchFolder();
    fs::path current = folder / "sample.dat";
    writeSample(current, size);
    resetPeakRss();
    for (auto _ : state) {
        LokOutcome out = convertLokFile(current, "secret");
        if (out.failure) {
            state.SkipWithError(out.failure->text.c_str());
            break;
        }
        current = out.target.path;
    }
    const long peak = statusKiB("VmHWM:");
    state.counters["peak_rss_KiB"] = static_cast<double>(peak);
    state.counters["rss_growth_KiB"] = static_cast<double>(peak - g_startRss);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(size));
    fs::remove_all(folder);
}

// Registered here rather than with BENCHMARK() so that the 1 GiB sizes can be left out by default.
const bool registered = [] {
    std::vector<int64_t> sizes{1, 64};
    if (const char* large = std::getenv("QUILLET_BENCH_1GIB"); large && std::string(large) == "1")
        sizes.push_back(1024);
    for (auto [name, fn] : {std::pair{"BM_Memcpy", &BM_Memcpy}, std::pair{"BM_CipherPass", &BM_CipherPass},
                            std::pair{"BM_CopySynced", &BM_CopySynced}, std::pair{"BM_LokFile", &BM_LokFile}})
        for (int64_t mib : sizes)
            benchmark::RegisterBenchmark(name, fn)->Arg(mib)->UseRealTime()->Unit(benchmark::kMillisecond);
    return true;
}();

} // namespace
