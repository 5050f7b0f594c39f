#include "support/cli_runner.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

TEST(CliCalendar, PrintsTheDeskCalendarTexts) {
    TempWorkDir dir;
    CliRun r = runCli({"calendar", "2026-12-22"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "2026年12月\n22\n星期二\n 丙午(马) 2026年 \n农历11月 冬至 14日\n");
}

TEST(CliCalendar, TableHasOneLinePerDay) {
    TempWorkDir dir;
    CliRun r = runCli({"calendar", "--tsv", "2025-07-24", "2025-07-25"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "2025-07-24\t四\t2025\t乙巳\t蛇\t农历\t6\t\t30\n"
                     "2025-07-25\t五\t2025\t乙巳\t蛇\t农历闰\t6\t\t1\n");
}

TEST(CliCalendar, BadArgumentsGiveOneLineAndCodeTwo) {
    TempWorkDir dir;
    for (auto args : std::vector<std::vector<std::string>>{{"calendar", "2026-02-30"},
                                                           {"calendar", "tomorrow"},
                                                           {"calendar", "--tsv", "2026-01-02"},
                                                           {"calendar", "--tsv", "2026-01-02", "2026-01-01"},
                                                           {"nosuch"},
                                                           {}}) {
        CliRun r = runCli(args);
        EXPECT_EQ(r.code, 2);
        if (!args.empty()) {
            EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        }
    }
}
