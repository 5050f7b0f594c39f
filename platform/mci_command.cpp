#include "platform/mci_command.h"

#include <algorithm>
#include <charconv>

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowerText(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), lowerAscii);
    return out;
}

std::optional<int64_t> wholeNumber(std::string_view text) {
    int64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0)
        return std::nullopt;
    return value;
}

// OPEN's optional keyword-value pairs after the file name.
bool readOpenOptions(const std::vector<std::string>& words, MciCommand& command) {
    for (size_t i = 2; i < words.size(); i += 2) {
        if (i + 1 >= words.size())
            return false;
        std::string key = lowerText(words[i]);
        if (key == "type" && command.type.empty())
            command.type = words[i + 1];
        else if (key == "alias" && command.alias.empty())
            command.alias = words[i + 1];
        else
            return false;
    }
    return true;
}

bool readPlayOptions(const std::vector<std::string>& words, MciCommand& command) {
    if (words.size() == 2)
        return true;
    if (words.size() != 4 || lowerText(words[2]) != "from")
        return false;
    command.from = wholeNumber(words[3]);
    return command.from.has_value();
}

} // namespace

std::optional<std::vector<std::string>> splitMciWords(std::string_view text) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < text.size()) {
        if (isBlank(text[i])) {
            ++i;
            continue;
        }
        if (text[i] == '"') {
            size_t close = text.find('"', i + 1);
            if (close == std::string_view::npos)
                return std::nullopt;
            words.emplace_back(text.substr(i + 1, close - i - 1));
            i = close + 1;
            continue;
        }
        size_t end = i;
        while (end < text.size() && !isBlank(text[end]))
            ++end;
        words.emplace_back(text.substr(i, end - i));
        i = end;
    }
    return words;
}

bool sameMciName(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

std::optional<MciCommand> parseMciCommand(std::string_view text) {
    std::optional<std::vector<std::string>> words = splitMciWords(text);
    if (!words || words->size() < 2 || (*words)[1].empty())
        return std::nullopt;
    MciCommand command;
    command.name = (*words)[1];
    std::string verb = lowerText((*words)[0]);
    bool ok = false;
    if (verb == "open") {
        command.verb = MciCommand::Verb::Open;
        ok = readOpenOptions(*words, command);
    } else if (verb == "status") {
        command.verb = MciCommand::Verb::Status;
        ok = words->size() == 3;
        if (ok)
            command.item = lowerText((*words)[2]);
    } else if (verb == "play") {
        command.verb = MciCommand::Verb::Play;
        ok = readPlayOptions(*words, command);
    } else if (verb == "close") {
        command.verb = MciCommand::Verb::Close;
        ok = words->size() == 2;
    }
    if (!ok)
        return std::nullopt;
    return command;
}
