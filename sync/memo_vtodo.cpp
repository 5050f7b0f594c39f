#include "sync/memo_vtodo.h"

#include "addressbook/vcard_reader.h"
#include "common/ics_text.h"
#include "common/numeric_text.h"
#include "common/record_identity.h"
#include "common/text_codec.h"
#include "memo/memo_ics.h"
#include "sync/content_lines.h"

#include <QDateTime>
#include <QTimeZone>

#include <algorithm>
#include <vector>

namespace {

std::string upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The TZID parameter of a property line, or empty.
std::string tzidOf(std::string_view text) {
    const std::string head = upper(std::string(text.substr(0, text.find(':'))));
    const std::size_t at = head.find(";TZID=");
    if (at == std::string::npos)
        return {};
    const std::size_t end = std::min(head.find(';', at + 1), head.size());
    std::string tz(text.substr(at + 6, end - at - 6));
    if (tz.size() >= 2 && tz.front() == '"' && tz.back() == '"')
        tz = tz.substr(1, tz.size() - 2);
    return tz;
}

// DUE or DTSTART as YYYYMMDDHH in local time; empty when it is no date.
std::string dueHour(const ContentLine& line) {
    const std::string value = line.value();
    if (value.size() < 8 || value.find_first_not_of("0123456789") < 8)
        return {};
    if (value.size() == 8)
        return value + "00";
    if (value.size() < 15 || value[8] != 'T')
        return {};
    QDateTime at = QDateTime::fromString(QString::fromStdString(value.substr(0, 15)), "yyyyMMdd'T'HHmmss");
    if (!at.isValid())
        return {};
    const std::string tz = tzidOf(line.text);
    if (value.size() > 15 && value[15] == 'Z')
        at = QDateTime(at.date(), at.time(), QTimeZone::utc()).toLocalTime();
    else if (!tz.empty() && QTimeZone(QByteArray::fromStdString(tz)).isValid())
        at = QDateTime(at.date(), at.time(), QTimeZone(QByteArray::fromStdString(tz))).toLocalTime();
    return fourDigits(at.date().year()) + twoDigits(at.date().month()) + twoDigits(at.date().day()) +
           twoDigits(at.time().hour());
}

// What of the file's to-do still says what the memo says: those lines stay as the file has them (a DUE with its
// zone, another program's alarms), the others are written anew from the memo.
struct SameParts {
    bool due = false, text = false, flag = false;
    bool owns(const std::string& name) const {
        if (name == "UID" || name == "DTSTAMP" || name == "LAST-MODIFIED")
            return true;
        if (name == "DUE" || name == "DTSTART" || name == "DURATION")
            return !due;
        if (name == "SUMMARY")
            return !text;
        return (name == "STATUS" || name == "COMPLETED" || name == "PERCENT-COMPLETE") && !flag;
    }
};

std::string contentLine(std::string_view line) {
    return icsFoldLine(line) + "\r\n";
}

} // namespace

std::string memoSyncHash(const MemoRecord& memo) {
    return recordHash(memo.due + "\n" + memo.text + "\n" + memo.flag);
}

MemoFromFile memoFromIcs(std::string_view bytes) {
    MemoFromFile out;
    std::string start;
    bool done = false, found = false;
    std::vector<std::string> open; // the components around the line
    for (const ContentLine& line : contentLines(bytes)) {
        const std::string value = upper(line.value());
        if (line.name == "BEGIN") {
            open.push_back(value);
            found = found || (open.size() == 2 && value == "VTODO");
            continue;
        }
        if (line.name == "END" && !open.empty()) {
            if (open.size() == 2 && open.back() == "VTODO")
                break; // the first to-do only
            open.pop_back();
            continue;
        }
        if (open.size() != 2 || open.back() != "VTODO")
            continue;
        // iCalendar escapes TEXT as vCard does ("\\n", "\\,", "\\;", "\\\\").
        if (line.name == "UID")
            out.uid = vcardUnescape(line.value());
        else if (line.name == "SUMMARY")
            out.text = oneLineText(vcardUnescape(line.value()));
        else if (line.name == "DUE")
            out.due = dueHour(line);
        else if (line.name == "DTSTART")
            start = dueHour(line);
        else if (line.name == "STATUS")
            done = done || value == "COMPLETED" || value == "CANCELLED";
        else if (line.name == "COMPLETED")
            done = true;
    }
    if (out.due.empty())
        out.due = start;
    out.flag = done ? "T" : "F";
    out.label = out.text.empty() ? "memo " + out.uid : out.text;
    if (!found)
        out.refusal = "holds no to-do (VTODO)";
    else if (out.text.empty())
        out.refusal = "has no text (SUMMARY)";
    else if (!isPickerDue(out.due) || !memoIcsStart(out.due))
        out.refusal = "has no due time a memo can take (DUE in 1900-2049)";
    return out;
}

bool memoMatchesIcs(const MemoRecord& memo, const MemoFromFile& file) {
    return file.refusal.empty() && memo.text == file.text && (memo.flag == "T") == (file.flag == "T") &&
           memoIcsStart(memo.due) == memoIcsStart(file.due);
}

namespace {

SameParts sameParts(const MemoRecord& memo, std::string_view existing) {
    if (existing.empty())
        return {};
    const MemoFromFile was = memoFromIcs(existing);
    const std::optional<std::string> due = memoIcsStart(was.due);
    return {due && due == memoIcsStart(memo.due), was.text == memo.text, (was.flag == "T") == memo.cancelled()};
}

} // namespace

std::optional<std::string> memoIcs(const MemoRecord& memo, std::string_view uid, std::string_view existing,
                                   const std::string& nowUtc) {
    const std::optional<std::string> due = memoIcsStart(memo.due);
    if (memo.damaged || !due)
        return std::nullopt;
    const SameParts same = sameParts(memo, existing);
    std::string outside, inside, alarms; // the lines kept: other components, the to-do's lines, its alarms
    std::vector<std::string> open;
    bool inTodo = false, todoSeen = false;
    for (const ContentLine& line : contentLines(existing)) {
        const std::string value = upper(line.value());
        const bool begin = line.name == "BEGIN", end = line.name == "END" && !open.empty();
        if (begin)
            open.push_back(value);
        if (begin && open.size() == 2 && value == "VTODO" && !todoSeen) {
            inTodo = todoSeen = true;
        } else if (open.empty()) {
            continue; // outside the calendar
        } else if (inTodo && open.size() > 2) {
            alarms += line.raw;
        } else if (inTodo && end) {
            inTodo = false;
        } else if (inTodo) {
            if (!same.owns(line.name))
                inside += line.raw;
        } else if (open.size() > 1 || (line.name != "VERSION" && line.name != "PRODID" && !begin && !end)) {
            outside += line.raw;
        }
        if (end)
            open.pop_back();
    }
    const bool done = memo.flag == "T";
    const std::string summary = icsEscapeText(memo.text);
    std::string out = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Orlin//Quillet//ZH\r\n" + outside;
    out += "BEGIN:VTODO\r\n" + contentLine("UID:" + icsEscapeText(uid)) + "DTSTAMP:" + nowUtc + "\r\n";
    out += "LAST-MODIFIED:" + nowUtc + "\r\n";
    if (!same.due)
        out += "DUE:" + *due + "\r\n";
    if (!same.text)
        out += contentLine("SUMMARY:" + summary);
    if (!same.flag)
        out += done ? "STATUS:COMPLETED\r\nCOMPLETED:" + nowUtc + "\r\n" : std::string("STATUS:NEEDS-ACTION\r\n");
    out += inside;
    // The memo alarms at its due time; the file's own alarms stay while due time and text do.
    if (same.due && same.text && !alarms.empty())
        out += alarms;
    else
        out += "BEGIN:VALARM\r\nACTION:DISPLAY\r\n" + contentLine("DESCRIPTION:" + summary) +
               "TRIGGER;RELATED=END:PT0S\r\nEND:VALARM\r\n";
    out += "END:VTODO\r\nEND:VCALENDAR\r\n";
    return out;
}
