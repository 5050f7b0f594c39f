// Reading a published holiday calendar (iCalendar) into holiday years.
#include "calendar/holidays.h"

#include "common/clock.h"

#include <optional>

namespace {

// Content lines with folding undone (a line starting with a blank or tab continues the one before).
std::vector<std::string> unfoldedLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && (line[0] == ' ' || line[0] == '\t') && !lines.empty())
            lines.back() += line.substr(1);
        else
            lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

std::string unescaped(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            ++i;
            out += value[i] == 'n' || value[i] == 'N' ? ' ' : value[i];
        } else {
            out += value[i];
        }
    }
    return out;
}

// The holiday's name in a summary such as "春节 休", "春节 调休上班", "国庆节（休）" or "休 元旦".
std::string holidayName(const std::string& summary) {
    static const std::vector<std::string> marks = {"（休）", "(休)", "（班）", "(班)", "调休上班", "补班",
                                                   "上班",   "调休", "放假",   "假期", "休",       "班"};
    std::string rest = summary;
    for (const std::string& m : marks)
        for (std::size_t at; (at = rest.find(m)) != std::string::npos;)
            rest.replace(at, m.size(), " ");
    std::size_t from = rest.find_first_not_of(" \t");
    if (from == std::string::npos)
        return {};
    return rest.substr(from, rest.find_first_of(" \t", from) - from);
}

struct Event {
    std::string summary, categories, start, end;
};

// An all-day DATE value, YYYYMMDD.
std::optional<CivilDate> basicDate(const std::string& value) {
    if (value.size() != 8)
        return std::nullopt;
    return parseIsoDate(value.substr(0, 4) + "-" + value.substr(4, 2) + "-" + value.substr(6, 2));
}

} // namespace

std::variant<HolidayYears, std::string> holidaysFromIcs(const std::string& icsText) {
    HolidayYears years;
    std::optional<Event> event;
    std::size_t taken = 0;
    for (const std::string& line : unfoldedLines(icsText)) {
        const std::size_t colon = line.find(':');
        const std::string head = line.substr(0, std::min(colon, line.find(';')));
        const std::string value = colon == std::string::npos ? "" : line.substr(colon + 1);
        if (line == "BEGIN:VEVENT") {
            event.emplace();
        } else if (!event) {
            continue;
        } else if (head == "SUMMARY") {
            event->summary = unescaped(value);
        } else if (head == "CATEGORIES") {
            event->categories = unescaped(value);
        } else if (head == "DTSTART") {
            event->start = value;
        } else if (head == "DTEND") {
            event->end = value;
        } else if (line == "END:VEVENT") {
            const std::string both = event->summary + " " + event->categories;
            const bool work = both.find("班") != std::string::npos;
            const std::string name = holidayName(event->summary);
            const auto from = basicDate(event->start);
            if ((work || both.find("休") != std::string::npos) && !name.empty()) {
                if (!from)
                    return "“" + event->summary + "”的 DTSTART 不是全天日期 YYYYMMDD";
                const auto until = event->end.empty() ? nextCivilDay(*from) : basicDate(event->end).value_or(*from);
                for (CivilDate d = *from; isLaterThan(until, d); d = nextCivilDay(d)) {
                    const int year = d.month == 12 && name == "元旦" ? d.year + 1 : d.year;
                    years[year].push_back({d, work ? DayOff::MakeUpWorkday : DayOff::Holiday, name});
                    ++taken;
                }
            }
            event.reset();
        }
    }
    if (taken == 0)
        return std::string("文件里没有名称带“休”或“班”的全天事件");
    // The same checks as a written file: refused days are never half taken. What is taken is the table as the
    // file will read back (a day that two events name alike counts once).
    auto checked = parseHolidayLines(holidayFileLines(years, "check"));
    if (auto* why = std::get_if<std::string>(&checked))
        return "导入的日子有冲突 (" + *why + ")";
    return std::get<HolidayYears>(std::move(checked));
}
