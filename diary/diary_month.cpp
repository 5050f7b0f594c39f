#include "diary/diary_month.h"

#include "common/numeric_text.h"
#include "common/text_codec.h"

#include <optional>

namespace {

constexpr std::string_view kHeaderMarks = "@@@@@@@@@@"; // ten, on both sides of a header
constexpr std::string_view kTimeOpen = "@@@@@@@@";      // eight: marks a time line
constexpr std::string_view kTimeClose = "@@@@@@";       // six

// Day number of a header line (characters 17-18), or nothing when the line is no header a save writes.
std::optional<int> headerDay(std::string_view header) {
    if (header.size() < 2 * kHeaderMarks.size() || !header.starts_with(kHeaderMarks) || !header.ends_with(kHeaderMarks))
        return std::nullopt;
    const auto day = textToInt16(charMid(header, 16, 2));
    if (!day || *day < 0 || *day >= kDiaryTableSize)
        return std::nullopt;
    return *day;
}

std::string exportDayHeading(std::string_view header) {
    return "---------" + charMid(header, 16, 2) + "日" + std::string(49, '-') + "\r\n\r\n";
}

std::string exportTimeLine(std::string_view timeLine) {
    return "\r\n---------记录时间:" + charMid(timeLine, 8, 14) + std::string(30, '-') + "\r\n\r\n";
}

// The three table cells one record fills; records with a bad header go to a scratch record.
struct RecordCells {
    std::string* header;
    std::string* body;
    std::string* time;
};

} // namespace

std::string dayHeaderLine(std::string_view year, std::string_view month, std::string_view day) {
    std::string line(kHeaderMarks);
    line.append(year).append(month).append(day).append(kHeaderMarks);
    return line;
}

std::string dayTimeLine(const LocalDateTime& t) {
    return std::string(kTimeOpen) + std::to_string(t.year) + twoDigits(t.month) + twoDigits(t.day) + twoDigits(t.hour) +
           twoDigits(t.minute) + twoDigits(t.second) + std::string(kTimeClose);
}

bool isTimeLine(std::string_view line) {
    return line.starts_with(kTimeOpen);
}

std::string twoDigitText(std::string_view text) {
    if (numericValue(text) >= 10)
        return std::string(text);
    return "0" + (text.empty() ? std::string() : charMid(text, charCount(text) - 1, 1));
}

std::string withCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            out += kCrLf;
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out += c;
        }
    }
    return out;
}

std::string withLineFeeds(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] != '\r' || i + 1 == text.size() || text[i + 1] != '\n')
            out += text[i];
    return out;
}

MonthRead readMonthLines(const std::vector<std::string>& lines, double wantedDay, std::string* exportText) {
    MonthRead read;
    std::string scratchHeader, scratchBody, scratchTime;
    std::size_t i = 0;
    while (i < lines.size()) {
        const std::string& header = lines[i++];
        const std::optional<int> day = headerDay(header);
        read.readable = read.readable && day.has_value();
        RecordCells cells{&scratchHeader, &scratchBody, &scratchTime};
        if (day)
            cells = {&read.tables.dayHeader[*day], &read.tables.dayBody[*day], &read.tables.dayTime[*day]};
        *cells.header = header;
        if (exportText)
            *exportText += exportDayHeading(header);
        // Entry lines up to the time line: the first is appended as it stands, the others after a CR LF. A day
        // recorded twice keeps the lines of both: the second record's first line goes on a line of its own, so
        // that no two lines run together (and into a line that would read back as a time line).
        bool closed = false;
        for (bool first = cells.body->empty(); !closed && i < lines.size(); first = false) {
            const std::string& line = lines[i++];
            closed = isTimeLine(line);
            if (closed) {
                *cells.time = line;
                if (day && *day == wantedDay)
                    read.shownEntry = *cells.body;
            } else {
                cells.body->append(first ? "" : kCrLf).append(line);
            }
            if (exportText)
                *exportText += closed ? exportTimeLine(line) : line + "\r\n";
        }
        // A record cut off before its time line: the text is damaged.
        read.readable = read.readable && closed;
    }
    return read;
}

std::string monthPlainBytes(const DayTables& tables) {
    // Days 00 and 32 to 40 cannot be picked, but a file may hold them: they go back after day 31 as read.
    std::vector<int> days;
    for (int d = 1; d <= 31; ++d)
        days.push_back(d);
    days.push_back(0);
    for (int d = 32; d < kDiaryTableSize; ++d)
        days.push_back(d);
    std::string plain;
    for (int d : days) {
        if (tables.dayBody[d].empty())
            continue;
        plain.append(tables.dayHeader[d]).append(kCrLf);
        plain.append(tables.dayBody[d]).append(kCrLf);
        plain.append(tables.dayTime[d]).append(kCrLf);
    }
    return encodeGb(plain);
}

std::string exportHeading(std::string_view year, std::string_view month) {
    return std::string(year) + "年" + std::string(month) + "月  日记内容\r\n\r\n";
}
