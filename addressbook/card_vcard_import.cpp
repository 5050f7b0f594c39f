#include "addressbook/card_vcard_import.h"

#include "addressbook/card_vcard.h"
#include "addressbook/vcard_reader.h"
#include "common/data_lock.h"
#include "common/data_paths.h"
#include "common/safe_write.h"
#include "common/temp_debris.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <optional>

namespace fs = std::filesystem;

namespace {

// Index into CardEntries of field n (1..13).
constexpr std::size_t at(int field) {
    return static_cast<std::size_t>(field - 1);
}
enum : int { kNickname = 2, kName = 3, kTitle = 4, kHomeTel = 5, kWorkTel = 6, kMobile = 7, kOicq = 8 };
enum : int { kAddress = 9, kPostcode = 10, kEmail = 11, kHomePage = 12, kCompanyPage = 13 };

constexpr std::string_view kOicqLabel = "OICQ/IP: ";
constexpr std::string_view kSerialLabel = "序号: ";

struct ParsedCard {
    CardEntries entries;
    std::string photoBytes;
    std::string photoExtension;
    std::vector<std::string> leftOut;
    std::string label; // name, nickname or position in the file, for the report
    std::string uid;   // the vCard's UID: the card keeps it
};

// Puts `value` into the first empty field of `fields`, or lists it as left out.
void place(ParsedCard& card, std::initializer_list<int> fields, const std::string& value, std::string_view what) {
    if (value.empty())
        return;
    for (int field : fields) {
        if (card.entries[at(field)].empty()) {
            card.entries[at(field)] = value;
            return;
        }
    }
    card.leftOut.push_back(std::string(what) + " " + value);
}

std::string joined(const std::vector<std::string>& parts, std::initializer_list<std::size_t> order,
                   std::string_view separator) {
    std::string out;
    for (std::size_t i : order) {
        if (i >= parts.size() || parts[i].empty())
            continue;
        if (!out.empty())
            out += separator;
        out += parts[i];
    }
    return out;
}

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

void takeTel(ParsedCard& card, const VCardProperty& p) {
    std::string value = vcardUnescape(p.value);
    if (value.starts_with("tel:"))
        value.erase(0, 4);
    if (p.hasType("FAX") || p.hasType("PAGER"))
        card.leftOut.push_back("TEL " + value);
    else if (p.hasType("CELL") || p.hasType("MOBILE"))
        place(card, {kMobile}, value, "TEL;CELL");
    else if (p.hasType("HOME"))
        place(card, {kHomeTel}, value, "TEL;HOME");
    else if (p.hasType("WORK"))
        place(card, {kWorkTel}, value, "TEL;WORK");
    else
        place(card, {kMobile, kHomeTel, kWorkTel}, value, "TEL");
}

void takeNote(ParsedCard& card, const std::string& note) {
    std::size_t start = 0;
    while (start <= note.size()) {
        std::size_t end = note.find('\n', start);
        if (end == std::string::npos)
            end = note.size();
        std::string line = note.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.starts_with(kOicqLabel))
            place(card, {kOicq}, line.substr(kOicqLabel.size()), "NOTE");
        else if (!line.empty() && !line.starts_with(kSerialLabel))
            card.leftOut.push_back("NOTE " + line);
        start = end + 1;
    }
}

void takePhoto(ParsedCard& card, const VCardProperty& p) {
    std::string_view data = p.value;
    const bool dataUri = data.starts_with("data:");
    if (dataUri) {
        const std::size_t comma = data.find(',');
        if (comma == std::string_view::npos || data.substr(0, comma).find(";base64") == std::string_view::npos) {
            card.leftOut.push_back("PHOTO (not base64)");
            return;
        }
        data.remove_prefix(comma + 1);
    } else if (const std::string encoding = p.param("ENCODING");
               encoding != "b" && encoding != "B" && encoding != "BASE64" && encoding != "base64") {
        card.leftOut.push_back("PHOTO (a link, not fetched)");
        return;
    }
    std::optional<std::string> bytes = base64Decode(data);
    std::optional<std::string> type = bytes ? pictureType(*bytes) : std::nullopt;
    if (!type) {
        card.leftOut.push_back("PHOTO (not a JPEG, GIF, PNG or BMP picture)");
        return;
    }
    if (!card.photoBytes.empty()) {
        card.leftOut.push_back("PHOTO (a second one)");
        return;
    }
    card.photoBytes = std::move(*bytes);
    card.photoExtension = *type == "JPEG" ? ".jpg" : *type == "GIF" ? ".gif" : *type == "PNG" ? ".png" : ".bmp";
}

ParsedCard parseCard(const VCardEntry& entry, int position) {
    ParsedCard card;
    std::string formatted;
    std::optional<std::vector<std::string>> n;
    for (const VCardProperty& p : entry) {
        if (p.name == "FN")
            formatted = vcardUnescape(p.value);
        else if (p.name == "N")
            n = vcardComponents(p.value);
        else if (p.name == "NICKNAME")
            place(card, {kNickname}, vcardUnescape(p.value), "NICKNAME");
        else if (p.name == "TITLE")
            place(card, {kTitle}, vcardUnescape(p.value), "TITLE");
        else if (p.name == "TEL")
            takeTel(card, p);
        else if (p.name == "ADR") {
            const std::vector<std::string> parts = vcardComponents(p.value);
            if (card.entries[at(kAddress)].empty() && card.entries[at(kPostcode)].empty()) {
                card.entries[at(kAddress)] = joined(parts, {6, 4, 3, 2, 1, 0}, isAscii(p.value) ? ", " : "");
                card.entries[at(kPostcode)] = parts.size() > 5 ? parts[5] : "";
            } else {
                card.leftOut.push_back("ADR " + joined(parts, {6, 4, 3, 2, 1, 0, 5}, " "));
            }
        } else if (p.name == "EMAIL")
            place(card, {kEmail}, vcardUnescape(p.value), "EMAIL");
        else if (p.name == "URL") {
            const std::string url = vcardUnescape(p.value);
            if (p.hasType("HOME"))
                place(card, {kHomePage}, url, "URL;HOME");
            else if (p.hasType("WORK"))
                place(card, {kCompanyPage}, url, "URL;WORK");
            else
                place(card, {kHomePage, kCompanyPage}, url, "URL");
        } else if (p.name == "X-QQ")
            place(card, {kOicq}, vcardUnescape(p.value), "X-QQ");
        else if (p.name == "NOTE")
            takeNote(card, vcardUnescape(p.value));
        else if (p.name == "PHOTO")
            takePhoto(card, p);
        else if (p.name == "UID")
            card.uid = vcardUnescape(p.value);
        else if (p.name == "ORG" || p.name == "BDAY")
            card.leftOut.push_back(p.name + " " + joined(vcardComponents(p.value), {0, 1, 2, 3}, " "));
    }
    // The export writes an empty N for a card without a name and then fills FN with the nickname or "名片 NN".
    const bool emptyN = n && std::all_of(n->begin(), n->end(), [](const std::string& s) { return s.empty(); });
    // Older exports wrote "名片 " and the serial number.
    const bool placeholder =
        formatted == card.entries[at(kNickname)] || formatted == kUnnamedCard || formatted.starts_with("名片 ");
    if (!formatted.empty() && !(emptyN && placeholder))
        card.entries[at(kName)] = formatted;
    else if (n && !emptyN)
        card.entries[at(kName)] = joined(*n, {0, 1}, isAscii((*n)[0]) ? " " : "");
    card.label = !card.entries[at(kName)].empty()       ? card.entries[at(kName)]
                 : !card.entries[at(kNickname)].empty() ? card.entries[at(kNickname)]
                                                        : "card " + std::to_string(position) + " of the file";
    return card;
}

// The card file holds neither "%" nor line breaks: "%" becomes "％", a line break a blank, and so does any other
// control character but the tab (a NUL or a form feed has no place in a one-line record). Lists each change.
void makeStorable(ParsedCard& card, std::vector<std::string>& changed) {
    for (int field = 2; field <= kCardEntryFields; ++field) {
        std::string& text = card.entries[at(field)];
        std::string out;
        bool percent = false, lineBreak = false, control = false;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '%') {
                out += "％";
                percent = true;
            } else if (text[i] == '\r' || text[i] == '\n') {
                out += ' ';
                lineBreak = true;
                if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                    ++i;
            } else if ((static_cast<unsigned char>(text[i]) < 0x20 && text[i] != '\t') || text[i] == 0x7F) {
                out += ' ';
                control = true;
            } else {
                out += text[i];
            }
        }
        const std::string caption(cardFields()[at(field)].caption);
        if (percent)
            changed.push_back(card.label + ": " + caption + ": \"%\" -> \"％\"");
        if (lineBreak)
            changed.push_back(card.label + ": " + caption + ": line break -> blank");
        if (control)
            changed.push_back(card.label + ": " + caption + ": control character -> blank");
        text = std::move(out);
    }
}

bool isEmpty(const ParsedCard& card) {
    return card.photoBytes.empty() &&
           std::all_of(card.entries.begin(), card.entries.end(), [](const std::string& s) { return s.empty(); });
}

// A card of the book with the same UID, or failing a UID the same name and mobile number.
bool alreadyInBook(const CardBook& book, const ParsedCard& card) {
    if (!card.uid.empty() && book.holdsUid(card.uid))
        return true;
    const std::string name = trimSpaces(card.entries[at(kName)]);
    const std::string mobile = trimSpaces(card.entries[at(kMobile)]);
    if (name.empty() && mobile.empty())
        return false;
    for (int row = 1; row <= book.count(); ++row)
        if (book.field(row, kName) == name && book.field(row, kMobile) == mobile)
            return true;
    return false;
}

std::string freePhotoName(const fs::path& folder, const std::string& serial, const std::string& extension) {
    std::string name = "vcf" + serial + extension;
    std::error_code ec;
    for (int k = 2; fs::exists(folder / name, ec) || name == "moren.gif"; ++k)
        name = "vcf" + serial + "-" + std::to_string(k) + extension;
    return name;
}

void removeFiles(const std::vector<fs::path>& files) {
    std::error_code ec;
    for (const fs::path& file : files)
        fs::remove(file, ec);
}

} // namespace

int countVCards(std::string_view bytes) {
    return static_cast<int>(readVCardFile(bytes).size());
}

Result<CardImportReport> importVCards(CardBook& book, std::string_view bytes) {
    // Photo names are chosen and the cards saved in one step, so two imports never take the same name.
    Result<DataLock> lock = DataLock::take(book.workDir());
    if (!lock)
        return lock.error();
    CardImportReport report;
    std::vector<fs::path> written;                    // removed again when the import fails
    std::vector<std::pair<fs::path, fs::path>> named; // photos written, each to be given its name
    const std::vector<VCardEntry> entries = readVCardFile(bytes);
    const fs::path folder = book.photoFolder();
    const auto fail = [&](IoError error) -> Result<CardImportReport> {
        removeFiles(written);
        book.load(false);
        return error;
    };
    for (std::size_t i = 0; i < entries.size(); ++i) {
        ParsedCard card = parseCard(entries[i], static_cast<int>(i) + 1);
        if (isEmpty(card)) {
            report.skipped.push_back(card.label + ": empty");
            continue;
        }
        makeStorable(card, report.changed);
        if (alreadyInBook(book, card)) {
            const std::string& mobile = card.entries[at(kMobile)];
            report.skipped.push_back(card.label + (mobile.empty() ? "" : " " + mobile) + ": already in the book");
            continue;
        }
        if (book.full()) {
            report.refused.push_back(card.label);
            continue;
        }
        for (const std::string& what : card.leftOut)
            report.leftOut.push_back(card.label + ": " + what);
        const std::string serial = newSerialNumber(book.count());
        card.entries[0] = serial;
        std::string photo(kNoPhoto);
        if (!card.photoBytes.empty()) {
            if (Result<void> made = ensureFolder(folder); !made)
                return fail(made.error());
            photo = freePhotoName(folder, serial, card.photoExtension);
            // Written under a temporary name, which the start-up sweep removes should the import be killed;
            // the photos get their names just before the book that names them is saved.
            const fs::path pending = tempPathFor(folder / photo);
            if (Result<void> saved = writeFileAtomic(pending, card.photoBytes, FileAccess::Private); !saved)
                return fail(saved.error());
            written.push_back(pending);
            named.emplace_back(pending, folder / photo);
        }
        book.storeCard(book.count() + 1, card.entries, photo);
        book.addCard(card.uid);
        ++report.imported;
    }
    for (const auto& [pending, photo] : named) {
        if (::rename(pending.c_str(), photo.c_str()) != 0)
            return fail(systemError(pathToUtf8(photo), errno));
        written.push_back(photo);
    }
    if (report.imported > 0)
        if (Result<void> saved = book.saveAll(); !saved)
            return fail(saved.error());
    return report;
}
