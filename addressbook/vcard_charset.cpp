#include "addressbook/vcard_charset.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>
#include <unicode/ucsdet.h>

#include <memory>

namespace {

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

std::optional<std::string> convert(std::string_view bytes, const char* charset, bool strict) {
    UErrorCode status = U_ZERO_ERROR;
    Converter from(ucnv_open(charset, &status));
    if (U_FAILURE(status))
        return std::nullopt;
    if (strict) // else ICU's default: an undecodable byte becomes U+FFFD
        ucnv_setToUCallBack(from.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    status = U_ZERO_ERROR;
    Converter to(ucnv_open("UTF-8", &status));
    if (U_FAILURE(status))
        return std::nullopt;
    std::string out(bytes.size() * 3 + 8, '\0');
    char* target = out.data();
    const char* source = bytes.data();
    ucnv_convertEx(to.get(), from.get(), &target, out.data() + out.size(), &source, bytes.data() + bytes.size(),
                   nullptr, nullptr, nullptr, nullptr, true, true, &status);
    if (U_FAILURE(status))
        return std::nullopt;
    out.resize(static_cast<std::size_t>(target - out.data()));
    return out;
}

} // namespace

std::optional<std::string> decodeCharsetStrictly(std::string_view bytes, const std::string& charset) {
    return charset.empty() ? std::nullopt : convert(bytes, charset.c_str(), true);
}

std::optional<std::string> utf16ToUtf8(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF"))
        return convert(bytes, "UTF-16", false); // the mark tells the byte order and is dropped
    // Without a mark: "B\0E\0G\0..." or "\0B\0E\0G..." (a vCard starts in ASCII).
    if (bytes.size() >= 4 && bytes[1] == '\0' && bytes[3] == '\0' && bytes[0] != '\0')
        return convert(bytes, "UTF-16LE", false);
    if (bytes.size() >= 4 && bytes[0] == '\0' && bytes[2] == '\0' && bytes[1] != '\0')
        return convert(bytes, "UTF-16BE", false);
    return std::nullopt;
}

std::vector<std::string> detectCharsets(std::string_view bytes) {
    std::vector<std::string> names;
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UCharsetDetector, void (*)(UCharsetDetector*)> detector(ucsdet_open(&status), ucsdet_close);
    if (U_FAILURE(status))
        return names;
    ucsdet_setText(detector.get(), bytes.data(), static_cast<int32_t>(bytes.size()), &status);
    int32_t count = 0;
    const UCharsetMatch** matches = ucsdet_detectAll(detector.get(), &count, &status);
    for (int32_t i = 0; U_SUCCESS(status) && i < count; ++i)
        if (const char* name = ucsdet_getName(matches[i], &status); U_SUCCESS(status) && name)
            names.emplace_back(name);
    return names;
}

// Code pages of one byte a character decode almost any bytes, so they are the last resort.
bool singleByte(const std::string& charset) {
    return charset.starts_with("ISO-8859") || charset.starts_with("windows-125") || charset.starts_with("KOI8") ||
           charset.starts_with("IBM");
}

CharsetGuess guessCharset(std::string_view bytes, const std::vector<std::string>& candidates) {
    std::vector<std::string> order;
    for (const std::string& charset : candidates)
        if (!singleByte(charset) && !charset.starts_with("UTF-")) // the text is not UTF-8; UTF-16/32 is not in a line
            order.push_back(charset);
    order.emplace_back("GB18030"); // this address book's own code page
    for (const std::string& charset : candidates)
        if (singleByte(charset))
            order.push_back(charset);
    for (const std::string& charset : order)
        if (std::optional<std::string> text = decodeCharsetStrictly(bytes, charset))
            return {std::move(*text), charset};
    return {convert(bytes, "GB18030", false).value_or(std::string()), "GB18030", true};
}
