#pragma once
// What a data file held when it was read, so that a save can tell whether something else (quillet-cli, a
// second window, a sync tool) changed it since. The content is compared, not the modification time: a
// coarse clock can give two writes within one tick the same time.
#include <cstdint>
#include <filesystem>
#include <string_view>

struct FileStamp {
    bool exists = false;
    std::uintmax_t size = 0;
    std::uint64_t hash = 0;
    bool operator==(const FileStamp&) const = default;
};

// The stamp of bytes just read from (or written to) a file.
FileStamp stampOf(std::string_view bytes);
// True when the file now differs from the stamp: other content, or it appeared. A file that cannot be read
// counts as changed; one that vanished does not (it holds nothing to keep, so the caller writes its copy).
bool changedSince(const std::filesystem::path& path, const FileStamp& stamp);
