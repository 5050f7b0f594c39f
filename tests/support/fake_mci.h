#pragma once
// An MCI device for tests: records every command string and answers like the sequencer, without sound. One
// alias can be open; OPEN fails while it is, STATUS answers `mode` ("stopped" after OPEN, "playing" after
// PLAY, "" when nothing is open) and a test ends a tune with setMode("stopped").
#include "platform/mci_device.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>
#include <vector>

class FakeMciDevice : public MciDevice {
public:
    std::string sendString(std::string_view command) override {
        m_commands.emplace_back(command);
        std::string verb = upperWord(command);
        if (verb == "OPEN") {
            if (m_open)
                return {};
            m_open = true;
            m_openCommand = std::string(command);
            m_mode = "stopped";
        } else if (verb == "STATUS") {
            return m_open ? m_mode : std::string();
        } else if (verb == "PLAY") {
            if (m_open)
                m_mode = "playing";
            ++m_plays;
        } else if (verb == "CLOSE") {
            m_open = false;
            m_mode.clear();
        }
        return {};
    }

    // The tune ends (or any STATUS answer a test wants, e.g. "Stopped" or "").
    void setMode(std::string mode) { m_mode = std::move(mode); }
    bool isOpen() const { return m_open; }
    bool isPlaying() const { return m_open && m_mode == "playing"; }
    // The OPEN command that opened the alias now open (or last opened).
    const std::string& openCommand() const { return m_openCommand; }
    const std::vector<std::string>& commands() const { return m_commands; }
    // PLAY commands sent since the last clear().
    int plays() const { return m_plays; }
    // Commands sent since the last clear() that begin with `verb` ("OPEN", "CLOSE", ...).
    int count(std::string_view verb) const {
        return static_cast<int>(std::count_if(m_commands.begin(), m_commands.end(),
                                              [&](const std::string& c) { return upperWord(c) == verb; }));
    }
    void clear() {
        m_commands.clear();
        m_plays = 0;
    }

private:
    static std::string upperWord(std::string_view command) {
        std::string word(command.substr(0, command.find(' ')));
        std::transform(word.begin(), word.end(), word.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        return word;
    }

    std::vector<std::string> m_commands;
    std::string m_mode;
    std::string m_openCommand;
    bool m_open = false;
    int m_plays = 0;
};
