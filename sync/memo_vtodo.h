#pragma once
// A memo as a vdir's .ics file (iCalendar, RFC 5545) and back. A memo is a to-do, not an appointment: it falls due
// at an hour and is then done with, which is what VTODO says (DUE, STATUS) and what reminder and task apps on
// phones (and todoman) show and tick off; a VEVENT has no "done" and would stand in the calendar as a one-hour
// meeting. The file holds one VTODO:
//   UID           the memo's identity
//   DUE           the due hour as floating local time, YYYYMMDDTHH0000 (hour 24: 00 of the next day)
//   SUMMARY       the text
//   STATUS        NEEDS-ACTION for an active memo ("F"), COMPLETED for a cancelled one ("T")
//   COMPLETED     when it was marked done (cancelled memos only)
//   VALARM        one display alarm at the due time (TRIGGER;RELATED=END:PT0S)
// DTSTAMP and LAST-MODIFIED are the time of writing. Read back, STATUS COMPLETED or CANCELLED (or a COMPLETED
// date) is "T", anything else "F"; a DUE in UTC or with a TZID is turned into local time, a DUE without time is
// hour 00, minutes are dropped, DTSTART stands in for a missing DUE; line breaks in SUMMARY become blanks.
// Rewriting a file that is there writes anew only what changed: DUE (with DTSTART and DURATION) when the due
// hour changed, SUMMARY when the text did, STATUS (with COMPLETED and PERCENT-COMPLETE) when the flag did, and
// the alarm when due hour or text changed; UID, DTSTAMP and LAST-MODIFIED always. Every other line stays as the
// file has it: a DUE in another zone that still means the same hour, another program's alarms, DESCRIPTION,
// CATEGORIES, PRIORITY, X- properties, other components (VTIMEZONE).
#include "memo/memo_line.h"

#include <optional>
#include <string>
#include <string_view>

std::string memoSyncHash(const MemoRecord& memo);

struct MemoFromFile {
    std::string due; // YYYYMMDDHH, a picker value
    std::string text;
    std::string flag; // "F" or "T"
    std::string uid;
    std::string label;
    std::string refusal; // why the file cannot be a memo; empty when it can
};
MemoFromFile memoFromIcs(std::string_view bytes);
bool memoMatchesIcs(const MemoRecord& memo, const MemoFromFile& file);
// The .ics text of a memo; `existing` is the file's present text (empty for a new file); `nowUtc` the time of
// writing (YYYYMMDDTHHMMSSZ). Nothing when the memo's due time is no calendar date.
std::optional<std::string> memoIcs(const MemoRecord& memo, std::string_view uid, std::string_view existing,
                                   const std::string& nowUtc);
