// The memo book window under system-call faults (the shim, LD_PRELOAD): each failed save names the file and
// the reason, keeps the file and the typed memo, and the window saves normally once the fault is gone.
#include "app/form1.h"
#include "memo/memo_book.h"
#include "memo/memo_book_window.h"
#include "support/fake_mci.h"
#include "support/gui_helpers.h"
#include "support/temp_dir.h"
#include "ui/ui_prompts.h"

#include <QPlainTextEdit>
#include <cstring>

TEST(WindowUnderFaults, MemoBookSavesFailCleanlyAndTheWindowStaysUsable) {
    const char* preload = std::getenv("LD_PRELOAD");
    if (!preload || !std::strstr(preload, "quillet_fault_shim"))
        GTEST_SKIP() << "runs under the fault shim (LD_PRELOAD)";
    const std::pair<const char*, int> errors[] = {
        {"ENOSPC", ENOSPC}, {"EIO", EIO}, {"EROFS", EROFS}, {"EACCES", EACCES}};
    int faults = 0;
    for (const char* call : {"open", "write", "fsync", "rename"})
        for (const auto& [name, error] : errors) {
            Prompts::clearShown();
            TempWorkDir dir;
            dir.write("bwl/bwl.cjf", buildMemoLine(memoNumber(1), "2024030114", "memo", "F", "2024010108") + "\r\n");
            const std::string before = dir.read("bwl/bwl.cjf");
            FakeClock clock{LocalDateTime{2024, 3, 1, 9, 5}};
            Form1 app{clock, std::make_unique<FakeMciDevice>()};
            app.openMemoBook();
            auto* w = app.windowAs<Form6>(WindowId::Form6);
            ASSERT_NE(w, nullptr);
            clickWidget(control(w, "Command1"));
            typeText(control(w, "Text1"), "不能丢");
            const std::string rule = std::string(call) + ":" + name + ":/.bwl.cjf.quillet-tmp.";
            ::setenv("QUILLET_FAULT", rule.c_str(), 1);
            clickWidget(control(w, "Command1"));
            ::unsetenv("QUILLET_FAULT");
            ++faults;
            ASSERT_EQ(Prompts::shown().size(), 1u) << rule;
            EXPECT_EQ(Prompts::shown()[0].title, "警告") << rule;
            EXPECT_NE(Prompts::shown()[0].text.find("bwl.cjf"), std::string::npos) << rule;
            EXPECT_NE(Prompts::shown()[0].text.find(std::strerror(error)), std::string::npos) << rule;
            EXPECT_EQ(dir.read("bwl/bwl.cjf"), before) << rule;
            EXPECT_EQ(control<QPlainTextEdit>(w, "Text1")->toPlainText(), "不能丢") << rule;
            clickWidget(control(w, "Command1")); // the same press again, the disk well
            MemoBook book;
            ASSERT_TRUE(book.load(dir / "bwl/bwl.cjf").ok());
            ASSERT_EQ(book.count(), 2) << rule;
            EXPECT_EQ(book.record(2)->text, "不能丢");
        }
    std::printf("  %d failed saves in the memo book window\n", faults);
}
