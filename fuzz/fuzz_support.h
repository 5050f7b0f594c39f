#pragma once
// Shared by the fuzz targets: a scratch folder for parsers that read files, and the check that stops a run.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>

// A folder of this process's own on a memory file system when there is one (the saves fsync).
std::filesystem::path fuzzScratch();
// Writes bytes to a file below the scratch folder and returns its path.
std::filesystem::path fuzzFile(std::string_view relative, std::string_view bytes);

// A broken promise of the parser: report it and stop, so libFuzzer keeps the input.
#define FUZZ_CHECK(cond)                                                                                               \
    do {                                                                                                               \
        if (!(cond)) {                                                                                                 \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond);                              \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (0)
