#pragma once
// The diary's month files: load a month, save one day, export a month as readable text and keep that text.
//
// Files live in "rjb" below the working directory: "rj" + year + month + ".cjf" holds the month's plain text
// after one cipher pass under the diary key; "rj" + year + month + ".txt" is a kept export. Deciphered text
// only ever exists in memory: every file written to "rjb" is either scrambled or the export the user chose
// to keep, and every write replaces its file atomically.
#include "common/clock.h"
#include "common/file_stamp.h"
#include "common/notice.h"
#include "diary/diary_month.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// What an operation hands back to the window: a text (the entry, the export, the kept file's path) and,
// when something went wrong, the notice to show.
struct DiaryReply {
    std::string text;
    std::optional<Notice> notice;
    bool ok() const { return !notice; }
};

// A month's stored records as read from disk under a key.
struct StoredMonth {
    MonthRead read;
    bool exists = false;
    FileStamp stamp;              // of the scrambled bytes read
    std::optional<Notice> notice; // a read failure, or a month the key cannot read
};

std::filesystem::path diaryMonthFile(const std::filesystem::path& workDir, std::string_view year,
                                     std::string_view month);
std::filesystem::path diaryExportFile(const std::filesystem::path& workDir, std::string_view year,
                                      std::string_view month);

// Reads a month without creating anything; a missing file is an empty month. `exportText` as in
// readMonthLines.
StoredMonth readStoredMonth(const std::filesystem::path& workDir, std::string_view year, std::string_view month,
                            std::string_view key, double wantedDay, std::string* exportText = nullptr);

// Checks the texts taken from the date boxes and brings month and day into two-digit form ("3" -> "03").
// The year must be four digits, the month 1 to 12 and the day, when given, 1 to 31 (one or two digits).
std::optional<Notice> normalizeDiaryDate(std::string& year, std::string& month, std::string* day);

class DiaryBook {
public:
    // An empty workDir means the working directory at the moment of each operation.
    explicit DiaryBook(const Clock& clock, std::filesystem::path workDir = {});

    // Loads the month and returns the entry of `day`; creates the month file (one empty record for that
    // day) when it is missing. A month the key cannot read is shown as far as it reads and refused for saving.
    // Every operation checks the date texts as normalizeDiaryDate does and refuses a bad one with a notice.
    DiaryReply LoadMonth(std::string_view year, std::string_view month, std::string_view day, std::string_view key);
    // Stores the entry for the day and rewrites the whole month file. When the month differs from the loaded
    // one, or its file was changed by another program since it was loaded, that month's stored records are
    // read first, so no other day is lost.
    std::optional<Notice> SaveDay(std::string_view year, std::string_view month, std::string_view day,
                                  std::string_view entry, std::string_view key);
    // The question to ask before SaveDay when the loaded month's file was changed elsewhere and the day's
    // own record there is no longer the one loaded: the save would replace that other text.
    std::optional<Notice> changedDayQuestion(std::string_view year, std::string_view month, std::string_view day,
                                             std::string_view key) const;
    // Why a save of the loaded day would be refused (a key the cipher cannot use, an entry that would not read
    // back, a loaded month the key cannot read), so the window can say so before it asks to save.
    std::optional<Notice> saveRefusal(std::string_view entry, std::string_view key) const;
    // The readable export of the named month; the loaded month and its tables stay as they are.
    DiaryReply ExportMonth(std::string_view year, std::string_view month, std::string_view key);
    // Writes the export text (followed by one CR LF) to the export file of the last export; returns its path.
    DiaryReply SaveExportText(std::string_view text);
    // "恭喜!" with the exported month and the kept file's path.
    Notice exportKeptNotice(std::string_view path) const;

    const DayTables& tables() const { return m_tables; }
    bool loadedReadable() const { return m_readable; }
    const std::string& loadedYear() const { return m_year; }
    const std::string& loadedMonth() const { return m_month; }

private:
    std::filesystem::path workDir() const;
    DiaryReply createMonth(const std::filesystem::path& file, std::string_view day, std::string_view key);
    std::optional<Notice> tablesForSave(std::string_view year, std::string_view month, std::string_view key,
                                        DayTables& tables) const;

    const Clock& m_clock;
    std::filesystem::path m_workDir;
    DayTables m_tables;
    std::string m_year, m_month; // the loaded month
    bool m_readable = false;     // its stored records were read whole under the key in use
    FileStamp m_stamp;           // its file as loaded or last saved
    std::filesystem::path m_exportFile;
    std::string m_exportYear, m_exportMonth;
};

// The window's questions before saving a day, before leaving an entry that was changed and not saved, and
// after closing the export panel.
Notice confirmSaveNotice();
Notice saveBeforeLeavingNotice();
Notice keepExportNotice();

// The notice for a month that does not read as diary text under the current key.
Notice unreadableMonthNotice(std::string_view year, std::string_view month);
