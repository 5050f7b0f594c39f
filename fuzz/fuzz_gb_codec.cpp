// The GB18030 codec: every byte string survives decoding and encoding unchanged, and the text helpers take
// whatever decoding gives.
#include "common/text_codec.h"
#include "fuzz/fuzz_support.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string text = decodeGb(bytes);
    FUZZ_CHECK(encodeGb(text) == bytes);
    FUZZ_CHECK(fromU32(toU32(text)) == text);
    const std::size_t chars = charCount(text);
    FUZZ_CHECK(charMid(text, 0) == text);
    FUZZ_CHECK(charCount(charMid(text, chars / 2, 3)) <= 3);
    (void)gbWidth(text);
    return 0;
}
