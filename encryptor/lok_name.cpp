#include "encryptor/lok_name.h"

#include "common/text_codec.h"

namespace {

constexpr std::string_view kLokSuffix = ".lok";

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool endsWithNoCase(std::string_view text, std::string_view suffix) {
    if (text.size() < suffix.size())
        return false;
    std::string_view tail = text.substr(text.size() - suffix.size());
    for (std::size_t i = 0; i < suffix.size(); ++i)
        if (lowerAscii(tail[i]) != suffix[i])
            return false;
    return true;
}

} // namespace

bool isLokName(std::string_view name) {
    return endsWithNoCase(name, "lok");
}

std::string_view fileExtension(std::string_view name) {
    std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
}

std::optional<std::string> scrambledFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..")
        return std::nullopt;
    std::size_t dot = name.rfind('.');
    std::string_view stem = dot == std::string_view::npos ? name : name.substr(0, dot);
    std::string_view extension = fileExtension(name);
    std::string scrambled = std::string(stem) + "!" + std::string(extension) + std::string(kLokSuffix);
    // Only names that come back whole are scrambled: the last "!" must be the one added here, and a
    // trailing "." would be lost with the empty extension.
    if (unscrambledFileName(scrambled) != name)
        return std::nullopt;
    return scrambled;
}

std::optional<std::string> unscrambledFileName(std::string_view name) {
    if (!endsWithNoCase(name, kLokSuffix))
        return std::nullopt;
    std::string_view stem = name.substr(0, name.size() - kLokSuffix.size());
    // A three-character extension: the fourth-last character is the separator, whatever the others hold.
    if (const std::u32string chars = toU32(stem); chars.size() >= 4 && chars[chars.size() - 4] == U'!') {
        std::string plain = fromU32(chars.substr(0, chars.size() - 4)) + "." + fromU32(chars.substr(chars.size() - 3));
        return plain == "." || plain == ".." ? std::nullopt : std::optional<std::string>(plain);
    }
    std::size_t bang = stem.rfind('!');
    if (bang == std::string_view::npos)
        return std::nullopt;
    std::string base(stem.substr(0, bang));
    std::string_view extension = stem.substr(bang + 1);
    std::string plain = extension.empty() ? base : base + "." + std::string(extension);
    if (plain.empty() || plain == "." || plain == "..")
        return std::nullopt;
    return plain;
}
