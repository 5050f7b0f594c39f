// The memo book window's rules without the toolkit: rows, selection, add/change/cancel/delete with their
// writes, the change tied to its own memo, the clock fields.
#include "common/safe_write.h"
#include "memo/memo_book_screen.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace {

std::string memo(int n, const std::string& text, const std::string& flag = "F") {
    return buildMemoLine(memoNumber(n), "2024030114", text, flag, "2024010108");
}

class MemoBookScreenTest : public ::testing::Test {
protected:
    void SetUp() override { screen.refreshClock(LocalDateTime{2024, 3, 1, 9, 5}); }
    void writeMemos(int count) {
        std::string bytes;
        for (int n = 1; n <= count; ++n)
            bytes += memo(n, "memo " + std::to_string(n), n % 2 ? "F" : "T") + "\r\n";
        dir.write("bwl/bwl.cjf", gb(bytes));
        ASSERT_FALSE(screen.loadStep(dir / "bwl/bwl.cjf"));
    }
    std::string fileLine(int n) {
        MemoBook book;
        EXPECT_TRUE(book.load(dir / "bwl/bwl.cjf").ok());
        return book.record(n) ? book.record(n)->line : "<none>";
    }

    TempWorkDir dir;
    MemoBookScreen screen;
    std::optional<Notice> failure;
};

TEST_F(MemoBookScreenTest, ClockFieldsGiveStampAndPicker) {
    EXPECT_EQ(screen.bwnian(), 2024);
    EXPECT_EQ(screen.bwyue(), "03");
    EXPECT_EQ(screen.bwri(), "01");
    EXPECT_EQ(screen.bwshi(), "09");
    EXPECT_EQ(screen.stamp(), "2024030109");
    EXPECT_EQ(screen.pickerNow(), (MemoPicker{"2024", "03", "01", "09"}));
    EXPECT_EQ(MemoBookScreen::pickerOf("2003061514"), (MemoPicker{"2003", "06", "15", "14"}));
    EXPECT_FALSE(MemoBookScreen::pickerOf("20030615"));
}

TEST_F(MemoBookScreenTest, EmptyBookShowsSixBlankRows) {
    ASSERT_FALSE(screen.loadStep(dir / "bwl/bwl.cjf"));
    for (const MemoRow& row : screen.rows()) {
        EXPECT_EQ(row.number, "");
        EXPECT_EQ(row.text, "");
        EXPECT_FALSE(row.ticked);
    }
    EXPECT_EQ(screen.memoInRow(0), nullptr);
}

TEST_F(MemoBookScreenTest, RowsStartAtTopAndShowTheCancelTick) {
    writeMemos(8);
    screen.setTop(3);
    auto rows = screen.rows();
    EXPECT_EQ(rows[0].number, "3   ");
    EXPECT_EQ(rows[0].due, "2024030114");
    EXPECT_EQ(rows[0].text, "memo 3");
    EXPECT_FALSE(rows[0].ticked);
    EXPECT_TRUE(rows[1].ticked);
    EXPECT_EQ(rows[5].number, "8   ");
    screen.setTop(5);
    EXPECT_EQ(screen.rows()[3].number, "8   ");
    EXPECT_EQ(screen.rows()[4].number, "");
}

TEST_F(MemoBookScreenTest, DamagedLinesShowTheirPositionAndTheLineAsItIs) {
    dir.write("bwl/bwl.cjf", gb(memo(1, "a") + "\r\n坏了的行\r\n"));
    ASSERT_FALSE(screen.loadStep(dir / "bwl/bwl.cjf"));
    EXPECT_EQ(screen.rows()[1].number, "2   ");
    EXPECT_EQ(screen.rows()[1].text, "坏了的行");
    EXPECT_EQ(screen.rows()[1].due, "");
}

TEST_F(MemoBookScreenTest, AddWritesAStampFromTheClockFields) {
    writeMemos(1);
    ASSERT_FALSE(screen.beginAdd());
    EXPECT_EQ(screen.save("2024031518", "买菜\n做饭", failure), MemoSave::Saved);
    EXPECT_FALSE(failure);
    EXPECT_EQ(fileLine(2), "2   @@2024031518@@买菜 做饭@@F@@2024030109");
}

TEST_F(MemoBookScreenTest, EmptyTextSavesNothing) {
    writeMemos(2);
    const std::string before = dir.read("bwl/bwl.cjf");
    ASSERT_FALSE(screen.beginAdd());
    EXPECT_EQ(screen.save("2024031518", "", failure), MemoSave::NothingToSave);
    EXPECT_EQ(dir.read("bwl/bwl.cjf"), before);
}

TEST_F(MemoBookScreenTest, ChangeOfACancelledMemoKeepsItsNumberAndActivatesIt) {
    writeMemos(6);
    screen.select(6);
    EXPECT_EQ(screen.toggleCaption(), "备  忘 ");
    screen.beginChange();
    EXPECT_TRUE(screen.editing());
    EXPECT_EQ(screen.save("2024040108", "改了", failure), MemoSave::Saved);
    EXPECT_FALSE(screen.editing());
    EXPECT_EQ(fileLine(6), "6   @@2024040108@@改了@@F@@2024030109");
}

TEST_F(MemoBookScreenTest, AChangeStaysWithTheMemoItWasOpenedFor) {
    writeMemos(6);
    screen.select(5);
    EXPECT_EQ(screen.selectedText(), "memo 5");
    screen.beginChange();
    screen.select(2); // a right click on another row while the change is open
    EXPECT_EQ(screen.selected(), 2);
    EXPECT_EQ(screen.changeTarget(), 5);
    EXPECT_EQ(screen.save("2024040108", "第五条改", failure), MemoSave::Saved);
    EXPECT_EQ(fileLine(5), "5   @@2024040108@@第五条改@@F@@2024030109");
    EXPECT_EQ(fileLine(2), memo(2, "memo 2", "T"));
}

TEST_F(MemoBookScreenTest, AnEmptySaveDuringAChangeThenAnAddAddsANewMemo) {
    writeMemos(5);
    screen.select(5);
    screen.beginChange();
    EXPECT_EQ(screen.save("2024040108", "", failure), MemoSave::NothingToSave);
    ASSERT_FALSE(screen.beginAdd());
    EXPECT_EQ(screen.save("2024040108", "新的", failure), MemoSave::Saved);
    EXPECT_EQ(fileLine(5), memo(5, "memo 5"));
    EXPECT_EQ(fileLine(6), "6   @@2024040108@@新的@@F@@2024030109");
}

TEST_F(MemoBookScreenTest, ToggleAndDeleteWorkOnTheSelectedMemoAndWrite) {
    writeMemos(4);
    screen.select(1);
    EXPECT_EQ(screen.toggleCaption(), "注  销 ");
    EXPECT_FALSE(screen.toggleSelected());
    EXPECT_EQ(fileLine(1), "1   @@2024030114@@memo 1@@T@@2024030109");
    ASSERT_FALSE(screen.loadStep(dir / "bwl/bwl.cjf"));
    screen.select(2);
    EXPECT_FALSE(screen.deleteSelected());
    EXPECT_EQ(fileLine(2), "2   @@2024030114@@memo 3@@F@@2024010108");
    EXPECT_EQ(fileLine(4), "<none>");
}

TEST_F(MemoBookScreenTest, AFullBookRefusesToStartAnAdd) {
    std::string bytes;
    for (int n = 1; n <= MemoBook::kMaxMemos; ++n)
        bytes += memo(n, "m") + "\r\n";
    dir.write("bwl/bwl.cjf", bytes);
    ASSERT_FALSE(screen.loadStep(dir / "bwl/bwl.cjf"));
    std::optional<Notice> refused = screen.beginAdd();
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->title, "提醒");
    EXPECT_EQ(screen.save("2024040108", "x", failure), MemoSave::Failed);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->title, "提醒");
}

TEST_F(MemoBookScreenTest, AFailedWriteKeepsTheFileAndTheEditOpen) {
    writeMemos(3);
    const std::string before = dir.read("bwl/bwl.cjf");
    screen.select(3);
    screen.beginChange();
    setSafeWriteFaultForTests([](std::string_view step, const std::filesystem::path&) {
        return step == "rename" ? std::string("Read-only file system") : std::string();
    });
    MemoSave result = screen.save("2024040108", "改", failure);
    setSafeWriteFaultForTests(nullptr);
    EXPECT_EQ(result, MemoSave::Failed);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->title, "警告");
    EXPECT_NE(failure->text.find("bwl.cjf"), std::string::npos);
    EXPECT_NE(failure->text.find("Read-only file system"), std::string::npos);
    EXPECT_EQ(dir.read("bwl/bwl.cjf"), before);
    EXPECT_TRUE(screen.editing());
    EXPECT_EQ(screen.book().record(3)->text, "memo 3"); // the book matches the file again
    EXPECT_EQ(screen.save("2024040108", "改", failure), MemoSave::Saved);
    EXPECT_EQ(fileLine(3), "3   @@2024040108@@改@@F@@2024030109");
}

} // namespace

// bwl.cjf changed by another program after the load: each edit is applied to what the file holds now.
TEST_F(MemoBookScreenTest, EditsApplyToTheFileAsItIsNow) {
    writeMemos(3);
    const std::string outside = memo(1, "memo 2", "T").substr(0, 4) + memo(2, "memo 2", "T").substr(4) + "\r\n" +
                                memo(2, "memo 3").substr(0, 4) + memo(3, "memo 3").substr(4) + "\r\n";
    dir.write("bwl/bwl.cjf", gb(outside)); // memo 1 deleted elsewhere: memos 2 and 3 moved up
    screen.select(3);
    EXPECT_FALSE(screen.toggleSelected());
    EXPECT_EQ(fileLine(2), "2   @@2024030114@@memo 3@@T@@2024030109");
    screen.select(1);
    dir.write("bwl/bwl.cjf", gb(memo(1, "new elsewhere") + "\r\n"));
    const std::optional<Notice> gone = screen.deleteSelected();
    ASSERT_TRUE(gone);
    EXPECT_EQ(fileLine(1), memo(1, "new elsewhere"));
    EXPECT_EQ(screen.save("2024030210", "added", failure), MemoSave::Saved);
    EXPECT_EQ(fileLine(2), "2   @@2024030210@@added@@F@@2024030109");
    // The book never overwrites a file it has not seen.
    dir.write("bwl/bwl.cjf", gb(memo(1, "only this") + "\r\n"));
    MemoBook book = screen.book();
    EXPECT_FALSE(book.save(dir / "bwl/bwl.cjf"));
    EXPECT_EQ(fileLine(1), memo(1, "only this"));
}
