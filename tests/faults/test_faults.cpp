// System calls made to fail under the fault shim (LD_PRELOAD): ENOSPC, EIO, EROFS and EACCES at open,
// write, fsync, rename and read, for every kind of file the program writes and reads. Each time the program
// must report the failure naming the file and the reason, keep every file as it was, and leave no debris.
#include "addressbook/card_book.h"
#include "addressbook/card_vcard_import.h"
#include "app/settings_file.h"
#include "common/data_lock.h"
#include "common/safe_write.h"
#include "common/temp_debris.h"
#include "diary/diary_book.h"
#include "encryptor/lok_file.h"
#include "memo/memo_book.h"
#include "support/cli_runner.h"
#include "support/temp_dir.h"

#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const FakeClock& fixedClock() {
    static const FakeClock clock(LocalDateTime{2003, 6, 15, 14, 30, 0});
    return clock;
}

const std::pair<const char*, int> kErrors[] = {{"ENOSPC", ENOSPC}, {"EIO", EIO}, {"EROFS", EROFS}, {"EACCES", EACCES}};

// The first failure message of a flow, or nullopt when everything reported success.
using Flow = std::function<std::optional<std::string>(const fs::path& dir)>;

struct FileKind {
    const char* name;
    std::function<void(const fs::path&)> fixture;
    Flow flow;
    std::string written;   // the file the flow replaces (its temporary file takes the write-side faults)
    std::string read;      // the file the flow reads first ("" when none)
    bool appended = false; // written in place by appending (no temporary file, no rename)
};

std::optional<std::string> failed(const Result<void>& r) {
    return r ? std::nullopt : std::optional<std::string>(r.error().message());
}
std::optional<std::string> failed(const std::optional<Notice>& n) {
    return n ? std::optional<std::string>(n->text) : std::nullopt;
}

std::string lines(const std::string& prefix, int count, int width) {
    std::string text;
    for (int n = 1; n <= count; ++n)
        text += prefix + std::to_string(n) + std::string(static_cast<std::size_t>(width), 'x') + "\r\n";
    return text;
}

std::string memoBook() {
    std::string text;
    for (int n = 1; n <= 2000; ++n) {
        std::string number = std::to_string(n);
        number.resize(4, ' ');
        text += number + "@@2003061514@@memo " + std::to_string(n) + std::string(20, 'x') + "@@F@@2003061209\r\n";
    }
    return text;
}

std::string cardFile() {
    std::string text;
    for (int n = 1; n <= 600; ++n)
        text += "%" + std::to_string(n) + "%nick%name%t%j%c%a%100000%tel%mob%m@example.org%www.example.org%" +
                std::string(60, 'n') + "%######\r\n";
    return text;
}

void writeFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// A data folder as the program leaves it: each book with its side file of record identities, which a load
// writes when it is missing (and which would otherwise show as a file the flow added).
void settleIdentities(const fs::path& dir) {
    if (fs::exists(dir / "bwl/bwl.cjf"))
        (void)MemoBook().load(dir / "bwl/bwl.cjf");
    if (fs::exists(dir / "txl/txl.cjf"))
        (void)CardBook(dir, fixedClock()).load(false);
}

std::optional<std::string> diaryMonthFixture(const fs::path& dir) {
    DiaryBook diary(fixedClock(), dir);
    if (!diary.LoadMonth("2003", "06", "15", "key").ok())
        return "load";
    return failed(diary.SaveDay("2003", "06", "15", lines("第", 3000, 20), "key"));
}

std::vector<FileKind> fileKinds() {
    auto cards = [](const fs::path& dir) { writeFile(dir / "txl/txl.cjf", cardFile()); };
    return {
        {"settings", [](const fs::path& dir) { writeFile(dir / "pavosz.cjf", "key\r\npw\r\nexample.org\r\n 5 \r\n"); },
         [](const fs::path& dir) -> std::optional<std::string> {
             auto read = readSettingsFile(dir / "pavosz.cjf");
             if (auto* problem = std::get_if<SettingsProblem>(&read))
                 return problem->message;
             SettingsValues values = std::get<SettingsValues>(read);
             values.password3 = "new";
             return failed(writeSettingsFile(dir / "pavosz.cjf", values));
         },
         "pavosz.cjf", "pavosz.cjf"},
        {"memo book", [](const fs::path& dir) { writeFile(dir / "bwl/bwl.cjf", memoBook()); },
         [](const fs::path& dir) -> std::optional<std::string> {
             MemoBook book;
             Result<void> loaded = book.load(dir / "bwl/bwl.cjf");
             book.add("2003061600", "new memo", "2003061514"); // a load that failed must still not be saved
             Result<void> saved = book.save(dir / "bwl/bwl.cjf");
             return loaded ? failed(saved) : failed(loaded);
         },
         "bwl.cjf", "bwl.cjf"},
        {"diary month", [](const fs::path& dir) { diaryMonthFixture(dir); },
         [](const fs::path& dir) -> std::optional<std::string> {
             DiaryBook diary(fixedClock(), dir);
             DiaryReply loaded = diary.LoadMonth("2003", "06", "15", "key");
             std::optional<Notice> saved = diary.SaveDay("2003", "06", "16", "new day", "key");
             return loaded.notice ? failed(loaded.notice) : failed(saved);
         },
         "rj200306.cjf", "rj200306.cjf"},
        {"diary export", [](const fs::path& dir) { diaryMonthFixture(dir); },
         [](const fs::path& dir) -> std::optional<std::string> {
             DiaryBook diary(fixedClock(), dir);
             DiaryReply exported = diary.ExportMonth("2003", "06", "key");
             if (!exported.ok())
                 return failed(exported.notice);
             return failed(diary.SaveExportText(exported.text).notice);
         },
         "rj200306.txt", "rj200306.cjf"},
        {"card file", cards,
         [](const fs::path& dir) -> std::optional<std::string> {
             CardBook book(dir, fixedClock());
             CardLoad loaded = book.load();
             CardEntries entries{};
             entries[0] = "0001";
             entries[1] = "new";
             book.storeCard(1, entries, kNoPhoto); // a load that failed must still not be saved
             Result<void> saved = book.saveAll();
             return loaded.error ? loaded.error->message() : failed(saved);
         },
         "txl.cjf", "txl.cjf"},
        {"deletion log", cards,
         [](const fs::path& dir) -> std::optional<std::string> {
             CardBook book(dir, fixedClock());
             CardLoad loaded = book.load();
             if (loaded.error)
                 return loaded.error->message();
             return failed(book.discard(1));
         },
         "mphs2003.cjf", "txl.cjf", /*appended=*/true},
        {"card export", cards,
         [](const fs::path& dir) -> std::optional<std::string> {
             CardBook book(dir, fixedClock());
             CardLoad loaded = book.load();
             if (loaded.error)
                 return loaded.error->message();
             Result<std::string> exported = book.exportCards({1, 2, 3});
             return exported ? std::nullopt : std::optional<std::string>(exported.error().message());
         },
         "dctxl.cjf", "txl.cjf"},
        {"lok file", [](const fs::path& dir) { writeFile(dir / "doc.txt", lines("plain ", 3000, 30)); },
         [](const fs::path& dir) -> std::optional<std::string> {
             return failed(convertLokFile(dir / "doc.txt", "pass").failure);
         },
         "doc!txt.lok", "doc.txt"},
    };
}

std::map<std::string, std::string> snapshot(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        if (e.is_regular_file() && e.path().filename() != kDataLockFileName) { // the lock file holds no data
            std::ifstream in(e.path(), std::ios::binary);
            files[fs::relative(e.path(), dir).string()] =
                std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        }
    return files;
}

// The files that differ between two snapshots (added, removed or changed), named.
std::string changed(const std::map<std::string, std::string>& before, const std::map<std::string, std::string>& after) {
    std::string names;
    for (const auto& [name, bytes] : after)
        if (!before.count(name) || before.at(name) != bytes)
            names += " " + name + (before.count(name) ? " (changed)" : " (added)");
    for (const auto& [name, bytes] : before)
        if (!after.count(name))
            names += " " + name + " (removed)";
    return names;
}

struct Fault {
    std::string call; // open, write, fsync, rename, read
    bool readSide;    // on the file read first, else on the file written
};

bool bigFile(const fs::path& dir, const std::string& name) {
    for (const auto& e : fs::recursive_directory_iterator(dir))
        if (e.path().filename() == name)
            return e.file_size() > 65536;
    return false;
}

// The QUILLET_FAULT text for a fault on a kind, or "" when the kind makes no such call.
std::string faultRule(const FileKind& kind, const Fault& f, const char* error, const fs::path& dir) {
    if (f.readSide) {
        if (kind.read.empty())
            return {};
        // Big files fail on their second read: midway, after a first chunk was read.
        const bool big = bigFile(dir, kind.read);
        return f.call + ":" + error + ":/" + kind.read + "$" + (big && f.call == "read" ? ":1" : "");
    }
    if (kind.appended)
        return f.call == "rename" ? std::string() : f.call + ":" + error + ":/" + kind.written + "$";
    return f.call + ":" + error + ":/." + kind.written + ".quillet-tmp.";
}

bool shimLoaded() {
    const char* preload = std::getenv("LD_PRELOAD");
    return preload && std::strstr(preload, "quillet_fault_shim");
}

struct Tally {
    int cases = 0, refused = 0;
};

} // namespace

TEST(SystemCallFaults, EveryKindKeepsItsFilesAndNamesFileAndReason) {
    if (!shimLoaded())
        GTEST_SKIP() << "runs under the fault shim (LD_PRELOAD)";
    const Fault faults[] = {{"open", false},   {"write", false}, {"fsync", false},
                            {"rename", false}, {"open", true},   {"read", true}};
    std::map<std::string, Tally> tally; // "call side error"
    for (const FileKind& kind : fileKinds()) {
        TempWorkDir fixture; // made once per kind, copied for each fault
        kind.fixture(fixture.path());
        settleIdentities(fixture.path());
        for (const Fault& f : faults) {
            for (const auto& [errorName, error] : kErrors) {
                TempWorkDir dir;
                fs::copy(fixture.path(), dir.path(),
                         fs::copy_options::recursive | fs::copy_options::overwrite_existing);
                const std::string rule = faultRule(kind, f, errorName, dir.path());
                if (rule.empty())
                    continue;
                const auto before = snapshot(dir.path());
                ::setenv("QUILLET_FAULT", rule.c_str(), 1);
                std::optional<std::string> message = kind.flow(dir.path());
                ::unsetenv("QUILLET_FAULT");
                const std::string where = std::string(kind.name) + " " + rule;
                Tally& t = tally[f.call + (f.readSide ? " (read side) " : " ") + errorName];
                ++t.cases;
                ASSERT_TRUE(message) << where << ": reported success";
                EXPECT_NE(message->find(f.readSide ? kind.read : kind.written), std::string::npos) << where << *message;
                EXPECT_NE(message->find(std::strerror(error)), std::string::npos) << where << ": " << *message;
                const std::string differences = changed(before, snapshot(dir.path()));
                EXPECT_EQ(differences, "") << where;
                t.refused += differences.empty();
            }
        }
    }
    int cases = 0;
    for (const auto& [name, t] : tally) {
        std::printf("  %-28s %3d faults, %3d refused with the file and reason, files kept\n", name.c_str(), t.cases,
                    t.refused);
        cases += t.cases;
    }
    std::printf("  %d faults injected in all\n", cases);
}

TEST(SystemCallFaults, QuilletCliFailsAndKeepsTheFile) {
    if (!shimLoaded())
        GTEST_SKIP() << "runs under the fault shim (LD_PRELOAD)";
    struct Case {
        std::vector<std::string> args;
        std::string input, written, read;
    };
    const Case cases[] = {
        {{"memo", "add", "2003061600", "new memo"}, "", "bwl.cjf", "bwl.cjf"},
        {{"lok", "doc.txt", "--password-stdin"}, "pass\n", "doc!txt.lok", "doc.txt"},
    };
    const Fault faults[] = {{"open", false},   {"write", false}, {"fsync", false},
                            {"rename", false}, {"open", true},   {"read", true}};
    int runs = 0;
    for (const Case& c : cases)
        for (const Fault& f : faults)
            for (const auto& [errorName, error] : kErrors) {
                TempWorkDir dir;
                writeFile(dir / "bwl/bwl.cjf", memoBook());
                writeFile(dir / "doc.txt", lines("plain ", 3000, 30));
                settleIdentities(dir.path());
                const auto before = snapshot(dir.path());
                FileKind kind{"cli", {}, {}, c.written, c.read};
                const std::string rule = faultRule(kind, f, errorName, dir.path());
                ::setenv("QUILLET_FAULT", rule.c_str(), 1);
                CliRun run = runCli(c.args, c.input);
                ::unsetenv("QUILLET_FAULT");
                const std::string where = c.args[0] + " " + rule;
                EXPECT_EQ(run.code, 1) << where;
                EXPECT_NE(run.err.find(f.readSide ? c.read : c.written), std::string::npos) << where << run.err;
                EXPECT_NE(run.err.find(std::strerror(error)), std::string::npos) << where << run.err;
                EXPECT_EQ(changed(before, snapshot(dir.path())), "") << where;
                ++runs;
            }
    std::printf("  %d quillet-cli runs under faults\n", runs);
}

// Every printing command says when its output could not be written (exit 1) and ends quietly when the reader
// went away; one that cannot read its file says so (exit 1), whatever it prints.
TEST(SystemCallFaults, QuilletCliSaysWhenItsOutputOrItsFileFails) {
    if (!shimLoaded())
        GTEST_SKIP() << "runs under the fault shim (LD_PRELOAD)";
    TempWorkDir dir;
    writeFile(dir / "bwl/bwl.cjf", memoBook());
    writeFile(dir / "txl/txl.cjf", cardFile());
    const std::vector<std::vector<std::string>> printing = {{"memo", "list"},
                                                            {"memo", "ics"},
                                                            {"memo", "due", "2003-06-15T15"},
                                                            {"cards", "list"},
                                                            {"cards", "vcard"},
                                                            {"cards", "export"},
                                                            {"calendar", "--tsv", "2004-01-01", "2004-12-31"},
                                                            {"month", "2003", "06"}};
    settleIdentities(dir.path());
    const auto before = snapshot(dir.path());
    for (const auto& args : printing) {
        const std::string where = args[0] + " " + args[1];
        for (const char* error : {"ENOSPC", "EIO"}) {
            ::setenv("QUILLET_FAULT", (std::string("write:") + error + ":/out$").c_str(), 1);
            CliRun run = runCli(args);
            EXPECT_EQ(run.code, 1) << where << " " << error;
            EXPECT_NE(run.err.find("标准输出"), std::string::npos) << where << run.err;
        }
        ::setenv("QUILLET_FAULT", "write:EPIPE:/out$", 1);
        CliRun gone = runCli(args);
        EXPECT_EQ(gone.code, 0) << where;
        EXPECT_EQ(gone.err, "") << where;
        if (args[0] == "memo" || args[0] == "cards") {
            const std::string file = args[0] == "memo" ? "bwl.cjf" : "txl.cjf";
            ::setenv("QUILLET_FAULT", ("open:EACCES:/" + file + "$").c_str(), 1);
            CliRun unread = runCli(args);
            EXPECT_EQ(unread.code, 1) << where;
            EXPECT_NE(unread.err.find(file), std::string::npos) << where << unread.err;
            EXPECT_NE(unread.err.find("没有权限"), std::string::npos) << where << unread.err;
        }
        ::unsetenv("QUILLET_FAULT");
    }
    EXPECT_EQ(changed(before, snapshot(dir.path())), " dctxl.cjf (added)");
}

// A file conversion and a vCard import killed midway (the process ends at a chosen step, as under kill -9)
// leave a temporary file holding the converted text, and copied photos no card names. The next start-up sweep
// removes both, wherever the conversion ran, and nothing else.
TEST(KilledSaves, TheStartUpSweepTakesWhatAKilledConversionOrImportLeft) {
    TempWorkDir dir;
    writeFile(dir / "data/txl/txlphoto/vcf0001.jpg", "the user's own picture");
    writeFile(dir / "docs/secret.txt", lines("plain ", 3000, 30));
    const std::string gif = "PHOTO;ENCODING=b;TYPE=GIF:R0lGODlhAQABAAAAACw=\r\n";
    const std::string vcards =
        "BEGIN:VCARD\r\nFN:A\r\n" + gif + "END:VCARD\r\nBEGIN:VCARD\r\nFN:B\r\n" + gif + "END:VCARD\r\n";
    auto killedAt = [](const char* step, const char* name, const std::function<void()>& work) {
        const pid_t child = ::fork();
        if (child == 0) {
            setSafeWriteFaultForTests([=](std::string_view s, const fs::path& target) {
                if (s == step && target.string().find(name) != std::string::npos)
                    ::_exit(9);
                return std::string();
            });
            work();
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_EQ(WEXITSTATUS(status), 9) << name;
    };
    const auto before = snapshot(dir.path());
    killedAt("rename", "secret!txt.lok", [&] { convertLokFile(dir / "docs/secret.txt", "pass"); });
    killedAt("write", ".vcf02.gif", [&] {
        CardBook book(dir / "data", fixedClock());
        book.load(false);
        importVCards(book, vcards);
    });
    EXPECT_NE(changed(before, snapshot(dir.path())), "") << "the kills left nothing to sweep";
    sweepDataFolders(dir / "data");
    EXPECT_EQ(changed(before, snapshot(dir.path())), "");
}
