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

bool memoOwned(const std::string& name) {
    for (const char* owned : {"UID", "DTSTAMP", "DUE", "DTSTART", "DURATION", "SUMMARY", "STATUS", "COMPLETED",
                              "PERCENT-COMPLETE", "LAST-MODIFIED"})
        if (name == owned)
            return true;
    return false;
}

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

std::optional<std::string> memoIcs(const MemoRecord& memo, std::string_view uid, std::string_view existing,
                                   const std::string& nowUtc) {
    const std::optional<std::string> due = memoIcsStart(memo.due);
    if (memo.damaged || !due)
        return std::nullopt;
    std::string outside, inside; // the lines kept: other components, and the VTODO's other properties
    std::vector<std::string> open;
    bool inTodo = false, todoSeen = false;
    for (const ContentLine& line : contentLines(existing)) {
        const std::string value = upper(line.value());
        if (line.name == "BEGIN") {
            open.push_back(value);
            if (open.size() == 2 && value == "VTODO" && !todoSeen)
                inTodo = todoSeen = true;
            else if (open.size() > 1 && !inTodo) // the memo's alarm replaces the to-do's alarms
                outside += line.raw;
            continue;
        }
        if (line.name == "END" && !open.empty()) {
            if (open.size() > 1 && !inTodo)
                outside += line.raw;
            inTodo = inTodo && open.size() > 2;
            open.pop_back();
            continue;
        }
        if (open.empty())
            continue;
        if (open.size() == 1 && line.name != "VERSION" && line.name != "PRODID")
            outside += line.raw;
        else if (inTodo && open.size() == 2 && !memoOwned(line.name))
            inside += line.raw;
        else if (!inTodo && open.size() > 1)
            outside += line.raw;
    }
    const bool done = memo.flag == "T";
    const std::string summary = icsEscapeText(memo.text);
    std::string out = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Orlin//Quillet//ZH\r\n" + outside;
    out += "BEGIN:VTODO\r\n" + contentLine("UID:" + icsEscapeText(uid)) + "DTSTAMP:" + nowUtc + "\r\n";
    out += "LAST-MODIFIED:" + nowUtc + "\r\nDUE:" + *due + "\r\n" + contentLine("SUMMARY:" + summary);
    out += done ? "STATUS:COMPLETED\r\nCOMPLETED:" + nowUtc + "\r\n" : std::string("STATUS:NEEDS-ACTION\r\n");
    out += inside + "BEGIN:VALARM\r\nACTION:DISPLAY\r\n" + contentLine("DESCRIPTION:" + summary);
    out += "TRIGGER;RELATED=END:PT0S\r\nEND:VALARM\r\nEND:VTODO\r\nEND:VCALENDAR\r\n";
    return out;
}
