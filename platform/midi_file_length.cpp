#include "platform/midi_file_length.h"

#include <algorithm>
#include <cstdint>
#include <map>

namespace {

// A forward-only reader over the file's bytes; every read past the end marks the reader bad.
class ByteReader {
public:
    explicit ByteReader(std::string_view bytes) : m_bytes(bytes) {}
    bool good() const { return m_good; }
    bool atEnd() const { return m_pos >= m_bytes.size(); }
    size_t pos() const { return m_pos; }

    uint32_t byte() { return take(1) ? static_cast<uint8_t>(m_bytes[m_pos - 1]) : 0; }
    uint32_t bigEndian(int count) {
        uint32_t value = 0;
        for (int i = 0; i < count; ++i)
            value = value << 8 | byte();
        return value;
    }
    // Variable-length quantity: seven bits a byte, high bit set on all but the last, at most four bytes.
    uint32_t varLen() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            uint32_t b = byte();
            value = value << 7 | (b & 0x7F);
            if (!(b & 0x80))
                return value;
        }
        m_good = false;
        return 0;
    }
    std::string_view bytes(size_t count) { return take(count) ? m_bytes.substr(m_pos - count, count) : ""; }
    bool skip(size_t count) { return take(count); }

private:
    bool take(size_t count) {
        if (!m_good || count > m_bytes.size() - m_pos) {
            m_good = false;
            return false;
        }
        m_pos += count;
        return true;
    }

    std::string_view m_bytes;
    size_t m_pos = 0;
    bool m_good = true;
};

// tick -> microseconds per quarter note
using TempoMap = std::map<uint64_t, uint32_t>;

// Walks one track's events; returns its last tick, collecting tempo changes. Nothing when it is damaged.
std::optional<uint64_t> scanTrack(std::string_view body, TempoMap& tempos) {
    ByteReader in(body);
    uint64_t tick = 0;
    uint32_t running = 0;
    while (!in.atEnd()) {
        tick += in.varLen();
        uint32_t status = in.byte();
        if (status == 0xFF) {
            uint32_t type = in.byte();
            std::string_view data = in.bytes(in.varLen());
            if (type == 0x51 && data.size() == 3)
                tempos[tick] =
                    static_cast<uint32_t>(static_cast<uint8_t>(data[0]) << 16 | static_cast<uint8_t>(data[1]) << 8 |
                                          static_cast<uint8_t>(data[2]));
            if (type == 0x2F)
                break;
            continue;
        }
        if (status == 0xF0 || status == 0xF7) {
            in.skip(in.varLen());
            running = 0;
            continue;
        }
        int dataBytes = 0;
        if (status >= 0xF0) {
            return std::nullopt; // system messages other than sysex and meta never appear in a file
        } else if (status & 0x80) {
            running = status;
            dataBytes = 0;
        } else if (running != 0) {
            dataBytes = 1; // running status: this byte was the first data byte
        } else {
            return std::nullopt;
        }
        uint32_t kind = running & 0xF0;
        int needed = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
        in.skip(static_cast<size_t>(needed - dataBytes));
        if (!in.good())
            return std::nullopt;
    }
    if (!in.good())
        return std::nullopt;
    return tick;
}

double ticksToSeconds(uint64_t lastTick, const TempoMap& tempos, uint32_t division) {
    if (division & 0x8000) { // SMPTE: frames a second in the high byte (negative), ticks a frame in the low
        int fps = -static_cast<int8_t>(division >> 8 & 0xFF);
        double framesPerSecond = fps == 29 ? 29.97 : fps;
        return static_cast<double>(lastTick) / (framesPerSecond * (division & 0xFF));
    }
    double seconds = 0;
    uint64_t at = 0;
    uint32_t tempo = 500000; // 120 quarter notes a minute until told otherwise
    for (const auto& [tick, next] : tempos) {
        if (tick >= lastTick)
            break;
        seconds += static_cast<double>(tick - at) * tempo / division / 1e6;
        at = tick;
        tempo = next;
    }
    return seconds + static_cast<double>(lastTick - at) * tempo / division / 1e6;
}

} // namespace

std::optional<double> midiFileSeconds(std::string_view bytes) {
    ByteReader in(bytes);
    if (in.bytes(4) != "MThd")
        return std::nullopt;
    uint32_t headerLength = in.bigEndian(4);
    uint32_t format = in.bigEndian(2);
    uint32_t trackCount = in.bigEndian(2);
    uint32_t division = in.bigEndian(2);
    if (!in.good() || headerLength < 6 || format > 1 || trackCount == 0 || division == 0 ||
        ((division & 0x8000) && (division & 0xFF) == 0))
        return std::nullopt;
    in.skip(headerLength - 6);

    TempoMap tempos;
    uint64_t lastTick = 0;
    uint32_t tracksSeen = 0;
    while (tracksSeen < trackCount && in.good() && !in.atEnd()) {
        std::string_view kind = in.bytes(4);
        std::string_view body = in.bytes(in.bigEndian(4));
        if (!in.good())
            return std::nullopt;
        if (kind != "MTrk")
            continue; // chunks of unknown kinds are skipped, as the format asks
        std::optional<uint64_t> end = scanTrack(body, tempos);
        if (!end)
            return std::nullopt;
        lastTick = std::max(lastTick, *end);
        ++tracksSeen;
    }
    if (tracksSeen != trackCount)
        return std::nullopt;
    return ticksToSeconds(lastTick, tempos, division);
}
