#pragma once
// The address book's business cards. Each card is one line of txl/txl.cjf made of 14 fields, each preceded
// by "%": "%01%老张%张三%...%zs.jpg". There is no header and no count; the n-th line is card n.
//
// In memory the cards sit in a table of rows by 21 columns: column 0 holds the record line as read or as
// last rebuilt (the file is always written from it), columns 1..14 the fields, and columns 15..20 the 15th
// to 20th piece of an over-long line. Row k is card k; row 0 is never filled. The table has room for at
// least 1000 cards and grows when the file holds more lines, so that no line is ever dropped.
#include "common/clock.h"
#include "common/file_stamp.h"
#include "common/notice.h"
#include "common/record_identity.h"
#include "common/result.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int kCardFieldCount = 14;  // fields of a record line
inline constexpr int kCardEntryFields = 13; // fields typed in the window; field 14 is the photo
inline constexpr int kCardColumns = 21;
inline constexpr int kCardCapacity = 1000; // a new card beyond this is refused
inline constexpr int kPhotoField = 14;
inline constexpr std::string_view kNoPhoto = "######";

// One field: its caption in the window, its header in the export and its column width (the export
// column's display width and the entry box's maximum length).
struct CardField {
    std::string_view caption;
    std::string_view header;
    int width;
};
// Fields 1..14 at index 0..13 (field 14, the photo, has no width: it is never exported).
const std::array<CardField, kCardFieldCount>& cardFields();

using CardRow = std::array<std::string, kCardColumns>;
using CardEntries = std::array<std::string, kCardEntryFields>;

// The pieces of a record line: everything up to and including the first "%" is skipped and the rest is
// cut at every "%". A line without "%" has no pieces.
std::vector<std::string> splitCardLine(std::string_view line);
// Leading and trailing blanks (spaces only) removed.
std::string trimSpaces(std::string_view text);
// Serial of card n: "01".."09", then "10", "11", ...
std::string newSerialNumber(int cardCount);
// Photo names are bare file names inside the photo folder: no separator, no "..", not empty.
bool isBarePhotoName(std::string_view name);

struct CardLoad {
    std::vector<std::string> nicknames; // field 2 of cards 1..count
    bool missing = false;               // the card file did not exist (it has been created empty)
    std::optional<IoError> error;       // the file could not be read, or the missing file not created
};

// What a save did with changes another program made to the card file meanwhile.
struct CardMerge {
    int follow = 0;      // in: a card to follow; out: its row in the merged book (0 when gone)
    bool merged = false; // the file had changed: the book now holds its cards with the edits made here
    int keptBoth = 0;    // cards changed both here and there (or deleted there): added as cards of their own
};

class CardBook {
public:
    CardBook(std::filesystem::path workDir, const Clock& clock);

    // Forms the paths (the deletion log's year is today's), clears the table and reads the card file.
    // A missing card file is created empty unless `createMissing` is false (read-only users).
    CardLoad load(bool createMissing = true);

    int count() const { return m_count; }
    bool full() const { return m_count >= kCardCapacity; }
    // A cell of the table; rows and columns outside it read as empty.
    const std::string& cell(int row, int column) const;
    const std::string& field(int row, int number) const { return cell(row, number); }
    const std::string& line(int row) const { return cell(row, 0); }

    // The message for a value the record line cannot hold ("%" or a line break), naming its field; none
    // when every value can be stored.
    static std::optional<Notice> checkEntries(const CardEntries& texts, std::string_view photo);
    // Store card: fields 1..13 become the trimmed texts, field 14 the photo name, and column 0 is rebuilt.
    // A card whose fields stay as they were keeps its line as read. Memory only. Refused (nothing stored)
    // with the message of checkEntries.
    std::optional<Notice> storeCard(int row, const CardEntries& texts, std::string_view photo);
    // The photo fallback of the window: the field in memory becomes "######"; the line stays.
    void setPhotoField(int row, std::string_view name);
    // Grows the count to take a new card at row count + 1 (the window's save of a new card). The card gets
    // `uid` as its identity when that is usable and no other card has it, else a new one.
    void addCard(std::string_view uid = {});

    // The identity of card `row` (see common/record_identity.h), kept in txl/txl.uid beside the card file: it
    // stays with the card through edits, its moves after a discard and merges; empty outside 1..count.
    const std::string& uid(int row) const;
    bool holdsUid(std::string_view uid) const { return m_ids.holds(uid); }
    // The row of the card whose identity is `uid`, or 0.
    int findUid(std::string_view uid) const { return m_ids.indexOf(uid) + 1; }
    // The hash of the form of card `row` last agreed with another program ("-" for none), kept with the card.
    const std::string& exportHash(int row) const;
    void setExportHash(int row, std::string_view hash);

    // Writes column 0 of rows 1..count, one line each (atomic replace; txl is created when missing), then the
    // identities to txl/txl.uid (rebuilt on every load, so a failure to write it does not fail the save). When
    // another program changed the file since it was read, the edits made here are carried into what it
    // holds now instead: an edited card replaces its line as read wherever that line now is, new cards are
    // added at the end, and a card edited here whose line is gone (changed or deleted there too) is added
    // as a card of its own, so both versions stay. `merge` tells what happened. Every card whose serial number
    // is not that of its row is renumbered. The check, the merge and the write are one step under the
    // data-folder lock.
    Result<void> saveAll(CardMerge* merge = nullptr);
    // Moves the later cards up (serial numbers stay with their positions), saves, and only then logs
    // "记录[" + line + "]已删除" to the deletion log. A failed save changes nothing and logs nothing; a failed
    // log puts the card back (file and memory) and reports the log's error. A card that another program
    // changed or removed since the file was read is not discarded: `gone` is set and the book holds the
    // file's cards.
    Result<void> discard(int row, bool* gone = nullptr);

    // Export of the selected fields (numbers 1..13 in any order): the boxed text, also written to dctxl.cjf.
    Result<std::string> exportCards(const std::vector<int>& fields) const;

    const std::filesystem::path& workDir() const { return m_workDir; }
    const std::filesystem::path& cardFilePath() const { return m_cardFile; }
    const std::filesystem::path& logPath() const { return m_logFile; }
    std::filesystem::path photoFolder() const;
    std::filesystem::path defaultPhotoPath() const;
    std::filesystem::path exportPath() const;
    // The picture file of a photo name: the default photo for "######", nothing for a name that is not a
    // bare file name (such a card shows the default photo).
    std::optional<std::filesystem::path> photoPath(std::string_view name) const;

private:
    Result<void> createEmptyCardFile();
    void fillRows(std::vector<std::string> lines);
    void renumber();
    Result<void> writeLines();
    Result<void> mergeWithDisk(CardMerge& merge);
    CardRow& rowAt(int row);
    static void splitRow(CardRow& row);
    void moveCardUp(int row);
    std::filesystem::path identityFile() const { return identityFilePath(m_cardFile); }
    std::vector<RecordTraits> traits() const;
    std::vector<RecordIdentity> identitiesOnDisk(const std::vector<std::string>& lines) const;

    std::filesystem::path m_workDir;
    const Clock& m_clock;
    std::filesystem::path m_cardFile;
    std::filesystem::path m_logFile;
    std::vector<CardRow> m_rows;
    int m_count = 0;
    RecordIdentities m_ids;               // the identity of card k at index k - 1
    bool m_readFailed = false;            // the file exists but could not be read: saving would destroy it
    std::vector<std::string> m_fileLines; // the card file's lines as last read or written
    FileStamp m_stamp;
};
