#include "memo/memo_book.h"

#include "common/data_paths.h"
#include "common/line_file.h"
#include "common/numeric_text.h"
#include "common/safe_write.h"
#include "common/text_codec.h"

#include <algorithm>
#include <optional>

namespace fs = std::filesystem;

namespace {

// True when the path names nothing (a missing file or folder), as opposed to a file that cannot be read.
bool missing(const fs::path& path) {
    std::error_code ec;
    return !fs::exists(path, ec) && !ec;
}

// A memo is matched by everything after its number (a delete renumbers it) and, failing that, by its due time
// and text (a cancel or a toggle elsewhere changes only the flag and the stamp).
RecordTraits memoTraits(const MemoRecord& r) {
    // The number is columns 1-4, so its bytes are those of bwxh.
    return r.damaged ? RecordTraits{r.line, {}} : RecordTraits{r.line.substr(r.bwxh.size()), r.due + '\x1F' + r.text};
}

std::vector<RecordTraits> memoTraitsOfLines(const std::vector<std::string>& lines) {
    std::vector<RecordTraits> out;
    out.reserve(lines.size());
    for (const std::string& line : lines)
        out.push_back(memoTraits(MemoRecord::fromLine(line)));
    return out;
}

const std::string& noText() {
    static const std::string empty;
    return empty;
}

} // namespace

std::vector<RecordTraits> MemoBook::traits() const {
    std::vector<RecordTraits> out;
    out.reserve(m_records.size());
    for (const MemoRecord& r : m_records)
        out.push_back(memoTraits(r));
    return out;
}

Result<void> MemoBook::load(const fs::path& path) {
    m_records.clear();
    m_readFailed = false;
    m_path = path;
    m_stamp = {};
    m_ids.clear();
    if (missing(path))
        return {};
    Result<std::string> bytes = readFileBytes(path);
    if (!bytes) {
        m_readFailed = true;
        m_failedPath = pathToUtf8(path);
        return bytes.error();
    }
    m_stamp = stampOf(*bytes);
    std::vector<std::string> lines = decodeLines(*bytes);
    m_records.reserve(lines.size());
    for (std::string& line : lines)
        m_records.push_back(MemoRecord::fromLine(std::move(line)));
    // New identities are written down at once (while the file is still the one read, and only when no writer
    // is at work), so that every reader of this book gives the same UIDs; a folder that cannot be written, or a
    // busy one, keeps working without and the next load tries again.
    if (m_ids.load(identityFilePath(path), traits()))
        if (std::optional<DataLock> lock = DataLock::tryTake(dataFolderAbove(path, 1)); lock && !changedOnDisk())
            (void)m_ids.save(identityFilePath(path), traits());
    return {};
}

bool MemoBook::changedOnDisk() const {
    return !m_path.empty() && changedSince(m_path, m_stamp);
}

int MemoBook::find(std::string_view line) const {
    std::vector<std::string> lines;
    lines.reserve(m_records.size());
    for (const MemoRecord& r : m_records)
        lines.push_back(r.line);
    const int at = findAnnouncedMemo(lines, line);
    if (at >= 0)
        return at + 1;
    // A damaged line has no fields to compare: only the very same line is the same memo.
    const auto same = std::find(lines.begin(), lines.end(), line);
    return same == lines.end() ? 0 : static_cast<int>(same - lines.begin()) + 1;
}

Result<void> MemoBook::save(const fs::path& path) {
    if (m_readFailed)
        return IoError{m_failedPath, "读取失败,为免丢失其中的备忘,文件未被改写"};
    Result<DataLock> lock = lockMemoFile(path);
    if (!lock)
        return lock.error();
    if (path == m_path && changedOnDisk())
        return IoError{pathToUtf8(path), "文件在读入之后已被别的程序改动,为免覆盖那些改动,未予保存"};
    if (Result<void> folder = ensureFolder(path.parent_path()); !folder)
        return folder;
    // One encoding pass over the whole text: GB18030 keeps no state from one line to the next.
    std::string text;
    std::size_t size = 0;
    for (const MemoRecord& r : m_records)
        size += r.line.size() + 2;
    text.reserve(size);
    for (const MemoRecord& r : m_records)
        text.append(r.line).append("\r\n");
    const std::string bytes = encodeGb(text);
    if (Result<void> written = writeFileAtomic(path, bytes, FileAccess::PrivateNew); !written)
        return written;
    m_path = path;
    m_stamp = stampOf(bytes);
    (void)m_ids.save(identityFilePath(path), traits());
    return {};
}

const MemoRecord* MemoBook::record(int n) const {
    return valid(n) ? &m_records[static_cast<std::size_t>(n - 1)] : nullptr;
}

const std::string& MemoBook::uid(int n) const {
    return valid(n) ? m_ids.at(static_cast<std::size_t>(n - 1)).uid : noText();
}

const std::string& MemoBook::exportHash(int n) const {
    return valid(n) ? m_ids.at(static_cast<std::size_t>(n - 1)).exportHash : noText();
}

int MemoBook::findUid(std::string_view uid) const {
    return m_ids.indexOf(uid) + 1;
}

void MemoBook::setExportHash(int n, std::string_view hash) {
    if (valid(n))
        m_ids.setExportHash(static_cast<std::size_t>(n - 1), hash);
}

bool MemoBook::add(std::string_view due, std::string_view text, std::string_view stamp, std::string_view uid) {
    if (isFull() || !isPickerDue(due) || text.empty())
        return false;
    m_records.push_back(
        MemoRecord::fromLine(buildMemoLine(memoNumber(count() + 1), due, oneLineText(text), "F", stamp)));
    m_ids.append(uid);
    return true;
}

bool MemoBook::change(int n, std::string_view due, std::string_view text, std::string_view stamp) {
    if (!valid(n) || !isPickerDue(due) || text.empty())
        return false;
    MemoRecord& r = m_records[static_cast<std::size_t>(n - 1)];
    // A damaged line has no number of its own: a change gives it the number of its position.
    std::string number = r.damaged ? memoNumber(n) : r.bwxh;
    r = MemoRecord::fromLine(buildMemoLine(number, due, oneLineText(text), "F", stamp));
    return true;
}

bool MemoBook::toggleCancel(int n, std::string_view stamp) {
    if (!valid(n) || m_records[static_cast<std::size_t>(n - 1)].damaged)
        return false;
    MemoRecord& r = m_records[static_cast<std::size_t>(n - 1)];
    std::string flag = r.flag == "T" ? "F" : "T";
    r = MemoRecord::fromLine(buildMemoLine(r.bwxh, r.due, r.text, flag, stamp));
    return true;
}

bool MemoBook::remove(int n) {
    if (!valid(n))
        return false;
    for (int slot = n; slot < count(); ++slot) {
        MemoRecord& into = m_records[static_cast<std::size_t>(slot - 1)];
        const MemoRecord& next = m_records[static_cast<std::size_t>(slot)];
        // The slot's number stays with the slot; only a slot that can be numbered in four characters is.
        bool numbered = !into.damaged || slot <= kMaxMemos;
        if (next.damaged || !numbered) {
            into = next;
            continue;
        }
        std::string number = into.damaged ? memoNumber(slot) : into.bwxh;
        into = MemoRecord::fromLine(buildMemoLine(number, next.due, next.text, next.flag, next.stamp()));
    }
    m_records.pop_back();
    m_ids.erase(static_cast<std::size_t>(n - 1));
    return true;
}

Notice MemoBook::fullNotice() {
    return {"提醒", "备忘录已满:最多只能保存9999条备忘。\n请先删除不再需要的备忘,再添加新的备忘。",
            NoticeIcon::Exclamation, NoticeButtons::Ok};
}

int findAnnouncedMemo(const std::vector<std::string>& lines, std::string_view announcedLine) {
    const int size = static_cast<int>(lines.size());
    std::optional<int16_t> number = textToInt16(charMid(announcedLine, 0, 4));
    const int at = number ? *number : 0;
    if (at >= 1 && at <= size && sameMemo(lines[static_cast<std::size_t>(at - 1)], announcedLine))
        return at - 1;
    // Deletes only move memos up, so look above the old line first (nearest first), then below it.
    for (int i = std::min(at - 1, size) - 1; i >= 0; --i)
        if (sameMemo(lines[static_cast<std::size_t>(i)], announcedLine))
            return i;
    for (int i = std::max(at, 0); i < size; ++i)
        if (sameMemo(lines[static_cast<std::size_t>(i)], announcedLine))
            return i;
    return -1;
}

Result<DataLock> lockMemoFile(const fs::path& path) {
    return DataLock::take(dataFolderAbove(path, 1));
}

Result<bool> cancelAnnouncedMemo(const fs::path& path, std::string_view announcedLine) {
    Result<DataLock> lock = lockMemoFile(path);
    if (!lock)
        return lock.error();
    if (missing(path))
        return false;
    Result<std::vector<std::string>> lines = readTextLines(path);
    if (!lines)
        return lines.error();
    int at = findAnnouncedMemo(*lines, announcedLine);
    if (at < 0)
        return false;
    std::string& line = (*lines)[static_cast<std::size_t>(at)];
    std::string cancelled = memoLineWithFlag(line, U'T');
    if (cancelled == line)
        return false;
    // The identities are taken before the change and written for the changed lines in the same step.
    RecordIdentities ids;
    ids.load(identityFilePath(path), memoTraitsOfLines(*lines));
    line = std::move(cancelled);
    if (Result<void> written = writeTextLines(path, *lines); !written)
        return written.error();
    (void)ids.save(identityFilePath(path), memoTraitsOfLines(*lines));
    return true;
}
