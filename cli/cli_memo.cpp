// quillet-cli memo: the memo file bwl/bwl.cjf of the current directory, read and written as the memo book
// and the desk calendar's reminder do.
#include "cli/cli_registry.h"
#include "common/clock.h"
#include "common/data_paths.h"
#include "common/numeric_text.h"
#include "memo/memo_book.h"
#include "memo/memo_ics.h"
#include "reminder/memo_reminder.h"

#include <chrono>
#include <ctime>
#include <iostream>
#include <optional>
#include <regex>

namespace {

int runMemo(const CliArgs& args);

CliRegistrar reg("memo", {"  quillet-cli memo list                  (number, due, flag, text; tab-separated)\n"
                          "  quillet-cli memo add YYYYMMDDHH TEXT   (adds an active memo)\n"
                          "  quillet-cli memo due [YYYY-MM-DDTHH]   (numbers the reminder announces at that hour)\n"
                          "  quillet-cli memo ics                   (active memos as iCalendar on stdout)\n",
                          runMemo});

std::filesystem::path memoFile() {
    return dataPath({"bwl", "bwl.cjf"});
}

// Loads the book; on failure prints why and leaves `code` set.
std::optional<MemoBook> loadBook(int& code) {
    MemoBook book;
    if (Result<void> loaded = book.load(memoFile()); !loaded) {
        code = cliFailure("cannot read " + loaded.error().path + ": " + loaded.error().reason);
        return std::nullopt;
    }
    return book;
}

void warnDamaged(int n) {
    std::cerr << "quillet-cli: line " << n << " of bwl/bwl.cjf is damaged (shorter than 33 characters)\n";
}

int listMemos() {
    int code = 0;
    std::optional<MemoBook> book = loadBook(code);
    if (!book)
        return code;
    for (int n = 1; n <= book->count(); ++n) {
        const MemoRecord& m = *book->record(n);
        if (m.damaged)
            warnDamaged(n);
        else
            std::cout << n << '\t' << m.due << '\t' << m.flag << '\t' << m.text << '\n';
    }
    return 0;
}

int addMemo(const CliArgs& args) {
    const std::string& due = args[1];
    if (!isPickerDue(due))
        return cliUsageError("due time must be YYYYMMDDHH (year 1900-2049, month 01-12, day 01-31, hour 00-24)");
    std::string text = args[2];
    for (std::size_t i = 3; i < args.size(); ++i)
        text += " " + args[i];
    if (text.empty())
        return cliUsageError("the memo text is empty");
    // Reading, adding and writing are one step: a second writer waits for the lock instead of losing this memo.
    Result<DataLock> lock = lockMemoFile(memoFile());
    if (!lock)
        return cliFailure("cannot write " + lock.error().path + ": " + lock.error().reason);
    int code = 0;
    std::optional<MemoBook> book = loadBook(code);
    if (!book)
        return code;
    if (book->isFull())
        return cliFailure(MemoBook::fullNotice().text);
    book->add(due, text, memoStamp(SystemClock().now()));
    if (Result<void> saved = book->save(memoFile()); !saved)
        return cliFailure("cannot write " + saved.error().path + ": " + saved.error().reason);
    std::cout << book->count() << '\n';
    return 0;
}

// "YYYY-MM-DDTHH": a clock hour (00-23) of a calendar date.
std::optional<LocalDateTime> parseHour(const std::string& text) {
    static const std::regex form(R"((\d{4})-(\d{2})-(\d{2})T(\d{2}))");
    std::smatch m;
    if (!std::regex_match(text, m, form))
        return std::nullopt;
    LocalDateTime t{std::stoi(m[1]), std::stoi(m[2]), std::stoi(m[3]), std::stoi(m[4])};
    if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > daysInMonth(t.year, t.month) || t.hour > 23)
        return std::nullopt;
    return t;
}

int dueMemoNumbers(const CliArgs& args) {
    std::optional<LocalDateTime> at = args.size() == 2 ? parseHour(args[1]) : SystemClock().now();
    if (!at)
        return cliUsageError("the hour must be YYYY-MM-DDTHH, a date and an hour 00-23");
    Result<std::vector<AnnouncedMemo>> due = readDueMemos(memoFile(), *at);
    if (!due)
        return cliFailure("cannot read " + due.error().path + ": " + due.error().reason);
    for (const AnnouncedMemo& memo : *due)
        std::cout << memo.lineNumber << '\n';
    return 0;
}

int exportIcs() {
    int code = 0;
    std::optional<MemoBook> book = loadBook(code);
    if (!book)
        return code;
    MemoIcs ics = memosToIcs(*book, utcStamp());
    for (int n : ics.skipped)
        std::cerr << "quillet-cli: memo " << n << " is left out: its due time " << book->record(n)->due
                  << " is no calendar date\n";
    std::cout << ics.text << std::flush;
    return 0;
}

int runMemo(const CliArgs& args) {
    const std::string verb = args.empty() ? std::string() : args[0];
    if (verb == "list" && args.size() == 1)
        return listMemos();
    if (verb == "add" && args.size() >= 3)
        return addMemo(args);
    if (verb == "due" && args.size() <= 2)
        return dueMemoNumbers(args);
    if (verb == "ics" && args.size() == 1)
        return exportIcs();
    return cliUsageError("usage: quillet-cli memo list | add YYYYMMDDHH TEXT | due [YYYY-MM-DDTHH] | ics");
}

} // namespace
