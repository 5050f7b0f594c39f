#include "platform/soundfont.h"

#include <cstdlib>
#include <system_error>

namespace fs = std::filesystem;

std::vector<fs::path> soundFontCandidates(const std::string& fromEnvironment) {
    std::vector<fs::path> candidates;
    if (!fromEnvironment.empty())
        candidates.emplace_back(fromEnvironment);
    for (const char* known : {
             "/usr/share/sounds/sf2/default-GM.sf2",            // Debian: the chosen alternative
             "/usr/share/sounds/sf2/FluidR3_GM.sf2",            // Debian: fluid-soundfont-gm
             "/usr/share/sounds/sf2/TimGM6mb.sf2",              // Debian: timgm6mb-soundfont
             "/usr/share/soundfonts/default.sf2",               // Fedora and Arch: the default link
             "/usr/share/soundfonts/FluidR3_GM.sf2",            // Arch: soundfont-fluid
             "/usr/share/soundfonts/FluidR3_GM2-2.sf2",         // Fedora: fluid-soundfont-gm
             "/usr/share/soundfonts/freepats-general-midi.sf2", // Arch: freepats-general-midi
         })
        candidates.emplace_back(known);
    return candidates;
}

fs::path findSoundFont(const std::string& fromEnvironment, const std::function<bool(const fs::path&)>& isFile) {
    for (const fs::path& candidate : soundFontCandidates(fromEnvironment))
        if (isFile(candidate))
            return candidate;
    return {};
}

fs::path findSoundFont() {
    const char* fromEnvironment = std::getenv("QUILLET_SOUNDFONT");
    return findSoundFont(fromEnvironment ? fromEnvironment : "", [](const fs::path& p) {
        std::error_code ec;
        return fs::is_regular_file(p, ec);
    });
}

std::string noSoundFontMessage() {
    return "找不到 General MIDI 音色库 (SoundFont),提醒和定时器的音乐无法播放。\n"
           "请安装 fluid-soundfont-gm 或 timgm6mb-soundfont,或用环境变量 QUILLET_SOUNDFONT 指明 .sf2 文件。";
}
