// MCI command strings: parsing never fails, and an OPEN with a quoted file parses to that file.
#include "fuzz/fuzz_support.h"
#include "platform/mci_command.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    (void)splitMciWords(text);
    (void)parseMciCommand(text);
    if (text.find('"') == std::string::npos && !text.empty()) {
        std::optional<MciCommand> open = parseMciCommand("OPEN \"" + text + "\" ALIAS a");
        if (open)
            FUZZ_CHECK(open->name == text);
    }
    return 0;
}
