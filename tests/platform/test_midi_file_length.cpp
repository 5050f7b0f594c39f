#include "platform/midi_file_length.h"

#include "support/build_paths.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

namespace {

// Small Standard MIDI Files built byte by byte.
std::string bigEndian(uint32_t value, int bytes) {
    std::string out;
    for (int i = bytes - 1; i >= 0; --i)
        out += static_cast<char>(value >> (8 * i) & 0xFF);
    return out;
}

std::string varLen(uint32_t value) {
    std::string out(1, static_cast<char>(value & 0x7F));
    while (value >>= 7)
        out.insert(out.begin(), static_cast<char>((value & 0x7F) | 0x80));
    return out;
}

std::string smfChunk(const std::string& kind, const std::string& body) {
    return kind + bigEndian(static_cast<uint32_t>(body.size()), 4) + body;
}

std::string smfHeader(int format, int tracks, int division) {
    return smfChunk("MThd", bigEndian(format, 2) + bigEndian(tracks, 2) + bigEndian(division, 2));
}

// A track body from (delta ticks, event bytes) pairs, closed by an end-of-track mark `endDelta` ticks later.
std::string smfTrack(const std::vector<std::pair<uint32_t, std::string>>& events, uint32_t endDelta = 0) {
    std::string body;
    for (const auto& [delta, bytes] : events)
        body += varLen(delta) + bytes;
    body += varLen(endDelta) + std::string("\xFF\x2F\x00", 3);
    return smfChunk("MTrk", body);
}

std::string tempoEvent(uint32_t microsecondsPerQuarter) {
    return std::string("\xFF\x51\x03", 3) + bigEndian(microsecondsPerQuarter, 3);
}

std::string noteOn(int key) {
    return {'\x90', static_cast<char>(key), '\x60'};
}
std::string noteOff(int key) {
    return {'\x80', static_cast<char>(key), '\x00'};
}

// One note of `ticks` at 480 ticks a quarter and 120 quarters a minute (960 ticks = 1 s).
std::string oneNoteFile(uint32_t ticks) {
    return smfHeader(0, 1, 480) + smfTrack({{0, noteOn(60)}, {ticks, noteOff(60)}});
}

std::string committedTune(const char* name) {
    std::ifstream in(sourceDir() / "data" / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(MidiFileLength, DefaultTempoIsHalfASecondAQuarter) {
    EXPECT_NEAR(*midiFileSeconds(oneNoteFile(960)), 1.0, 1e-9);
}

TEST(MidiFileLength, TempoChangesApplyFromTheirTick) {
    // Track 0 carries the tempo map (format 1): a quarter at 0.5 s, then from tick 480 at 1 s.
    std::string conductor = smfTrack({{0, tempoEvent(500000)}, {480, tempoEvent(1000000)}});
    std::string notes = smfTrack({{0, noteOn(60)}, {1440, noteOff(60)}});
    EXPECT_NEAR(*midiFileSeconds(smfHeader(1, 2, 480) + conductor + notes), 0.5 + 2.0, 1e-9);
}

TEST(MidiFileLength, LongestTrackDecides) {
    std::string shortTrack = smfTrack({{0, noteOn(60)}, {240, noteOff(60)}});
    std::string longTrack = smfTrack({{0, noteOn(64)}, {480, noteOff(64)}}, 480);
    EXPECT_NEAR(*midiFileSeconds(smfHeader(1, 2, 480) + shortTrack + longTrack), 1.0, 1e-9);
}

TEST(MidiFileLength, RunningStatusSysexAndOneByteMessages) {
    std::string events = smfTrack({{0, std::string("\x90\x3C\x40", 3)},
                                   {0, std::string("\x40\x40", 2)}, // running status: a second note on
                                   {0, std::string("\xC0\x05", 2)}, // program change: one data byte
                                   {0, std::string("\xF0\x03\x7E\x7F\xF7", 5)},
                                   {0, std::string("\x90\x3C\x00", 3)},
                                   {480, std::string("\x40\x00", 2)}});
    EXPECT_NEAR(*midiFileSeconds(smfHeader(0, 1, 480) + events), 0.5, 1e-9);
}

TEST(MidiFileLength, SmpteDivisionCountsFrames) {
    // 25 frames a second, 40 ticks a frame: 1000 ticks a second.
    std::string file = smfHeader(0, 1, 0xE728) + smfTrack({{0, noteOn(60)}, {2000, noteOff(60)}});
    EXPECT_NEAR(*midiFileSeconds(file), 2.0, 1e-9);
}

TEST(MidiFileLength, UnknownChunksAreSkipped) {
    std::string file = smfHeader(0, 1, 480) + smfChunk("XFIH", "abc") + smfTrack({{960, noteOff(60)}});
    EXPECT_NEAR(*midiFileSeconds(file), 1.0, 1e-9);
}

TEST(MidiFileLength, DamagedFilesHaveNoLength) {
    std::string good = oneNoteFile(480);
    EXPECT_FALSE(midiFileSeconds(""));
    EXPECT_FALSE(midiFileSeconds("RIFF....WAVEfmt "));
    EXPECT_FALSE(midiFileSeconds(good.substr(0, good.size() - 5)));                // track cut short
    EXPECT_FALSE(midiFileSeconds(smfHeader(0, 2, 480) + smfTrack({})));            // a track missing
    EXPECT_FALSE(midiFileSeconds(smfHeader(2, 1, 480) + smfTrack({})));            // independent patterns
    EXPECT_FALSE(midiFileSeconds(smfHeader(0, 1, 0) + smfTrack({})));              // no time base
    EXPECT_FALSE(midiFileSeconds(smfHeader(0, 1, 480) + smfTrack({{0, "\x40"}}))); // data with no status
    EXPECT_FALSE(midiFileSeconds(smfHeader(0, 1, 480) + smfChunk("MTrk", "\xFF\xFF\xFF\xFF\x7F")));
}

TEST(MidiFileLength, CommittedTunesLastEightAndTenSeconds) {
    EXPECT_NEAR(*midiFileSeconds(committedTune("bwyy.mid")), 8.0, 0.01);
    EXPECT_NEAR(*midiFileSeconds(committedTune("dsyy.mid")), 10.0, 0.01);
}

} // namespace
