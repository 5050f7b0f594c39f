// Form6 offscreen, driven through its controls: adding, viewing, changing, cancelling and deleting memos,
// the colours that carry the state, the right-click menu and the scroll bar.
#include "app/form1.h"
#include "common/safe_write.h"
#include "memo/memo_book_screen.h"
#include "memo/memo_book_window.h"
#include "support/cli_runner.h"
#include "support/fake_mci.h"
#include "support/gui_helpers.h"
#include "support/temp_dir.h"
#include "ui/clock_change_watch.h"
#include "ui/ui_prompts.h"
#include "ui/ui_style.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <algorithm>

namespace {

std::string memo(int n, const std::string& text, const std::string& flag = "F") {
    return buildMemoLine(memoNumber(n), "2024030114", text, flag, "2024010108");
}

QString cellName(int i) {
    return QString("Label4(%1)").arg(i);
}

class MemoBookWindowTest : public ::testing::Test {
protected:
    void SetUp() override { Prompts::clearShown(); }
    void writeMemos(int count) {
        std::string bytes;
        for (int n = 1; n <= count; ++n)
            bytes += memo(n, "memo " + std::to_string(n), n % 2 ? "F" : "T") + "\r\n";
        dir.write("bwl/bwl.cjf", gb(bytes));
    }
    Form6* open() {
        app.openMemoBook();
        Form6* w = app.windowAs<Form6>(WindowId::Form6);
        EXPECT_NE(w, nullptr);
        return w;
    }
    std::string fileLine(int n) {
        MemoBook book;
        EXPECT_TRUE(book.load(dir / "bwl/bwl.cjf").ok());
        return book.record(n) ? book.record(n)->line : "<none>";
    }
    template <class T = QWidget> T* c(Form6* w, const QString& name) { return control<T>(w, name); }
    void pick(Form6* w, const QString& year, const QString& month, const QString& day, const QString& hour) {
        const QString values[4] = {year, month, day, hour};
        for (int i = 0; i < 4; ++i) {
            auto* box = c<QComboBox>(w, QString("Combo1(%1)").arg(i));
            box->setCurrentIndex(box->findText(values[i]));
        }
    }
    QString picker(Form6* w) {
        QString due;
        for (int i = 0; i < 4; ++i)
            due += c<QComboBox>(w, QString("Combo1(%1)").arg(i))->currentText();
        return due;
    }
    void chooseMenu(Form6* w, int row, int item) {
        pressWidget(c(w, cellName(3 * row + 2)), Qt::RightButton, QPoint(5, 5));
        ASSERT_TRUE(c(w, "Frame3")->isVisible());
        clickWidget(c(w, QString("Label2(%1)").arg(item)));
    }
    bool editableLook(Form6* w) {
        auto* text1 = c<QPlainTextEdit>(w, "Text1");
        bool editable =
            !text1->isReadOnly() && c(w, "Frame1")->isEnabled() && c<QPushButton>(w, "Command1")->text() == "保存备忘";
        EXPECT_EQ(text1->palette().color(QPalette::Base), editable ? QColor(Qt::white) : kLightCyan);
        EXPECT_EQ(c(w, "Combo1(2)")->palette().color(QPalette::Button), editable ? QColor(Qt::white) : kLightCyan);
        return editable;
    }

    TempWorkDir dir;
    FakeClock clock{LocalDateTime{2024, 3, 1, 9, 5}};
    Form1 app{clock, std::make_unique<FakeMciDevice>()};
};

TEST_F(MemoBookWindowTest, ControlsTitleAndStartingLook) {
    Form6* w = open();
    EXPECT_EQ(w->objectName(), "Form6");
    EXPECT_EQ(w->windowTitle(), "☆Quillet>>备忘录" + QString(36, ' ') + "Orlin工作室");
    EXPECT_TRUE(duplicateControlNames(w).isEmpty()) << duplicateControlNames(w).join(",").toStdString();
    QStringList names = {"Text1", "Command1", "Frame1", "Frame2", "Frame3", "VScroll1"};
    for (int i = 0; i < 4; ++i)
        names << QString("Combo1(%1)").arg(i) << QString("Label3(%1)").arg(i) << QString("Label1(%1)").arg(i)
              << QString("Label2(%1)").arg(i);
    for (int i = 0; i < 18; ++i)
        names << cellName(i);
    for (int r = 0; r < 6; ++r)
        names << QString("Check1(%1)").arg(r);
    for (const QString& name : names)
        c(w, name);
    EXPECT_TRUE(c<QTimer>(w, "Timer1")->isActive() && c<QTimer>(w, "Timer1")->isSingleShot());
    EXPECT_EQ(c<QLabel>(w, "Label1(2)")->text(), "备  忘  内  容  摘  要");
    EXPECT_EQ(c<QLabel>(w, "Label3(3)")->text(), "时");
    EXPECT_EQ(c<QLabel>(w, "Label2(3)")->text(), "删  除 ");
    auto* hours = c<QComboBox>(w, "Combo1(3)");
    EXPECT_EQ(hours->count(), 25);
    EXPECT_EQ(hours->itemText(24), "24");
    EXPECT_EQ(c<QComboBox>(w, "Combo1(0)")->itemText(0), "1900");
    EXPECT_EQ(c<QComboBox>(w, "Combo1(0)")->count(), 150);
    EXPECT_FALSE(c<QComboBox>(w, "Combo1(1)")->isEditable());
    EXPECT_FALSE(c(w, "Frame3")->isVisible());
    EXPECT_FALSE(editableLook(w));
    EXPECT_EQ(picker(w), "2024030109");
    EXPECT_EQ(c<QPlainTextEdit>(w, "Text1")->palette().color(QPalette::Text), QColor(Qt::red));
}

TEST_F(MemoBookWindowTest, AnEmptyBookShowsSixBlankRows) {
    Form6* w = open();
    for (int i = 0; i < 18; ++i)
        EXPECT_EQ(c<QLabel>(w, cellName(i))->text(), "");
    EXPECT_EQ(c<QScrollBar>(w, "VScroll1")->minimum(), 1);
    EXPECT_EQ(c<QScrollBar>(w, "VScroll1")->value(), 1);
    EXPECT_FALSE(dir.exists("bwl"));
}

TEST_F(MemoBookWindowTest, AddingAMemoWritesTheFileAndShowsIt) {
    Form6* w = open();
    clickWidget(c(w, "Command1"));
    EXPECT_TRUE(editableLook(w));
    auto* text1 = c<QPlainTextEdit>(w, "Text1");
    typeText(text1, "开会");
    QTest::keyClick(text1, Qt::Key_Return);
    typeText(text1, "带上报告");
    pick(w, "2024", "03", "15", "14");
    clickWidget(c(w, "Command1"));
    EXPECT_FALSE(editableLook(w));
    EXPECT_EQ(text1->toPlainText(), "");
    EXPECT_EQ(fileLine(1), "1   @@2024031514@@开会 带上报告@@F@@2024030109");
    EXPECT_EQ(c<QLabel>(w, cellName(0))->text(), "1   ");
    EXPECT_EQ(c<QLabel>(w, cellName(1))->text(), "2024031514");
    EXPECT_EQ(c<QLabel>(w, cellName(2))->text(), "开会 带上报告");
    EXPECT_EQ(picker(w), "2024030109"); // the load step puts the picker back to now
}

TEST_F(MemoBookWindowTest, SavingAnEmptyTextLeavesTheFileAndTheWindowIdle) {
    writeMemos(2);
    const std::string before = dir.read("bwl/bwl.cjf");
    Form6* w = open();
    clickWidget(c(w, "Command1"));
    clickWidget(c(w, "Command1"));
    EXPECT_EQ(dir.read("bwl/bwl.cjf"), before);
    EXPECT_FALSE(editableLook(w));
    EXPECT_TRUE(Prompts::shown().empty());
}

TEST_F(MemoBookWindowTest, ClicksOnBlankRowsDoNothingButHideTheMenu) {
    writeMemos(2);
    Form6* w = open();
    pressWidget(c(w, cellName(2)), Qt::RightButton, QPoint(5, 5));
    EXPECT_TRUE(c(w, "Frame3")->isVisible());
    pressWidget(c(w, cellName(11)), Qt::RightButton);
    EXPECT_FALSE(c(w, "Frame3")->isVisible());
    pressWidget(c(w, cellName(11)), Qt::LeftButton);
    EXPECT_EQ(c<QPlainTextEdit>(w, "Text1")->toPlainText(), "");
    EXPECT_EQ(w->screen().selected(), 1);
}

TEST_F(MemoBookWindowTest, TheMenuOpensWithItsBottomLeftCornerAtThePointer) {
    writeMemos(3);
    Form6* w = open();
    QWidget* cell = c(w, cellName(2));
    pressWidget(cell, Qt::RightButton, QPoint(20, 10));
    QWidget* menu = c(w, "Frame3");
    EXPECT_EQ(menu->geometry().bottomLeft() + QPoint(0, 1), cell->mapTo(w, QPoint(20, 10)));
    EXPECT_EQ(c<QLabel>(w, "Label2(2)")->text(), "注  销 ");
    pressWidget(c(w, cellName(3)), Qt::RightButton);
    EXPECT_EQ(c<QLabel>(w, "Label2(2)")->text(), "备  忘 ");
}

TEST_F(MemoBookWindowTest, ReactivatingACancelledMemoUnticksItsRow) {
    writeMemos(3);
    Form6* w = open();
    EXPECT_TRUE(c<QCheckBox>(w, "Check1(1)")->isChecked());
    chooseMenu(w, 1, 2);
    EXPECT_FALSE(c<QCheckBox>(w, "Check1(1)")->isChecked());
    EXPECT_EQ(fileLine(2), "2   @@2024030114@@memo 2@@F@@2024030109");
    EXPECT_FALSE(c(w, "Frame3")->isVisible());
    chooseMenu(w, 0, 2);
    EXPECT_TRUE(c<QCheckBox>(w, "Check1(0)")->isChecked());
}

TEST_F(MemoBookWindowTest, ViewShowsTheMemoReadOnly) {
    writeMemos(3);
    Form6* w = open();
    chooseMenu(w, 2, 0);
    EXPECT_EQ(c<QPlainTextEdit>(w, "Text1")->toPlainText(), "memo 3");
    EXPECT_EQ(picker(w), "2024030114");
    EXPECT_FALSE(editableLook(w));
}

TEST_F(MemoBookWindowTest, ChangingMemoFiveKeepsItsNumberAndActivatesIt) {
    writeMemos(7);
    Form6* w = open();
    const std::string fifth = w->screen().book().uid(5);
    chooseMenu(w, 4, 1);
    EXPECT_TRUE(editableLook(w));
    auto* text1 = c<QPlainTextEdit>(w, "Text1");
    EXPECT_EQ(text1->toPlainText(), "memo 5");
    text1->selectAll();
    typeText(text1, "第五条");
    pick(w, "2025", "01", "02", "08");
    clickWidget(c(w, "Command1"));
    EXPECT_EQ(fileLine(5), "5   @@2025010208@@第五条@@F@@2024030109");
    EXPECT_EQ(fileLine(8), "<none>");
    EXPECT_EQ(w->screen().book().uid(5), fifth); // the memo keeps its identity
}

TEST_F(MemoBookWindowTest, ARightClickOnAnotherRowCannotRedirectAChange) {
    writeMemos(6);
    Form6* w = open();
    chooseMenu(w, 4, 1);
    pressWidget(c(w, cellName(2)), Qt::RightButton); // memo 2 is now `selected`; the menu is left alone
    moveOver(c(w, "Text1"));
    EXPECT_FALSE(c(w, "Frame3")->isVisible());
    auto* text1 = c<QPlainTextEdit>(w, "Text1");
    text1->selectAll();
    typeText(text1, "改的是五");
    clickWidget(c(w, "Command1"));
    EXPECT_EQ(fileLine(5), "5   @@2024030114@@改的是五@@F@@2024030109");
    EXPECT_EQ(fileLine(2), memo(2, "memo 2", "T"));
}

TEST_F(MemoBookWindowTest, AnEmptyChangeThenAnAddAddsANewMemo) {
    writeMemos(5);
    Form6* w = open();
    chooseMenu(w, 4, 1);
    c<QPlainTextEdit>(w, "Text1")->clear();
    clickWidget(c(w, "Command1"));
    clickWidget(c(w, "Command1"));
    typeText(c(w, "Text1"), "新的");
    clickWidget(c(w, "Command1"));
    EXPECT_EQ(fileLine(5), memo(5, "memo 5"));
    EXPECT_EQ(fileLine(6), "6   @@2024030114@@新的@@F@@2024030109"); // the picker kept memo 5's time
}

TEST_F(MemoBookWindowTest, ALeftClickWhileAddingCopiesTheMemoForANewOne) {
    writeMemos(3);
    Form6* w = open();
    clickWidget(c(w, "Command1"));
    pressWidget(c(w, cellName(7)), Qt::LeftButton);
    EXPECT_EQ(c<QPlainTextEdit>(w, "Text1")->toPlainText(), "memo 3");
    EXPECT_EQ(picker(w), "2024030114");
    EXPECT_TRUE(editableLook(w));
    clickWidget(c(w, "Command1"));
    EXPECT_EQ(fileLine(4), "4   @@2024030114@@memo 3@@F@@2024030109");
}

TEST_F(MemoBookWindowTest, DeletingInAScrolledListRenumbersAndStartsAgainAtMemoOne) {
    writeMemos(9);
    Form6* w = open();
    const std::string fourth = w->screen().book().uid(4);
    auto* bar = c<QScrollBar>(w, "VScroll1");
    EXPECT_EQ(bar->maximum(), 9);
    bar->setValue(3);
    EXPECT_EQ(c<QLabel>(w, cellName(0))->text(), "3   ");
    EXPECT_EQ(c<QLabel>(w, cellName(17))->text(), "memo 8");
    chooseMenu(w, 0, 3);
    EXPECT_EQ(bar->value(), 1);
    EXPECT_EQ(bar->maximum(), 8);
    EXPECT_EQ(c<QLabel>(w, cellName(0))->text(), "1   ");
    EXPECT_EQ(c<QLabel>(w, cellName(8))->text(), "memo 4");
    EXPECT_EQ(fileLine(3), "3   @@2024030114@@memo 4@@T@@2024010108");
    EXPECT_EQ(fileLine(9), "<none>");
    EXPECT_EQ(w->screen().book().uid(3), fourth); // moved up with its identity
}

TEST_F(MemoBookWindowTest, TheRowUnderTheMouseIsLightYellow) {
    writeMemos(2);
    Form6* w = open();
    moveOver(c(w, cellName(4)));
    for (int i = 0; i < 18; ++i)
        EXPECT_EQ(c(w, cellName(i))->palette().color(QPalette::Window), i / 3 == 1 ? kLightYellow : kLightCyan) << i;
    moveOver(c(w, cellName(15)));
    EXPECT_EQ(c(w, cellName(4))->palette().color(QPalette::Window), kLightCyan);
    EXPECT_EQ(c(w, cellName(17))->palette().color(QPalette::Window), kLightYellow);
}

TEST_F(MemoBookWindowTest, TheMenuItemUnderTheMouseIsHighlighted) {
    writeMemos(2);
    Form6* w = open();
    pressWidget(c(w, cellName(0)), Qt::RightButton);
    moveOver(c(w, "Label2(1)"));
    auto* item = c<QLabel>(w, "Label2(1)");
    EXPECT_TRUE(item->font().bold());
    EXPECT_EQ(item->frameShape(), QFrame::Box);
    EXPECT_TRUE(item->autoFillBackground());
    EXPECT_FALSE(c<QLabel>(w, "Label2(0)")->font().bold());
    moveOver(c(w, "Frame3"), QPoint(1, 1));
    EXPECT_FALSE(item->font().bold());
    EXPECT_EQ(item->frameShape(), QFrame::NoFrame);
    EXPECT_FALSE(item->autoFillBackground());
    EXPECT_TRUE(c(w, "Frame3")->isVisible());
    moveOver(c(w, "Command1"));
    EXPECT_FALSE(c(w, "Frame3")->isVisible());
}

TEST_F(MemoBookWindowTest, LongTextsEndInAnEllipsisAndLongFilesScrollToTheirEnd) {
    std::string han;
    for (int i = 0; i < 60; ++i)
        han += "漢";
    std::string bytes = memo(1, "W" + std::string(30, 'i') + han) + "\r\n";
    for (int n = 2; n <= 33000; ++n)
        bytes += memo(n % 9999 + 1, "memo " + std::to_string(n)) + "\r\n";
    dir.write("bwl/bwl.cjf", gb(bytes));
    Form6* w = open();
    auto* text = c<QLabel>(w, cellName(2));
    EXPECT_TRUE(text->text().endsWith(QChar(0x2026)));
    EXPECT_LE(text->fontMetrics().horizontalAdvance(text->text()), text->contentsRect().width());
    // The slider dragged to the bottom shows the last memos.
    auto* bar = c<QScrollBar>(w, "VScroll1");
    const QRect slider = scrollBarPart(bar, QStyle::SC_ScrollBarSlider);
    dragWidget(bar, slider.center(), QPoint(slider.center().x(), bar->height() + 50));
    EXPECT_EQ(bar->value(), 33000);
    EXPECT_EQ(c<QLabel>(w, cellName(2))->text(), "memo 33000");
}

TEST_F(MemoBookWindowTest, AFullBookRefusesToAdd) {
    std::string bytes;
    for (int n = 1; n <= MemoBook::kMaxMemos; ++n)
        bytes += memo(n, "m") + "\r\n";
    dir.write("bwl/bwl.cjf", bytes);
    Form6* w = open();
    clickWidget(c(w, "Command1"));
    ASSERT_EQ(Prompts::shown().size(), 1u);
    EXPECT_EQ(Prompts::shown()[0].title, "提醒");
    EXPECT_FALSE(editableLook(w));
}

TEST_F(MemoBookWindowTest, AFailedSaveSaysWhichFileAndKeepsTheTypedMemo) {
    writeMemos(1);
    const std::string before = dir.read("bwl/bwl.cjf");
    Form6* w = open();
    clickWidget(c(w, "Command1"));
    typeText(c(w, "Text1"), "不能丢");
    setSafeWriteFaultForTests([](std::string_view step, const std::filesystem::path&) {
        return step == "fsync" ? std::string("Input/output error") : std::string();
    });
    clickWidget(c(w, "Command1"));
    setSafeWriteFaultForTests(nullptr);
    ASSERT_EQ(Prompts::shown().size(), 1u);
    EXPECT_EQ(Prompts::shown()[0].title, "警告");
    EXPECT_NE(Prompts::shown()[0].text.find("bwl.cjf"), std::string::npos);
    EXPECT_NE(Prompts::shown()[0].text.find("Input/output error"), std::string::npos);
    EXPECT_EQ(dir.read("bwl/bwl.cjf"), before);
    EXPECT_TRUE(editableLook(w));
    EXPECT_EQ(c<QPlainTextEdit>(w, "Text1")->toPlainText(), "不能丢");
    clickWidget(c(w, "Command1"));
    EXPECT_EQ(fileLine(2), "2   @@2024030109@@不能丢@@F@@2024030109");
}

TEST_F(MemoBookWindowTest, Timer1KeepsTheStampOnTheClock) {
    Form6* w = open();
    // Set by hand: the clock watch tells at once; then Timer1 comes at the turn of the hour.
    clock.set(LocalDateTime{2024, 12, 31, 22, 59, 59, 900});
    emit app.clockWatch().clockChanged();
    EXPECT_EQ(w->screen().stamp(), "2024123122");
    EXPECT_LE(c<QTimer>(w, "Timer1")->remainingTime(), 100);
    clock.advanceMsec(100);
    QTest::qWait(250);
    EXPECT_EQ(w->screen().stamp(), "2024123123");
    clickWidget(c(w, "Command1"));
    typeText(c(w, "Text1"), "年末");
    clickWidget(c(w, "Command1"));
    EXPECT_EQ(fileLine(1), "1   @@2024030109@@年末@@F@@2024123123");
}

} // namespace

// A pasted private-use character that once stood for a raw LF byte stays inside its memo's line.
TEST_F(MemoBookWindowTest, PastedPrivateUseCharactersStayInTheirLine) {
    Form6* w = open();
    clickWidget(c(w, "Command1"));
    const QString odd = "a" + QString::fromUcs4(U"\U0010FF0A\U0010FF0D") + "b";
    pasteText(c(w, "Text1"), odd);
    clickWidget(c(w, "Command1"));
    const std::string bytes = dir.read("bwl/bwl.cjf");
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 1);
    EXPECT_EQ(c<QLabel>(w, cellName(2))->text(), odd);
}

// quillet-cli or a second program may write bwl.cjf while the book is open: each edit is applied to what
// the file holds at that moment, and an edit whose memo is gone is refused with a message, never silently.
TEST_F(MemoBookWindowTest, ChangesMadeElsewhereSinceLoadingAreKept) {
    writeMemos(3);
    Form6* w = open();
    ASSERT_EQ(runCli({"memo", "add", "2024040108", "from the cli"}).code, 0);
    clickWidget(c(w, "Command1"));
    typeText(c(w, "Text1"), "typed here");
    clickWidget(c(w, "Command1"));
    EXPECT_EQ(fileLine(4).substr(0, 35), "4   @@2024040108@@from the cli@@F@@"); // stamped by the real clock
    EXPECT_EQ(fileLine(5), "5   @@2024030109@@typed here@@F@@2024030109");

    // Memo 1 deleted elsewhere: "memo 3" moved up to line 2, and the cancel still reaches it.
    dir.write("bwl/bwl.cjf",
              gb("1   " + memo(2, "memo 2", "T").substr(4) + "\r\n2   " + memo(3, "memo 3").substr(4) + "\r\n"));
    chooseMenu(w, 2, 2);
    EXPECT_EQ(fileLine(2), "2   @@2024030114@@memo 3@@T@@2024030109");
    EXPECT_EQ(fileLine(3), "<none>");

    // A change to a memo that has gone meanwhile: told, kept in the editor, and added by the next save.
    chooseMenu(w, 0, 1);
    dir.write("bwl/bwl.cjf", gb(fileLine(2) + "\r\n"));
    QTest::keyClick(c(w, "Text1"), Qt::Key_End, Qt::ControlModifier);
    typeText(c(w, "Text1"), " changed");
    clickWidget(c(w, "Command1"));
    ASSERT_EQ(Prompts::shown().size(), 1u);
    EXPECT_NE(Prompts::shown()[0].text.find("别的程序"), std::string::npos);
    EXPECT_EQ(c<QPlainTextEdit>(w, "Text1")->toPlainText(), "memo 2 changed");
    clickWidget(c(w, "Command1"));
    EXPECT_EQ(fileLine(2), "2   @@2024030114@@memo 2 changed@@F@@2024030109");
}

// The book saving while quillet-cli adds memos in a loop: every save is one locked step, so nothing is lost.
TEST_F(MemoBookWindowTest, SavingWhileTheCliAddsInALoopLosesNothing) {
    writeMemos(1);
    Form6* w = open();
    constexpr int kRuns = 20;
    CliLoop loop("memo add 2030010108 cli$i", kRuns);
    for (int i = 0; i < kRuns; ++i) {
        clickWidget(c(w, "Command1"));
        typeText(c(w, "Text1"), "typed " + QString::number(i));
        clickWidget(c(w, "Command1"));
        QTest::qWait(15);
    }
    const int added = loop.wait() + kRuns;
    EXPECT_TRUE(Prompts::shown().empty());
    EXPECT_EQ(added, 2 * kRuns);
    MemoBook book;
    ASSERT_TRUE(book.load(dir / "bwl/bwl.cjf").ok());
    ASSERT_EQ(book.count(), 1 + added);
    for (int n = 1; n <= book.count(); ++n)
        EXPECT_EQ(book.record(n)->bwxh, memoNumber(n));
}

// A memo being typed is offered for saving before the close box, a row's left click or a menu item drops
// it: 取消 goes back to it, 否 drops it, 是 saves it.
TEST_F(MemoBookWindowTest, AMemoBeingTypedIsOfferedForSavingBeforeItIsDropped) {
    writeMemos(2);
    Form6* w = open();
    clickWidget(c(w, "Command1"));
    typeText(c(w, "Text1"), "新的备忘");
    QTest::keyClick(c(w, "Text1"), Qt::Key_Tab); // Tab moves on; it types nothing
    EXPECT_FALSE(c(w, "Text1")->hasFocus());
    Prompts::setNextAnswer(NoticeAnswer::Cancel);
    w->close();
    Prompts::setNextAnswer(NoticeAnswer::Cancel);
    pressWidget(c(w, cellName(2)), Qt::LeftButton);
    ASSERT_EQ(Prompts::shown().size(), 2u);
    EXPECT_EQ(Prompts::shown()[0].buttons, NoticeButtons::YesNoCancel);
    EXPECT_EQ(app.window(WindowId::Form6), w);
    EXPECT_EQ(c<QPlainTextEdit>(w, "Text1")->toPlainText(), "新的备忘");
    Prompts::setNextAnswer(NoticeAnswer::No);
    chooseMenu(w, 0, 0);
    EXPECT_EQ(c<QPlainTextEdit>(w, "Text1")->toPlainText(), "memo 1");
    EXPECT_EQ(fileLine(3), "<none>");

    clickWidget(c(w, "Command1"));
    typeText(c(w, "Text1"), "再来");
    w->close(); // Yes
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(app.window(WindowId::Form6), nullptr);
    EXPECT_EQ(fileLine(3), "3   @@2024030114@@再来@@F@@2024030109");
}

// After 2049 the year picker offers the list's last year, and says where the list ends.
TEST_F(MemoBookWindowTest, AfterTheYearListTheYearPickerOffersItsLastYear) {
    clock.set({2050, 3, 1, 9, 5});
    Form6* w = open();
    EXPECT_EQ(c<QComboBox>(w, "Combo1(0)")->currentText(), "2049");
    EXPECT_TRUE(c<QLabel>(w, "Label5")->isVisibleTo(w));
    EXPECT_EQ(c<QLabel>(w, "Label5")->text(), "(1900-2049)");
    clock.set({2024, 3, 1, 9, 5});
    w->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(c<QLabel>(open(), "Label5")->isVisibleTo(app.window(WindowId::Form6)));
}
