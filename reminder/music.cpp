#include "reminder/music.h"

#include "common/data_paths.h"

#include <algorithm>
#include <string>

namespace {

constexpr const char* kAlias = "BackgroundMusic";

} // namespace

// The path goes in double quotes, so a program folder with blanks in its name still opens the tune (unquoted,
// the sequencer would read the path only up to the first blank and fail). Every result but STATUS's is ignored.
void Music::start(std::string_view tuneName) {
    m_mayBeOpen = true;
    std::string path = pathToUtf8(m_folder / pathFromUtf8(tuneName));
    m_device.sendString("OPEN \"" + path + "\" TYPE SEQUENCER ALIAS " + kAlias);
    std::string mode = m_device.sendString(std::string("STATUS ") + kAlias + " MODE");
    std::string head = mode.substr(0, 7);
    std::transform(head.begin(), head.end(), head.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
    if (head == "STOPPED")
        m_device.sendString(std::string("PLAY ") + kAlias + " FROM 0");
}

void Music::stop() {
    m_mayBeOpen = false;
    m_device.sendString(std::string("CLOSE ") + kAlias);
}

std::filesystem::path findTuneFolder(const std::filesystem::path& programFolder) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(programFolder / "bwyy.mid", ec))
        return programFolder;
    return (programFolder / ".." / "share" / "quillet").lexically_normal();
}
