#pragma once
// Turning one chosen file into its .lok file and back. The file goes through the cipher in chunks into a
// temporary file in the same folder, which is flushed to disk and renamed to the new name (never over an
// existing file); only then is the old file removed. So the chosen file ends either untouched or fully
// converted, never with its new name and its old bytes. Every refusal and failure leaves all as it was and
// comes back as the message to show.
#include "common/notice.h"
#include "common/result.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

struct LokTarget {
    std::filesystem::path path; // the file's new path
    bool scrambling = false;    // true: plain -> .lok; false: .lok -> plain
};

struct LokOutcome {
    std::optional<Notice> failure; // set when nothing was changed
    LokTarget target;
};

// The new path by the naming rule (the lower-cased last three characters of the name decide the way), or
// the message for a name that cannot be converted.
std::optional<LokTarget> lokTargetOf(const std::filesystem::path& file);
Notice lokNameNotice(const std::filesystem::path& file);

// The checks on the two typed passwords, in the order the window makes them: empty, different, not
// single-byte. nullopt when the passwords can be used.
std::optional<Notice> lokPasswordProblem(std::string_view password, std::string_view confirmation);

// Scrambles or unscrambles `file` in place under `password` (already checked) and gives it its new name.
LokOutcome convertLokFile(const std::filesystem::path& file, std::string_view password);

// The view of a file: CR LF + line for every text line, decoded from GB18030, from at most the first
// kLokViewLimit bytes (cut after the last whole line when the file is longer, with a closing note).
inline constexpr std::size_t kLokViewLimit = std::size_t{1} << 20;
Result<std::string> lokViewText(const std::filesystem::path& file);

// Test hook: when set, removing the old file fails with the returned reason (non-empty).
void setLokRemoveFaultForTests(std::function<std::string(const std::filesystem::path&)> fault);
