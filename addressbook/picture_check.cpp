#include "addressbook/picture_check.h"

#include <array>
#include <cstdint>
#include <cstdlib>

namespace {

std::uint32_t byteAt(std::string_view b, std::size_t i) {
    return static_cast<unsigned char>(b[i]);
}
std::uint32_t bigEndian16(std::string_view b, std::size_t i) {
    return byteAt(b, i) << 8 | byteAt(b, i + 1);
}
std::uint32_t bigEndian32(std::string_view b, std::size_t i) {
    return bigEndian16(b, i) << 16 | bigEndian16(b, i + 2);
}
std::uint32_t littleEndian16(std::string_view b, std::size_t i) {
    return byteAt(b, i) | byteAt(b, i + 1) << 8;
}
std::uint32_t littleEndian32(std::string_view b, std::size_t i) {
    return littleEndian16(b, i) | littleEndian16(b, i + 2) << 16;
}

// The entropy-coded data of a scan runs to the next marker: 0xFF followed by neither 0 (a stuffed byte) nor a
// restart marker. Returns the position of that 0xFF, or npos when the data runs off the end.
std::size_t endOfScan(std::string_view b, std::size_t at) {
    for (; at + 1 < b.size(); ++at) {
        if (byteAt(b, at) != 0xFF)
            continue;
        const std::uint32_t next = byteAt(b, at + 1);
        if (next != 0 && !(next >= 0xD0 && next <= 0xD7) && next != 0xFF)
            return at;
    }
    return std::string_view::npos;
}

bool wholeJpeg(std::string_view b) {
    bool frame = false, scan = false;
    std::size_t at = 2;
    while (at + 1 < b.size()) {
        if (byteAt(b, at) != 0xFF)
            return false;
        const std::uint32_t marker = byteAt(b, at + 1);
        at += 2;
        if (marker == 0xFF) {
            --at; // fill byte
            continue;
        }
        if (marker == 0xD9)
            return frame && scan;
        if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01)
            continue;
        if (at + 2 > b.size() || bigEndian16(b, at) < 2 || at + bigEndian16(b, at) > b.size())
            return false;
        const std::size_t length = bigEndian16(b, at);
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
            frame = length >= 8 && bigEndian16(b, at + 3) > 0 && bigEndian16(b, at + 5) > 0;
        at += length;
        if (marker == 0xDA) {
            if (!frame || (at = endOfScan(b, at)) == std::string_view::npos)
                return false;
            scan = true;
        }
    }
    return false;
}

std::uint32_t crc32(std::string_view data) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (unsigned char byte : data)
        c = table[(c ^ byte) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

bool wholePng(std::string_view b) {
    bool header = false, data = false;
    for (std::size_t at = 8; at + 12 <= b.size();) {
        const std::size_t length = bigEndian32(b, at);
        if (length > b.size() - at - 12)
            return false;
        const std::string_view type = b.substr(at + 4, 4);
        if (crc32(b.substr(at + 4, length + 4)) != bigEndian32(b, at + 8 + length))
            return false;
        if (!header && type != "IHDR")
            return false;
        header = true;
        data = data || type == "IDAT";
        if (type == "IEND")
            return data;
        at += length + 12;
    }
    return false;
}

// Data sub-blocks: a size byte and that many bytes, until a size of 0. Returns the position after them.
std::size_t afterSubBlocks(std::string_view b, std::size_t at) {
    while (at < b.size() && byteAt(b, at) != 0)
        at += byteAt(b, at) + 1;
    return at < b.size() ? at + 1 : std::string_view::npos;
}

bool wholeGif(std::string_view b) {
    if (b.size() < 13)
        return false;
    const std::uint32_t flags = byteAt(b, 10);
    std::size_t at = 13 + (flags & 0x80 ? 3u << ((flags & 7) + 1) : 0u);
    bool image = false;
    while (at < b.size()) {
        const std::uint32_t block = byteAt(b, at);
        if (block == 0x3B)
            return image;
        if (block == 0x21 && at + 2 < b.size()) {
            at = afterSubBlocks(b, at + 2);
        } else if (block == 0x2C && at + 10 < b.size()) {
            const std::uint32_t local = byteAt(b, at + 9);
            at += 10 + (local & 0x80 ? 3u << ((local & 7) + 1) : 0u) + 1; // descriptor, colour table, code size
            at = afterSubBlocks(b, at);
            image = true;
        } else {
            return false;
        }
        if (at == std::string_view::npos)
            return false;
    }
    return false;
}

bool wholeBmp(std::string_view b) {
    if (b.size() < 54)
        return false;
    const std::uint64_t offset = littleEndian32(b, 10);
    const std::uint64_t width = littleEndian32(b, 18);
    const auto height = static_cast<std::int32_t>(littleEndian32(b, 22));
    const std::uint64_t bits = littleEndian16(b, 28);
    const std::uint32_t compression = littleEndian32(b, 30);
    if (width == 0 || height == 0 || bits == 0 || offset >= b.size())
        return false;
    if (compression != 0)
        return true; // packed rows: their length is not known without unpacking
    const std::uint64_t row = (width * bits + 31) / 32 * 4;
    const std::uint64_t rows =
        height < 0 ? 0ull - static_cast<std::int64_t>(height) : static_cast<std::uint64_t>(height);
    return offset + row * rows <= b.size();
}

} // namespace

std::optional<std::string> wholePictureType(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xD8\xFF"))
        return wholeJpeg(bytes) ? std::optional<std::string>("JPEG") : std::nullopt;
    if (bytes.starts_with("GIF87a") || bytes.starts_with("GIF89a"))
        return wholeGif(bytes) ? std::optional<std::string>("GIF") : std::nullopt;
    if (bytes.starts_with("\x89PNG\r\n\x1A\n"))
        return wholePng(bytes) ? std::optional<std::string>("PNG") : std::nullopt;
    if (bytes.starts_with("BM"))
        return wholeBmp(bytes) ? std::optional<std::string>("BMP") : std::nullopt;
    return std::nullopt;
}
