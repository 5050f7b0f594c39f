#include "addressbook/card_export.h"

#include "common/data_paths.h"
#include "common/safe_write.h"
#include "common/text_codec.h"

#include <algorithm>

namespace {

constexpr std::string_view kEol = "\r\n";

// A piece of the export in both forms: the text (UTF-8) for the view and its GB18030 bytes for the file.
struct Piece {
    std::string text;
    std::string bytes;
};

Piece piece(std::string text) {
    std::string bytes = isAscii(text) ? text : encodeGb(text);
    return {std::move(text), std::move(bytes)};
}

// The GB18030 bytes of many texts from one conversion: joined by a control character, which no multi-byte
// GB18030 sequence contains, and split again. Texts that hold that character are encoded one by one.
std::vector<std::string> encodeEach(const std::vector<std::string_view>& texts) {
    constexpr char kJoint = '\x1F';
    std::string joined;
    joined.reserve(texts.size() * 16);
    for (std::string_view t : texts) {
        if (t.find(kJoint) != std::string_view::npos) {
            std::vector<std::string> one;
            for (std::string_view each : texts)
                one.push_back(encodeGb(each));
            return one;
        }
        joined += t;
        joined += kJoint;
    }
    const std::string bytes = encodeGb(joined);
    std::vector<std::string> out;
    out.reserve(texts.size());
    for (std::size_t start = 0, end; (end = bytes.find(kJoint, start)) != std::string::npos; start = end + 1)
        out.emplace_back(bytes, start, end - start);
    return out;
}

// The size of the GB18030 character at `i`: an ASCII byte 1, a four-byte character 4, any other 2.
std::size_t charSize(std::string_view bytes, std::size_t i) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x81)
        return 1;
    const bool fourBytes = i + 3 < bytes.size() && bytes[i + 1] >= 0x30 && bytes[i + 1] <= 0x39;
    return fourBytes ? 4 : 2;
}

// Display columns of GB18030 bytes: an ASCII byte 1, a two-byte or a four-byte character 2.
int displayColumns(std::string_view bytes) {
    int columns = 0;
    for (std::size_t i = 0; i < bytes.size(); i += charSize(bytes, i))
        columns += charSize(bytes, i) == 1 ? 1 : 2;
    return columns;
}

// The bytes of the longest start of a value that fits in `width` display columns, never cut inside a character.
std::size_t fittingBytes(std::string_view bytes, int width) {
    std::size_t i = 0;
    for (int columns = 0; i < bytes.size(); i += charSize(bytes, i)) {
        columns += charSize(bytes, i) == 1 ? 1 : 2;
        if (columns > width)
            break;
    }
    return std::min(i, bytes.size());
}

// The export is built in both forms at once: the cells are encoded together (a cell's byte count is its
// display width but for four-byte characters) and each fixed piece once, so the large text never goes through the
// converter whole.
struct ExportBuilder {
    Piece out;
    void add(const Piece& p) {
        out.text += p.text;
        out.bytes += p.bytes;
    }
    // The value followed by blanks up to the column width; a wider value is cut at the column's width, so
    // the table keeps its shape.
    void addCell(std::string_view text, std::string_view bytes, int width) {
        if (displayColumns(bytes) > width) {
            const std::string fitting(bytes.substr(0, fittingBytes(bytes, width)));
            return addCell(decodeGb(fitting), fitting, width);
        }
        out.text += text;
        out.bytes += bytes;
        const auto blanks = static_cast<std::size_t>(std::max(0, width - displayColumns(bytes)));
        out.text.append(blanks, ' ');
        out.bytes.append(blanks, ' ');
    }
};

std::vector<int> selectedInOrder(const std::vector<int>& fields) {
    std::vector<int> selected;
    for (int c : fields)
        if (c >= 1 && c <= kCardEntryFields)
            selected.push_back(c);
    std::sort(selected.begin(), selected.end());
    selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
    return selected;
}

// "┌──┬────┬────────┐" and its kin: each column's bar is "─" repeated half its width.
Piece borderLine(const std::vector<int>& selected, std::string_view left, std::string_view joint,
                 std::string_view remarksEnd) {
    std::string line(left);
    for (int c : selected) {
        for (int i = 0; i < cardFields()[c - 1].width / 2; ++i)
            line += "─";
        line += joint;
    }
    line += remarksEnd;
    line += kEol;
    return piece(std::move(line));
}

Piece buildExport(const CardBook& book, const std::vector<int>& fields, const LocalDateTime& today) {
    const std::vector<int> selected = selectedInOrder(fields);
    const Piece rule = borderLine(selected, "├", "┼", "────────┤");
    const Piece bar = piece("│");
    const Piece remarks = piece("│                │" + std::string(kEol));
    ExportBuilder b;
    // A card's row is about as long as a rule (its cells pad to the same widths): reserving room for them
    // all saves the large text from being copied again and again as it grows.
    const std::size_t lines = 2 * static_cast<std::size_t>(book.count()) + 6;
    b.out.text.reserve(lines * (rule.text.size() + 16));
    b.out.bytes.reserve(lines * (rule.bytes.size() + 16));
    b.add(piece(std::string(26, ' ') + "通讯录(" + shortDateText(today) + ")" + std::string(kEol)));
    b.add(borderLine(selected, "┌", "┬", "────────┐"));
    b.add(bar);
    for (int c : selected) {
        const Piece header = piece(std::string(cardFields()[c - 1].header));
        b.addCell(header.text, header.bytes, cardFields()[c - 1].width);
        b.add(bar);
    }
    b.add(piece("备注            │" + std::string(kEol)));
    b.add(rule);
    std::vector<std::string_view> cells;
    cells.reserve(static_cast<std::size_t>(book.count()) * selected.size());
    for (int r = 1; r <= book.count(); ++r)
        for (int c : selected)
            cells.push_back(book.field(r, c));
    const std::vector<std::string> cellBytes = encodeEach(cells);
    for (int r = 1, i = 0; r <= book.count(); ++r) {
        for (int c : selected) {
            b.add(bar);
            b.addCell(cells[i], cellBytes[i], cardFields()[c - 1].width);
            ++i;
        }
        b.add(remarks);
        b.add(r < book.count() ? rule : borderLine(selected, "└", "┴", "────────┘"));
    }
    return std::move(b.out);
}

} // namespace

std::string shortDateText(const LocalDateTime& date) {
    return std::to_string(date.year) + "-" + std::to_string(date.month) + "-" + std::to_string(date.day);
}

std::vector<int> commonExportFields() {
    return {1, 3, 4, 5, 6, 7, 8};
}

std::string buildExportText(const CardBook& book, const std::vector<int>& fields, const LocalDateTime& today) {
    return buildExport(book, fields, today).text;
}

Result<std::string> CardBook::exportCards(const std::vector<int>& fields) const {
    Piece exported = buildExport(*this, fields, m_clock.now());
    // The whole text is written as one more line, so the file ends with an extra CR LF.
    exported.bytes += kEol;
    if (Result<void> written = writeFileAtomic(exportPath(), exported.bytes, FileAccess::PrivateNew); !written)
        return written.error();
    return std::move(exported.text);
}
