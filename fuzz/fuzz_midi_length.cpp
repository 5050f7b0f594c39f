// The MIDI length reader: any bytes give a length that is a number and not negative, or none.
#include "fuzz/fuzz_support.h"
#include "platform/midi_file_length.h"

#include <cmath>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (std::optional<double> seconds = midiFileSeconds(std::string_view(reinterpret_cast<const char*>(data), size)))
        FUZZ_CHECK(std::isfinite(*seconds) && *seconds >= 0);
    return 0;
}
