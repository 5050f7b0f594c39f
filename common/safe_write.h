#pragma once
// Every file the program rewrites goes through writeFileAtomic: the bytes go to a temporary file in the
// target's folder, every write is checked, the file is flushed to disk and then renamed over the target.
// On any failure the old file stays whole and the caller gets the path and the operating system's reason.
#include "common/result.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Before writing, the stale temporary files of earlier killed saves of the same target are removed.
// A target that is a symbolic link is written through: the file it leads to is replaced in its own folder and
// the link stays. A target that is a folder or another non-regular file, or that the user made read-only (no
// write bit), is refused and left as it is.
//
// Who may read the file. The temporary file gets the final permission bits before its first byte.
enum class FileAccess {
    Usual,                // a new file: 0666 under the umask; a rewritten one keeps its bits
    Private,              // owner-only: the old bits without group and others, else 0600 (every data file)
    PrivateNew = Private, // the data files' older name for the same rule
};
struct AtomicWriteOptions {
    FileAccess access = FileAccess::Usual;
    std::optional<unsigned> mode; // exact final bits, when given (a converted file keeps its source's)
    bool replaceExisting = true;  // false: fail with EEXIST when the target appeared meanwhile
};

Result<void> writeFileAtomic(const std::filesystem::path& target, std::string_view bytes,
                             FileAccess access = FileAccess::Usual);

// Streams into a temporary file beside `target` through `produce` (which calls the given sink with chunks
// and returns false, with a reason, to abandon), fsyncs and renames. The temporary file is removed on failure.
using ChunkSink = std::function<bool(std::string_view chunk)>;
Result<void> writeFileAtomicStreamed(const std::filesystem::path& target,
                                     const std::function<Result<void>(const ChunkSink&)>& produce,
                                     const AtomicWriteOptions& options = {});

// Appends and flushes to disk (for logs that only grow); creates the file when missing.
Result<void> appendFileSynced(const std::filesystem::path& target, std::string_view bytes);

// Whole-file read of bytes; a failed read(2) anywhere in the file is an error, never a shorter file. Only
// plain files are read (a FIFO or device in a file's place is refused without waiting on it), and only up
// to `limit` bytes: a bigger file is refused with a message.
constexpr std::size_t kReadLimit = std::size_t{256} << 20;
Result<std::string> readFileBytes(const std::filesystem::path& path, std::size_t limit = kReadLimit);

// Creates the folder (and its parents) when missing, each new one owner-only (0700).
Result<void> ensureFolder(const std::filesystem::path& folder);

// Test hook: when set, called before each step ("write", "fsync", "rename") of an atomic write with the
// target path, and before each read(2) of readFileBytes ("read"); returning a non-empty reason makes that
// step fail as the operating system would (a read then fails as read(2) does with EIO).
using SafeWriteFault = std::function<std::string(std::string_view step, const std::filesystem::path& target)>;
void setSafeWriteFaultForTests(SafeWriteFault fault);
