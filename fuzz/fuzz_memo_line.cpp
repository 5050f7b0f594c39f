// One memo line as read from the file: parsing never fails, the line is kept whole, and a flag change
// touches the flag column only (a damaged line not at all).
#include "common/text_codec.h"
#include "fuzz/fuzz_support.h"
#include "memo/memo_line.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string line = decodeGb(std::string_view(reinterpret_cast<const char*>(data), size));
    MemoRecord record = MemoRecord::fromLine(line);
    FUZZ_CHECK(record.line == line);
    (void)record.stamp();
    const std::string flagged = memoLineWithFlag(line, U'T');
    if (record.damaged) {
        FUZZ_CHECK(flagged == line);
        return 0;
    }
    const std::u32string before = toU32(line), after = toU32(flagged);
    FUZZ_CHECK(before.size() == after.size());
    const std::size_t flagAt = before.size() - 13; // column L-12, counted from 1
    FUZZ_CHECK(after[flagAt] == U'T');
    FUZZ_CHECK(before.substr(0, flagAt) == after.substr(0, flagAt));
    FUZZ_CHECK(before.substr(flagAt + 1) == after.substr(flagAt + 1));
    return 0;
}
