// quillet-cli diary: export and show read the month files under the key in pavosz.cjf and change nothing.
#include "diary_test_util.h"
#include "support/cli_runner.h"

#include <gtest/gtest.h>

namespace {

class DiaryCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.write("pavosz.cjf", gb("key\r\naccess\r\nhttp://x\r\n 5 \r\n"));
        storeMonth(dir, "2003", "12",
                   diaryRecord("20031205", {"first entry line", "second entry line"}, "20031205103000") +
                       diaryRecord("20031215", {"中文"}, "20031215080000"),
                   "abc");
    }
    TempWorkDir dir;
};

} // namespace

TEST_F(DiaryCliTest, ExportPrintsTheExportText) {
    const std::string before = dir.read("rjb/rj200312.cjf");
    const CliRun r = runCli({"diary", "export", "2003", "12"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "2003年12月  日记内容\r\n\r\n---------05日" + std::string(49, '-') +
                         "\r\n\r\nfirst entry line\r\nsecond entry line\r\n\r\n---------记录时间:20031205103000" +
                         std::string(30, '-') + "\r\n\r\n---------15日" + std::string(49, '-') +
                         "\r\n\r\n中文\r\n\r\n---------记录时间:20031215080000" + std::string(30, '-') + "\r\n\r\n");
    EXPECT_EQ(dir.read("rjb/rj200312.cjf"), before);
    EXPECT_EQ(rjbFiles(dir), std::vector<std::string>{"rj200312.cjf"});
}

TEST_F(DiaryCliTest, ShowPrintsOneDay) {
    CliRun r = runCli({"diary", "show", "2003", "12", "5"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "first entry line\nsecond entry line\n");
    r = runCli({"diary", "show", "2003", "12", "15"});
    EXPECT_EQ(r.out, "中文\n");
    r = runCli({"diary", "show", "2003", "12", "16"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "");
    r = runCli({"diary", "show", "2004", "01", "01"}); // a month with no file
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(dir.exists("rjb/rj200401.cjf"));
}

TEST_F(DiaryCliTest, BadArgumentsAndUnreadableMonths) {
    EXPECT_EQ(runCli({"diary"}).code, 2);
    EXPECT_EQ(runCli({"diary", "show", "2003", "12"}).code, 2);
    EXPECT_EQ(runCli({"diary", "export", "2003", "13"}).code, 2);
    EXPECT_EQ(runCli({"diary", "show", "2003", "12", "32"}).code, 2);
    const std::size_t n = dir.read("rjb/rj200312.cjf").size();
    ASSERT_NE(cipherKeyStart(n, 2), cipherKeyStart(n, 3));
    dir.write("pavosz.cjf", gb("ab\r\naccess\r\nhttp://x\r\n 5 \r\n"));
    const CliRun r = runCli({"diary", "export", "2003", "12"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("日记"), std::string::npos);
    dir.write("pavosz.cjf", gb("日记\r\n"));
    EXPECT_EQ(runCli({"diary", "show", "2003", "12", "05"}).code, 1);
    std::filesystem::remove(dir / "pavosz.cjf");
    EXPECT_EQ(runCli({"diary", "export", "2003", "12"}).code, 1);
}
