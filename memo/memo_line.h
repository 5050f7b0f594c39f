#pragma once
// One memo per line of bwl/bwl.cjf:
//   columns 1-4      number, left-aligned and padded with blanks ("1   ", "12  ")
//   columns 5-6      "@@"
//   columns 7-16     due time YYYYMMDDHH (hour 00-24)
//   columns 17-18    "@@"
//   columns 19..L-15 the memo text
//   columns L-14..13 "@@"
//   column  L-12     flag: "F" active, "T" cancelled
//   columns L-11..10 "@@"
//   columns L-9..L   stamp YYYYMMDDHH: when the memo book last wrote the line
// Columns count characters, not bytes. The text is found by counting from both ends, so a "@@" inside it
// does no harm. A line shorter than 33 characters has no fields: it is damaged and carried as it is.
#include "common/clock.h"

#include <string>
#include <string_view>

inline constexpr std::size_t kMemoFixedChars = 33;

struct MemoRecord {
    std::string line;     // the whole line, as read or as last built
    std::string bwxh;     // columns 1-4, trailing blanks included
    std::string due;      // columns 7-16
    std::string text;     // columns 19 to L-15
    std::string flag;     // column L-12
    bool damaged = false; // shorter than 33 characters: no fields

    static MemoRecord fromLine(std::string line);
    // The last 10 characters of the line.
    std::string stamp() const;
    bool cancelled() const { return flag == "T"; }
};

// The number of line n: its decimal digits padded on the right with blanks to 4 characters.
std::string memoNumber(int n);
// The date and hour of `t` as 10 digits, the form of both `due` and `stamp`.
std::string memoStamp(const LocalDateTime& t);
std::string buildMemoLine(std::string_view bwxh, std::string_view due, std::string_view text, std::string_view flag,
                          std::string_view stamp);

// The line with its flag (column L-12) replaced; nothing else changes. A damaged line comes back unchanged.
std::string memoLineWithFlag(std::string_view line, char32_t flag);
// True when both lines hold the same memo wherever it stands: everything after the number is equal.
bool sameMemo(std::string_view a, std::string_view b);

// Memo texts live on one line: every line break (CR LF, CR, LF, U+0085, U+2028, U+2029) becomes one blank.
std::string oneLineText(std::string_view text);

// A due time as the picker gives it: year 1900-2049, month 01-12, day 01-31, hour 00-24, 10 digits.
bool isPickerDue(std::string_view due);

// The reminder's date test on the 10 characters of `due`, field by field: year, month, day and hour (their
// numeric values) are each no later than those of `now`. Minutes play no part.
bool memoDueReached(std::string_view due, const LocalDateTime& now);
// The whole test: an active memo ("F" exactly) whose due time is reached. A damaged line is never due.
bool isMemoDue(const MemoRecord& memo, const LocalDateTime& now);
