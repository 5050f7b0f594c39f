// pavosz.cjf: any bytes either parse into values that write back and parse the same, or give a problem text.
#include "app/settings_file.h"
#include "fuzz/fuzz_support.h"

#include <cstdint>
#include <variant>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto parsed = parseSettings(bytes, "pavosz.cjf");
    if (const auto* values = std::get_if<SettingsValues>(&parsed)) {
        auto again = parseSettings(serializeSettings(*values), "pavosz.cjf");
        if (const auto* second = std::get_if<SettingsValues>(&again)) {
            FUZZ_CHECK(second->password == values->password);
            FUZZ_CHECK(second->password3 == values->password3);
            FUZZ_CHECK(second->dss == values->dss);
        }
    }
    return 0;
}
