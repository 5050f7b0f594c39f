#include "sync/content_lines.h"

#include <algorithm>

namespace {

std::string propertyName(std::string_view text) {
    std::string name(text.substr(0, text.find_first_of(";:")));
    if (const std::size_t dot = name.find('.'); dot != std::string::npos)
        name.erase(0, dot + 1);
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::toupper(c); });
    return name;
}

} // namespace

std::string ContentLine::value() const {
    // The value begins after the first colon outside a quoted parameter value.
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"')
            quoted = !quoted;
        else if (text[i] == ':' && !quoted)
            return text.substr(i + 1);
    }
    return {};
}

std::vector<ContentLine> contentLines(std::string_view bytes) {
    std::vector<ContentLine> lines;
    while (!bytes.empty()) {
        std::size_t end = bytes.find('\n');
        std::string_view physical = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        if (!physical.empty() && physical.back() == '\r')
            physical.remove_suffix(1);
        const bool continues = !physical.empty() && (physical[0] == ' ' || physical[0] == '\t');
        if (continues && !lines.empty()) {
            lines.back().raw.append(physical).append("\r\n");
            lines.back().text.append(physical.substr(1));
            continue;
        }
        if (physical.empty())
            continue;
        lines.push_back({std::string(physical) + "\r\n", std::string(physical), {}});
    }
    for (ContentLine& line : lines)
        line.name = propertyName(line.text);
    return lines;
}
