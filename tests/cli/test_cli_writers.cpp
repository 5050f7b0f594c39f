// Writers side by side on one data folder: quillet-cli runs in parallel, and a writer that finds the data-folder
// lock taken.
#include "common/data_lock.h"
#include "common/line_file.h"
#include "memo/memo_line.h"
#include "support/cli_runner.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

std::vector<std::string> fileLines(const TempWorkDir& dir, const char* file) {
    Result<std::vector<std::string>> lines = readTextLines(dir / file);
    return lines ? *lines : std::vector<std::string>{};
}

TEST(Writers, MemoAddsOfTwoLoopsLoseNothing) {
    TempWorkDir dir;
    dir.write("bwl/bwl.cjf", "");
    constexpr int kRuns = 30;
    CliLoop first("memo add 2030010108 a$i", kRuns), second("memo add 2030010108 b$i", kRuns);
    const int reported = first.wait() + second.wait();
    EXPECT_EQ(reported, 2 * kRuns);
    const std::vector<std::string> lines = fileLines(dir, "bwl/bwl.cjf");
    ASSERT_EQ(static_cast<int>(lines.size()), reported);
    for (int n = 1; n <= reported; ++n)
        EXPECT_EQ(lines[static_cast<std::size_t>(n - 1)].substr(0, 4), memoNumber(n));
}

TEST(Writers, CardImportsOfTwoLoopsLoseNothingAndNumberByPosition) {
    TempWorkDir dir;
    constexpr int kRuns = 15;
    for (int w = 0; w < 2; ++w)
        for (int i = 0; i < kRuns; ++i)
            dir.write("in" + std::to_string(w) + "_" + std::to_string(i) + ".vcf",
                      "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:W" + std::to_string(w) + "C" + std::to_string(i) +
                          "\r\nEND:VCARD\r\n");
    CliLoop first("cards import in0_$i.vcf", kRuns), second("cards import in1_$i.vcf", kRuns);
    const int reported = first.wait() + second.wait();
    EXPECT_EQ(reported, 2 * kRuns);
    const std::vector<std::string> lines = fileLines(dir, "txl/txl.cjf");
    ASSERT_EQ(static_cast<int>(lines.size()), reported);
    for (int n = 1; n <= reported; ++n)
        EXPECT_EQ(lines[static_cast<std::size_t>(n - 1)].substr(0, 4),
                  "%" + std::string(n < 10 ? "0" : "") + std::to_string(n) + "%");
}

TEST(Writers, AWriterNamesTheLockHolderAndChangesNothingWhileReadersGoOn) {
    TempWorkDir dir;
    const std::string memos = gb("1   @@2030010108@@开会@@F@@2030010101\r\n");
    dir.write("bwl/bwl.cjf", memos);
    Result<DataLock> held = DataLock::take(dir.path());
    ASSERT_TRUE(held);
    const auto start = std::chrono::steady_clock::now();
    CliRun add = runCli({"memo", "add", "2030010108", "x"});
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(add.code, 1);
    EXPECT_NE(add.err.find("进程号 " + std::to_string(::getpid()) + ",程序 test_cli"), std::string::npos) << add.err;
    EXPECT_GE(waited, 2500ms);
    EXPECT_LT(waited, 8s);
    EXPECT_EQ(dir.read("bwl/bwl.cjf"), memos);
    const auto listed = std::chrono::steady_clock::now();
    EXPECT_EQ(runCli({"memo", "list"}).code, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - listed, 1s);
}

} // namespace
