#include "calendar/holidays.h"

#include "common/clock.h"
#include "common/data_paths.h"
#include "common/line_file.h"
#include "common/numeric_text.h"

#include <algorithm>

namespace {

std::vector<std::string_view> fields(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > start)
            out.push_back(line.substr(start, i - start));
    }
    return out;
}

} // namespace

std::string isoDateText(const CivilDate& d) {
    return fourDigits(d.year) + "-" + twoDigits(d.month) + "-" + twoDigits(d.day);
}

std::optional<CivilDate> parseIsoDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    const auto number = [text](std::size_t at, std::size_t count) {
        int value = 0;
        for (std::size_t i = at; i < at + count; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return -1;
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    CivilDate d{number(0, 4), number(5, 2), number(8, 2)};
    // Year 0 does not exist in the calendar: the first day is 0001-01-01.
    if (d.year < 1 || d.month < 1 || d.month > 12 || d.day < 1 || d.day > daysInMonth(d.year, d.month))
        return std::nullopt;
    return d;
}

namespace {

// One "DATE[..DATE] 休|班 NAME" line of the year `year`, or the reason it is refused.
std::variant<std::vector<HolidayDay>, std::string> dayLine(std::string_view line, int year) {
    const auto f = fields(line);
    if (f.size() != 3)
        return std::string("应为“日期 休|班 名称”三项");
    const std::size_t dots = f[0].find("..");
    const auto from = parseIsoDate(f[0].substr(0, dots));
    const auto to = dots == std::string_view::npos ? from : parseIsoDate(f[0].substr(dots + 2));
    if (!from || !to)
        return "日期“" + std::string(f[0]) + "”不是有效的 YYYY-MM-DD 或 YYYY-MM-DD..YYYY-MM-DD";
    const int span = daysFromCivil(to->year, to->month, to->day) - daysFromCivil(from->year, from->month, from->day);
    if (span < 0 || span > 31)
        return "日期范围“" + std::string(f[0]) + "”应从前到后且不超过一个月";
    if (std::abs(from->year - year) > 1 || std::abs(to->year - year) > 1)
        return "日期“" + std::string(f[0]) + "”不在 " + std::to_string(year) + " 年前后";
    if (f[1] != "休" && f[1] != "班")
        return "第二项应为“休”或“班”,而不是“" + std::string(f[1]) + "”";
    const DayOff kind = f[1] == "休" ? DayOff::Holiday : DayOff::MakeUpWorkday;
    std::vector<HolidayDay> days;
    for (CivilDate d = *from; !isLaterThan(d, *to); d = nextCivilDay(d))
        days.push_back({d, kind, std::string(f[2])});
    return days;
}

} // namespace

int daysFromCivil(int y, int m, int d) {
    // Howard Hinnant's days_from_civil.
    y -= m <= 2;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int>(doe) - 719468;
}

std::variant<HolidayYears, std::string> parseHolidayLines(const std::vector<std::string>& lines) {
    HolidayYears years;
    std::map<int, std::size_t> seenOn; // day number -> line
    int year = 0;
    for (std::size_t n = 1; n <= lines.size(); ++n) {
        std::string line = lines[n - 1];
        while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r'))
            line.pop_back();
        const auto refuse = [n](const std::string& why) { return "第" + std::to_string(n) + "行: " + why; };
        if (fields(line).empty() || line.starts_with('#'))
            continue;
        if (line.size() == 6 && line.front() == '[' && line.back() == ']' &&
            std::all_of(line.begin() + 1, line.end() - 1, [](char c) { return c >= '0' && c <= '9'; })) {
            year = std::stoi(line.substr(1, 4));
            if (year < 1900 || year > 2100) // the years of the lunar tables
                return refuse("年份 " + line.substr(1, 4) + " 不在 1900 至 2100 之间");
            if (years.contains(year))
                return refuse("[" + std::to_string(year) + "] 已出现过");
            years[year];
            continue;
        }
        if (year == 0)
            return refuse("日期行之前缺少 [年份] 行");
        auto days = dayLine(line, year);
        if (auto* why = std::get_if<std::string>(&days))
            return refuse(*why);
        for (HolidayDay& day : std::get<0>(days)) {
            const int key = daysFromCivil(day.date.year, day.date.month, day.date.day);
            if (auto [it, fresh] = seenOn.emplace(key, n); !fresh)
                return refuse(isoDateText(day.date) + " 已在第" + std::to_string(it->second) + "行出现");
            years[year].push_back(std::move(day));
        }
    }
    return years;
}

std::vector<std::string> holidayFileLines(const HolidayYears& years, const std::string& comment) {
    std::vector<std::string> out;
    for (const auto& [year, list] : years) {
        std::vector<HolidayDay> days = list;
        std::sort(days.begin(), days.end(),
                  [](const HolidayDay& a, const HolidayDay& b) { return isLaterThan(b.date, a.date); });
        out.push_back("# " + std::to_string(year) + ": " + comment);
        out.push_back("[" + std::to_string(year) + "]");
        for (std::size_t i = 0; i < days.size();) {
            std::size_t j = i;
            while (j + 1 < days.size() && days[j + 1].kind == DayOff::Holiday && days[i].kind == DayOff::Holiday &&
                   days[j + 1].name == days[i].name && !isLaterThan(days[j + 1].date, nextCivilDay(days[j].date)))
                ++j;
            std::string dates = isoDateText(days[i].date);
            if (j > i)
                dates += ".." + isoDateText(days[j].date);
            out.push_back(dates + " " + (days[i].kind == DayOff::Holiday ? "休" : "班") + " " + days[i].name);
            i = j + 1;
        }
        out.emplace_back();
    }
    return out;
}

HolidayCalendar::HolidayCalendar(const HolidayYears& years) : m_years(years) {
    if (years.empty())
        return;
    int low = 0, high = 0;
    bool any = false;
    for (const auto& [year, days] : years)
        for (const HolidayDay& d : days) {
            const int n = daysFromCivil(d.date.year, d.date.month, d.date.day);
            low = any ? std::min(low, n) : n;
            high = any ? std::max(high, n) : n;
            any = true;
        }
    m_firstYear = years.begin()->first;
    m_known.assign(years.rbegin()->first - m_firstYear + 1, false);
    for (const auto& entry : years)
        m_known[entry.first - m_firstYear] = true;
    if (!any)
        return;
    m_first = low;
    m_days.assign(high - low + 1, 0);
    // Later notices win a day both name (the user's file decides what it holds).
    for (const auto& [year, days] : years)
        for (const HolidayDay& d : days) {
            auto it = std::find(m_names.begin(), m_names.end(), d.name);
            const auto index = static_cast<std::uint32_t>(it - m_names.begin());
            if (it == m_names.end())
                m_names.push_back(d.name);
            m_days[daysFromCivil(d.date.year, d.date.month, d.date.day) - m_first] =
                static_cast<std::uint32_t>(d.kind) | index << 8;
        }
    int run = 0;
    for (std::size_t i = 0; i < m_days.size(); ++i) {
        const bool holiday = (m_days[i] & 3) == static_cast<std::uint32_t>(DayOff::Holiday);
        const bool goesOn =
            holiday && i > 0 && (m_days[i - 1] & 3) == (m_days[i] & 3) && (m_days[i - 1] >> 8) == (m_days[i] >> 8);
        run = holiday ? (goesOn ? run + 1 : 1) : 0;
        m_days[i] |= static_cast<std::uint32_t>(std::min(run, 63)) << 2;
    }
}

bool HolidayCalendar::isWorkday(int year, int month, int day) const {
    switch (mark(year, month, day).kind) {
    case DayOff::Holiday:
        return false;
    case DayOff::MakeUpWorkday:
        return true;
    case DayOff::Ordinary:
        break;
    }
    const int w = weekdayOf(year, month, day);
    return w != 0 && w != 6;
}

std::string holidayText(const DayMark& mark) {
    if (!mark.name)
        return {};
    if (mark.kind == DayOff::MakeUpWorkday)
        return *mark.name + " 调休上班";
    return *mark.name + " 放假第" + std::to_string(mark.dayOfRun) + "天";
}

std::string unknownYearNotice(int year) {
    return std::to_string(year) + "年的放假安排尚不知道,只按周末显示";
}

HolidayLoad loadHolidays(const std::filesystem::path& delivered, const std::filesystem::path& user) {
    HolidayLoad load;
    HolidayYears years;
    const auto readInto = [&load](const std::filesystem::path& path, HolidayYears& into) {
        auto lines = readTextLines(path);
        if (!lines) {
            load.problems.push_back("节假日表读不出: " + lines.error().message());
            return;
        }
        auto parsed = parseHolidayLines(*lines);
        if (auto* why = std::get_if<std::string>(&parsed)) {
            load.problems.push_back("节假日表 " + pathToUtf8(path) + " 未用," + *why);
            return;
        }
        for (auto& [year, days] : std::get<0>(parsed))
            into[year] = std::move(days);
    };
    readInto(delivered, years);
    std::error_code ec;
    if (std::filesystem::exists(user, ec))
        readInto(user, years);
    load.calendar = HolidayCalendar(years);
    return load;
}

namespace {
HolidayCalendar& sharedCalendar() {
    static HolidayCalendar calendar;
    return calendar;
}
} // namespace

const HolidayCalendar& holidayCalendar() {
    return sharedCalendar();
}

void setHolidayCalendar(HolidayCalendar calendar) {
    sharedCalendar() = std::move(calendar);
}
