// quillet-cli diary: reads the diary's month files under the diary key (line 1 of pavosz.cjf) without
// changing anything on disk.
#include "cli/cli_registry.h"
#include "common/clock.h"
#include "common/data_paths.h"
#include "common/line_file.h"
#include "common/numeric_text.h"
#include "diary/diary_book.h"
#include "diary/diary_month.h"
#include "diary/text_cipher.h"

#include <filesystem>
#include <iostream>
#include <optional>

namespace {

int runDiary(const CliArgs& args);

CliRegistrar reg("diary", {"  quillet-cli diary export YYYY MM     (the month's export text, CR LF lines)\n"
                           "  quillet-cli diary show YYYY MM DD     (that day's entry)\n",
                           runDiary});

// The diary key is the first line of the settings file, as the program reads it at start-up.
std::optional<std::string> diaryKey(std::string& failure) {
    const auto lines = readTextLines(dataPath({"pavosz.cjf"}));
    if (!lines) {
        failure = "cannot read " + lines.error().path + ": " + lines.error().reason;
        return std::nullopt;
    }
    if (lines->empty()) {
        failure = "pavosz.cjf has no diary key line";
        return std::nullopt;
    }
    if (auto problem = cipherPasswordProblem(lines->front())) {
        failure = problem->text;
        return std::nullopt;
    }
    return lines->front();
}

int exportMonth(std::string year, std::string month, const std::string& key) {
    SystemClock clock;
    DiaryBook book(clock);
    const DiaryReply reply = book.ExportMonth(year, month, key);
    if (reply.notice)
        return cliFailure(reply.notice->text);
    std::cout << reply.text << std::flush;
    return 0;
}

int showDay(const std::string& year, const std::string& month, const std::string& day, const std::string& key) {
    const StoredMonth stored = readStoredMonth(std::filesystem::current_path(), year, month, key, numericValue(day));
    if (stored.notice)
        return cliFailure(stored.notice->text);
    const std::string entry = withLineFeeds(stored.read.shownEntry);
    if (!entry.empty())
        std::cout << entry << "\n";
    return 0;
}

int runDiary(const CliArgs& args) {
    const bool isExport = args.size() == 3 && args[0] == "export";
    const bool isShow = args.size() == 4 && args[0] == "show";
    if (!isExport && !isShow)
        return cliUsageError("usage: quillet-cli diary export YYYY MM | show YYYY MM DD");
    std::string year = args[1], month = args[2], day = isShow ? args[3] : std::string();
    if (auto problem = normalizeDiaryDate(year, month, isShow ? &day : nullptr))
        return cliUsageError(problem->text);
    std::string failure;
    const std::optional<std::string> key = diaryKey(failure);
    if (!key)
        return cliFailure(failure);
    return isExport ? exportMonth(year, month, *key) : showDay(year, month, day, *key);
}

} // namespace
