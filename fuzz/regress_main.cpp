// Runs a fuzz target over files and folders of inputs without libFuzzer: the seed corpus and every input a
// fuzzer once found become regression inputs of each test run, with any compiler. Every target is linked in
// under its own name (fuzz_targets.inc, written by CMake); the first argument names the one to run.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#define QUILLET_FUZZ_TARGET(name) extern "C" int quilletFuzz_##name(const uint8_t* data, size_t size);
#include "fuzz_targets.inc"
#undef QUILLET_FUZZ_TARGET

namespace fs = std::filesystem;

namespace {
struct Target {
    const char* name;
    int (*run)(const uint8_t* data, size_t size);
};
const Target kTargets[] = {
#define QUILLET_FUZZ_TARGET(name) {#name, quilletFuzz_##name},
#include "fuzz_targets.inc"
#undef QUILLET_FUZZ_TARGET
};
} // namespace

int main(int argc, char** argv) {
    const Target* target = nullptr;
    for (const Target& t : kTargets)
        if (argc > 1 && std::strcmp(argv[1], t.name) == 0)
            target = &t;
    if (!target) {
        std::fprintf(stderr, "usage: fuzz_corpus TARGET INPUT...\n");
        return 2;
    }
    std::vector<fs::path> inputs;
    for (int i = 2; i < argc; ++i) {
        if (fs::is_directory(argv[i])) {
            for (const auto& e : fs::recursive_directory_iterator(argv[i]))
                if (e.is_regular_file())
                    inputs.push_back(e.path());
        } else {
            inputs.emplace_back(argv[i]);
        }
    }
    for (const fs::path& input : inputs) {
        std::ifstream in(input, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        target->run(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("%zu inputs ran\n", inputs.size());
    return inputs.empty() ? 1 : 0;
}
