// quillet-cli memo: list, add, due and ics on a memo file in a temporary working folder.
#include "memo/memo_line.h"
#include "support/build_paths.h"
#include "support/cli_runner.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

void writeMemos(const TempWorkDir& dir, std::initializer_list<std::string> lines) {
    std::string bytes;
    for (const std::string& l : lines)
        bytes += l + "\r\n";
    dir.write("bwl/bwl.cjf", gb(bytes));
}

TEST(CliMemo, ListPrintsNumberDueFlagAndTextTabSeparated) {
    TempWorkDir dir;
    writeMemos(dir, {"1   @@2024031514@@开会@@F@@2024030109", "short", "3   @@2024031609@@a@@b@@T@@2024030109"});
    CliRun r = runCli({"memo", "list"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "1\t2024031514\tF\t开会\n3\t2024031609\tT\ta@@b\n");
    EXPECT_NE(r.err.find("line 2"), std::string::npos);
}

TEST(CliMemo, ListOfAMissingFileIsEmpty) {
    TempWorkDir dir;
    CliRun r = runCli({"memo", "list"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "");
}

TEST(CliMemo, AddWritesTheLineAsTheMemoBookDoes) {
    TempWorkDir dir;
    writeMemos(dir, {"1   @@2024031514@@开会@@F@@2024030109"});
    CliRun r = runCli({"memo", "add", "2024040108", "交", "报告"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "2\n");
    std::string file = dir.read("bwl/bwl.cjf");
    const std::string head = gb("1   @@2024031514@@开会@@F@@2024030109\r\n2   @@2024040108@@交 报告@@F@@");
    ASSERT_EQ(file.size(), head.size() + 12);
    EXPECT_EQ(file.substr(0, head.size()), head);
    EXPECT_TRUE(isPickerDue(file.substr(head.size(), 10))); // the stamp: now, by the hour
    EXPECT_EQ(file.substr(file.size() - 2), "\r\n");
}

TEST(CliMemo, AddCreatesTheFolderAndPutsLineBreaksOnOneLine) {
    TempWorkDir dir;
    CliRun r = runCli({"memo", "add", "2024040124", "一\n二"});
    EXPECT_EQ(r.code, 0) << r.err;
    const std::string head = gb("1   @@2024040124@@一 二@@F@@");
    EXPECT_EQ(dir.read("bwl/bwl.cjf").substr(0, head.size()), head);
}

TEST(CliMemo, BadArgumentsGiveCodeTwoAndChangeNothing) {
    TempWorkDir dir;
    for (auto args : std::vector<std::vector<std::string>>{{"memo"},
                                                           {"memo", "add", "202404010", "x"},
                                                           {"memo", "add", "2024040125", "x"},
                                                           {"memo", "add", "2024040108", ""},
                                                           {"memo", "add", "2024040108"},
                                                           {"memo", "due", "2024-02-30T10"},
                                                           {"memo", "due", "2024-02-03T24"},
                                                           {"memo", "due", "2024-02-03"},
                                                           {"memo", "list", "x"},
                                                           {"memo", "nosuch"}}) {
        CliRun r = runCli(args);
        EXPECT_EQ(r.code, 2) << args.back();
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
    EXPECT_FALSE(dir.exists("bwl"));
}

TEST(CliMemo, DueListsWhatTheReminderWouldAnnounce) {
    TempWorkDir dir;
    writeMemos(dir, {"1   @@2024031515@@later@@F@@2024030109", "2   @@2024031514@@now@@F@@2024030109",
                     "3   @@2024031414@@cancelled@@T@@2024030109", "4   @@2023122810@@december@@F@@2024030109",
                     "5   @@2024030101@@early@@F@@2024030109"});
    CliRun r = runCli({"memo", "due", "2024-03-15T14"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "2\n5\n");
    r = runCli({"memo", "due", "2024-12-31T23"});
    EXPECT_EQ(r.out, "1\n2\n4\n5\n");
}

TEST(CliMemo, IcsHasCrLfLinesAndOneEventPerActiveMemo) {
    TempWorkDir dir;
    writeMemos(dir, {"1   @@2024031514@@开会@@F@@2024030109", "2   @@2024031609@@off@@T@@2024030109",
                     "3   @@2024023109@@bad date@@F@@2024030109"});
    CliRun r = runCli({"memo", "ics"});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.starts_with("BEGIN:VCALENDAR\r\nVERSION:2.0\r\n"));
    EXPECT_TRUE(r.out.ends_with("END:VCALENDAR\r\n"));
    std::size_t events = 0;
    for (std::size_t at = 0; (at = r.out.find("BEGIN:VEVENT\r\n", at)) != std::string::npos; ++at)
        ++events;
    EXPECT_EQ(events, 1u);
    EXPECT_NE(r.out.find("DTSTART:20240315T140000\r\n"), std::string::npos);
    EXPECT_NE(r.out.find("SUMMARY:开会\r\n"), std::string::npos);
    EXPECT_NE(r.out.find("ACTION:DISPLAY\r\n"), std::string::npos);
    EXPECT_NE(r.err.find("memo 3"), std::string::npos);
    auto uidLine = [](const std::string& ics) {
        std::size_t at = ics.find("\r\nUID:");
        return ics.substr(at, ics.find("\r\n", at + 2) - at);
    };
    EXPECT_EQ(uidLine(runCli({"memo", "ics"}).out), uidLine(r.out)); // the same memo keeps its UID
}

} // namespace

// Control characters a memo file holds (an ESC sequence that would recolour or clear the terminal, a C1 CSI)
// reach a terminal escaped; into a pipe or a file they go as they are.
TEST(CliMemo, ControlCharactersReachATerminalEscaped) {
    TempWorkDir dir;
    writeMemos(dir, {"1   @@2024031514@@\x1B[2J\xC2\x9B"
                     "31mred@@F@@2024030109"});
    const std::string program = cliProgram();
    int terminal = -1;
    const pid_t child = ::forkpty(&terminal, nullptr, nullptr, nullptr);
    if (child == 0) {
        ::execl(program.c_str(), "quillet-cli", "--data", ".", "memo", "list", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    std::string shown;
    char chunk[256];
    for (ssize_t n; (n = ::read(terminal, chunk, sizeof chunk)) > 0;)
        shown.append(chunk, static_cast<std::size_t>(n));
    ::waitpid(child, nullptr, 0);
    ::close(terminal);
    EXPECT_NE(shown.find("\\x1B[2J\\u009B31mred"), std::string::npos) << shown;
    EXPECT_EQ(shown.find('\x1B'), std::string::npos);
    EXPECT_NE(runCli({"memo", "list"}).out.find("\x1B[2J\xC2\x9B"), std::string::npos);
}
