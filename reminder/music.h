#pragma once
// The two sound operations of the timers: start a tune under the one alias "BackgroundMusic" (it plays only
// when the open tune is stopped) and stop it by closing the alias.
#include "platform/mci_device.h"

#include <filesystem>
#include <string_view>

class Music {
public:
    Music(MciDevice& device, std::filesystem::path tuneFolder) : m_device(device), m_folder(std::move(tuneFolder)) {}
    // tuneName is "bwyy.mid" (memo reminder) or "dsyy.mid" (alarm).
    void start(std::string_view tuneName);
    void stop();
    // A tune may be open under the alias: started since the last stop (an OPEN that failed counts too).
    bool mayBeOpen() const { return m_mayBeOpen; }
    const std::filesystem::path& tuneFolder() const { return m_folder; }

private:
    MciDevice& m_device;
    std::filesystem::path m_folder;
    bool m_mayBeOpen = false;
};

// Where the tunes are: beside the program file, else ../share/quillet for an installed layout.
std::filesystem::path findTuneFolder(const std::filesystem::path& programFolder);
