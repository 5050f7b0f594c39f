// vCard files as phones and other programs write them: any bytes read without a crash, in time that grows with
// the input (folded lines are joined in one pass), and never more cards than BEGIN lines.
#include "addressbook/vcard_reader.h"
#include "fuzz/fuzz_support.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::size_t begins = 0;
    for (std::size_t at = 0; (at = bytes.find(':', at)) != std::string_view::npos; ++at)
        ++begins; // every BEGIN:VCARD line has a colon
    const std::vector<VCardEntry> cards = readVCardFile(bytes);
    FUZZ_CHECK(cards.size() <= begins);
    for (const VCardEntry& card : cards)
        for (const VCardProperty& p : card)
            (void)vcardComponents(p.value);
    return 0;
}
