// Form7 offscreen with the desk calendar's memo check: announcing due memos, the tune, the write-back on
// closing by each of its three ways, and the memo book reloading after a cancel.
#include "app/form1.h"
#include "desk/desk_calendar_window.h"
#include "memo/memo_book.h"
#include "memo/memo_book_window.h"
#include "reminder/reminder_popup.h"
#include "support/fake_mci.h"
#include "support/gui_helpers.h"
#include "support/temp_dir.h"
#include "ui/ui_prompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

namespace {

std::string memo(int n, const std::string& due, const std::string& text, const std::string& flag = "F") {
    return buildMemoLine(memoNumber(n), due, text, flag, "2024010108");
}

class ReminderPopupTest : public ::testing::Test {
protected:
    void SetUp() override {
        Prompts::clearShown();
        writeFile({memo(1, "2024031516", "later"), memo(2, "2024031509", "交报告"),
                   memo(3, "2024030101", "已注销", "T"), memo(4, "2024031516", "later too"),
                   memo(5, "2024031414", "开会")});
    }
    void writeFile(std::initializer_list<std::string> lines) {
        std::string bytes;
        for (const std::string& l : lines)
            bytes += l + "\r\n";
        dir.write("bwl/bwl.cjf", gb(bytes));
    }
    std::string fileLine(int n) {
        MemoBook book;
        EXPECT_TRUE(book.load(dir / "bwl/bwl.cjf").ok());
        return book.record(n) ? book.record(n)->line : "<none>";
    }
    Form7* popup() { return app.windowAs<Form7>(WindowId::Form7); }
    template <class T = QWidget> T* c(const QString& name) { return control<T>(popup(), name); }
    // The memo check, and the moment the user takes to read the memo before a click counts.
    Form7* check() {
        runDeskMemoCheck(app);
        clock.advanceMsec(600);
        return popup();
    }
    // The memo check, then the user ticks the pop-up's box and closes it; gives the memo book as it is then.
    Form6* cancelDueMemo() {
        check();
        clickWidget(c("Check1"));
        clickWidget(c("Image3"));
        processEvents();
        return app.windowAs<Form6>(WindowId::Form6);
    }

    TempWorkDir dir;
    FakeClock clock{LocalDateTime{2024, 3, 15, 14, 30}};
    FakeMciDevice* mci = new FakeMciDevice;
    Form1 app{clock, std::unique_ptr<MciDevice>(mci)};
};

TEST_F(ReminderPopupTest, ShowsTheLastDueMemoWithItsTexts) {
    Form7* w = check();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->objectName(), "Form7");
    EXPECT_EQ(w->windowTitle(), "提醒");
    EXPECT_TRUE(duplicateControlNames(w).isEmpty());
    EXPECT_EQ(w->bwxh, "5   ");
    EXPECT_EQ(c<QLabel>("Label2")->text(), "开会    ");
    EXPECT_EQ(c<QLabel>("Label3")->text(), "请注意:你有备忘!");
    EXPECT_EQ(c<QLabel>("Label1")->text(), "谢谢! 我知道了!");
    EXPECT_EQ(c<QCheckBox>("Check1")->text(), "我知道了!  不用再提醒我了!");
    EXPECT_FALSE(c<QCheckBox>("Check1")->isChecked());
    for (const char* name : {"Image1", "Image2", "Image3", "Image4"})
        c(name);
    EXPECT_EQ(c("Image1")->geometry(), QRect(0, 0, w->width() - 1, w->height() - 1)); // 10 and 20 twips
    EXPECT_TRUE(app.desk().txyybz);
    EXPECT_NE(mci->openCommand().find("bwyy.mid\" TYPE SEQUENCER ALIAS BackgroundMusic"), std::string::npos);
    EXPECT_TRUE(mci->isPlaying());
}

TEST_F(ReminderPopupTest, TickAndImage3CancelOnlyThatMemoAndTheTuneStopsNextSecond) {
    const std::string before = dir.read("bwl/bwl.cjf");
    check();
    Form3* desk = app.showDeskCalendar();
    clickWidget(c("Check1"));
    clickWidget(c("Image3"));
    processEvents();
    EXPECT_EQ(popup(), nullptr);
    EXPECT_FALSE(app.desk().txyybz);
    EXPECT_EQ(fileLine(5), memo(5, "2024031414", "开会", "T"));
    std::string after = dir.read("bwl/bwl.cjf");
    ASSERT_EQ(after.size(), before.size());
    int differences = 0;
    for (std::size_t i = 0; i < after.size(); ++i)
        differences += after[i] != before[i];
    EXPECT_EQ(differences, 1);
    desk->timers().tickTimer2();
    EXPECT_FALSE(mci->isOpen());
    // Memo 2 is still active: the next check announces it.
    check();
    EXPECT_EQ(popup()->bwxh, "2   ");
}

TEST_F(ReminderPopupTest, AppearsOnTopWithoutTakingTheKeysAndShowsMarkupAsText) {
    writeFile({memo(1, "2024031414", "<b>x</b><br>y")});
    QLineEdit elsewhere; // another program's box the user is typing in
    elsewhere.show();
    elsewhere.activateWindow();
    (void)QTest::qWaitFor([&] { return elsewhere.hasFocus(); }, 500);
    ASSERT_TRUE(elsewhere.hasFocus());
    Form7* w = check();
    ASSERT_NE(w, nullptr);
    settle(w);
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->windowFlags() & Qt::WindowStaysOnTopHint);
    // Offscreen every shown window is activated: this half is seen under a window manager (its own CTest run).
    if (QGuiApplication::platformName() == "xcb") {
        EXPECT_TRUE(elsewhere.hasFocus());
    }
    // A Space typed on goes to the active window's focus, never to the tick.
    QTest::keyClick(QApplication::activeWindow()->windowHandle(), Qt::Key_Space);
    EXPECT_FALSE(c<QCheckBox>("Check1")->isChecked());
    auto* text = c<QLabel>("Label2");
    EXPECT_EQ(text->text(), "<b>x</b><br>y    ");
    EXPECT_EQ(text->textFormat(), Qt::PlainText);
    // A click on the pop-up gives it the keys.
    clickWidget(c("Check1"));
    EXPECT_TRUE(c<QCheckBox>("Check1")->isChecked());
}

TEST_F(ReminderPopupTest, ClosingWithoutTheTickLeavesTheFile) {
    const std::string before = dir.read("bwl/bwl.cjf");
    check();
    QTest::mouseDClick(c("Label2"), Qt::LeftButton);
    processEvents();
    EXPECT_EQ(popup(), nullptr);
    EXPECT_FALSE(app.desk().txyybz);
    EXPECT_EQ(dir.read("bwl/bwl.cjf"), before);
}

TEST_F(ReminderPopupTest, TheCloseBoxRunsTheWriteBackToo) {
    check();
    c<QCheckBox>("Check1")->setChecked(true);
    popup()->close();
    processEvents();
    EXPECT_EQ(fileLine(5), memo(5, "2024031414", "开会", "T"));
}

TEST_F(ReminderPopupTest, TheFirstCheckComesSixtySecondsAfterTheDeskCalendarLoads) {
    app.desk().dss = 1;
    Form3* desk = app.showDeskCalendar();
    for (int tick = 1; tick < 60; ++tick)
        desk->timers().tickTimer2();
    EXPECT_EQ(popup(), nullptr);
    desk->timers().tickTimer2();
    ASSERT_NE(popup(), nullptr);
    EXPECT_EQ(popup()->bwxh, "5   ");
}

TEST_F(ReminderPopupTest, AMemoMovedByADeleteIsStillTheOneCancelled) {
    check();
    // While the pop-up shows memo 5, memo 1 is deleted in the memo book: memo 5 is now line 4.
    writeFile({memo(1, "2024031509", "交报告"), memo(2, "2024030101", "已注销", "T"),
               memo(3, "2024031516", "later too"), memo(4, "2024031414", "开会")});
    clickWidget(c("Check1"));
    clickWidget(c("Image3"));
    EXPECT_EQ(fileLine(4), memo(4, "2024031414", "开会", "T"));
    EXPECT_EQ(fileLine(3), memo(3, "2024031516", "later too"));
}

TEST_F(ReminderPopupTest, AnotherMemoInTheSamePopupClearsTheTick) {
    check();
    clickWidget(c("Check1"));
    check(); // the same memo again: the tick stays
    EXPECT_TRUE(c<QCheckBox>("Check1")->isChecked());
    writeFile({memo(1, "2024031509", "别的")});
    check();
    EXPECT_EQ(popup()->bwxh, "1   ");
    EXPECT_FALSE(c<QCheckBox>("Check1")->isChecked());
}

TEST_F(ReminderPopupTest, AnOpenMemoBookShowsTheCancelAtOnceInItsPlace) {
    app.openMemoBook();
    Form6* book = app.windowAs<Form6>(WindowId::Form6);
    book->move(123, 77);
    EXPECT_FALSE(control<QCheckBox>(book, "Check1(4)")->isChecked());
    Form6* again = cancelDueMemo();
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(again->isVisible());
    EXPECT_EQ(again->pos(), QPoint(123, 77));
    EXPECT_TRUE(control<QCheckBox>(again, "Check1(4)")->isChecked());
}

// With a window manager's frame around it (its own CTest run): offscreen there is no frame to creep by.
TEST_F(ReminderPopupTest, TheMemoBookComesBackExactlyWhereItWasAfterEveryReload) {
    app.openMemoBook();
    app.windowAs<Form6>(WindowId::Form6)->move(200, 300);
    settle(app.window(WindowId::Form6));
    const QRect inner = app.windowAs<Form6>(WindowId::Form6)->geometry();
    for (int round = 0; round < 2; ++round) { // memos 5 and 2 are due: each cancel reloads the book
        ASSERT_NE(check(), nullptr);
        settle(popup());
        clickWidget(c("Check1"));
        clickWidget(c("Image3"));
        processEvents();
        settle(app.window(WindowId::Form6));
        EXPECT_EQ(app.windowAs<Form6>(WindowId::Form6)->geometry(), inner) << round;
    }
}

TEST_F(ReminderPopupTest, TheExitItemRunsTheWriteBackAndLeavesTheMemoBookClosed) {
    app.openMemoBook();
    check();
    clickWidget(c("Check1"));
    app.exitProgram();
    processEvents();
    EXPECT_EQ(fileLine(5), memo(5, "2024031414", "开会", "T"));
    EXPECT_EQ(app.window(WindowId::Form6), nullptr);
    EXPECT_EQ(app.window(WindowId::Form7), nullptr);
}

TEST_F(ReminderPopupTest, DraggingLabel3MovesThePopup) {
    Form7* w = check();
    w->move(200, 150);
    QWidget* label3 = c("Label3");
    QMouseEvent move(QEvent::MouseMove, QPointF(30, 12), label3->mapToGlobal(QPointF(30, 12)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(label3, &move);
    EXPECT_EQ(w->pos(), QPoint(230, 162));
}

TEST_F(ReminderPopupTest, AMissingMemoFileIsSilent) {
    std::filesystem::remove_all(dir / "bwl");
    EXPECT_EQ(check(), nullptr);
    EXPECT_TRUE(mci->commands().empty());
    EXPECT_TRUE(Prompts::shown().empty());
}

} // namespace

// The reload after a cancel keeps a memo being typed in the memo book: its text, its picker and the save.
TEST_F(ReminderPopupTest, AMemoBeingTypedSurvivesTheMemoBooksReload) {
    app.openMemoBook();
    Form6* book = app.windowAs<Form6>(WindowId::Form6);
    book->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(book));
    clickWidget(control(book, "Command1"));
    typeText(control(book, "Text1"), "half typed");
    pickFromList(control<QComboBox>(book, "Combo1(1)"), "07");
    pickFromList(control<QComboBox>(book, "Combo1(3)"), "18");
    EXPECT_EQ(control<QComboBox>(book, "Combo1(1)")->currentText(), "07");
    Form6* again = cancelDueMemo();
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(control<QCheckBox>(again, "Check1(4)")->isChecked());
    EXPECT_EQ(control<QPlainTextEdit>(again, "Text1")->toPlainText(), "half typed");
    EXPECT_FALSE(control<QPlainTextEdit>(again, "Text1")->isReadOnly());
    clickWidget(control(again, "Command1"));
    EXPECT_EQ(fileLine(6), buildMemoLine(memoNumber(6), "2024071518", "half typed", "F", "2024031514"));
}

// The pop-up comes up on top of whatever the user was clicking: clicks in its first half second after a memo
// is shown, the one in flight included, neither tick the box nor close the pop-up.
TEST_F(ReminderPopupTest, ClicksInTheFirstHalfSecondAfterAMemoIsShownDoNothing) {
    runDeskMemoCheck(app);
    clickWidget(c("Check1"));
    QTest::mouseDClick(c("Label2"), Qt::LeftButton);
    clock.advanceMsec(450);
    clickWidget(c("Image3"));
    processEvents();
    ASSERT_NE(popup(), nullptr);
    EXPECT_FALSE(c<QCheckBox>("Check1")->isChecked());
    clock.advanceMsec(100);
    clickWidget(c("Check1"));
    EXPECT_TRUE(c<QCheckBox>("Check1")->isChecked());
}
