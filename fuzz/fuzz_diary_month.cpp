// A diary month file: the first byte chooses the stored (ciphered) form or the deciphered text. Reading never
// fails, and a month read whole writes back to text that reads as the same days.
#include "common/line_file.h"
#include "diary/diary_month.h"
#include "diary/text_cipher.h"
#include "fuzz/fuzz_support.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const bool ciphered = data[0] & 1;
    const double wantedDay = data[0] >> 1; // 0..127: days in and out of range
    std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::string plain = ciphered ? CipherPass(bytes, "key") : std::string(bytes);
    std::string exportText;
    MonthRead read = readMonthLines(decodeLines(plain), wantedDay, &exportText);
    const std::string shown = withLineFeeds(read.shownEntry); // as `diary show` prints it, in one pass
    FUZZ_CHECK(shown.size() <= read.shownEntry.size());
    if (read.readable) {
        MonthRead again = readMonthLines(decodeLines(monthPlainBytes(read.tables)), wantedDay);
        FUZZ_CHECK(again.readable);
        FUZZ_CHECK(monthPlainBytes(again.tables) == monthPlainBytes(read.tables));
    }
    return 0;
}
