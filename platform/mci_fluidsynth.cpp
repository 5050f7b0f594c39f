#include "platform/mci_fluidsynth.h"

#include "common/data_paths.h"
#include "platform/fluid_library.h"
#include "platform/mci_command.h"
#include "platform/midi_file_length.h"
#include "platform/soundfont.h"

#include <fstream>
#include <iterator>
#include <optional>

namespace {

using SteadyTime = std::chrono::steady_clock::time_point;

// A tune file is read whole into memory; anything larger than this is no tune of ours.
constexpr std::uintmax_t kMaxTuneBytes = 4 * 1024 * 1024;
// A missing audio output is looked for again at an OPEN once this long has passed (the sound server may start
// after the program).
constexpr std::chrono::seconds kOutputRetry{60};
// TimGM6mb is quiet at FluidSynth's default gain of 0.2.
constexpr double kGain = 0.6;

std::optional<std::string> readTuneFile(const std::filesystem::path& path, MciError& error) {
    std::error_code ec;
    std::uintmax_t size = std::filesystem::file_size(path, ec);
    std::ifstream in(path, std::ios::binary);
    if (ec || !in) {
        error = MciError::FileNotFound;
        return std::nullopt;
    }
    if (size > kMaxTuneBytes) {
        error = MciError::NotMidiFile;
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// FluidSynth's error messages are shown at the first attempt to find an audio output only, so a machine
// without one does not repeat them at every tune.
class QuietFluidErrors {
public:
    QuietFluidErrors(const FluidLibrary& fl, bool quiet) : m_fl(fl), m_quiet(quiet) {
        if (m_quiet)
            m_previous = m_fl.fluid_set_log_function(FLUID_ERR, nullptr, nullptr);
    }
    ~QuietFluidErrors() {
        if (m_quiet)
            m_fl.fluid_set_log_function(FLUID_ERR, m_previous, nullptr);
    }
    QuietFluidErrors(const QuietFluidErrors&) = delete;
    QuietFluidErrors& operator=(const QuietFluidErrors&) = delete;

private:
    const FluidLibrary& m_fl;
    bool m_quiet;
    fluid_log_function_t m_previous = nullptr;
};

} // namespace

// The FluidSynth objects: settings, synthesizer with the SoundFont, audio driver and the player of the tune.
// The player keeps its own timer thread ("system" timing), so deleting it never races the audio thread; a
// sample-driven player would hook into the synthesizer's render loop, which cannot be unhooked while it runs.
class FluidSynthMciDevice::Output {
public:
    explicit Output(const FluidSynthMciOptions& options) : m_options(options) {}
    ~Output() {
        stopPlayer();
        if (m_driver)
            m_fl->delete_fluid_audio_driver(m_driver);
        if (m_synth)
            m_fl->delete_fluid_synth(m_synth);
        if (m_settings)
            m_fl->delete_fluid_settings(m_settings);
    }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    bool audible() const { return m_driver != nullptr; }

    // Opens the audio output when there is none yet and the last attempt is long enough ago. The SoundFont
    // (several megabytes) is loaded only once an output exists.
    void ensureOutput(SteadyTime now) {
        if (m_driver || m_options.audioDrivers.empty() || (m_attempts > 0 && now - m_lastAttempt < kOutputRetry))
            return;
        if (!m_fl && !(m_fl = fluidLibrary())) // loaded at the first tune
            return;
        QuietFluidErrors quiet(*m_fl, m_attempts > 0);
        ++m_attempts;
        m_lastAttempt = now;
        if (!createSynth())
            return;
        for (const std::string& driver : m_options.audioDrivers) {
            m_fl->fluid_settings_setstr(m_settings, "audio.driver", driver.c_str());
            m_driver = m_fl->new_fluid_audio_driver(m_settings, m_synth);
            if (m_driver)
                break;
        }
        if (m_driver && m_soundFont == FLUID_FAILED)
            m_soundFont = m_fl->fluid_synth_sfload(m_synth, m_options.soundFont.string().c_str(), 1);
        if (m_driver && m_soundFont == FLUID_FAILED) { // nothing to play with: silent, like no output
            m_fl->delete_fluid_audio_driver(m_driver);
            m_driver = nullptr;
        }
    }

    // Plays the tune from its start; silent when there is no output.
    void play(const std::string& midi) {
        stopPlayer();
        if (!m_driver)
            return;
        m_player = m_fl->new_fluid_player(m_synth);
        if (m_player && m_fl->fluid_player_add_mem(m_player, midi.data(), midi.size()) == FLUID_OK &&
            m_fl->fluid_player_play(m_player) == FLUID_OK)
            return;
        stopPlayer();
    }

    bool playerRunning() const {
        return m_player == nullptr || m_fl->fluid_player_get_status(m_player) == FLUID_PLAYER_PLAYING;
    }

    // Ends the tune; `hush` also cuts the notes still ringing (closing the device is immediate).
    void stop(bool hush) {
        stopPlayer();
        if (hush && m_synth)
            m_fl->fluid_synth_all_sounds_off(m_synth, -1);
    }

private:
    bool createSynth() {
        if (!m_settings) {
            m_settings = m_fl->new_fluid_settings();
            if (!m_settings)
                return false;
            m_fl->fluid_settings_setstr(m_settings, "player.timing-source", "system");
            m_fl->fluid_settings_setnum(m_settings, "synth.gain", kGain);
            if (!m_options.audioFile.empty())
                m_fl->fluid_settings_setstr(m_settings, "audio.file.name", m_options.audioFile.string().c_str());
        }
        if (!m_synth)
            m_synth = m_fl->new_fluid_synth(m_settings);
        return m_synth != nullptr;
    }

    void stopPlayer() {
        if (!m_player)
            return;
        m_fl->fluid_player_stop(m_player);
        m_fl->delete_fluid_player(m_player);
        m_player = nullptr;
        m_fl->fluid_synth_all_notes_off(m_synth, -1);
    }

    const FluidSynthMciOptions& m_options;
    const FluidLibrary* m_fl = nullptr; // set with the first output attempt; the objects below need it
    fluid_settings_t* m_settings = nullptr;
    fluid_synth_t* m_synth = nullptr;
    fluid_audio_driver_t* m_driver = nullptr;
    fluid_player_t* m_player = nullptr;
    int m_soundFont = FLUID_FAILED;
    int m_attempts = 0;
    SteadyTime m_lastAttempt;
};

struct FluidSynthMciDevice::OpenTune {
    std::string alias;
    std::string midi;
    std::chrono::steady_clock::duration length{};
    std::optional<SteadyTime> startedAt; // set by PLAY
};

FluidSynthMciDevice::FluidSynthMciDevice(FluidSynthMciOptions options)
    : m_options(std::move(options)), m_output(std::make_unique<Output>(m_options)) {}

FluidSynthMciDevice::~FluidSynthMciDevice() = default;

bool FluidSynthMciDevice::audible() const {
    return m_output->audible();
}

std::string FluidSynthMciDevice::sendString(std::string_view text) {
    m_error = MciError::None;
    std::optional<MciCommand> command = parseMciCommand(text);
    if (!command) {
        m_error = MciError::BadCommand;
        return {};
    }
    switch (command->verb) {
    case MciCommand::Verb::Open:
        return open(*command);
    case MciCommand::Verb::Status:
        return status(*command);
    case MciCommand::Verb::Play:
        return play(*command);
    case MciCommand::Verb::Close:
        return close(*command);
    }
    return {};
}

std::string FluidSynthMciDevice::open(const MciCommand& command) {
    if (!command.type.empty() && !sameMciName(command.type, "sequencer")) {
        m_error = MciError::UnsupportedType;
        return {};
    }
    if (m_tune) { // one tune at a time: the one already open stays open
        m_error = MciError::DeviceBusy;
        return {};
    }
    std::optional<std::string> midi = readTuneFile(pathFromUtf8(command.name), m_error);
    if (!midi)
        return {};
    std::optional<double> seconds = midiFileSeconds(*midi);
    if (!seconds) {
        m_error = MciError::NotMidiFile;
        return {};
    }
    m_tune = std::make_unique<OpenTune>();
    m_tune->alias = command.alias.empty() ? command.name : command.alias;
    m_tune->midi = std::move(*midi);
    m_tune->length = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(*seconds) + kRingOut);
    m_output->ensureOutput(m_options.now());
    return {};
}

bool FluidSynthMciDevice::isOpenAlias(const std::string& alias) {
    if (m_tune && sameMciName(m_tune->alias, alias))
        return true;
    m_error = MciError::NotOpen;
    return false;
}

bool FluidSynthMciDevice::isPlaying() const {
    if (!m_tune->startedAt)
        return false;
    return m_options.now() - *m_tune->startedAt < m_tune->length && m_output->playerRunning();
}

std::string FluidSynthMciDevice::status(const MciCommand& command) {
    if (!isOpenAlias(command.name))
        return {};
    if (command.item != "mode") {
        m_error = MciError::BadItem;
        return {};
    }
    return isPlaying() ? "playing" : "stopped";
}

// PLAY FROM 0 starts the tune again from its beginning; a plain PLAY starts it unless it is playing.
std::string FluidSynthMciDevice::play(const MciCommand& command) {
    if (!isOpenAlias(command.name))
        return {};
    if (command.from && *command.from != 0) {
        m_error = MciError::BadCommand; // positions inside a tune are never asked for
        return {};
    }
    if (!command.from && isPlaying())
        return {};
    std::error_code ec;
    if (!m_toldNoSoundFont && m_options.onNoSoundFont && !std::filesystem::is_regular_file(m_options.soundFont, ec)) {
        m_toldNoSoundFont = true;
        m_options.onNoSoundFont(noSoundFontMessage());
    }
    m_output->play(m_tune->midi);
    m_tune->startedAt = m_options.now();
    return {};
}

std::string FluidSynthMciDevice::close(const MciCommand& command) {
    if (!isOpenAlias(command.name))
        return {};
    m_output->stop(true);
    m_tune.reset();
    return {};
}

std::unique_ptr<MciDevice> createPlatformMciDevice(std::function<void(const std::string&)> onNoSoundFont) {
    FluidSynthMciOptions options;
    options.soundFont = findSoundFont();
    options.onNoSoundFont = std::move(onNoSoundFont);
    return std::make_unique<FluidSynthMciDevice>(std::move(options));
}
