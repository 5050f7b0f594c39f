// quillet-cli cards list|vcard|export [FIELD...]|import FILE.vcf: the address book of the working directory
// (txl/txl.cjf) as a table, as vCard 3.0, or as the boxed export text (also written to dctxl.cjf, as the window
// does); or the cards of a vCard file appended to it.
// cards add|edit N|delete N: what the window's 新建页, 编辑页 and 丢弃 do, each one load, change and save under the
// book's own rules (entry widths, no "%" or line breaks, 1,000 cards, the deletion log).
#include "addressbook/card_book.h"
#include "addressbook/card_export.h"
#include "addressbook/card_notices.h"
#include "addressbook/card_vcard.h"
#include "addressbook/card_vcard_import.h"
#include "cli/cli_registry.h"
#include "common/data_paths.h"
#include "common/safe_write.h"

#include <iostream>
#include <map>
#include <optional>

namespace {

// The book as read; a missing card file reads as an empty book and is not created by these commands.
std::optional<int> loadBook(CardBook& book) {
    CardLoad loaded = book.load(false);
    if (loaded.error)
        return cliFailure("cards: " + loaded.error->path + ": " + loaded.error->reason);
    return std::nullopt;
}

std::optional<std::vector<int>> exportFields(const CliArgs& args) {
    if (args.size() == 1)
        return commonExportFields();
    std::vector<int> fields;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.empty() || arg.size() > 2 || arg.find_first_not_of("0123456789") != std::string::npos)
            return std::nullopt;
        const int field = std::stoi(arg);
        if (field < 1 || field > kCardEntryFields)
            return std::nullopt;
        fields.push_back(field);
    }
    return fields;
}

// The export text with plain line ends for the terminal (the file keeps CR LF).
std::string withNewlines(std::string text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '\r')
            out += c;
    return out;
}

void printList(const char* heading, const std::vector<std::string>& lines) {
    if (lines.empty())
        return;
    std::cout << heading << " (" << lines.size() << "):\n";
    for (const std::string& line : lines)
        std::cout << "  " << line << '\n';
}

int importCards(CardBook& book, const std::string& file) {
    Result<std::string> bytes = readFileBytes(cliUserPath(file));
    if (!bytes)
        return cliFailure("cards import: " + bytes.error().path + ": " + bytes.error().reason);
    if (countVCards(*bytes) == 0)
        return cliFailure("cards import: " + file + " holds no vCard (BEGIN:VCARD ... END:VCARD); nothing imported");
    CardLoad loaded = book.load(true);
    if (loaded.error)
        return cliFailure("cards import: " + loaded.error->path + ": " + loaded.error->reason);
    Result<CardImportReport> report = importVCards(book, *bytes);
    if (!report)
        return cliFailure("cards import: nothing imported: " + report.error().path + ": " + report.error().reason);
    std::cout << "imported " << report->imported << " cards, skipped " << report->skipped.size() << ", refused "
              << report->refused.size() << ", changed fields " << report->changed.size() << '\n';
    printList("skipped", report->skipped);
    printList("refused, the book holds 1000 cards", report->refused);
    printList("changed", report->changed);
    printList("left out, no field for them", report->leftOut);
    printList("read with doubt, please check", report->doubts);
    return 0;
}

// FIELD=VALUE: FIELD is a number 2..13 or the field's caption (or export header) as the window shows it.
std::optional<int> fieldNumber(std::string_view name) {
    if (!name.empty() && name.size() <= 2 && name.find_first_not_of("0123456789") == std::string_view::npos) {
        const int number = std::stoi(std::string(name));
        return number >= 2 && number <= kCardEntryFields ? std::optional<int>(number) : std::nullopt;
    }
    for (int number = 2; number <= kCardEntryFields; ++number) {
        const CardField& field = cardFields()[static_cast<std::size_t>(number - 1)];
        if (name == field.caption || name == trimSpaces(field.header))
            return number;
    }
    return std::nullopt;
}

using FieldValues = std::map<int, std::string>;

// The FIELD=VALUE arguments from `first` on; a usage error (already printed) leaves `code` set.
std::optional<FieldValues> fieldValues(const CliArgs& args, std::size_t first, int& code) {
    FieldValues values;
    for (std::size_t i = first; i < args.size(); ++i) {
        const std::size_t eq = args[i].find('=');
        std::optional<int> number = eq == std::string::npos ? std::nullopt : fieldNumber(args[i].substr(0, eq));
        if (!number) {
            code = cliUsageError("cards: '" + args[i] +
                                 "' is not FIELD=VALUE with FIELD 2-13 or a caption (姓名, 手机...)");
            return std::nullopt;
        }
        if (!values.emplace(*number, args[i].substr(eq + 1)).second) {
            code = cliUsageError("cards: field " + std::to_string(*number) + " is given twice");
            return std::nullopt;
        }
    }
    if (values.empty())
        code = cliUsageError("cards: no FIELD=VALUE given");
    return values.empty() ? std::nullopt : std::optional<FieldValues>(std::move(values));
}

// The row of the card whose serial (field 1) has the numeric value `serial`.
std::optional<int> rowOfSerial(const CardBook& book, const std::string& serial, int& code) {
    if (serial.empty() || serial.size() > 4 || serial.find_first_not_of("0123456789") != std::string::npos) {
        code = cliUsageError("cards: the card's serial must be a number (as cards list shows it)");
        return std::nullopt;
    }
    std::vector<int> rows;
    for (int row = 1; row <= book.count(); ++row) {
        const std::string own = trimSpaces(book.field(row, 1));
        if (!own.empty() && own.find_first_not_of("0123456789") == std::string::npos && own.size() <= 4 &&
            std::stoi(own) == std::stoi(serial))
            rows.push_back(row);
    }
    if (rows.size() != 1) {
        code = cliFailure("cards: " + std::string(rows.empty() ? "no card has" : "several cards have") + " serial " +
                          serial);
        return std::nullopt;
    }
    return rows.front();
}

// Stores the card of `row` with `values` over its present fields and saves the book; prints the card's serial.
int storeAndSave(CardBook& book, int row, const FieldValues& values, const std::string& what) {
    CardEntries entries;
    for (int number = 1; number <= kCardEntryFields; ++number)
        entries[static_cast<std::size_t>(number - 1)] = book.field(row, number);
    for (const auto& [number, value] : values) {
        if (std::optional<Notice> tooWide = CardBook::checkWidth(number, value))
            return cliFailure(what + ": " + tooWide->text);
        entries[static_cast<std::size_t>(number - 1)] = value;
    }
    const std::string photo = row > book.count() ? std::string(kNoPhoto) : book.field(row, kPhotoField);
    if (std::optional<Notice> refusal = book.storeCard(row, entries, photo))
        return cliFailure(what + ": " + refusal->text);
    if (row > book.count())
        book.addCard();
    if (Result<void> saved = book.saveAll(); !saved)
        return cliFailure(what + ": " + saved.error().path + ": " + saved.error().reason);
    std::cout << entries[0] << '\n';
    return 0;
}

int editCards(CardBook& book, const CliArgs& args) {
    const std::string& verb = args[0];
    int code = 0;
    const std::size_t first = verb == "add" ? 1 : 2;
    if (verb != "add" && args.size() < 2)
        return cliUsageError("cards " + verb + " needs the card's serial");
    if (verb == "delete" && args.size() != 2)
        return cliUsageError("cards delete takes only the card's serial");
    std::optional<FieldValues> values = verb == "delete" ? FieldValues{} : fieldValues(args, first, code);
    if (!values)
        return code;
    if (CardLoad loaded = book.load(verb == "add"); loaded.error)
        return cliFailure("cards " + verb + ": " + loaded.error->path + ": " + loaded.error->reason);
    if (verb == "add") {
        if (book.full())
            return cliFailure("cards add: " + bookFullNotice().text);
        (*values)[1] = newSerialNumber(book.count());
        return storeAndSave(book, book.count() + 1, *values, "cards add");
    }
    std::optional<int> row = rowOfSerial(book, args[1], code);
    if (!row)
        return code;
    if (verb == "edit")
        return storeAndSave(book, *row, *values, "cards edit");
    bool gone = false;
    if (Result<void> done = book.discard(*row, &gone); !done)
        return cliFailure("cards delete: " + done.error().path + ": " + done.error().reason);
    if (gone)
        return cliFailure("cards delete: " + cardGoneNotice().text);
    return 0;
}

int runCards(const CliArgs& args) {
    if (args.empty())
        return cliUsageError("cards: list, vcard, export, import, add, edit or delete is missing");
    const std::string& verb = args[0];
    if (verb == "import" && args.size() != 2)
        return cliUsageError("cards import needs one vCard file");
    if ((verb == "list" || verb == "vcard") && args.size() > 1)
        return cliUsageError("cards " + verb + ": unexpected argument '" + args[1] + "'");
    SystemClock clock;
    CardBook book(std::filesystem::current_path(), clock);
    if (verb == "add" || verb == "edit" || verb == "delete")
        return editCards(book, args);
    if (verb == "list" || verb == "vcard") {
        if (std::optional<int> failed = loadBook(book))
            return *failed;
        if (verb == "vcard") {
            std::cout << cardsToVCards(book);
            return 0;
        }
        for (int k = 1; k <= book.count(); ++k)
            std::cout << book.field(k, 1) << '\t' << book.field(k, 2) << '\t' << book.field(k, 3) << '\n';
        return 0;
    }
    if (verb == "import")
        return importCards(book, args[1]);
    if (verb != "export")
        return cliUsageError("cards: unknown command '" + verb + "'");
    std::optional<std::vector<int>> fields = exportFields(args);
    if (!fields)
        return cliUsageError("cards export: fields are numbers 1 to 13");
    if (std::optional<int> failed = loadBook(book))
        return *failed;
    Result<std::string> text = book.exportCards(*fields);
    if (!text) {
        // A folder that cannot be written still gives the text; only its copy in dctxl.cjf is missing.
        std::cout << withNewlines(buildExportText(book, *fields, clock.now()));
        return cliFailure("cards export: the text is printed but not kept in " + text.error().path + ": " +
                          text.error().reason);
    }
    std::cout << withNewlines(*text);
    return 0;
}

CliRegistrar reg("cards",
                 {"  quillet-cli cards list|vcard|export [FIELD...]   (fields 1-13, default 1 3 4 5 6 7 8)\n"
                  "  quillet-cli cards import FILE.vcf\n"
                  "  quillet-cli cards add FIELD=VALUE...        (FIELD 2-13 or its caption: 姓名=张三 手机=139...)\n"
                  "  quillet-cli cards edit N FIELD=VALUE...     (N the card's serial; VALUE empty clears)\n"
                  "  quillet-cli cards delete N                  (logged in txl/mphsYYYY.cjf)\n",
                  runCards});

} // namespace
