// One card line: split into its fields whatever it holds.
#include "addressbook/card_book.h"
#include "common/text_codec.h"
#include "fuzz/fuzz_support.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string line = decodeGb(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::vector<std::string> fields = splitCardLine(line);
    std::size_t total = 0;
    for (const std::string& field : fields)
        total += field.size();
    FUZZ_CHECK(total <= line.size());
    (void)trimSpaces(line);
    (void)isBarePhotoName(line);
    return 0;
}
