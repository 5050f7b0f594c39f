#include "addressbook/card_links.h"

#include "addressbook/card_book.h"

#include <algorithm>
#include <cctype>

namespace {

bool hasBlankOrControl(std::string_view text) {
    // U+3000 (the ideographic space) is a blank too; in UTF-8 it is E3 80 80.
    if (text.find("\xE3\x80\x80") != std::string_view::npos)
        return true;
    return std::any_of(text.begin(), text.end(), [](char c) {
        auto u = static_cast<unsigned char>(c);
        return u <= 0x20 || u == 0x7F;
    });
}

std::string lowered(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
    return out;
}

// A host as typed in an address: letters, digits, "-" and "." (non-ASCII letters allowed for
// international names), with at least one dot, not starting or ending with a dot or hyphen.
bool looksLikeWebHost(std::string_view host) {
    if (host.empty() || host.find('.') == std::string_view::npos)
        return false;
    if (host.front() == '.' || host.front() == '-' || host.back() == '.' || host.back() == '-')
        return false;
    return std::all_of(host.begin(), host.end(), [](char c) {
        auto u = static_cast<unsigned char>(c);
        return u >= 0x80 || std::isalnum(u) || c == '-' || c == '.';
    });
}

// The part of a scheme-less address before its path, query or fragment, without a port.
bool schemeLessWebAddress(std::string_view text) {
    std::string_view authority = text.substr(0, text.find_first_of("/?#"));
    std::size_t colon = authority.find(':');
    if (colon != std::string_view::npos) {
        std::string_view port = authority.substr(colon + 1);
        if (port.empty() ||
            !std::all_of(port.begin(), port.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
            return false;
        authority = authority.substr(0, colon);
    }
    return looksLikeWebHost(authority);
}

} // namespace

std::optional<std::string> mailLinkFor(std::string_view boxText) {
    const std::string address = trimSpaces(boxText);
    if (address.empty() || hasBlankOrControl(address) || address.find('?') != std::string::npos)
        return std::nullopt;
    return "mailto:" + address;
}

std::optional<std::string> webLinkFor(std::string_view boxText) {
    const std::string text = trimSpaces(boxText);
    if (text.empty() || hasBlankOrControl(text) || text.find('\\') != std::string::npos)
        return std::nullopt;
    const std::string lower = lowered(text.substr(0, 8));
    for (std::string_view scheme : {"http://", "https://"}) {
        if (lower.starts_with(scheme)) {
            std::string_view rest = std::string_view(text).substr(scheme.size());
            std::string_view host = rest.substr(0, rest.find_first_of("/?#"));
            if (host.empty())
                return std::nullopt;
            return text;
        }
    }
    if (!schemeLessWebAddress(text))
        return std::nullopt;
    return "http://" + text;
}
