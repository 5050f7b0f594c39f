#include "common/text_codec.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <memory>
#include <stdexcept>
#include <vector>

namespace {

constexpr char32_t kRawByteBase = 0x10FF00;

// Only a byte from 0x80 up can fail to decode; the code points standing for bytes below 0x80 are never
// escapes, so they are ordinary characters both ways (four bytes in the file, never a real LF, CR or "%").
bool isEscape(char32_t c) {
    return c >= kRawByteBase + 0x80 && c <= kRawByteBase + 0xFF;
}

// Inside the converter each byte it cannot take becomes a lone surrogate U+DC00 + byte (valid text never
// decodes to one); decodeGb then turns it into the raw-byte code point.
constexpr UChar kLoneSurrogateBase = 0xDC00;

void appendUtf8(std::string& out, char32_t cp) {
    char buf[4];
    int32_t len = 0;
    U8_APPEND_UNSAFE(buf, len, static_cast<UChar32>(cp));
    out.append(buf, static_cast<std::size_t>(len));
}

// A valid four-byte sequence that decodes into the escape range is kept as its four bytes (its two digits as
// themselves), so that encoding cannot mistake it for an escaped byte.
void appendEscapedFourByteCode(std::string& out, char32_t cp) {
    uint32_t linear = cp - 0x10000;
    unsigned char b[4];
    b[3] = static_cast<unsigned char>(0x30 + linear % 10);
    linear /= 10;
    b[2] = static_cast<unsigned char>(0x81 + linear % 126);
    linear /= 126;
    b[1] = static_cast<unsigned char>(0x30 + linear % 10);
    b[0] = static_cast<unsigned char>(0x90 + linear / 10);
    for (unsigned char byte : b)
        appendUtf8(out, byte < 0x80 ? char32_t(byte) : kRawByteBase + byte);
}

void escapeInvalidBytes(const void*, UConverterToUnicodeArgs* args, const char* units, int32_t length,
                        UConverterCallbackReason reason, UErrorCode* err) {
    if (reason > UCNV_IRREGULAR)
        return;
    *err = U_ZERO_ERROR;
    for (int32_t i = 0; i < length; ++i) {
        // An ASCII byte inside a broken sequence is still that character.
        const auto byte = static_cast<unsigned char>(units[i]);
        UChar unit = static_cast<UChar>(byte < 0x80 ? byte : kLoneSurrogateBase + byte);
        ucnv_cbToUWriteUChars(args, &unit, 1, 0, err);
    }
}

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

Converter openGb18030() {
    UErrorCode err = U_ZERO_ERROR;
    Converter c(ucnv_open("gb18030", &err));
    if (U_FAILURE(err))
        throw std::runtime_error("GB18030 converter unavailable");
    return c;
}

UConverter* decoder() {
    thread_local Converter c = [] {
        Converter conv = openGb18030();
        UErrorCode err = U_ZERO_ERROR;
        ucnv_setToUCallBack(conv.get(), escapeInvalidBytes, nullptr, nullptr, nullptr, &err);
        return conv;
    }();
    ucnv_reset(c.get());
    return c.get();
}

UConverter* encoder() {
    thread_local Converter c = [] {
        Converter conv = openGb18030();
        UErrorCode err = U_ZERO_ERROR;
        ucnv_setFromUCallBack(conv.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &err);
        return conv;
    }();
    ucnv_reset(c.get());
    return c.get();
}

std::u16string toU16(std::u32string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (char32_t c : text) {
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

// GB18030 maps every Unicode scalar value, so a run without raw bytes always converts.
void encodeRun(std::u32string_view run, std::string& out) {
    if (run.empty())
        return;
    std::u16string u16 = toU16(run);
    UErrorCode err = U_ZERO_ERROR;
    UConverter* c = encoder();
    int32_t need = ucnv_fromUChars(c, nullptr, 0, reinterpret_cast<const UChar*>(u16.data()),
                                   static_cast<int32_t>(u16.size()), &err);
    err = U_ZERO_ERROR;
    std::string bytes(static_cast<std::size_t>(need), '\0');
    ucnv_fromUChars(c, bytes.data(), need, reinterpret_cast<const UChar*>(u16.data()), static_cast<int32_t>(u16.size()),
                    &err);
    if (U_FAILURE(err) && err != U_STRING_NOT_TERMINATED_WARNING)
        throw std::runtime_error("GB18030 encoding failed");
    out += bytes;
}

} // namespace

std::string decodeGb(std::string_view bytes) {
    if (bytes.empty())
        return {};
    UErrorCode err = U_ZERO_ERROR;
    UConverter* c = decoder();
    std::vector<UChar> u16(bytes.size() * 2 + 4);
    int32_t n = ucnv_toUChars(c, u16.data(), static_cast<int32_t>(u16.size()), bytes.data(),
                              static_cast<int32_t>(bytes.size()), &err);
    if (U_FAILURE(err))
        throw std::runtime_error("GB18030 decoding failed");
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    for (int32_t i = 0; i < n;) {
        UChar32 cp;
        U16_NEXT(u16.data(), i, n, cp);
        if (cp >= kLoneSurrogateBase && cp <= kLoneSurrogateBase + 0xFF)
            appendUtf8(out, kRawByteBase + (cp - kLoneSurrogateBase));
        else if (isEscape(static_cast<char32_t>(cp)))
            appendEscapedFourByteCode(out, static_cast<char32_t>(cp));
        else
            appendUtf8(out, static_cast<char32_t>(cp));
    }
    return out;
}

std::string encodeGb(std::string_view utf8) {
    std::u32string text = toU32(utf8);
    std::string out;
    out.reserve(utf8.size());
    std::size_t runStart = 0;
    bool escaped = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!isEscape(text[i]))
            continue;
        encodeRun(std::u32string_view(text).substr(runStart, i - runStart), out);
        out.push_back(static_cast<char>(text[i] - kRawByteBase));
        runStart = i + 1;
        escaped = true;
    }
    encodeRun(std::u32string_view(text).substr(runStart), out);
    // Escapes read from a file always come back as they were. A typed one could join its neighbour into
    // another character (0x81 followed by "@" is one GBK character), which would swallow a field mark;
    // such a text is written with every escape as its own four-byte code instead.
    if (escaped && decodeGb(out) != utf8) {
        out.clear();
        encodeRun(text, out);
    }
    return out;
}

std::u32string toU32(std::string_view utf8) {
    std::u32string out;
    out.reserve(utf8.size());
    const auto* s = reinterpret_cast<const uint8_t*>(utf8.data());
    int32_t n = static_cast<int32_t>(utf8.size());
    for (int32_t i = 0; i < n;) {
        UChar32 cp;
        U8_NEXT(s, i, n, cp);
        out.push_back(cp < 0 ? U'\uFFFD' : static_cast<char32_t>(cp));
    }
    return out;
}

std::string fromU32(std::u32string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char32_t c : text)
        appendUtf8(out, c);
    return out;
}

std::size_t charCount(std::string_view utf8) {
    std::size_t n = 0;
    for (char c : utf8)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

std::string charMid(std::string_view utf8, std::size_t first, std::size_t count) {
    std::u32string text = toU32(utf8);
    if (first >= text.size())
        return {};
    return fromU32(std::u32string_view(text).substr(first, count));
}

std::size_t gbWidth(std::string_view utf8) {
    return encodeGb(utf8).size();
}

bool holdsLineBreak(std::string_view utf8) {
    if (utf8.find_first_of("\n\v\f\r") != std::string_view::npos)
        return true;
    // NEL, LINE SEPARATOR and PARAGRAPH SEPARATOR in UTF-8.
    for (std::string_view mark : {"\u0085", "\u2028", "\u2029"})
        if (utf8.find(mark) != std::string_view::npos)
            return true;
    return false;
}

bool isAscii(std::string_view utf8) {
    for (char c : utf8)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}
