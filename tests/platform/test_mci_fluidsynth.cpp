// The FluidSynth sequencer's state machine, driven through MCI strings and through Music. Time is injected so
// tunes end without waiting; the devices run silent (no audio driver) unless a test asks for the file driver.
#include "platform/mci_fluidsynth.h"
#include "reminder/music.h"

#include "support/build_paths.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr const char* kStatus = "STATUS BackgroundMusic MODE";

class FluidSynthMciTest : public ::testing::Test {
protected:
    FluidSynthMciTest() {
        fs::create_directories(m_folder);
        for (const char* tune : {"bwyy.mid", "dsyy.mid"})
            fs::copy_file(sourceDir() / "data" / tune, m_folder / tune);
    }

    FluidSynthMciOptions silentOptions() {
        FluidSynthMciOptions options;
        options.audioDrivers = {};
        options.now = [this] { return m_now; };
        return options;
    }
    std::string openCommand(const std::string& tune) const {
        return "OPEN \"" + (m_folder / tune).string() + "\" TYPE SEQUENCER ALIAS BackgroundMusic";
    }
    void advance(std::chrono::milliseconds step) { m_now += step; }

    TempWorkDir m_dir;
    fs::path m_folder = m_dir / "Program Files" / "Quillet"; // blanks in the program's folder
    std::chrono::steady_clock::time_point m_now{std::chrono::hours(1)};
};

// The reminder tune lasts 8 s (and a few microseconds: its tempo is rounded to whole microseconds); with the
// ring-out it reads "playing" for 9 s after PLAY. The alarm tune lasts 10 s.
constexpr auto kReminderPlays = 8s + FluidSynthMciDevice::kRingOut + 10ms;
constexpr auto kAlarmPlays = 10s + FluidSynthMciDevice::kRingOut + 10ms;

TEST_F(FluidSynthMciTest, QuotedPathWithBlanksOpensStoppedThenPlaysOnce) {
    FluidSynthMciDevice mci(silentOptions());
    EXPECT_EQ(mci.sendString(openCommand("bwyy.mid")), "");
    EXPECT_EQ(mci.lastError(), MciError::None);
    EXPECT_EQ(mci.sendString(kStatus), "stopped");
    EXPECT_EQ(mci.sendString("PLAY BackgroundMusic FROM 0"), "");
    EXPECT_EQ(mci.sendString(kStatus), "playing");
    advance(8900ms);
    EXPECT_EQ(mci.sendString(kStatus), "playing");
    advance(110ms);
    EXPECT_EQ(mci.sendString(kStatus), "stopped"); // no repeat
    EXPECT_FALSE(mci.audible());
}

TEST_F(FluidSynthMciTest, UnquotedPathWithBlanksFails) {
    FluidSynthMciDevice mci(silentOptions());
    mci.sendString("OPEN " + (m_folder / "bwyy.mid").string() + " TYPE SEQUENCER ALIAS BackgroundMusic");
    EXPECT_EQ(mci.lastError(), MciError::BadCommand);
    EXPECT_EQ(mci.sendString(kStatus), "");
    EXPECT_EQ(mci.lastError(), MciError::NotOpen);
}

TEST_F(FluidSynthMciTest, OpenFailsWhileTheAliasIsOpenAndKeepsTheOpenTune) {
    FluidSynthMciDevice mci(silentOptions());
    mci.sendString(openCommand("bwyy.mid"));
    mci.sendString(openCommand("dsyy.mid"));
    EXPECT_EQ(mci.lastError(), MciError::DeviceBusy);
    mci.sendString("OPEN \"" + (m_folder / "dsyy.mid").string() + "\" ALIAS Other");
    EXPECT_EQ(mci.lastError(), MciError::DeviceBusy); // one tune at a time, whatever its alias
    mci.sendString("PLAY BackgroundMusic FROM 0");
    advance(kReminderPlays); // the 8 s tune, not the 10 s one, is the one playing
    EXPECT_EQ(mci.sendString(kStatus), "stopped");
}

TEST_F(FluidSynthMciTest, MissingOrDamagedFilesDoNotOpen) {
    FluidSynthMciDevice mci(silentOptions());
    mci.sendString(openCommand("nothing.mid"));
    EXPECT_EQ(mci.lastError(), MciError::FileNotFound);
    m_dir.write("Program Files/Quillet/bad.mid", "MThd this is no tune");
    mci.sendString(openCommand("bad.mid"));
    EXPECT_EQ(mci.lastError(), MciError::NotMidiFile);
    mci.sendString("OPEN \"" + (m_folder / "bwyy.mid").string() + "\" TYPE WAVEAUDIO ALIAS BackgroundMusic");
    EXPECT_EQ(mci.lastError(), MciError::UnsupportedType);
    EXPECT_EQ(mci.sendString(kStatus), "");
}

TEST_F(FluidSynthMciTest, CommandsOnAnotherAliasFail) {
    FluidSynthMciDevice mci(silentOptions());
    mci.sendString(openCommand("bwyy.mid"));
    for (const char* command : {"STATUS Other MODE", "PLAY Other FROM 0", "CLOSE Other"}) {
        EXPECT_EQ(mci.sendString(command), "");
        EXPECT_EQ(mci.lastError(), MciError::NotOpen) << command;
    }
    EXPECT_EQ(mci.sendString("status backgroundmusic mode"), "stopped"); // aliases ignore case
    EXPECT_EQ(mci.sendString("STATUS BackgroundMusic LENGTH"), "");
    EXPECT_EQ(mci.lastError(), MciError::BadItem);
}

TEST_F(FluidSynthMciTest, PlayFromZeroRestartsAPlayingTune) {
    FluidSynthMciDevice mci(silentOptions());
    mci.sendString(openCommand("bwyy.mid"));
    mci.sendString("PLAY BackgroundMusic FROM 0");
    advance(5s);
    mci.sendString("PLAY BackgroundMusic FROM 0");
    advance(8900ms);
    EXPECT_EQ(mci.sendString(kStatus), "playing");
    mci.sendString("PLAY BackgroundMusic FROM 3");
    EXPECT_EQ(mci.lastError(), MciError::BadCommand);
}

TEST_F(FluidSynthMciTest, CloseEndsTheTuneAndFreesTheAlias) {
    FluidSynthMciDevice mci(silentOptions());
    mci.sendString(openCommand("bwyy.mid"));
    mci.sendString("PLAY BackgroundMusic FROM 0");
    EXPECT_EQ(mci.sendString("CLOSE BackgroundMusic"), "");
    EXPECT_EQ(mci.lastError(), MciError::None);
    EXPECT_EQ(mci.sendString(kStatus), "");
    mci.sendString(openCommand("dsyy.mid"));
    EXPECT_EQ(mci.lastError(), MciError::None);
    EXPECT_EQ(mci.sendString(kStatus), "stopped");
}

// The timers' two operations on the real sequencer.
class MusicOnFluidSynthTest : public FluidSynthMciTest {
protected:
    FluidSynthMciDevice m_mci{silentOptions()};
    Music m_music{m_mci, m_folder};
};

TEST_F(MusicOnFluidSynthTest, StartWhilePlayingChangesNothing) {
    m_music.start("bwyy.mid");
    EXPECT_EQ(m_mci.sendString(kStatus), "playing");
    advance(5s);
    m_music.start("bwyy.mid");
    advance(kReminderPlays - 5s);
    EXPECT_EQ(m_mci.sendString(kStatus), "stopped"); // the first start's course, not restarted at 5 s
}

TEST_F(MusicOnFluidSynthTest, SecondStartReplaysTheOpenTune) {
    m_music.start("bwyy.mid");
    advance(kReminderPlays);
    EXPECT_EQ(m_mci.sendString(kStatus), "stopped");
    m_music.start("bwyy.mid");
    EXPECT_EQ(m_mci.sendString(kStatus), "playing");
}

TEST_F(MusicOnFluidSynthTest, StartForAnotherTuneReplaysTheOpenOneUntilStopped) {
    m_music.start("dsyy.mid");
    advance(kAlarmPlays);
    m_music.start("bwyy.mid"); // the alarm tune is still open: it plays again (10 s + ring-out)
    advance(kReminderPlays);
    EXPECT_EQ(m_mci.sendString(kStatus), "playing");
    m_music.stop();
    m_music.start("bwyy.mid");
    advance(kReminderPlays);
    EXPECT_EQ(m_mci.sendString(kStatus), "stopped");
}

TEST_F(MusicOnFluidSynthTest, StopWhenNothingIsOpenIsSilent) {
    m_music.stop();
    EXPECT_EQ(m_mci.lastError(), MciError::NotOpen);
    m_music.start("bwyy.mid");
    m_music.stop();
    m_music.stop();
    EXPECT_EQ(m_mci.sendString(kStatus), "");
}

TEST_F(MusicOnFluidSynthTest, MissingTuneStaysSilent) {
    m_music.start("none.mid");
    EXPECT_EQ(m_mci.sendString(kStatus), "");
}

// With a real audio driver (FluidSynth's "file" driver writes what an audio card would play, in real time):
// restarting and closing while the audio thread runs neither hangs nor crashes, and sound comes out.
TEST_F(FluidSynthMciTest, RestartsAndClosesWhileTheAudioThreadRuns) {
    FluidSynthMciOptions options = silentOptions();
    options.audioDrivers = {"file"};
    options.audioFile = m_dir / "out.wav";
    {
        FluidSynthMciDevice mci(options);
        mci.sendString(openCommand("dsyy.mid"));
        ASSERT_TRUE(mci.audible());
        for (int i = 0; i < 20; ++i) {
            mci.sendString("PLAY BackgroundMusic FROM 0");
            EXPECT_EQ(mci.sendString(kStatus), "playing");
        }
        advance(kAlarmPlays);
        EXPECT_EQ(mci.sendString(kStatus), "stopped"); // by the tune's length, not FluidSynth's late "done"
        mci.sendString("CLOSE BackgroundMusic");
        mci.sendString(openCommand("bwyy.mid"));
        mci.sendString("PLAY BackgroundMusic FROM 0");
        mci.sendString("CLOSE BackgroundMusic");
    }
    EXPECT_TRUE(fs::exists(m_dir / "out.wav"));
}

TEST_F(FluidSynthMciTest, MissingSoundFontKeepsTheDeviceSilentButWorkingAndSaysSoOnce) {
    FluidSynthMciOptions options = silentOptions();
    options.audioDrivers = {"file"};
    options.audioFile = m_dir / "out.wav";
    options.soundFont = m_dir / "none.sf2";
    std::vector<std::string> told;
    options.onNoSoundFont = [&told](const std::string& message) { told.push_back(message); };
    FluidSynthMciDevice mci(options);
    mci.sendString(openCommand("bwyy.mid"));
    EXPECT_FALSE(mci.audible());
    EXPECT_TRUE(told.empty()); // opening is not playing
    mci.sendString("PLAY BackgroundMusic FROM 0");
    EXPECT_EQ(mci.sendString(kStatus), "playing");
    advance(kReminderPlays);
    EXPECT_EQ(mci.sendString(kStatus), "stopped");
    mci.sendString("PLAY BackgroundMusic FROM 0");
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find("SoundFont"), std::string::npos);
}

// The machine's own output (none in a headless test run): whatever is found, nothing hangs.
TEST_F(FluidSynthMciTest, MachineOutputNeverHangs) {
    FluidSynthMciOptions options;
    options.now = [this] { return m_now; };
    FluidSynthMciDevice mci(options);
    mci.sendString(openCommand("bwyy.mid"));
    mci.sendString("PLAY BackgroundMusic FROM 0");
    EXPECT_EQ(mci.sendString(kStatus), "playing");
    advance(kReminderPlays);
    EXPECT_EQ(mci.sendString(kStatus), "stopped");
    mci.sendString("CLOSE BackgroundMusic");
    EXPECT_EQ(mci.lastError(), MciError::None);
}

TEST(PlatformMciDevice, IsTheFluidSynthSequencer) {
    EXPECT_NE(dynamic_cast<FluidSynthMciDevice*>(createPlatformMciDevice().get()), nullptr);
}

} // namespace
