#pragma once
// The MCI sequencer on Linux: MIDI files played by FluidSynth with a General MIDI SoundFont through the desktop's
// audio output. One tune is open at a time, under its alias. A tune reads "stopped" once its own length (plus a
// moment for the last notes to ring) has passed since PLAY, so with no audio output (silent) or a stalled one a
// tune never stays "playing" for ever, and FluidSynth's late "done" (seconds after the last note) is not waited for.
#include "platform/mci_device.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct MciCommand;

struct FluidSynthMciOptions {
    std::filesystem::path soundFont = "/usr/share/sounds/sf2/default-GM.sf2";
    // Told once, at the first PLAY, when the SoundFont is not there (the tune then runs its course silently).
    std::function<void(const std::string& message)> onNoSoundFont;
    // FluidSynth audio drivers tried in order; an empty list keeps the device silent.
    std::vector<std::string> audioDrivers = {"pulseaudio", "alsa"};
    // The WAV file written by the "file" driver, when that driver is in the list.
    std::filesystem::path audioFile;
    // Monotonic time; tests let tunes end without waiting.
    std::function<std::chrono::steady_clock::time_point()> now = [] { return std::chrono::steady_clock::now(); };
};

// Why the last command failed (MCI reports an error number; the timers never look at it).
enum class MciError { None, BadCommand, UnsupportedType, FileNotFound, NotMidiFile, DeviceBusy, NotOpen, BadItem };

class FluidSynthMciDevice : public MciDevice {
public:
    explicit FluidSynthMciDevice(FluidSynthMciOptions options = {});
    ~FluidSynthMciDevice() override;
    FluidSynthMciDevice(const FluidSynthMciDevice&) = delete;
    FluidSynthMciDevice& operator=(const FluidSynthMciDevice&) = delete;

    // "" for OPEN, PLAY and CLOSE and for every failure; "stopped" or "playing" for STATUS <alias> MODE.
    std::string sendString(std::string_view command) override;
    MciError lastError() const { return m_error; }
    // Whether sound reaches an audio output; false: tunes run their course silently, by the clock alone.
    bool audible() const;

    // Time after a tune's last event until it reads "stopped", so its last notes ring out.
    static constexpr std::chrono::milliseconds kRingOut{1000};

private:
    class Output;
    struct OpenTune;

    std::string open(const MciCommand& command);
    std::string status(const MciCommand& command);
    std::string play(const MciCommand& command);
    std::string close(const MciCommand& command);
    bool isOpenAlias(const std::string& alias);
    bool isPlaying() const;

    FluidSynthMciOptions m_options;
    std::unique_ptr<Output> m_output;
    std::unique_ptr<OpenTune> m_tune;
    MciError m_error = MciError::None;
    bool m_toldNoSoundFont = false;
};
