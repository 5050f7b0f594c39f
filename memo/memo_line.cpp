#include "memo/memo_line.h"

#include "common/numeric_text.h"
#include "common/text_codec.h"

namespace {

// Characters [first, first + count) of a decoded line, counted from 0.
std::string chars(const std::u32string& s, std::size_t first, std::size_t count) {
    return fromU32(std::u32string_view(s).substr(first, count));
}

bool inRange(std::string_view digits, int low, int high) {
    int value = 0;
    for (char c : digits)
        value = value * 10 + (c - '0');
    return value >= low && value <= high;
}

} // namespace

MemoRecord MemoRecord::fromLine(std::string line) {
    MemoRecord r;
    // Written lines have ASCII around the text: then columns are bytes (UTF-8 is unambiguous from either end).
    const std::size_t size = line.size();
    if (size >= kMemoFixedChars && isAscii(std::string_view(line).substr(0, 18)) &&
        isAscii(std::string_view(line).substr(size - 15))) {
        r.bwxh = line.substr(0, 4);
        r.due = line.substr(6, 10);
        r.text = line.substr(18, size - kMemoFixedChars);
        r.flag = line.substr(size - 13, 1);
        r.line = std::move(line);
        return r;
    }
    std::u32string s = toU32(line);
    r.line = std::move(line);
    if (s.size() < kMemoFixedChars) {
        r.damaged = true;
        return r;
    }
    const std::size_t length = s.size();
    r.bwxh = chars(s, 0, 4);
    r.due = chars(s, 6, 10);
    r.text = chars(s, 18, length - kMemoFixedChars);
    r.flag = chars(s, length - 13, 1);
    return r;
}

std::string MemoRecord::stamp() const {
    std::size_t n = charCount(line);
    return n < 10 ? line : charMid(line, n - 10);
}

std::string memoNumber(int n) {
    std::string digits = std::to_string(n);
    if (digits.size() < 4)
        digits.append(4 - digits.size(), ' ');
    return digits;
}

std::string memoStamp(const LocalDateTime& t) {
    return fourDigits(t.year) + twoDigits(t.month) + twoDigits(t.day) + twoDigits(t.hour);
}

std::string buildMemoLine(std::string_view bwxh, std::string_view due, std::string_view text, std::string_view flag,
                          std::string_view stamp) {
    std::string line;
    line.reserve(bwxh.size() + due.size() + text.size() + flag.size() + stamp.size() + 8);
    line.append(bwxh).append("@@").append(due).append("@@").append(text);
    line.append("@@").append(flag).append("@@").append(stamp);
    return line;
}

std::string memoLineWithFlag(std::string_view line, char32_t flag) {
    std::u32string s = toU32(line);
    if (s.size() < kMemoFixedChars)
        return std::string(line);
    s[s.size() - 13] = flag;
    return fromU32(s);
}

bool sameMemo(std::string_view a, std::string_view b) {
    std::u32string sa = toU32(a);
    std::u32string sb = toU32(b);
    if (sa.size() < kMemoFixedChars || sb.size() < kMemoFixedChars)
        return false;
    return std::u32string_view(sa).substr(4) == std::u32string_view(sb).substr(4);
}

std::string oneLineText(std::string_view text) {
    std::u32string s = toU32(text);
    std::u32string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (c == U'\r' && i + 1 < s.size() && s[i + 1] == U'\n')
            ++i; // CR LF is one line break
        bool lineBreak = c == U'\r' || c == U'\n' || c == 0x85 || c == 0x2028 || c == 0x2029;
        out.push_back(lineBreak ? U' ' : c);
    }
    return fromU32(out);
}

bool isPickerDue(std::string_view due) {
    if (due.size() != 10)
        return false;
    for (char c : due)
        if (c < '0' || c > '9')
            return false;
    return inRange(due.substr(0, 4), 1900, 2049) && inRange(due.substr(4, 2), 1, 12) &&
           inRange(due.substr(6, 2), 1, 31) && inRange(due.substr(8, 2), 0, 24);
}

bool memoDueReached(std::string_view due, const LocalDateTime& now) {
    auto field = [&](std::size_t first, std::size_t count) {
        if (due.size() == 10) // ten bytes for ten characters: all ASCII
            return numericValue(due.substr(first, count));
        return numericValue(charMid(due, first, count));
    };
    // Each field on its own, as the reminder has always compared them: a memo for 28 December is not due
    // on 5 January of the next year.
    return field(0, 4) <= now.year && field(4, 2) <= now.month && field(6, 2) <= now.day && field(8, 2) <= now.hour;
}

bool isMemoDue(const MemoRecord& memo, const LocalDateTime& now) {
    return !memo.damaged && memo.flag == "F" && memoDueReached(memo.due, now);
}
