// quillet-cli cards list|vcard|export [FIELD...]|import FILE.vcf: the address book of the working directory
// (txl/txl.cjf) as a table, as vCard 3.0, or as the boxed export text (also written to dctxl.cjf, as the window
// does); or the cards of a vCard file appended to it.
#include "addressbook/card_book.h"
#include "addressbook/card_export.h"
#include "addressbook/card_vcard.h"
#include "addressbook/card_vcard_import.h"
#include "cli/cli_registry.h"
#include "common/data_paths.h"
#include "common/safe_write.h"

#include <iostream>
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
    return 0;
}

int runCards(const CliArgs& args) {
    if (args.empty())
        return cliUsageError("cards: list, vcard, export or import is missing");
    const std::string& verb = args[0];
    if (verb == "import" && args.size() != 2)
        return cliUsageError("cards import needs one vCard file");
    if ((verb == "list" || verb == "vcard") && args.size() > 1)
        return cliUsageError("cards " + verb + ": unexpected argument '" + args[1] + "'");
    SystemClock clock;
    CardBook book(std::filesystem::current_path(), clock);
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

CliRegistrar reg("cards", {"  quillet-cli cards list|vcard|export [FIELD...]   (fields 1-13, default 1 3 4 5 6 7 8)\n"
                           "  quillet-cli cards import FILE.vcf\n",
                           runCards});

} // namespace
