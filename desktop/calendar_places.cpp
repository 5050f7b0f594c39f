#include "desktop/calendar_places.h"

#include "common/safe_write.h"

#include <sstream>
#include <system_error>

namespace fs = std::filesystem;

fs::path calendarPlacesFile(const EnvLookup& env) {
    const fs::path base = userConfigFolder(env);
    return base.empty() ? base : base / "quillet" / "places";
}

CalendarPlaces readCalendarPlaces(const fs::path& file) {
    CalendarPlaces places;
    Result<std::string> bytes = readFileBytes(file);
    if (file.empty() || !bytes)
        return places;
    std::istringstream lines(*bytes);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string key, rest;
        ScreenPoint at;
        fields >> key;
        if (key == "shown" && fields >> rest)
            places.wallShown = rest == "wall";
        else if ((key == "desk" || key == "wall") && fields >> at.x >> at.y && !(fields >> rest))
            (key == "desk" ? places.desk : places.wall) = at;
    }
    return places;
}

std::optional<std::string> writeCalendarPlaces(const fs::path& file, const CalendarPlaces& places) {
    if (file.empty())
        return std::string("找不到配置文件夹: HOME 和 XDG_CONFIG_HOME 都没有设置");
    std::ostringstream out;
    for (auto [key, at] : {std::pair{"desk", places.desk}, std::pair{"wall", places.wall}})
        if (at)
            out << key << ' ' << at->x << ' ' << at->y << '\n';
    out << "shown " << (places.wallShown ? "wall" : "desk") << '\n';
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    if (ec)
        return file.parent_path().string() + ": " + ec.message();
    if (Result<void> written = writeFileAtomic(file, out.str()); !written)
        return written.error().path + ": " + written.error().reason;
    return std::nullopt;
}
