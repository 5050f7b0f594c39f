#include "reminder/memo_reminder.h"

#include "common/line_file.h"
#include "common/safe_write.h"
#include "common/text_codec.h"
#include "memo/memo_line.h"
#include "reminder/music.h"

#include <optional>

namespace {

// The flag byte of a still encoded line when its characters can be told apart without decoding: ASCII and
// two-byte codes only, so that the last 15 bytes are single characters (column L-12 is then byte L-12).
std::optional<char> rawFlag(std::string_view raw) {
    std::size_t i = 0, afterLastDoubleByte = 0;
    while (i < raw.size()) {
        const auto lead = static_cast<unsigned char>(raw[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if (lead == 0x80 || lead == 0xFF || i + 1 >= raw.size())
            return std::nullopt;
        const auto trail = static_cast<unsigned char>(raw[i + 1]);
        if (trail < 0x40 || trail == 0x7F || trail == 0xFF)
            return std::nullopt; // a four-byte code or a broken one: leave it to the decoder
        i += 2;
        afterLastDoubleByte = i;
    }
    if (raw.size() - afterLastDoubleByte < 15)
        return std::nullopt;
    return raw[raw.size() - 13];
}

// A file line, still encoded, that cannot be due. Decoding is the costly part of a check, so lines are first
// judged by their bytes: the first 18, when ASCII, are the first 18 characters (from a line's start an ASCII
// byte is always a character of its own) and hold the due time; the flag is read as above.
bool cannotBeDue(std::string_view raw, const LocalDateTime& now) {
    if (raw.size() < kMemoFixedChars)
        return true; // fewer bytes than 33 is fewer characters than 33: a damaged line
    if (isAscii(raw.substr(0, 18)) && !memoDueReached(raw.substr(6, 10), now))
        return true;
    std::optional<char> flag = rawFlag(raw);
    return flag && *flag != 'F';
}

void addIfDue(std::vector<AnnouncedMemo>& due, std::string line, int lineNumber, const LocalDateTime& now) {
    MemoRecord memo = MemoRecord::fromLine(std::move(line));
    if (isMemoDue(memo, now))
        due.push_back({std::move(memo.bwxh), std::move(memo.text), std::move(memo.line), lineNumber});
}

} // namespace

std::vector<AnnouncedMemo> dueMemos(const std::vector<std::string>& lines, const LocalDateTime& now) {
    std::vector<AnnouncedMemo> due;
    for (std::size_t i = 0; i < lines.size(); ++i)
        addIfDue(due, lines[i], static_cast<int>(i) + 1, now);
    return due;
}

Result<std::vector<AnnouncedMemo>> readDueMemos(const std::filesystem::path& memoFile, const LocalDateTime& now) {
    std::vector<AnnouncedMemo> due;
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::symlink_status(memoFile, ec)) && !ec)
        return due;
    Result<std::string> bytes = readFileBytes(memoFile);
    if (!bytes)
        return bytes.error();
    const std::vector<std::string> raw = splitRawLines(*bytes);
    for (std::size_t i = 0; i < raw.size(); ++i)
        if (!cannotBeDue(raw[i], now))
            addIfDue(due, decodeGb(raw[i]), static_cast<int>(i) + 1, now);
    return due;
}

std::vector<AnnouncedMemo> dueMemosInFile(const std::filesystem::path& memoFile, const LocalDateTime& now) {
    Result<std::vector<AnnouncedMemo>> due = readDueMemos(memoFile, now);
    return due ? std::move(*due) : std::vector<AnnouncedMemo>();
}

int runMemoCheck(Form3State& desk, Music& music, const std::filesystem::path& memoFile, const LocalDateTime& now,
                 const std::function<void(const AnnouncedMemo&)>& announce) {
    std::vector<AnnouncedMemo> due = dueMemosInFile(memoFile, now);
    for (const AnnouncedMemo& memo : due) {
        desk.txyybz = true;
        music.start(kReminderTune); // plays only when the open tune has stopped
        if (announce)
            announce(memo);
    }
    return static_cast<int>(due.size());
}
