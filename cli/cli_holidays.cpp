// quillet-cli holidays FROM TO | holidays --is-workday DATE | holidays import FILE.ics
#include "cli/cli_holidays.h"

#include "calendar/holidays.h"
#include "cli/cli_registry.h"
#include "common/data_lock.h"
#include "common/data_paths.h"
#include "common/line_file.h"
#include "common/numeric_text.h"
#include "common/safe_write.h"
#include "desktop/data_folder.h"

#include <iostream>
#include <optional>
#include <set>

namespace {

int listDays(const std::string& fromText, const std::string& toText) {
    const auto from = parseIsoDate(fromText), to = parseIsoDate(toText);
    if (!from || !to)
        return cliUsageError("holidays: dates must be valid and written YYYY-MM-DD");
    if (isLaterThan(*from, *to))
        return cliUsageError("holidays: FROM is after TO");
    const HolidayCalendar& table = cliHolidays();
    for (CivilDate d = *from; !isLaterThan(d, *to); d = nextCivilDay(d)) {
        cliTellUnknownYear(d.year);
        if (const DayMark m = table.mark(d.year, d.month, d.day); m.name)
            std::cout << isoDateText(d) << '\t' << m.mark() << '\t' << *m.name << '\n';
    }
    return 0;
}

int isWorkday(const std::string& text) {
    const auto d = parseIsoDate(text);
    if (!d)
        return cliUsageError("holidays --is-workday: '" + text + "' is not a valid date written YYYY-MM-DD");
    cliTellUnknownYear(d->year);
    return cliHolidays().isWorkday(d->year, d->month, d->day) ? 0 : 1;
}

int importIcs(const std::string& name) {
    const auto bytes = readFileBytes(cliUserPath(name));
    if (!bytes)
        return cliFailure(bytes.error().path + ": " + bytes.error().reason);
    auto imported = holidaysFromIcs(*bytes);
    if (auto* why = std::get_if<std::string>(&imported))
        return cliFailure(name + ": " + *why);
    const auto target = dataPath({kHolidayFileName});
    // The user's table is read, merged and written back as one locked step.
    const Result<DataLock> lock = DataLock::take(dataFolderAbove(target, 0));
    if (!lock)
        return cliFailure(lock.error().path + ": " + lock.error().reason);
    HolidayYears years;
    std::error_code ec;
    if (std::filesystem::exists(target, ec)) {
        auto lines = readTextLines(target);
        if (!lines)
            return cliFailure(lines.error().path + ": " + lines.error().reason);
        auto mine = parseHolidayLines(*lines);
        if (auto* why = std::get_if<std::string>(&mine))
            return cliFailure(pathToUtf8(target) + " " + *why + "; nothing imported");
        years = std::move(std::get<HolidayYears>(mine));
    }
    std::string list;
    for (auto& [year, days] : std::get<HolidayYears>(imported)) {
        years[year] = std::move(days);
        list += " " + std::to_string(year);
    }
    if (auto written = writeTextLines(target, holidayFileLines(years, "导入或写入的安排")); !written)
        return cliFailure(written.error().path + ": " + written.error().reason);
    std::cout << "imported into " << pathToUtf8(target) << ":" << list << "\n";
    return 0;
}

int runHolidays(const CliArgs& args) {
    if (args.size() == 2 && args[0] == "--is-workday")
        return isWorkday(args[1]);
    if (args.size() == 2 && args[0] == "import")
        return importIcs(args[1]);
    if (args.size() == 2)
        return listDays(args[0], args[1]);
    return cliUsageError("holidays: expected FROM TO, --is-workday DATE or import FILE.ics");
}

CliRegistrar reg("holidays",
                 {"  quillet-cli holidays FROM TO   YYYY-MM-DD<TAB>休|班<TAB>holiday, one line per marked day\n"
                  "  quillet-cli holidays --is-workday DATE   exit 0 on a workday, 1 on a day off\n"
                  "  quillet-cli holidays import FILE.ics     years of a published holiday calendar into jjr.cjf\n",
                  runHolidays});

} // namespace

void cliTellUnknownYear(int year) {
    static std::set<int> told;
    if (!cliHolidays().knows(year) && told.insert(year).second)
        std::cerr << "quillet-cli: " << unknownYearNotice(year) << "\n";
}

const HolidayCalendar& cliHolidays() {
    static const bool loaded = [] {
        const auto share = findShareFolder(runningProgramFolder());
        HolidayLoad load = loadHolidays(share / kHolidayFileName, dataPath({kHolidayFileName}));
        for (const std::string& problem : load.problems)
            std::cerr << "quillet-cli: " << problem << "\n";
        setHolidayCalendar(std::move(load.calendar));
        return true;
    }();
    (void)loaded;
    return holidayCalendar();
}
