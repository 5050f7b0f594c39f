#pragma once
// MIDI playback is driven by MCI command strings ("OPEN <path> TYPE SEQUENCER ALIAS BackgroundMusic",
// "STATUS BackgroundMusic MODE", "PLAY BackgroundMusic FROM 0", "CLOSE BackgroundMusic"). Each platform
// carries them out its own way; results are returned as text ("stopped", "playing", "" on failure).
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class MciDevice {
public:
    virtual ~MciDevice() = default;
    virtual std::string sendString(std::string_view command) = 0;
};

// The platform's player (FluidSynth on Linux, mciSendStringA on Windows). `onNoSoundFont` is told once when a
// tune cannot sound because the player has no instruments.
std::unique_ptr<MciDevice> createPlatformMciDevice(std::function<void(const std::string& message)> onNoSoundFont = {});
