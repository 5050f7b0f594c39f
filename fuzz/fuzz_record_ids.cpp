// A side file of record identities: any bytes match without harm, every record gets a usable UID of its own,
// and the side file written for the records gives the same UIDs back.
#include "common/line_file.h"
#include "common/record_identity.h"
#include "fuzz/fuzz_support.h"

#include <cstdint>
#include <set>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // Before the first NUL: the side file; after it: one record per line, its key the line's first half.
    const std::size_t cut = std::min(bytes.find('\0'), bytes.size());
    std::vector<RecordTraits> records;
    for (const std::string& line : splitRawLines(cut < bytes.size() ? bytes.substr(cut + 1) : std::string_view()))
        records.push_back({line, line.substr(0, line.size() / 2)});
    RecordIdentities ids;
    ids.match(bytes.substr(0, cut), records);
    FUZZ_CHECK(ids.size() == records.size());
    std::set<std::string> seen;
    for (std::size_t i = 0; i < ids.size(); ++i)
        FUZZ_CHECK(!ids.at(i).uid.empty() && seen.insert(ids.at(i).uid).second);
    RecordIdentities again;
    again.match(ids.text(records), records);
    for (std::size_t i = 0; i < ids.size(); ++i)
        FUZZ_CHECK(again.at(i).uid == ids.at(i).uid && again.at(i).exportHash == ids.at(i).exportHash);
    return 0;
}
