// .lok names: a name that scrambles comes back unchanged when unscrambled.
#include "common/text_codec.h"
#include "encryptor/lok_name.h"
#include "fuzz/fuzz_support.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string name(reinterpret_cast<const char*>(data), size);
    (void)fileExtension(name);
    if (!isLokName(name)) {
        if (std::optional<std::string> scrambled = scrambledFileName(name)) {
            FUZZ_CHECK(isLokName(*scrambled));
            std::optional<std::string> back = unscrambledFileName(*scrambled);
            FUZZ_CHECK(back && *back == name);
        }
    } else if (std::optional<std::string> plain = unscrambledFileName(name)) {
        FUZZ_CHECK(!plain->empty());
    }
    return 0;
}
