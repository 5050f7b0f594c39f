#pragma once
// One advisory lock over the data folder, so that the windows and quillet-cli (and any second copy of either)
// never interleave their read-check-modify-write steps on the same data files.
//
// The lock is a `flock` on the file ".quillet.lock" inside the data folder. A writer takes it exclusively for
// one step only (re-read, merge or check, write, rename: milliseconds), never while a window waits for the
// user. Readers that only list or export do not take it: every data file is replaced by an atomic rename, so a
// reader always sees one whole version. While it holds the lock a writer keeps its pid and program name in the
// file; a writer that cannot have the lock within the timeout names that holder and changes nothing.
//
// Taking the lock again in a process that already holds it for the same folder is granted at once and released
// with the outermost holder, so a step may call another step that locks too (a window's save calls the book's).
#include "common/result.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

inline constexpr std::string_view kDataLockFileName = ".quillet.lock";

class DataLock {
public:
    // Waits up to the timeout (3 s) for the lock over `dataFolder`; the error names the holder, or the reason
    // the lock file cannot be opened (a read-only folder that has none yet, say).
    static Result<DataLock> take(const std::filesystem::path& dataFolder);
    // The lock only when it is free now: for a chore that may as well wait for the next time (a reader
    // writing down new identities), never for a user's change.
    static std::optional<DataLock> tryTake(const std::filesystem::path& dataFolder);

    DataLock(DataLock&& other) noexcept : m_key(std::move(other.m_key)) { other.m_key.clear(); }
    DataLock(const DataLock&) = delete;
    DataLock& operator=(const DataLock&) = delete;
    DataLock& operator=(DataLock&&) = delete;
    ~DataLock();

private:
    static Result<DataLock> takeWithin(const std::filesystem::path& dataFolder, std::chrono::milliseconds timeout);
    explicit DataLock(std::string key) : m_key(std::move(key)) {}
    std::string m_key; // the folder in the registry of held locks; empty once moved from
};

// The data folder of a data file that lies `depth` folders below it: 0 for pavosz.cjf, 1 for bwl/bwl.cjf,
// txl/txl.cjf and the diary months, 2 for a photo in txl/txlphoto.
std::filesystem::path dataFolderAbove(const std::filesystem::path& file, int depth);

// Test hook: how long a writer waits for the lock (3 s when never set).
void setDataLockTimeoutForTests(std::chrono::milliseconds timeout);
