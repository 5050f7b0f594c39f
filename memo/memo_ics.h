#pragma once
// The active memos as an iCalendar (RFC 5545) document, so they can be carried to other calendars: one VEVENT
// per active memo at its due hour (floating local time, one hour long) with a display alarm at the start.
#include "common/ics_text.h"
#include "memo/memo_book.h"

#include <string>
#include <vector>

struct MemoIcs {
    std::string text;         // UTF-8, every content line ended by CR LF and folded at 75 octets
    std::vector<int> skipped; // active memos whose due time is no calendar date (31 February, damaged digits)
};

// `dtstampUtc` is the creation time in the form YYYYMMDDTHHMMSSZ. The UID of a memo is its identity in the book
// (MemoBook::uid), so it stays the same through edits of the memo and deletions of other memos.
MemoIcs memosToIcs(const MemoBook& book, const std::string& dtstampUtc);
