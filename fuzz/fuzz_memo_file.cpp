// bwl.cjf: any bytes load, and saving the book unchanged writes the same bytes back (line ends as CR LF).
#include "common/line_file.h"
#include "fuzz/fuzz_support.h"
#include "memo/memo_book.h"

#include <cstdint>
#include <fstream>
#include <iterator>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    MemoBook book;
    FUZZ_CHECK(book.load(fuzzFile("bwl/bwl.cjf", bytes)).ok());
    for (int n = 1; n <= book.count(); ++n)
        FUZZ_CHECK(book.record(n) != nullptr);
    const auto saved = fuzzScratch() / "bwl/saved.cjf";
    FUZZ_CHECK(book.save(saved).ok());
    std::ifstream in(saved, std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    FUZZ_CHECK(written == joinRawLines(splitRawLines(bytes)));
    return 0;
}
