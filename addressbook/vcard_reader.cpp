#include "addressbook/vcard_reader.h"

#include "common/text_codec.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace {

std::string upper(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::toupper(c); });
    return out;
}

std::string trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return std::string(text);
}

bool validUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (n == 0 || i + n > s.size())
            return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        i += n;
    }
    return true;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

std::string decodeQuotedPrintable(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '=' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// The position of the colon that ends the name and parameters (quoted parameter values may hold one).
std::size_t valueColon(std::string_view line) {
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted)
            return i;
    }
    return std::string_view::npos;
}

// The logical line being joined, and how far its name and parameters have been looked at: each physical line
// is scanned once, so that joining stays linear however often a line is folded.
struct JoinedLine {
    std::string text;
    std::size_t scanned = 0;
    bool quoted = false;
    std::optional<bool> quotedPrintable; // known once the colon is found

    bool isQuotedPrintable() {
        for (; !quotedPrintable && scanned < text.size(); ++scanned) {
            if (text[scanned] == '"')
                quoted = !quoted;
            else if (text[scanned] == ':' && !quoted)
                quotedPrintable = upper(text.substr(0, scanned)).find("QUOTED-PRINTABLE") != std::string::npos;
        }
        return quotedPrintable.value_or(false);
    }
};

// Physical lines to logical lines: a line starting with a blank or tab continues the one before it, and so does
// any line after a quoted-printable line ending in "=" (a soft line break, which is removed).
std::vector<std::string> logicalLines(std::string_view bytes) {
    std::vector<std::string> lines;
    JoinedLine joined;
    bool open = false, softBreak = false;
    auto finish = [&] {
        if (open)
            lines.push_back(std::move(joined.text));
        joined = JoinedLine();
        open = false;
    };
    while (!bytes.empty()) {
        std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const bool folded = !line.empty() && (line.front() == ' ' || line.front() == '\t');
        if ((folded || softBreak) && open) {
            joined.text += folded ? line.substr(1) : line;
        } else if (!line.empty()) {
            finish();
            joined.text = line;
            open = true;
        }
        softBreak = open && !joined.text.empty() && joined.text.back() == '=' && joined.isQuotedPrintable();
        if (softBreak) {
            joined.text.pop_back();
            joined.scanned = std::min(joined.scanned, joined.text.size());
        }
    }
    finish();
    return lines;
}

// Splits at unquoted `separator`, dropping the quotes.
std::vector<std::string> splitUnquoted(std::string_view text, char separator) {
    std::vector<std::string> parts(1);
    bool quoted = false;
    for (char c : text) {
        if (c == '"')
            quoted = !quoted;
        else if (c == separator && !quoted)
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

std::string textValue(std::string_view raw, const VCardProperty& p) {
    std::string bytes =
        upper(p.param("ENCODING")) == "QUOTED-PRINTABLE" ? decodeQuotedPrintable(raw) : std::string(raw);
    const std::string charset = upper(p.param("CHARSET"));
    const bool gb = charset == "GB18030" || charset == "GBK" || charset == "GB2312" || charset == "CP936";
    return gb || !validUtf8(bytes) ? decodeGb(bytes) : bytes;
}

std::optional<VCardProperty> parseProperty(std::string_view line) {
    const std::size_t colon = valueColon(line);
    if (colon == std::string_view::npos)
        return std::nullopt;
    std::vector<std::string> head = splitUnquoted(line.substr(0, colon), ';');
    VCardProperty p;
    p.name = upper(trimmed(head[0]));
    if (const std::size_t dot = p.name.rfind('.'); dot != std::string::npos)
        p.name.erase(0, dot + 1);
    for (std::size_t i = 1; i < head.size(); ++i) {
        const std::size_t eq = head[i].find('=');
        const std::string key = upper(trimmed(head[i].substr(0, eq)));
        if (eq == std::string::npos) {
            p.types.push_back(key); // vCard 2.1: "TEL;CELL;VOICE"
        } else if (key == "TYPE") {
            for (const std::string& type : splitUnquoted(head[i].substr(eq + 1), ','))
                p.types.push_back(upper(trimmed(type)));
        } else {
            p.params[key] = trimmed(head[i].substr(eq + 1));
        }
    }
    // vCard 2.1 writes the encoding as a bare parameter too ("PHOTO;JPEG;BASE64:").
    for (const char* encoding : {"QUOTED-PRINTABLE", "BASE64"})
        if (p.hasType(encoding))
            p.params.emplace("ENCODING", encoding);
    const std::string encoding = upper(p.param("ENCODING"));
    const std::string_view raw = line.substr(colon + 1);
    p.value = encoding == "B" || encoding == "BASE64" ? std::string(raw) : textValue(raw, p);
    return p;
}

} // namespace

bool VCardProperty::hasType(std::string_view type) const {
    return std::find(types.begin(), types.end(), type) != types.end();
}

std::string VCardProperty::param(const std::string& name) const {
    const auto it = params.find(name);
    return it == params.end() ? std::string() : it->second;
}

std::vector<VCardEntry> readVCardFile(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    std::vector<VCardEntry> cards;
    int depth = 0;
    for (const std::string& line : logicalLines(bytes)) {
        std::optional<VCardProperty> p = parseProperty(line);
        if (!p)
            continue;
        const std::string value = upper(trimmed(p->value));
        if (p->name == "BEGIN" && value == "VCARD") {
            if (depth++ == 0)
                cards.emplace_back();
        } else if (p->name == "END" && value == "VCARD") {
            depth = std::max(0, depth - 1);
        } else if (depth == 1) {
            cards.back().push_back(std::move(*p));
        }
    }
    return cards;
}

std::string vcardUnescape(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const char next = value[++i];
        if (next == 'n' || next == 'N')
            out += '\n';
        else if (next == ',' || next == ';' || next == '\\' || next == ':')
            out += next;
        else
            out.append(1, '\\').append(1, next);
    }
    return out;
}

std::vector<std::string> vcardComponents(std::string_view value) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= value.size(); ++i) {
        if (i < value.size() && value[i] == '\\') {
            ++i;
        } else if (i == value.size() || value[i] == ';') {
            parts.push_back(vcardUnescape(value.substr(start, i - start)));
            start = i + 1;
        }
    }
    return parts;
}

std::optional<std::string> base64Decode(std::string_view text) {
    static const std::string_view kDigits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    std::uint32_t group = 0;
    int bits = 0;
    bool padding = false;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
            continue;
        if (c == '=') {
            padding = true;
            continue;
        }
        const std::size_t digit = kDigits.find(c);
        if (digit == std::string_view::npos || padding)
            return std::nullopt;
        group = (group << 6 | static_cast<std::uint32_t>(digit)) & 0xFFFFFF;
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((group >> bits) & 0xFF);
        }
    }
    return out;
}
