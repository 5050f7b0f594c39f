// The two tunes rendered offline by FluidSynth's file renderer (the player timed by the rendered samples, so
// no audio device and no waiting), then the WAV checked: there is music, it starts at once, lasts the tune's
// length, does not clip, and the two tunes differ.
#include "platform/midi_file_length.h"

#include "support/build_paths.h"
#include "support/temp_dir.h"

#include <cmath>
#include <cstring>
#include <fluidsynth.h>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr double kRate = 44100;
const char* const kSoundFont = "/usr/share/sounds/sf2/default-GM.sf2";

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Renders a MIDI file to a 16-bit stereo WAV until the player is done or `maxSeconds` have been written.
void renderToWav(const fs::path& midi, const fs::path& wav, double maxSeconds) {
    fluid_settings_t* settings = new_fluid_settings();
    fluid_settings_setstr(settings, "player.timing-source", "sample");
    fluid_settings_setint(settings, "synth.lock-memory", 0);
    fluid_settings_setnum(settings, "synth.sample-rate", kRate);
    fluid_settings_setstr(settings, "audio.file.name", wav.string().c_str());
    fluid_settings_setstr(settings, "audio.file.type", "wav");
    fluid_settings_setstr(settings, "audio.file.format", "s16");
    fluid_synth_t* synth = new_fluid_synth(settings);
    ASSERT_NE(fluid_synth_sfload(synth, kSoundFont, 1), FLUID_FAILED);
    fluid_player_t* player = new_fluid_player(synth);
    ASSERT_EQ(fluid_player_add(player, midi.string().c_str()), FLUID_OK);
    fluid_file_renderer_t* renderer = new_fluid_file_renderer(synth);
    ASSERT_NE(renderer, nullptr);
    ASSERT_EQ(fluid_player_play(player), FLUID_OK);
    int period = 64;
    fluid_settings_getint(settings, "audio.period-size", &period);
    auto maxBlocks = static_cast<long>(maxSeconds * kRate / period);
    for (long block = 0; block < maxBlocks && fluid_player_get_status(player) == FLUID_PLAYER_PLAYING; ++block)
        ASSERT_EQ(fluid_file_renderer_process_block(renderer), FLUID_OK);
    delete_fluid_file_renderer(renderer);
    delete_fluid_player(player);
    delete_fluid_synth(synth);
    delete_fluid_settings(settings);
}

// Samples of a 16-bit PCM WAV, both channels interleaved.
std::vector<int16_t> wavSamples(const std::string& bytes) {
    std::vector<int16_t> samples;
    size_t pos = 12; // "RIFF" size "WAVE"
    while (pos + 8 <= bytes.size()) {
        uint32_t size = 0;
        std::memcpy(&size, bytes.data() + pos + 4, 4);
        if (bytes.compare(pos, 4, "data") == 0) {
            size = std::min<uint32_t>(size, static_cast<uint32_t>(bytes.size() - pos - 8));
            samples.resize(size / 2);
            std::memcpy(samples.data(), bytes.data() + pos + 8, samples.size() * 2);
            break;
        }
        pos += 8 + size + (size & 1);
    }
    return samples;
}

// Root mean square, as a fraction of full scale, of the stereo frames from `from` to `to` seconds.
double rms(const std::vector<int16_t>& samples, double from, double to) {
    auto first = static_cast<size_t>(from * kRate) * 2;
    auto last = std::min(samples.size(), static_cast<size_t>(to * kRate) * 2);
    double sum = 0;
    for (size_t i = first; i < last; ++i)
        sum += static_cast<double>(samples[i]) * samples[i];
    return last > first ? std::sqrt(sum / static_cast<double>(last - first)) / 32768.0 : 0.0;
}

struct RenderedTune {
    double seconds = 0;
    std::vector<int16_t> samples;
};

RenderedTune render(const TempWorkDir& dir, const char* name) {
    fs::path midi = sourceDir() / "data" / name;
    RenderedTune tune;
    tune.seconds = midiFileSeconds(readBytes(midi)).value_or(0);
    fs::path wav = dir / (std::string(name) + ".wav");
    renderToWav(midi, wav, tune.seconds + 3);
    tune.samples = wavSamples(readBytes(wav));
    return tune;
}

void expectMusic(const RenderedTune& tune) {
    ASSERT_GE(tune.samples.size(), static_cast<size_t>(tune.seconds * kRate) * 2);
    EXPECT_GT(rms(tune.samples, 0, tune.seconds), 0.005);
    EXPECT_GT(rms(tune.samples, 0, 0.5), 0.003); // no silent lead-in
    for (double second = 0; second + 1 <= tune.seconds; ++second)
        EXPECT_GT(rms(tune.samples, second, second + 1), 0.002) << "silent second at " << second << " s";
    int16_t peak = 0;
    for (int16_t s : tune.samples)
        peak = std::max<int16_t>(peak, static_cast<int16_t>(std::abs(s)));
    EXPECT_LT(peak, 32767); // no clipping
}

TEST(TuneRender, ReminderIsAboutEightSecondsOfMusic) {
    TempWorkDir dir;
    RenderedTune tune = render(dir, "bwyy.mid");
    EXPECT_NEAR(tune.seconds, 8.0, 0.5);
    expectMusic(tune);
}

TEST(TuneRender, AlarmIsAboutTenLivelierSeconds) {
    TempWorkDir dir;
    RenderedTune alarm = render(dir, "dsyy.mid");
    RenderedTune reminder = render(dir, "bwyy.mid");
    EXPECT_NEAR(alarm.seconds, 10.0, 0.5);
    expectMusic(alarm);
    // Livelier: louder on the whole than the gentle reminder.
    EXPECT_GT(rms(alarm.samples, 0, 8), rms(reminder.samples, 0, 8) * 1.2);
}

} // namespace
