#include "diary/diary_book.h"

#include "common/data_lock.h"
#include "common/data_paths.h"
#include "common/line_file.h"
#include "common/numeric_text.h"
#include "common/safe_write.h"
#include "common/text_codec.h"
#include "diary/text_cipher.h"

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string fileName(std::string_view prefix, std::string_view year, std::string_view month,
                     std::string_view extension) {
    return std::string(prefix).append(year).append(month).append(extension);
}

bool allDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Scrambles and writes a month file atomically, creating "rjb" on the first write; `stamp` becomes the
// written file's.
std::optional<Notice> writeScrambled(const fs::path& file, std::string_view plainBytes, std::string_view key,
                                     FileStamp& stamp) {
    if (auto folder = ensureFolder(file.parent_path()); !folder)
        return writeFailureNotice(folder.error());
    const std::string scrambled = CipherPass(plainBytes, key);
    if (auto written = writeFileAtomic(file, scrambled, FileAccess::PrivateNew); !written)
        return writeFailureNotice(written.error());
    stamp = stampOf(scrambled);
    return std::nullopt;
}

// A line that starts with eight "@" would read back as a time line and break the month apart.
std::optional<Notice> entryProblem(std::string_view entry) {
    for (const std::string& line : splitRawLines(entry)) {
        if (isTimeLine(line))
            return Notice{"警告", "日记中的一行不能以八个\"@\"开头,请修改后再保存。", NoticeIcon::Exclamation,
                          NoticeButtons::Ok};
    }
    return std::nullopt;
}

} // namespace

fs::path diaryMonthFile(const fs::path& workDir, std::string_view year, std::string_view month) {
    return dataPathIn(workDir, {"rjb", fileName("rj", year, month, ".cjf")});
}

fs::path diaryExportFile(const fs::path& workDir, std::string_view year, std::string_view month) {
    return dataPathIn(workDir, {"rjb", fileName("rj", year, month, ".txt")});
}

Notice unreadableMonthNotice(std::string_view year, std::string_view month) {
    return {"警告",
            "无法用当前的日记密码读出" + std::string(year) + "年" + std::string(month) +
                "月的日记。\n为免覆盖已保存的内容,本月日记不能保存。",
            NoticeIcon::Exclamation, NoticeButtons::Ok};
}

StoredMonth readStoredMonth(const fs::path& workDir, std::string_view year, std::string_view month,
                            std::string_view key, double wantedDay, std::string* exportText) {
    StoredMonth stored;
    const fs::path file = diaryMonthFile(workDir, year, month);
    std::error_code ec;
    stored.exists = fs::exists(file, ec) || ec;
    if (!stored.exists)
        return stored;
    Result<std::string> bytes = readFileBytes(file);
    if (!bytes) {
        stored.read.readable = false;
        stored.notice = readFailureNotice(bytes.error());
        return stored;
    }
    stored.stamp = stampOf(*bytes);
    stored.read = readMonthLines(decodeLines(CipherPass(*bytes, key)), wantedDay, exportText);
    if (!stored.read.readable)
        stored.notice = unreadableMonthNotice(year, month);
    return stored;
}

std::optional<Notice> normalizeDiaryDate(std::string& year, std::string& month, std::string* day) {
    // The day number sits at characters 17-18 of a header only when the year has four characters.
    const auto inRange = [](std::string_view text, int low, int high) {
        return allDigits(text) && text.size() <= 2 && numericValue(text) >= low && numericValue(text) <= high;
    };
    if (!allDigits(year) || year.size() != 4 || !inRange(month, 1, 12) || (day && !inRange(*day, 1, 31)))
        return Notice{"警告", "日期不正确:年份须为四位数字,月份须为01到12,日须为01到31。", NoticeIcon::Exclamation,
                      NoticeButtons::Ok};
    month = twoDigitText(month);
    if (day)
        *day = twoDigitText(*day);
    return std::nullopt;
}

DiaryBook::DiaryBook(const Clock& clock, fs::path workDir) : m_clock(clock), m_workDir(std::move(workDir)) {}

fs::path DiaryBook::workDir() const {
    return m_workDir.empty() ? fs::current_path() : m_workDir;
}

DiaryReply DiaryBook::LoadMonth(std::string_view year, std::string_view month, std::string_view day,
                                std::string_view key) {
    m_tables = {};
    m_year = year;
    m_month = month;
    m_readable = false;
    m_stamp = {};
    if (auto problem = cipherPasswordProblem(key))
        return {{}, problem};
    // A new month's first record carries the day; only a well-formed date may go into it.
    std::string d(day);
    if (auto problem = normalizeDiaryDate(m_year, m_month, &d))
        return {{}, problem};
    const fs::path file = diaryMonthFile(workDir(), m_year, m_month);
    std::error_code ec;
    if (!fs::exists(file, ec) && !ec) {
        // Only a month still missing under the lock is created: one written meanwhile is read instead.
        Result<DataLock> lock = DataLock::take(workDir());
        if (!lock)
            return {{}, writeFailureNotice(lock.error())};
        if (!fs::exists(file, ec) && !ec)
            return createMonth(file, d, key);
    }
    StoredMonth stored = readStoredMonth(workDir(), m_year, m_month, key, numericValue(d));
    m_tables = std::move(stored.read.tables);
    m_readable = !stored.notice;
    m_stamp = stored.stamp;
    return {std::move(stored.read.shownEntry), std::move(stored.notice)};
}

// A new month starts as one record for the shown day with an empty entry.
DiaryReply DiaryBook::createMonth(const fs::path& file, std::string_view day, std::string_view key) {
    const std::string plain = dayHeaderLine(m_year, m_month, day) + "\r\n" + dayTimeLine(m_clock.now()) + "\r\n";
    // With nothing stored yet, a failed write loses nothing: the month stays usable and saves normally.
    m_readable = true;
    const std::optional<Notice> failure = writeScrambled(file, encodeGb(plain), key, m_stamp);
    if (!failure)
        m_tables = readMonthLines(decodeLines(encodeGb(plain)), numericValue(day)).tables;
    return {{}, failure};
}

// The tables a save starts from: the loaded month's when it reads whole, else the month's stored records.
std::optional<Notice> DiaryBook::tablesForSave(std::string_view year, std::string_view month, std::string_view key,
                                               DayTables& tables) const {
    if (m_readable && year == m_year && month == m_month &&
        !changedSince(diaryMonthFile(workDir(), year, month), m_stamp)) {
        tables = m_tables;
        return std::nullopt;
    }
    StoredMonth stored = readStoredMonth(workDir(), year, month, key, 0);
    if (stored.notice)
        return stored.notice;
    tables = std::move(stored.read.tables);
    return std::nullopt;
}

std::optional<Notice> DiaryBook::SaveDay(std::string_view year, std::string_view month, std::string_view day,
                                         std::string_view entry, std::string_view key) {
    if (auto problem = cipherPasswordProblem(key))
        return problem;
    std::string y(year), m(month), d(day);
    if (auto problem = normalizeDiaryDate(y, m, &d))
        return problem;
    const std::string body = withCrLf(entry);
    if (auto problem = entryProblem(body))
        return problem;
    // Reading the stored records (when changed), merging the day in and writing are one locked step.
    Result<DataLock> lock = DataLock::take(workDir());
    if (!lock)
        return writeFailureNotice(lock.error());
    DayTables tables;
    if (auto problem = tablesForSave(y, m, key, tables))
        return problem;
    const auto index = static_cast<std::size_t>(numericValue(d));
    tables.dayHeader[index] = dayHeaderLine(y, m, d);
    tables.dayTime[index] = dayTimeLine(m_clock.now());
    tables.dayBody[index] = body;
    FileStamp written;
    if (auto failure = writeScrambled(diaryMonthFile(workDir(), y, m), monthPlainBytes(tables), key, written))
        return failure;
    m_stamp = written;
    m_tables = std::move(tables);
    m_year = y;
    m_month = m;
    m_readable = true;
    return std::nullopt;
}

std::optional<Notice> DiaryBook::changedDayQuestion(std::string_view year, std::string_view month, std::string_view day,
                                                    std::string_view key) const {
    std::string y(year), m(month), d(day);
    if (normalizeDiaryDate(y, m, &d) || !m_readable || y != m_year || m != m_month ||
        !changedSince(diaryMonthFile(workDir(), y, m), m_stamp))
        return std::nullopt;
    const StoredMonth stored = readStoredMonth(workDir(), y, m, key, 0);
    const auto index = static_cast<std::size_t>(numericValue(d));
    const DayTables& now = stored.read.tables;
    if (now.dayBody[index] == m_tables.dayBody[index] && now.dayTime[index] == m_tables.dayTime[index])
        return std::nullopt;
    return Notice{"提醒",
                  y + "年" + m + "月" + d +
                      "日的日记在读入之后已被别的程序改动。\n保存将用当前的文字替换那些改动,要保存吗?",
                  NoticeIcon::Question, NoticeButtons::YesNo};
}

std::optional<Notice> DiaryBook::saveRefusal(std::string_view entry, std::string_view key) const {
    if (auto problem = cipherPasswordProblem(key))
        return problem;
    if (auto problem = entryProblem(withCrLf(entry)))
        return problem;
    if (!m_readable)
        return unreadableMonthNotice(m_year, m_month);
    return std::nullopt;
}

DiaryReply DiaryBook::ExportMonth(std::string_view year, std::string_view month, std::string_view key) {
    if (auto problem = cipherPasswordProblem(key))
        return {{}, problem};
    std::string y(year), m(month);
    if (auto problem = normalizeDiaryDate(y, m, nullptr))
        return {{}, problem};
    std::string text = exportHeading(y, m);
    StoredMonth stored = readStoredMonth(workDir(), y, m, key, 0, &text);
    if (stored.notice)
        return {{}, stored.notice};
    m_exportFile = diaryExportFile(workDir(), y, m);
    m_exportYear = y;
    m_exportMonth = m;
    return {std::move(text), std::nullopt};
}

Notice DiaryBook::exportKeptNotice(std::string_view path) const {
    return {"恭喜!", m_exportYear + "年" + m_exportMonth + "月日记已经成功保存到" + std::string(path), NoticeIcon::None,
            NoticeButtons::Ok};
}

Notice confirmSaveNotice() {
    return {"警告", "确实要保存当前日记吗?", NoticeIcon::Question, NoticeButtons::YesNo};
}

Notice saveBeforeLeavingNotice() {
    return {"提醒", "当前日记已经修改,尚未保存。\n要先保存吗?", NoticeIcon::Question, NoticeButtons::YesNoCancel};
}

Notice keepExportNotice() {
    return {"提示", "是否保存导出的文本?", NoticeIcon::Question, NoticeButtons::YesNo};
}

DiaryReply DiaryBook::SaveExportText(std::string_view text) {
    if (m_exportFile.empty())
        return {{}, Notice{"警告", "请先发布日记文档。", NoticeIcon::Exclamation, NoticeButtons::Ok}};
    if (auto folder = ensureFolder(m_exportFile.parent_path()); !folder)
        return {{}, writeFailureNotice(folder.error())};
    if (auto written = writeFileAtomic(m_exportFile, encodeGb(withCrLf(text) + "\r\n"), FileAccess::Private); !written)
        return {{}, writeFailureNotice(written.error())};
    return {pathToUtf8(m_exportFile), std::nullopt};
}
