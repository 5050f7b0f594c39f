#include "addressbook/card_vcard.h"

#include "common/safe_write.h"

#include <cstdint>

namespace {

constexpr std::size_t kFoldOctets = 75;

bool isUtf8Continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// A text property, left out when the card's field is empty.
void addText(std::string& out, std::string_view name, const std::string& value) {
    if (!value.empty())
        out += vcardLine(std::string(name) + ":" + vcardEscape(value));
}

// A URI value is written as it is (URIs have no backslash escapes); line breaks cannot occur in a card.
void addUri(std::string& out, std::string_view name, const std::string& value) {
    if (!value.empty() && value.find_first_of("\r\n") == std::string::npos)
        out += vcardLine(std::string(name) + ":" + value);
}

// The serial number is the card's position, not a property of the card: it stays out of the vCard, so that a
// discard of another card leaves this card's vCard as it was.
std::string noteOf(const CardBook& book, int row) {
    const std::string& oicq = book.field(row, 8);
    return oicq.empty() ? std::string() : "OICQ/IP: " + oicq;
}

} // namespace

std::optional<std::string> pictureType(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xD8\xFF"))
        return "JPEG";
    if (bytes.starts_with("GIF87a") || bytes.starts_with("GIF89a"))
        return "GIF";
    if (bytes.starts_with("\x89PNG\r\n\x1A\n"))
        return "PNG";
    if (bytes.size() > 14 && bytes.starts_with("BM"))
        return "BMP";
    return std::nullopt;
}

std::optional<CardPicture> cardPicture(const CardBook& book, int row) {
    const std::string& name = book.field(row, kPhotoField);
    if (name.empty() || name == kNoPhoto)
        return std::nullopt;
    std::optional<std::filesystem::path> path = book.photoPath(name);
    if (!path)
        return std::nullopt;
    Result<std::string> bytes = readFileBytes(*path);
    if (!bytes)
        return std::nullopt;
    std::optional<std::string> type = pictureType(*bytes);
    if (!type)
        return std::nullopt;
    return CardPicture{*type, std::move(*bytes)};
}

std::string vcardEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\\' || c == ',' || c == ';') {
            out += '\\';
            out += c;
        } else if (c == '\r' || c == '\n') {
            out += "\\n";
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out += c;
        }
    }
    return out;
}

std::string vcardLine(std::string_view line) {
    std::string out;
    std::size_t limit = kFoldOctets;
    while (line.size() > limit) {
        std::size_t cut = limit;
        while (cut > 0 && isUtf8Continuation(line[cut]))
            --cut;
        out += line.substr(0, cut);
        out += "\r\n ";
        line.remove_prefix(cut);
        limit = kFoldOctets - 1; // the leading blank of a continuation counts
    }
    out += line;
    out += "\r\n";
    return out;
}

std::string base64Encode(std::string_view bytes) {
    static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
        uint32_t group = 0;
        for (std::size_t k = 0; k < 3; ++k)
            group = group << 8 | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
        for (std::size_t k = 0; k < 4; ++k)
            out += k <= n ? kDigits[(group >> (18 - 6 * k)) & 0x3F] : '=';
    }
    return out;
}

std::string cardToVCard(const CardBook& book, int row) {
    const std::string& name = book.field(row, 3);
    const std::string& nickname = book.field(row, 2);
    const std::string formatted = !name.empty() ? name : !nickname.empty() ? nickname : std::string(kUnnamedCard);
    std::string out = "BEGIN:VCARD\r\nVERSION:3.0\r\n";
    out += vcardLine("UID:" + vcardEscape(book.uid(row)));
    out += vcardLine("FN:" + vcardEscape(formatted));
    out += vcardLine("N:" + vcardEscape(name) + ";;;;");
    addText(out, "NICKNAME", nickname);
    addText(out, "TITLE", book.field(row, 4));
    addText(out, "TEL;TYPE=HOME", book.field(row, 5));
    addText(out, "TEL;TYPE=WORK", book.field(row, 6));
    addText(out, "TEL;TYPE=CELL", book.field(row, 7));
    if (!book.field(row, 9).empty() || !book.field(row, 10).empty())
        out += vcardLine("ADR:;;" + vcardEscape(book.field(row, 9)) + ";;;" + vcardEscape(book.field(row, 10)) + ";");
    addText(out, "EMAIL;TYPE=INTERNET", book.field(row, 11));
    addUri(out, "URL;TYPE=HOME", book.field(row, 12));
    addUri(out, "URL;TYPE=WORK", book.field(row, 13));
    addText(out, "NOTE", noteOf(book, row));
    if (std::optional<CardPicture> picture = cardPicture(book, row))
        out += vcardLine("PHOTO;ENCODING=b;TYPE=" + picture->type + ":" + base64Encode(picture->bytes));
    out += "END:VCARD\r\n";
    return out;
}

std::string cardsToVCards(const CardBook& book) {
    std::string out;
    for (int row = 1; row <= book.count(); ++row)
        out += cardToVCard(book, row);
    return out;
}
