// What a finished quillet-cli sync says to the user, and the interval of the background sync.
#include "app/sync_run.h"
#include "support/temp_dir.h"
#include "sync/vdir_sync.h"

#include <gtest/gtest.h>

TEST(SyncRun, TheSummaryBecomesCountsAndEveryOtherEndAWarningWithItsReason) {
    // The line quillet-cli sync ends with.
    SyncReport report;
    report.quillet = {1, 2, 3};
    report.vdir = {4, 5, 6};
    report.conflicts = 1;
    const std::string summary = "sync: " + syncSummary(report) + "\n";
    SyncOutcome ok = syncOutcome({true, false, 0, "conflict: card \"A\" changed on both sides\n" + summary, ""});
    EXPECT_FALSE(ok.failed);
    EXPECT_TRUE(ok.booksChanged);
    EXPECT_EQ(ok.notice.title, "提示");
    EXPECT_EQ(ok.notice.text,
              "同步完成。\n本机收到: 新增 1 条, 更改 2 条, 删除 3 条\n发往服务器: 新增 4 条, 更改 5 条, "
              "删除 6 条\n两边都改过(两份都保留): 1 条\nconflict: card \"A\" changed on both sides");
    EXPECT_FALSE(syncOutcome({true, false, 0,
                              "sync: Quillet: created 0, updated 0, deleted 0; vdir: created 9, "
                              "updated 0, deleted 0; conflicts 0\n",
                              ""})
                     .booksChanged);

    // The server step failed after the local passes: the reason first, then what was done.
    SyncOutcome server = syncOutcome({true, false, 1, "sync failed, done before: " + syncSummary(report),
                                      "同步出错(vdirsyncer 报告):\nerror: 401\n"});
    EXPECT_TRUE(server.failed);
    EXPECT_EQ(server.notice.title, "警告");
    EXPECT_TRUE(
        server.notice.text.starts_with("同步未能完成:\n同步出错(vdirsyncer 报告):\nerror: 401\n\n已完成的部分:\n"
                                       "本机收到: 新增 1 条"))
        << server.notice.text;
    // No summary is no success, whatever the exit code; a crash and a missing program say so.
    EXPECT_EQ(syncOutcome({true, false, 0, "", ""}).notice.text, "同步未能完成:\nquillet-cli 没有报告同步的结果\n");
    EXPECT_EQ(syncOutcome({true, true, 0, summary, ""}).notice.title, "警告");
    EXPECT_EQ(syncOutcome({true, false, 2, "", ""}).notice.text, "同步未能完成:\nquillet-cli 以代码 2 结束\n");
    EXPECT_EQ(syncOutcome({false, false, -1, "", "/x/quillet-cli: No such file"}).notice.text,
              "同步未能完成:\n无法运行 quillet-cli: /x/quillet-cli: No such file");
    EXPECT_TRUE(syncOutcome({true, false, 2, "", ""}).booksChanged);
}

TEST(SyncRun, TheIntervalIsAWholeNumberOfMinutesOrOff) {
    TempWorkDir dir;
    const auto interval = [&](const std::string& text) {
        dir.write("sync.conf", text);
        return syncIntervalMinutes(dir / "sync.conf");
    };
    EXPECT_EQ(syncIntervalMinutes(dir / "missing.conf"), 0);
    EXPECT_EQ(interval("# every half hour\r\ninterval=30\r\n"), 30);
    EXPECT_EQ(interval("interval=1440\n"), 1440);
    for (const char* off : {"interval=0\n", "interval=1441\n", "interval=-5\n", "interval= 5\n", "interval=5m\n",
                            "interval=\n", "other=5\n", "interval=99999999999\n"})
        EXPECT_EQ(interval(off), 0) << off;
    EXPECT_EQ(interval("interval=10\ninterval=abc\n"), 0); // the last line counts
}
