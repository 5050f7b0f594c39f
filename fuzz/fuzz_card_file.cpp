// txl.cjf: any bytes load, every card's fields read, and saving unchanged cards writes the same lines back.
#include "addressbook/card_book.h"
#include "common/clock.h"
#include "common/line_file.h"
#include "fuzz/fuzz_support.h"

#include <cstdint>
#include <fstream>
#include <iterator>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    static const FakeClock clock(LocalDateTime{2003, 6, 15, 14, 0, 0});
    const auto file = fuzzFile("txl/txl.cjf", bytes);
    CardBook book(fuzzScratch(), clock);
    CardLoad loaded = book.load(false);
    FUZZ_CHECK(!loaded.error);
    FUZZ_CHECK(loaded.nicknames.size() == static_cast<std::size_t>(book.count()));
    for (int row = 1; row <= book.count(); ++row)
        for (int column = 0; column <= kCardFieldCount; ++column)
            (void)book.cell(row, column);
    FUZZ_CHECK(book.saveAll().ok());
    std::ifstream in(file, std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    FUZZ_CHECK(written == joinRawLines(splitRawLines(bytes)));
    return 0;
}
