#include "common/file_stamp.h"

#include "common/safe_write.h"

#include <system_error>

FileStamp stampOf(std::string_view bytes) {
    std::uint64_t hash = 14695981039346656037ULL; // FNV-1a, 64 bits
    for (char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    return {true, bytes.size(), hash};
}

bool changedSince(const std::filesystem::path& path, const FileStamp& stamp) {
    std::error_code ec;
    const bool exists = std::filesystem::exists(path, ec) || ec;
    if (!exists)
        return false; // nothing there to keep: the caller's copy is written back whole
    if (!stamp.exists)
        return true;
    // The size settles most cases without reading the file.
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec || size != stamp.size)
        return true;
    Result<std::string> bytes = readFileBytes(path);
    return !bytes || stampOf(*bytes) != stamp;
}
