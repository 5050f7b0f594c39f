#include "common/ics_text.h"

namespace {

constexpr std::size_t kMaxOctets = 75;

} // namespace

std::string icsEscapeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\\' || c == ';' || c == ',')
            out.push_back('\\');
        if (c == '\n') {
            out += "\\n";
            continue;
        }
        // TEXT holds no control characters other than the tab.
        bool control = (static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F;
        out.push_back(control ? ' ' : c);
    }
    return out;
}

std::string icsFoldLine(std::string_view line) {
    std::string out;
    std::size_t limit = kMaxOctets; // the blank that starts a continuation line counts too
    while (line.size() > limit) {
        std::size_t cut = limit;
        while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
            --cut; // never split a UTF-8 sequence
        out.append(line.substr(0, cut)).append("\r\n ");
        line.remove_prefix(cut);
        limit = kMaxOctets - 1;
    }
    out.append(line);
    return out;
}
