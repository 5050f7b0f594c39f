// txl.cjf: any bytes load, every card's fields read, and saving unchanged cards writes the same lines back (a
// serial that is not its row's is the one thing a save corrects; the fields stay as they were).
#include "addressbook/card_book.h"
#include "common/clock.h"
#include "common/line_file.h"
#include "common/numeric_text.h"
#include "fuzz/fuzz_support.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    static const FakeClock clock(LocalDateTime{2003, 6, 15, 14, 0, 0});
    const auto file = fuzzFile("txl/txl.cjf", bytes);
    CardBook book(fuzzScratch(), clock);
    CardLoad loaded = book.load(false);
    FUZZ_CHECK(!loaded.error);
    FUZZ_CHECK(loaded.nicknames.size() == static_cast<std::size_t>(book.count()));
    bool numbered = true;
    std::vector<std::string> fields;
    for (int row = 1; row <= book.count(); ++row) {
        numbered =
            numbered && (numericValue(book.cell(row, 1)) == row || book.cell(row, 0).find('%') == std::string::npos);
        for (int column = 0; column <= kCardFieldCount; ++column)
            if (column >= 2)
                fields.push_back(book.cell(row, column));
    }
    FUZZ_CHECK(book.saveAll().ok());
    std::ifstream in(file, std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (numbered)
        FUZZ_CHECK(written == joinRawLines(splitRawLines(bytes)));
    CardBook again(fuzzScratch(), clock);
    FUZZ_CHECK(!again.load(false).error && again.count() == book.count());
    std::size_t at = 0;
    for (int row = 1; row <= again.count(); ++row)
        for (int column = 2; column <= kCardFieldCount; ++column)
            FUZZ_CHECK(again.cell(row, column) == fields[at++]);
    return 0;
}
