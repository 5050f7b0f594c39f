// quillet-cli cards list|vcard|export [FIELD...]: the address book of the working directory (txl/txl.cjf)
// as a table, as vCard 3.0, or as the boxed export text (also written to dctxl.cjf, as the window does).
#include "addressbook/card_book.h"
#include "addressbook/card_export.h"
#include "addressbook/card_vcard.h"
#include "cli/cli_registry.h"
#include "common/data_paths.h"

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

int runCards(const CliArgs& args) {
    if (args.empty())
        return cliUsageError("cards: list, vcard or export is missing");
    const std::string& verb = args[0];
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
    if (verb != "export")
        return cliUsageError("cards: unknown command '" + verb + "'");
    std::optional<std::vector<int>> fields = exportFields(args);
    if (!fields)
        return cliUsageError("cards export: fields are numbers 1 to 13");
    if (std::optional<int> failed = loadBook(book))
        return *failed;
    Result<std::string> text = book.exportCards(*fields);
    if (!text)
        return cliFailure("cards export: " + text.error().path + ": " + text.error().reason);
    std::cout << withNewlines(*text);
    return 0;
}

CliRegistrar reg("cards", {"  quillet-cli cards list|vcard|export [FIELD...]   (fields 1-13, default 1 3 4 5 6 7 8)\n",
                           runCards});

} // namespace
