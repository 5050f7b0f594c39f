#include "common/text_codec.h"
#include "support/cli_runner.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

TEST(CliHolidays, ListsMarkedDaysAndAnswersWorkdayQuestions) {
    TempWorkDir dir;
    CliRun r = runCli({"holidays", "2026-09-19", "2026-10-11"});
    EXPECT_EQ(r.code, 0) << r.err;
    std::string expected =
        "2026-09-20\t班\t国庆节\n2026-09-25\t休\t中秋节\n2026-09-26\t休\t中秋节\n2026-09-27\t休\t中秋节\n";
    for (int day = 1; day <= 7; ++day)
        expected += "2026-10-0" + std::to_string(day) + "\t休\t国庆节\n";
    EXPECT_EQ(r.out, expected + "2026-10-10\t班\t国庆节\n");
    EXPECT_EQ(r.err, "");

    struct Case {
        const char* date;
        int code;
    };
    for (const Case& c : {Case{"2026-02-14", 0}, Case{"2026-02-16", 1}, Case{"2026-02-24", 0}, Case{"2026-03-01", 1}})
        EXPECT_EQ(runCli({"holidays", "--is-workday", c.date}).code, c.code) << c.date;
    // A year the table does not know: the weekends, and one plain notice.
    CliRun later = runCli({"holidays", "2031-01-01", "2031-12-31"});
    EXPECT_EQ(later.out, "");
    EXPECT_EQ(later.err, "quillet-cli: 2031年的放假安排尚不知道,只按周末显示\n");
    EXPECT_EQ(runCli({"holidays", "--is-workday", "2031-01-01"}).code, 0);
    EXPECT_EQ(runCli({"holidays", "2026-02-30", "2026-03-01"}).code, 2);
    EXPECT_EQ(runCli({"holidays", "2026-03-02", "2026-03-01"}).code, 2);
}

TEST(CliHolidays, ImportWritesTheUserFileThatThenWins) {
    TempWorkDir dir;
    dir.write("jjr.cjf", encodeGb("[2026]\r\n2026-01-01 休 元旦\r\n"));
    dir.write("cn.ics", "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:春节 休\r\nDTSTART;VALUE=DATE:20270206\r\n"
                        "DTEND;VALUE=DATE:20270213\r\nEND:VEVENT\r\nBEGIN:VEVENT\r\nSUMMARY:春节 补班\r\n"
                        "DTSTART;VALUE=DATE:20270214\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    CliRun r = runCli({"holidays", "import", "cn.ics"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(decodeGb(dir.read("jjr.cjf")), "# 2026: 导入或写入的安排\r\n[2026]\r\n2026-01-01 休 元旦\r\n\r\n"
                                             "# 2027: 导入或写入的安排\r\n[2027]\r\n2027-02-06..2027-02-12 休 春节\r\n"
                                             "2027-02-14 班 春节\r\n\r\n");
    EXPECT_EQ(runCli({"holidays", "2026-01-01", "2026-01-04"}).out, "2026-01-01\t休\t元旦\n");
    EXPECT_EQ(runCli({"holidays", "--is-workday", "2027-02-14"}).code, 0);
    CliRun tsv = runCli({"calendar", "--tsv", "2027-02-12", "2027-02-12"});
    EXPECT_TRUE(tsv.out.ends_with("\t休\t春节\n")) << tsv.out;
    CliRun ics = runCli({"calendar", "--ics", "2027-02-14", "2027-02-14", "--holidays"});
    EXPECT_NE(ics.out.find("UID:20270214-holiday-"), std::string::npos) << ics.out;
    EXPECT_NE(ics.out.find("SUMMARY:春节 调休上班\r\n"), std::string::npos) << ics.out;

    // A malformed user file is told with its line and left as it is; nothing is imported over it.
    dir.write("jjr.cjf", encodeGb("[2026]\r\n2026-01-01 休\r\n"));
    CliRun bad = runCli({"holidays", "import", "cn.ics"});
    EXPECT_EQ(bad.code, 1);
    EXPECT_NE(bad.err.find("第2行"), std::string::npos) << bad.err;
    EXPECT_EQ(decodeGb(dir.read("jjr.cjf")), "[2026]\r\n2026-01-01 休\r\n");
    EXPECT_NE(runCli({"holidays", "2026-01-01", "2026-01-01"}).err.find("第2行"), std::string::npos);
}
