#include "fuzz/fuzz_support.h"

#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

fs::path fuzzScratch() {
    // Kept for the whole run (never destroyed), so the clean-up at exit can still use it.
    static const fs::path* folder = [] {
        std::error_code ec;
        fs::path base = fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
        auto* mine = new fs::path(base / ("quillet-fuzz-" + std::to_string(::getpid())));
        fs::create_directories(*mine);
        std::atexit([] {
            std::error_code ignored;
            fs::remove_all(fuzzScratch(), ignored);
        });
        return mine;
    }();
    return *folder;
}

fs::path fuzzFile(std::string_view relative, std::string_view bytes) {
    fs::path path = fuzzScratch() / relative;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}
