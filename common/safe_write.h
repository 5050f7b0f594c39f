#pragma once
// Every file the program rewrites goes through writeFileAtomic: the bytes go to a temporary file in the
// target's folder, every write is checked, the file is flushed to disk and then renamed over the target.
// On any failure the old file stays whole and the caller gets the path and the operating system's reason.
#include "common/result.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

Result<void> writeFileAtomic(const std::filesystem::path& target, std::string_view bytes);

// Streams into a temporary file beside `target` through `produce` (which calls the given sink with chunks
// and returns false, with a reason, to abandon), fsyncs and renames. The temporary file is removed on failure.
using ChunkSink = std::function<bool(std::string_view chunk)>;
Result<void> writeFileAtomicStreamed(const std::filesystem::path& target,
                                     const std::function<Result<void>(const ChunkSink&)>& produce,
                                     bool replaceExisting = true);

// Appends and flushes to disk (for logs that only grow); creates the file when missing.
Result<void> appendFileSynced(const std::filesystem::path& target, std::string_view bytes);

// Whole-file read of bytes.
Result<std::string> readFileBytes(const std::filesystem::path& path);

// Creates the folder (and its parents) when missing.
Result<void> ensureFolder(const std::filesystem::path& folder);

// Test hook: when set, called before each step ("write", "fsync", "rename") of an atomic write with the
// target path; returning a non-empty reason makes that step fail as the operating system would.
using SafeWriteFault = std::function<std::string(std::string_view step, const std::filesystem::path& target)>;
void setSafeWriteFaultForTests(SafeWriteFault fault);
