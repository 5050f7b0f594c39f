#include "encryptor/folder_listing.h"

#include "common/data_paths.h"

#include <algorithm>

namespace fs = std::filesystem;

namespace {

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Wildcard match of one pattern: "*" any run, "?" one byte; iterative with one backtrack point.
bool wildcardMatch(std::string_view pattern, std::string_view name) {
    std::size_t p = 0, n = 0, star = std::string_view::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || lowerAscii(pattern[p]) == lowerAscii(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

bool onePatternMatches(std::string_view pattern, std::string_view name) {
    if (pattern == "*.*" || pattern == "*")
        return true;
    // "name." means "name" without any extension.
    if (pattern.size() > 1 && pattern.back() == '.')
        return name.find('.') == std::string_view::npos && wildcardMatch(pattern.substr(0, pattern.size() - 1), name);
    return wildcardMatch(pattern, name);
}

bool readsBefore(const std::string& a, const std::string& b) {
    auto lower = [](const std::string& s) {
        std::string out = s;
        std::transform(out.begin(), out.end(), out.begin(), lowerAscii);
        return out;
    };
    std::string la = lower(a), lb = lower(b);
    return la != lb ? la < lb : a < b;
}

template <class Keep> std::vector<std::string> listEntries(const fs::path& folder, Keep keep) {
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(folder, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        std::string name = pathToUtf8(it->path().filename());
        if (!name.empty() && name.front() != '.' && keep(*it, name))
            names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end(), readsBefore);
    return names;
}

} // namespace

bool patternMatches(std::string_view pattern, std::string_view name) {
    pattern = trimmed(pattern);
    if (pattern.empty())
        return true;
    while (!pattern.empty()) {
        std::size_t semicolon = pattern.find(';');
        std::string_view one = trimmed(pattern.substr(0, semicolon));
        if (!one.empty() && onePatternMatches(one, name))
            return true;
        if (semicolon == std::string_view::npos)
            break;
        pattern.remove_prefix(semicolon + 1);
    }
    return false;
}

std::vector<std::string> listSubfolders(const fs::path& folder) {
    return listEntries(folder, [](const fs::directory_entry& e, const std::string&) {
        std::error_code ec;
        return e.is_directory(ec);
    });
}

std::vector<std::string> listMatchingFiles(const fs::path& folder, std::string_view pattern) {
    return listEntries(folder, [pattern](const fs::directory_entry& e, const std::string& name) {
        std::error_code ec;
        return e.is_regular_file(ec) && patternMatches(pattern, name);
    });
}

bool folderReadable(const fs::path& folder) {
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    return !ec;
}

std::string joinFolder(std::string_view folder, std::string_view name) {
    std::string joined(folder);
    const char separator = static_cast<char>(fs::path::preferred_separator);
    if (joined.empty() || joined.back() != separator)
        joined += separator;
    return joined + std::string(name);
}
