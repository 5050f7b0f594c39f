#include "tests/crash/crash_kinds.h"

#include "addressbook/card_book.h"
#include "app/settings_file.h"
#include "common/clock.h"
#include "diary/diary_book.h"
#include "encryptor/lok_file.h"
#include "memo/memo_book.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

const FakeClock& fixedClock() {
    static const FakeClock clock(LocalDateTime{2003, 6, 15, 14, 30, 0});
    return clock;
}

void must(bool ok, const std::string& what) {
    if (!ok)
        throw std::runtime_error(what);
}

void writeWhole(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string memoBookBytes(int memos) {
    std::string text;
    for (int n = 1; n <= memos; ++n) {
        std::string number = std::to_string(n);
        number.resize(4, ' ');
        text += number + "@@2003061514@@memo " + std::to_string(n) + " " + std::string(40, 'x') + "@@F@@2003061209\r\n";
    }
    return text;
}

CardEntries cardEntries(int version) {
    CardEntries e{};
    for (int i = 0; i < kCardEntryFields; ++i)
        e[static_cast<std::size_t>(i)] = "v" + std::to_string(version) + "f" + std::to_string(i + 1);
    e[0] = "0001";
    return e;
}

std::string cardFileBytes(int cards) {
    std::string text;
    for (int n = 1; n <= cards; ++n)
        text += "%" + std::to_string(n) + "%nick" + std::to_string(n) +
                "%name%title%job%company%address%100000%tel%"
                "mobile%mail@example.org%www.example.org%" +
                std::string(80, 'n') + "%######\r\n";
    return text;
}

// A kind whose files must equal, after a kill, all those of version 0 or all those of version 1.
CrashKind versioned(const fs::path& ref, std::string name, std::vector<std::string> files,
                    std::function<void(const fs::path&)> fixture, std::function<void(const fs::path&, int)> save,
                    std::function<std::string(const fs::path&)> extra = {}) {
    auto prepare = [fixture, save](const fs::path& dir) {
        fs::remove_all(dir);
        fs::create_directories(dir);
        fixture(dir);
        save(dir, 0);
    };
    const fs::path refDir = ref / name;
    prepare(refDir);
    std::vector<std::string> v0, v1;
    for (const std::string& f : files)
        v0.push_back(readWhole(refDir / f));
    save(refDir, 1);
    for (const std::string& f : files)
        v1.push_back(readWhole(refDir / f));
    auto check = [files, v0, v1, extra](const fs::path& dir, std::string& outcome) -> std::string {
        std::vector<std::string> now;
        for (const std::string& f : files) {
            if (!fs::exists(dir / f))
                return f + " is missing";
            now.push_back(readWhole(dir / f));
        }
        outcome = now == v0 ? "version 0" : now == v1 ? "version 1" : "";
        if (outcome.empty())
            return "neither version: " + files.front() + " has " + std::to_string(now.front().size()) + " bytes";
        return extra ? extra(dir) : std::string();
    };
    return CrashKind{std::move(name), prepare, save, check};
}

CrashKind lokKind(const fs::path& ref, std::string name, std::size_t size) {
    const std::string plainName = "doc.txt", lokName = "doc!txt.lok", password = "pass";
    std::string plain(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        plain[i] = static_cast<char>('a' + (i * 7 + i / 13) % 26);
    // The scrambled bytes, made once by the conversion itself.
    const fs::path refDir = ref / name;
    writeWhole(refDir / plainName, plain);
    must(!convertLokFile(refDir / plainName, password).failure, "reference conversion");
    const std::string scrambled = readWhole(refDir / lokName);

    auto prepare = [=](const fs::path& dir) {
        fs::remove_all(dir);
        writeWhole(dir / plainName, plain);
    };
    // Converts whichever of the pair is there (version says nothing: the way follows the file).
    auto save = [=](const fs::path& dir, int) {
        const fs::path from = fs::exists(dir / plainName) ? dir / plainName : dir / lokName;
        LokOutcome out = convertLokFile(from, password);
        must(!out.failure, out.failure ? out.failure->text : "");
    };
    auto check = [=](const fs::path& dir, std::string& outcome) -> std::string {
        const bool hasPlain = fs::exists(dir / plainName), hasLok = fs::exists(dir / lokName);
        if (hasPlain && readWhole(dir / plainName) != plain)
            return "the plain file is damaged";
        if (hasLok && readWhole(dir / lokName) != scrambled)
            return "the .lok file is damaged";
        if (!hasPlain && !hasLok)
            return "both files are gone";
        outcome = hasPlain && hasLok ? "both whole" : "one whole";
        // Both whole: killed between the rename and the removal; the user removes the spare copy.
        if (hasPlain && hasLok)
            fs::remove(dir / lokName);
        return {};
    };
    return CrashKind{std::move(name), prepare, save, check};
}

} // namespace

std::string readWhole(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<CrashKind> crashKinds(const fs::path& ref) {
    std::vector<CrashKind> kinds;
    kinds.push_back(versioned(
        ref, "settings", {"pavosz.cjf"}, [](const fs::path&) {},
        [](const fs::path& dir, int v) {
            SettingsValues values{"diarykey" + std::to_string(v), "access" + std::to_string(v),
                                  "https://www.example.org/" + std::string(200, v ? 'b' : 'a'),
                                  static_cast<int16_t>(v ? 30 : 5)};
            must(writeSettingsFile(dir / "pavosz.cjf", values).ok(), "settings save");
        }));
    kinds.push_back(versioned(
        ref, "memo book", {"bwl/bwl.cjf"},
        [](const fs::path& dir) { writeWhole(dir / "bwl/bwl.cjf", memoBookBytes(3000)); },
        [](const fs::path& dir, int v) {
            MemoBook book;
            must(book.load(dir / "bwl/bwl.cjf").ok(), "memo load");
            must(book.change(1, "2003061514", "version " + std::to_string(v), "2003061514"), "memo change");
            must(book.save(dir / "bwl/bwl.cjf").ok(), "memo save");
        }));
    const std::string key = "diarykey";
    kinds.push_back(versioned(
        ref, "diary month", {"rjb/rj200306.cjf"}, [](const fs::path&) {},
        [key](const fs::path& dir, int v) {
            DiaryBook diary(fixedClock(), dir);
            std::string entry;
            for (int line = 0; line < 4000; ++line)
                entry += "第" + std::to_string(line) + "行 version " + std::to_string(v) + "\r\n";
            must(diary.LoadMonth("2003", "06", "15", key).ok(), "diary load");
            must(!diary.SaveDay("2003", "06", "15", entry, key), "diary save");
        },
        [key](const fs::path& dir) -> std::string {
            StoredMonth month = readStoredMonth(dir, "2003", "06", key, 15);
            return month.read.readable && !month.read.shownEntry.empty() ? "" : "the month does not decipher";
        }));
    kinds.push_back(versioned(
        ref, "card file", {"txl/txl.cjf"},
        [](const fs::path& dir) { writeWhole(dir / "txl/txl.cjf", cardFileBytes(800)); },
        [](const fs::path& dir, int v) {
            CardBook book(dir, fixedClock());
            must(!book.load().error, "card load");
            must(!book.storeCard(1, cardEntries(v), kNoPhoto), "card store");
            must(book.saveAll().ok(), "card save");
        }));
    // Version 1 adds a card, version 0 discards it again: the log only grows, by whole lines.
    kinds.push_back(versioned(
        ref, "deletion log", {"txl/txl.cjf"},
        [](const fs::path& dir) { writeWhole(dir / "txl/txl.cjf", cardFileBytes(300)); },
        [](const fs::path& dir, int v) {
            CardBook book(dir, fixedClock());
            must(!book.load().error, "card load");
            // Every save writes: a version already in place is saved again as it is.
            if (v == 1 && book.count() == 300) {
                book.addCard();
                must(!book.storeCard(book.count(), cardEntries(7), kNoPhoto), "card store");
            } else if (v == 0 && book.count() > 300) {
                must(book.discard(book.count()).ok(), "card discard");
                return;
            }
            must(book.saveAll().ok(), "card save");
        },
        [](const fs::path& dir) -> std::string {
            const std::string log = readWhole(dir / "txl/mphs2003.cjf");
            const std::size_t first = log.find("\r\n");
            if (log.empty())
                return {};
            const std::string line = log.substr(0, first + 2);
            if (first == std::string::npos || log.size() % line.size() != 0)
                return "the log ends in a partial line";
            for (std::size_t at = 0; at < log.size(); at += line.size())
                if (log.compare(at, line.size(), line) != 0)
                    return "the log holds a damaged line";
            return {};
        }));
    kinds.push_back(versioned(
        ref, "card export", {"dctxl.cjf"},
        [](const fs::path& dir) { writeWhole(dir / "txl/txl.cjf", cardFileBytes(800)); },
        [](const fs::path& dir, int v) {
            CardBook book(dir, fixedClock());
            must(!book.load().error, "card load");
            must(book.exportCards(v ? std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10} : std::vector<int>{1, 2, 3}).ok(),
                 "card export");
        }));
    kinds.push_back(lokKind(ref, "lok small", 64 * 1024));
    kinds.push_back(lokKind(ref, "lok 3 MiB", 3 * 1024 * 1024));
    return kinds;
}
