#include "support/cli_runner.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

TEST(CliMonth, SixLinesOfSevenCaptions) {
    TempWorkDir dir;
    CliRun r = runCli({"month", "2000", "01"}); // a Saturday start with 31 days reaches the sixth row
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "\t\t\t\t\t\t1\n"
                     "2\t3\t4\t5\t6\t7\t8\n"
                     "9\t10\t11\t12\t13\t14\t15\n"
                     "16\t17\t18\t19\t20\t21\t22\n"
                     "23\t24\t25\t26\t27\t28\t29\n"
                     "30\t31\t\t\t\t\t\n");
    EXPECT_EQ(r.err, "");
}

TEST(CliMonth, FebruaryOf1900HasNo29th) {
    TempWorkDir dir;
    CliRun r = runCli({"month", "1900", "2"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "\t\t\t\t1\t2\t3\n"
                     "4\t5\t6\t7\t8\t9\t10\n"
                     "11\t12\t13\t14\t15\t16\t17\n"
                     "18\t19\t20\t21\t22\t23\t24\n"
                     "25\t26\t27\t28\t\t\t\n"
                     "\t\t\t\t\t\t\n");
}

TEST(CliMonth, BadArgumentsGiveOneLineAndCodeTwo) {
    TempWorkDir dir;
    for (auto args : std::vector<std::vector<std::string>>{{"month", "1899", "12"},
                                                           {"month", "2050", "01"},
                                                           {"month", "2000", "13"},
                                                           {"month", "2000", "0"},
                                                           {"month", "2000"},
                                                           {"month", "2000", "01", "x"},
                                                           {"month", "20a0", "01"}}) {
        CliRun r = runCli(args);
        EXPECT_EQ(r.code, 2) << args[1];
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
}
