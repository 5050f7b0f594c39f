#pragma once
// The memo book in memory: the lines of bwl/bwl.cjf as records numbered 1 to count. Numbers belong to the
// line's position, so a delete renumbers every memo after it; the reminder finds a memo by that number.
// Every change is followed by save() and load(), so what the window shows is what the file holds.
#include "common/data_lock.h"
#include "common/file_stamp.h"
#include "common/notice.h"
#include "common/record_identity.h"
#include "common/result.h"
#include "memo/memo_line.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

class MemoBook {
public:
    // Four characters hold the number, so 9999 memos is the most the book can number.
    static constexpr int kMaxMemos = 9999;

    // Reads the whole file; the previous contents are discarded first. A missing bwl folder or file is an
    // empty book (save() creates both). A file that exists but cannot be read gives an error, and the book
    // then refuses to save, so the unread file is never overwritten.
    Result<void> load(const std::filesystem::path& path);
    // Writes every line (damaged ones unchanged) through the atomic replace, creating the folder if needed,
    // and then the side file of identities beside it (see uid). The side file is rebuilt on every load, so a
    // failure to write it does not fail the save.
    // Refused when the file loaded from was changed by someone else since, so that no outside change is
    // overwritten unseen (see changedOnDisk). The check and the write are one step under the data-folder lock;
    // a caller that reads the file first and edits what it read takes lockMemoFile around all of it.
    Result<void> save(const std::filesystem::path& path);
    // True when the file differs from what the last load or save saw.
    bool changedOnDisk() const;
    // The number the memo of `line` (a whole line as it was) has in the book now, or 0.
    int find(std::string_view line) const;

    int count() const { return static_cast<int>(m_records.size()); }
    bool isFull() const { return count() >= kMaxMemos; }
    // Record n, 1 to count; nullptr for any other number.
    const MemoRecord* record(int n) const;
    // The identity of memo n (see common/record_identity.h): kept by change and toggle, moved up with the memo
    // by a delete, new for an added memo; empty for any other number.
    const std::string& uid(int n) const;
    // The hash of the form of memo n last agreed with another program ("-" for none), kept with the memo.
    const std::string& exportHash(int n) const;
    // The number of the memo whose identity is `uid`, or 0.
    int findUid(std::string_view uid) const;
    void setExportHash(int n, std::string_view hash);

    // Each returns false and changes nothing when it cannot apply: a full book, a number out of range, a due
    // time that is not a picker value, an empty text. Texts are put on one line; stamps are 10 digits.
    // The new memo's identity is `uid` when that is usable and no other memo has it, else a new one.
    bool add(std::string_view due, std::string_view text, std::string_view stamp, std::string_view uid = {});
    // Replaces due and text of memo n and makes it active again; the number stays.
    bool change(int n, std::string_view due, std::string_view text, std::string_view stamp);
    // "T" becomes "F", anything else "T". A damaged line has no flag and stays as it is.
    bool toggleCancel(int n, std::string_view stamp);
    // Removes memo n; every later memo moves up one line and takes the number of its new line, keeping
    // its due time, text, flag and stamp. Damaged lines move up unchanged.
    bool remove(int n);

    // The message shown when "添加备忘" is pressed with 9999 memos in the book.
    static Notice fullNotice();

private:
    bool valid(int n) const { return n >= 1 && n <= count(); }
    std::vector<RecordTraits> traits() const;

    std::vector<MemoRecord> m_records; // record n at index n - 1
    RecordIdentities m_ids;            // the identity of record n at index n - 1
    std::filesystem::path m_path;      // the file of the last load
    FileStamp m_stamp;
    bool m_readFailed = false;
    std::string m_failedPath;
};

// The data-folder lock for one read-check-modify-write step on the memo file (which lies in bwl/ below it).
Result<DataLock> lockMemoFile(const std::filesystem::path& path);

// The reminder pop-up's write-back, one step under the data-folder lock. `announcedLine` is the whole line the pop-up
// showed. Its memo is cancelled (flag "T", nothing else changed) on line bwxh if that line still holds the same memo,
// else on the line that now does (a delete in the memo book moves memos up), else nowhere. Returns true when the file
// was rewritten; a missing file changes nothing.
Result<bool> cancelAnnouncedMemo(const std::filesystem::path& path, std::string_view announcedLine);

// The line of `lines` (index from 0) that holds the announced memo, or -1.
int findAnnouncedMemo(const std::vector<std::string>& lines, std::string_view announcedLine);
