#include "sync/card_vcf.h"

#include "addressbook/card_vcard.h"
#include "addressbook/card_vcard_import.h"
#include "addressbook/picture_check.h"
#include "addressbook/vcard_reader.h"
#include "common/record_identity.h"
#include "common/text_codec.h"
#include "sync/content_lines.h"

#include <array>
#include <optional>

namespace {

constexpr std::string_view kOicqLabel = "OICQ/IP: ";
constexpr std::string_view kSerialLabel = "序号: ";

std::optional<VCardProperty> parsed(const ContentLine& line) {
    std::vector<VCardEntry> cards = readVCardFile("BEGIN:VCARD\r\n" + line.text + "\r\nEND:VCARD\r\n");
    if (cards.empty() || cards[0].empty())
        return std::nullopt;
    return cards[0][0];
}

// Which field the import fills from each property, property by property in file order (0: none).
class FieldSlots {
public:
    int field(const ContentLine& line, const VCardProperty& p) {
        const std::string& n = p.name;
        if (n == "FN" || n == "N")
            return 3;
        if (n == "NICKNAME")
            return take({2});
        if (n == "X-ANDROID-CUSTOM")
            return p.value.starts_with("vnd.android.cursor.item/nickname") ? take({2}) : 0;
        if (n == "TITLE")
            return take({4});
        if (n == "TEL")
            return telField(p);
        if (n == "ADR")
            return take({9});
        if (n == "EMAIL")
            return take({11});
        if (n == "URL")
            return p.hasType("HOME") ? take({12}) : p.hasType("WORK") ? take({13}) : take({12, 13});
        if (n == "X-QQ")
            return take({8});
        if (n == "IMPP")
            return p.hasType("QQ") || line.text.find("QQ") != std::string::npos || p.value.starts_with("qq:")
                       ? take({8})
                       : 0;
        return 0;
    }

private:
    int take(std::initializer_list<int> fields) {
        for (int field : fields)
            if (!std::exchange(m_filled[static_cast<std::size_t>(field)], true))
                return field;
        return 0;
    }
    int telField(const VCardProperty& p) {
        if (p.hasType("FAX") || p.hasType("PAGER"))
            return 0;
        if (p.hasType("CELL") || p.hasType("MOBILE"))
            return take({7});
        if (p.hasType("HOME"))
            return take({5});
        return p.hasType("WORK") ? take({6}) : take({7, 5, 6});
    }
    std::array<bool, kCardFieldCount + 1> m_filled{};
};

// Which of the card's fields the file already says as the card has them: their lines stay as the file has
// them (with the other program's types and order); only the lines of changed fields are written anew.
class SameFields {
public:
    SameFields(const CardBook& book, int row, const CardFromFile& file) {
        for (int f = 2; f <= kCardEntryFields; ++f)
            m_same[static_cast<std::size_t>(f)] = book.field(row, f) == file.entries[static_cast<std::size_t>(f - 1)];
        // FN is the nickname when there is no name; ADR holds address and postcode.
        m_same[3] = m_same[3] && (!book.field(row, 3).empty() || m_same[2]);
        m_same[9] = m_same[9] && m_same[10];
    }
    bool operator()(int field) const { return field > 0 && m_same[static_cast<std::size_t>(field)]; }

private:
    std::array<bool, kCardFieldCount + 1> m_same{};
};

// The lines of NOTE other than the card's own ("OICQ/IP: …" and an older export's serial number).
void collectNoteLines(const VCardProperty& p, std::string& out) {
    const std::string note = vcardUnescape(p.value);
    std::size_t start = 0;
    while (start <= note.size()) {
        std::size_t end = std::min(note.find('\n', start), note.size());
        const std::string line = note.substr(start, end - start);
        if (!line.empty() && !line.starts_with(kOicqLabel) && !line.starts_with(kSerialLabel))
            out += (out.empty() ? "" : "\n") + line;
        start = end + 1;
    }
}

bool cardLevel(const std::string& name) {
    return name == "BEGIN" || name == "END" || name == "VERSION" || name == "UID" || name == "PRODID" || name == "REV";
}

} // namespace

std::string cardSyncHash(const CardBook& book, int row) {
    const std::string& line = book.line(row);
    const std::size_t first = line.find('%');
    const std::size_t second = first == std::string::npos ? first : line.find('%', first + 1);
    return recordHash(second == std::string::npos ? std::string_view(line) : std::string_view(line).substr(second));
}

CardFromFile cardFromVcf(std::string_view bytes) {
    CardFromFile out;
    const std::vector<VCardEntry> cards = readVCardFile(bytes);
    if (cards.empty()) {
        out.refusal = "holds no vCard";
        return out;
    }
    ParsedCard card = readCardFields(cards[0], 1);
    out.uid = card.uid;
    out.label =
        card.entries[2].empty() && card.entries[1].empty() && !card.uid.empty() ? "card " + card.uid : card.label;
    if (card.group) {
        out.refusal = "a group, not a card";
        return out;
    }
    makeCardStorable(card, out.notes);
    if (wholePictureType(card.photoBytes)) {
        out.photo = std::move(card.photoBytes);
        out.photoExtension = card.photoExtension;
    }
    for (int field = 2; field <= kCardEntryFields; ++field) {
        std::string value = trimSpaces(card.entries[static_cast<std::size_t>(field - 1)]);
        const CardField& f = cardFields()[static_cast<std::size_t>(field - 1)];
        if (charCount(value) > static_cast<std::size_t>(f.width)) {
            value = trimSpaces(fromU32(toU32(value).substr(0, static_cast<std::size_t>(f.width))));
            out.notes.push_back(out.label + ": " + std::string(f.caption) + " cut to " + std::to_string(f.width) +
                                " characters: " + value);
        }
        out.entries[static_cast<std::size_t>(field - 1)] = std::move(value);
    }
    return out;
}

bool cardMatchesVcf(const CardBook& book, int row, const CardFromFile& file) {
    if (!file.refusal.empty())
        return false;
    for (int field = 2; field <= kCardEntryFields; ++field)
        if (book.field(row, field) != file.entries[static_cast<std::size_t>(field - 1)])
            return false;
    return true;
}

std::string cardVcf(const CardBook& book, int row, std::string_view existing) {
    const std::string own = cardToVCard(book, row);
    if (existing.empty())
        return own;
    const SameFields same(book, row, cardFromVcf(existing));
    const std::string& photo = book.field(row, kPhotoField);
    bool photoOwned = !photo.empty() && photo != kNoPhoto; // the card's photo replaces the file's first one
    FieldSlots slots;
    std::string kept, otherNotes;
    bool inCard = false;
    for (const ContentLine& line : contentLines(existing)) {
        if (line.name == "BEGIN" || line.name == "END")
            inCard = line.name == "BEGIN";
        if (!inCard || cardLevel(line.name))
            continue;
        const std::optional<VCardProperty> p = parsed(line);
        if (p && p->name == "NOTE" && !same(8))
            collectNoteLines(*p, otherNotes);
        else if (p && p->name == "PHOTO" && std::exchange(photoOwned, false)) {
            // replaced by the card's photo
        } else {
            const int field = p && p->name != "NOTE" && p->name != "PHOTO" ? slots.field(line, *p) : 0;
            if (field == 0 || same(field))
                kept += line.raw;
        }
    }
    // The card's own lines, but for fields the file already says (and the NOTE, written with the other lines).
    std::string out;
    FieldSlots ownSlots;
    const std::string oicq = book.field(row, 8).empty() ? "" : std::string(kOicqLabel) + book.field(row, 8);
    const std::string note = otherNotes + (otherNotes.empty() || oicq.empty() ? "" : "\n") + oicq;
    for (const ContentLine& line : contentLines(own)) {
        const std::optional<VCardProperty> p = parsed(line);
        if (line.name == "END") {
            if (!same(8) && !note.empty())
                out += vcardLine("NOTE:" + vcardEscape(note));
            out += kept + line.raw;
        } else if (line.name != "NOTE" && !(p && same(ownSlots.field(line, *p)))) {
            out += line.raw;
        }
    }
    return out;
}
