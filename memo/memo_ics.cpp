#include "memo/memo_ics.h"

#include "common/clock.h"
#include "common/ics_text.h"
#include "common/numeric_text.h"
#include "common/text_codec.h"

#include <optional>

namespace {

// Due YYYYMMDDHH as a floating DATE-TIME; hour 24 is midnight at the start of the next day.
std::optional<std::string> icsStart(std::string_view due) {
    if (!isPickerDue(due))
        return std::nullopt;
    int year = std::stoi(std::string(due.substr(0, 4)));
    int month = std::stoi(std::string(due.substr(4, 2)));
    int day = std::stoi(std::string(due.substr(6, 2)));
    int hour = std::stoi(std::string(due.substr(8, 2)));
    if (day > daysInMonth(year, month))
        return std::nullopt;
    if (hour == 24) {
        hour = 0;
        if (++day > daysInMonth(year, month)) {
            day = 1;
            if (++month > 12) {
                month = 1;
                ++year;
            }
        }
    }
    return fourDigits(year) + twoDigits(month) + twoDigits(day) + "T" + twoDigits(hour) + "0000";
}

void addLine(std::string& out, std::string_view line) {
    out += icsFoldLine(line);
    out += "\r\n";
}

void addEvent(std::string& out, const std::string& uid, const std::string& start, const std::string& dtstamp,
              const std::string& summary) {
    for (const std::string& line : {std::string("BEGIN:VEVENT"), "UID:" + uid, "DTSTAMP:" + dtstamp, "DTSTART:" + start,
                                    std::string("DURATION:PT1H"), "SUMMARY:" + summary, std::string("BEGIN:VALARM"),
                                    std::string("ACTION:DISPLAY"), "DESCRIPTION:" + summary,
                                    std::string("TRIGGER:PT0S"), std::string("END:VALARM"), std::string("END:VEVENT")})
        addLine(out, line);
}

} // namespace

MemoIcs memosToIcs(const MemoBook& book, const std::string& dtstampUtc) {
    MemoIcs ics;
    for (const char* line : {"BEGIN:VCALENDAR", "VERSION:2.0", "PRODID:-//Orlin//Quillet//ZH", "CALSCALE:GREGORIAN"})
        addLine(ics.text, line);
    for (int n = 1; n <= book.count(); ++n) {
        const MemoRecord& memo = *book.record(n);
        if (memo.damaged || memo.flag != "F")
            continue;
        std::optional<std::string> start = icsStart(memo.due);
        if (!start) {
            ics.skipped.push_back(n);
            continue;
        }
        addEvent(ics.text, icsEscapeText(book.uid(n)), *start, dtstampUtc, icsEscapeText(memo.text));
    }
    addLine(ics.text, "END:VCALENDAR");
    return ics;
}
