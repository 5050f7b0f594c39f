#include "app/form1.h"
#include "common/data_paths.h"
#include "diary/diary_month.h"
#include "diary/diary_window.h"
#include "diary/text_cipher.h"
#include "diary_test_util.h"
#include "support/fake_mci.h"
#include "support/gui_helpers.h"
#include "ui/ui_prompts.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>

namespace {

class DiaryWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        Prompts::clearShown();
        app.state().password = "key";
    }

    Form5* open(int year = 2004, int month = 3, int day = 5) {
        app.openDiary(year, month, day);
        processEvents();
        Form5* w = app.windowAs<Form5>(WindowId::Form5);
        w->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(w));
        return w;
    }
    QComboBox* combo(Form5* w, int i) { return control<QComboBox>(w, QString("Combo1(%1)").arg(i)); }
    QPlainTextEdit* text1(Form5* w) { return control<QPlainTextEdit>(w, "Text1"); }
    QLabel* image(Form5* w, int kind, int i) { return control<QLabel>(w, QString("Image%1(%2)").arg(kind).arg(i)); }

    void pick(QComboBox* box, const QString& text) { pickFromList(box, text); }
    // Clicks into a box, replaces its text by typing, and presses Enter when asked; the keys go where the
    // focus went.
    void typeInto(QComboBox* box, const QString& text, bool enter) {
        QTest::mouseClick(box->lineEdit(), Qt::LeftButton);
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(focus, text);
        if (enter)
            QTest::keyClick(focus, Qt::Key_Return);
        processEvents();
    }
    // Clicks into the entry box (the focus moves there) and types, replacing its text when asked.
    void typeEntry(Form5* w, const QString& text, bool replace = false) {
        QTest::mouseClick(text1(w)->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
        QTest::keyClick(text1(w), replace ? Qt::Key_A : Qt::Key_End, Qt::ControlModifier);
        typeText(text1(w), text);
    }
    // The buttons act through their highlighted pictures, shown under the mouse.
    void press(Form5* w, int button) {
        moveOver(image(w, 1, button));
        ASSERT_TRUE(image(w, 2, button)->isVisible());
        clickWidget(image(w, 2, button));
        processEvents();
    }
    std::vector<std::string> titlesShown() {
        std::vector<std::string> titles;
        for (const auto& n : Prompts::shown())
            titles.push_back(n.title);
        return titles;
    }

    TempWorkDir dir;
    FakeClock clock{{2004, 3, 5, 21, 15, 9}};
    Form1 app{clock, std::make_unique<FakeMciDevice>()};
};

} // namespace

TEST_F(DiaryWindowTest, OpensOnTheLaunchersDateAndCreatesTheMonth) {
    Form5* w = open();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->objectName(), "Form5");
    EXPECT_EQ(w->windowTitle(), "☆Quillet>>日记簿" + QString(18, ' ') + "Orlin工作室");
    EXPECT_TRUE(duplicateControlNames(w).isEmpty());
    EXPECT_EQ(combo(w, 0)->currentText(), "2004");
    EXPECT_EQ(combo(w, 1)->currentText(), "03");
    EXPECT_EQ(combo(w, 2)->currentText(), "05");
    EXPECT_EQ(combo(w, 3)->currentText(), "16");
    EXPECT_EQ(w->nowyue, "03");
    EXPECT_EQ(w->nowri, "05");
    EXPECT_FALSE(combo(w, 0)->isEditable());
    EXPECT_TRUE(combo(w, 1)->isEditable());
    EXPECT_EQ(combo(w, 0)->count(), 150);
    EXPECT_EQ(combo(w, 2)->count(), 31);
    EXPECT_EQ(combo(w, 3)->count(), 11);
    EXPECT_EQ(text1(w)->toPlainText(), "");
    EXPECT_EQ(storedPlain(dir, "2004", "03", "key"),
              "@@@@@@@@@@20040305@@@@@@@@@@\r\n@@@@@@@@20040305211509@@@@@@\r\n");
    const char* labels[] = {"Label3(0)", "Label3(1)", "Label3(2)", "Label3(4)"};
    const char* texts[] = {"年", "月", "日", "字号"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(control<QLabel>(w, labels[i])->text(), texts[i]);
    const char* tips[] = {"发布日记文档", "保存日记", "关闭日记簿"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(image(w, 2, i)->isVisible());
        EXPECT_EQ(image(w, 2, i)->toolTip(), tips[i]);
        EXPECT_FALSE(image(w, 1, i)->pixmap().isNull());
    }
    EXPECT_NE(control<QLabel>(w, "Image3"), nullptr);
    EXPECT_FALSE(control<QFrame>(w, "Frame1")->isVisible());
    EXPECT_TRUE(Prompts::shown().empty());
}

TEST_F(DiaryWindowTest, HoverShowsOneHighlightedButton) {
    Form5* w = open();
    moveOver(image(w, 1, 0));
    EXPECT_TRUE(image(w, 2, 0)->isVisible());
    moveOver(image(w, 1, 2));
    EXPECT_FALSE(image(w, 2, 0)->isVisible());
    EXPECT_TRUE(image(w, 2, 2)->isVisible());
    moveOver(w, QPoint(5, w->height() - 3)); // the window's background
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(image(w, 2, i)->isVisible());
}

TEST_F(DiaryWindowTest, SaveAsksAndStoresTheEntry) {
    Form5* w = open();
    typeEntry(w, "今天晴\n第二行");
    Prompts::setNextAnswer(NoticeAnswer::No);
    const std::string created = dir.read("rjb/rj200403.cjf");
    press(w, 1);
    ASSERT_EQ(Prompts::shown().size(), 1u);
    EXPECT_EQ(Prompts::shown()[0].text, "确实要保存当前日记吗?");
    EXPECT_EQ(Prompts::shown()[0].title, "警告");
    EXPECT_EQ(dir.read("rjb/rj200403.cjf"), created);

    press(w, 1); // Yes
    EXPECT_EQ(storedPlain(dir, "2004", "03", "key"), diaryRecord("20040305", {"今天晴", "第二行"}, "20040305211509"));
    // Saving an empty entry removes the day.
    typeEntry(w, "", true);
    QTest::keyClick(text1(w), Qt::Key_Delete);
    press(w, 1);
    EXPECT_EQ(dir.read("rjb/rj200403.cjf"), "");
}

// Before Text1 is loaded again, an entry that differs from what was loaded is offered for saving under the
// date it belongs to; the other date is shown either way.
TEST_F(DiaryWindowTest, PickingAnotherDayAsksToSaveAChangedEntry) {
    Form5* w = open();
    pick(combo(w, 2), "06");
    EXPECT_TRUE(Prompts::shown().empty()); // nothing typed: nothing to ask
    typeEntry(w, "sixth");
    pick(combo(w, 2), "05"); // Yes
    ASSERT_EQ(Prompts::shown().size(), 1u);
    EXPECT_EQ(Prompts::shown()[0].title, "提醒");
    EXPECT_EQ(Prompts::shown()[0].buttons, NoticeButtons::YesNoCancel);
    EXPECT_EQ(storedPlain(dir, "2004", "03", "key"), diaryRecord("20040306", {"sixth"}, "20040305211509"));
    EXPECT_EQ(combo(w, 2)->currentText(), "05");
    typeEntry(w, "never saved");
    Prompts::setNextAnswer(NoticeAnswer::No);
    pick(combo(w, 2), "06");
    EXPECT_EQ(text1(w)->toPlainText(), "sixth");
    EXPECT_EQ(storedPlain(dir, "2004", "03", "key").find("never"), std::string::npos);
}

// A typed month, day or font size is read as typed and counts with Enter as a pick does ("1" stays January,
// not "10"); moving the focus away reloads nothing. Whatever the boxes hold, a save or the question before
// leaving a day stores the day Text1 shows, and the boxes come back to name it.
TEST_F(DiaryWindowTest, EnterInTheBoxesLoadsThatDayAndSavesStayWithTheShownDay) {
    storeMonth(dir, "2004", "03", diaryRecord("20040307", {"seventh"}, "20040307080000"), "key");
    storeMonth(dir, "2004", "01", diaryRecord("20040103", {"january third"}, "20040103080000"), "key");
    const std::string january = dir.read("rjb/rj200401.cjf");
    Form5* w = open(2004, 3, 9);
    typeInto(combo(w, 2), "07", true);
    EXPECT_EQ(text1(w)->toPlainText(), "seventh");
    EXPECT_EQ(w->nowri, "07");
    typeInto(combo(w, 1), "1", false);
    typeEntry(w, " day");
    EXPECT_EQ(w->nowyue, "03");
    press(w, 1); // Yes
    EXPECT_EQ(combo(w, 1)->currentText(), "03");
    EXPECT_EQ(storedPlain(dir, "2004", "03", "key"), diaryRecord("20040307", {"seventh day"}, "20040305211509"));
    // An export of the month typed into the boxes leaves the shown day where it was.
    typeInto(combo(w, 1), "1", false);
    typeEntry(w, "!");
    press(w, 0);
    EXPECT_NE(control<QPlainTextEdit>(w, "Text2")->toPlainText().indexOf("january third"), -1);
    Prompts::setNextAnswer(NoticeAnswer::No);
    clickWidget(control<QPushButton>(w, "Command1"));
    typeInto(combo(w, 2), "3", true); // Yes to the question: the seventh of March is saved first
    EXPECT_EQ(storedPlain(dir, "2004", "03", "key"), diaryRecord("20040307", {"seventh day!"}, "20040305211509"));
    EXPECT_EQ(dir.read("rjb/rj200401.cjf"), january);
    EXPECT_EQ(combo(w, 2)->currentText(), "03");
    EXPECT_EQ(text1(w)->toPlainText(), "");
    Prompts::clearShown();
    typeInto(combo(w, 1), "13", true);
    EXPECT_EQ(titlesShown(), std::vector<std::string>{"警告"});
    EXPECT_EQ(combo(w, 1)->currentText(), "03");
    typeInto(combo(w, 3), "2", false);
    EXPECT_EQ(combo(w, 3)->currentText(), "2");
    typeInto(combo(w, 3), "24", true);
    EXPECT_EQ(text1(w)->font().pointSizeF(), 24.0);
}

TEST_F(DiaryWindowTest, PickingMonthAndYearLoadsThatMonth) {
    storeMonth(dir, "2004", "12", diaryRecord("20041205", {"december"}, "20041205080000"), "abc");
    storeMonth(dir, "2003", "12", diaryRecord("20031205", {"last year"}, "20031205080000"), "xyz");
    Form5* w = open();
    pick(combo(w, 1), "12");
    EXPECT_EQ(w->nowyue, "12");
    EXPECT_EQ(text1(w)->toPlainText(), "december");
    pick(combo(w, 0), "2003");
    EXPECT_EQ(w->nownian, "2003");
    EXPECT_EQ(text1(w)->toPlainText(), "last year");
    pick(combo(w, 2), "04");
    EXPECT_EQ(text1(w)->toPlainText(), "");
    EXPECT_FALSE(dir.exists("rjb/rj200312.txt"));
}

TEST_F(DiaryWindowTest, FontSizeChangesTheEntryBoxOnly) {
    Form5* w = open();
    const std::string stored = dir.read("rjb/rj200403.cjf");
    pick(combo(w, 3), "40");
    EXPECT_EQ(text1(w)->font().pointSizeF(), 40.0);
    EXPECT_EQ(dir.read("rjb/rj200403.cjf"), stored);
}

TEST_F(DiaryWindowTest, ExportShowsThePanelAndKeepsTheText) {
    storeMonth(dir, "2004", "03", diaryRecord("20040305", {"first entry line", "second entry line"}, "20040305103000"),
               "key");
    Form5* w = open();
    press(w, 0);
    auto* frame = control<QFrame>(w, "Frame1");
    auto* text2 = control<QPlainTextEdit>(w, "Text2");
    ASSERT_TRUE(frame->isVisible());
    const QString expected = "2004年03月  日记内容\n\n---------05日" + QString(49, '-') +
                             "\n\nfirst entry line\nsecond entry line\n\n---------记录时间:20040305103000" +
                             QString(30, '-') + "\n\n";
    EXPECT_EQ(text2->toPlainText(), expected);

    Prompts::clearShown();
    clickWidget(control<QPushButton>(w, "Command1")); // Yes
    ASSERT_EQ(titlesShown(), (std::vector<std::string>{"提示", "恭喜!"}));
    EXPECT_EQ(Prompts::shown()[0].text, "是否保存导出的文本?");
    const std::string path = pathToUtf8(dir / "rjb/rj200403.txt");
    EXPECT_EQ(Prompts::shown()[1].text, "2004年03月日记已经成功保存到" + path);
    EXPECT_EQ(Prompts::shown()[1].icon, NoticeIcon::None);
    EXPECT_EQ(dir.read("rjb/rj200403.txt"), gb(withCrLf(expected.toStdString()) + "\r\n"));
    EXPECT_FALSE(frame->isVisible());
    EXPECT_EQ(text2->toPlainText(), "");
}

TEST_F(DiaryWindowTest, ExportPanelClosedWithNoWritesNothing) {
    Form5* w = open();
    press(w, 0);
    Prompts::clearShown();
    Prompts::setNextAnswer(NoticeAnswer::No);
    clickWidget(control<QPushButton>(w, "Command1"));
    EXPECT_EQ(titlesShown(), std::vector<std::string>{"提示"});
    EXPECT_FALSE(dir.exists("rjb/rj200403.txt"));
    EXPECT_FALSE(control<QFrame>(w, "Frame1")->isVisible());
    EXPECT_EQ(control<QPlainTextEdit>(w, "Text2")->toPlainText(), "");
}

TEST_F(DiaryWindowTest, MonthUnderAnotherKeyLengthIsWarnedAboutAndNotSaved) {
    const std::string plain = diaryRecord("20040305", {"written under a shorter key"}, "20040305080000");
    ASSERT_NE(cipherKeyStart(gb(plain).size(), 2), cipherKeyStart(gb(plain).size(), 3));
    storeMonth(dir, "2004", "03", plain, "ab");
    const std::string stored = dir.read("rjb/rj200403.cjf");
    Form5* w = open();
    ASSERT_EQ(titlesShown(), std::vector<std::string>{"警告"});
    typeText(text1(w), "replacement");
    Prompts::clearShown();
    press(w, 1); // refused before the question is asked
    ASSERT_EQ(titlesShown(), std::vector<std::string>{"警告"});
    EXPECT_NE(Prompts::shown()[0].text, "确实要保存当前日记吗?");
    EXPECT_EQ(dir.read("rjb/rj200403.cjf"), stored);
}

TEST_F(DiaryWindowTest, DoubleByteDiaryKeyIsReportedAndNothingIsWritten) {
    app.state().password = "日记";
    Form5* w = open();
    ASSERT_EQ(titlesShown(), std::vector<std::string>{"警告"});
    EXPECT_NE(Prompts::shown()[0].text.find("单字节"), std::string::npos);
    typeText(text1(w), "text");
    press(w, 1);
    press(w, 0);
    EXPECT_FALSE(control<QFrame>(w, "Frame1")->isVisible());
    EXPECT_FALSE(dir.exists("rjb"));
}

// Records for days 00 and 32 to 40 cannot be picked, but a save must not drop them.
TEST_F(DiaryWindowTest, RecordsForDaysThatCannotBePickedSurviveASave) {
    const std::string zero = diaryRecord("20040300", {"zero"}, "20040301080000");
    const std::string late = diaryRecord("20040335", {"thirty-five"}, "20040301080000");
    storeMonth(dir, "2004", "03", zero + diaryRecord("20040305", {"five"}, "20040305080000") + late, "key");
    Form5* w = open();
    typeEntry(w, "new five", true);
    press(w, 1);
    EXPECT_EQ(storedPlain(dir, "2004", "03", "key"),
              diaryRecord("20040305", {"new five"}, "20040305211509") + zero + late);
}

// Another program (quillet-cli, a sync tool) may write the month while it is shown: its days are kept, and
// a save over the very day it changed asks first.
TEST_F(DiaryWindowTest, ChangesMadeElsewhereSinceLoadingAreKept) {
    Form5* w = open();
    const std::string tenth = diaryRecord("20040310", {"elsewhere"}, "20040305200000");
    storeMonth(dir, "2004", "03", tenth, "key");
    typeEntry(w, "mine");
    press(w, 1);
    EXPECT_EQ(storedPlain(dir, "2004", "03", "key"), diaryRecord("20040305", {"mine"}, "20040305211509") + tenth);

    const std::string theirs = diaryRecord("20040305", {"theirs"}, "20040305210000") + tenth;
    storeMonth(dir, "2004", "03", theirs, "key");
    typeEntry(w, " more");
    Prompts::clearShown();
    Prompts::setNextAnswer(NoticeAnswer::Yes);
    Prompts::setNextAnswer(NoticeAnswer::No);
    press(w, 1);
    EXPECT_EQ(titlesShown(), (std::vector<std::string>{"警告", "提醒"}));
    EXPECT_NE(Prompts::shown()[1].text.find("05日"), std::string::npos);
    EXPECT_EQ(storedPlain(dir, "2004", "03", "key"), theirs);
    EXPECT_EQ(text1(w)->toPlainText(), "mine more");
    press(w, 1); // Yes, Yes
    EXPECT_EQ(storedPlain(dir, "2004", "03", "key"), diaryRecord("20040305", {"mine more"}, "20040305211509") + tenth);
}

// A pasted private-use character that once stood for a raw CR byte stays inside its line.
TEST_F(DiaryWindowTest, PastedPrivateUseCharactersStayInTheirLine) {
    Form5* w = open();
    typeEntry(w, "");
    const QString odd = "a" + QString::fromUcs4(U"\U0010FF0D\U0010FF0A") + "b";
    pasteText(text1(w), odd);
    press(w, 1);
    EXPECT_EQ(storedPlain(dir, "2004", "03", "key"), diaryRecord("20040305", {odd.toStdString()}, "20040305211509"));
    const std::string plain = CipherPass(dir.read("rjb/rj200403.cjf"), "key");
    EXPECT_EQ(std::count(plain.begin(), plain.end(), '\n'), 3);
    EXPECT_EQ(std::count(plain.begin(), plain.end(), '\r'), 3);
}

TEST_F(DiaryWindowTest, YearOutsideTheListIsShownAndUsable) {
    clock.set({2050, 1, 1, 0, 0, 0});
    Form5* w = open(2050, 1, 1);
    EXPECT_EQ(combo(w, 0)->currentText(), "2050");
    EXPECT_EQ(combo(w, 0)->itemText(combo(w, 0)->count() - 1), "2050");
    typeText(text1(w), "future");
    press(w, 1);
    EXPECT_EQ(storedPlain(dir, "2050", "01", "key"), diaryRecord("20500101", {"future"}, "20500101000000"));
}

// Closing or picking another day asks 是/否/取消 before a changed entry is dropped (and only then); 取消,
// Esc and the question's close box go back to the text as it was.
TEST_F(DiaryWindowTest, CloseAsksToSaveAChangedEntry) {
    std::unique_ptr<QMessageBox> box(Prompts::makeBox(nullptr, saveBeforeLeavingNotice()));
    box->show();
    QTest::keyClick(box.get(), Qt::Key_Escape);
    EXPECT_EQ(box->clickedButton(), box->button(QMessageBox::Cancel));
    EXPECT_EQ(box->button(QMessageBox::Cancel)->text(), "取消");

    Form5* w = open();
    typeEntry(w, "going back");
    Prompts::setNextAnswer(NoticeAnswer::Cancel);
    pick(combo(w, 2), "06");
    Prompts::setNextAnswer(NoticeAnswer::Cancel);
    press(w, 2);
    EXPECT_EQ(app.window(WindowId::Form5), w);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(text1(w)->toPlainText(), "going back");
    EXPECT_EQ(combo(w, 2)->currentText(), "05");
    EXPECT_EQ(storedPlain(dir, "2004", "03", "key").find("going"), std::string::npos);
    typeEntry(w, "", true);
    QTest::keyClick(text1(w), Qt::Key_Delete);
    Prompts::clearShown();
    press(w, 2);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(app.window(WindowId::Form5), nullptr);
    EXPECT_TRUE(Prompts::shown().empty());

    w = open();
    typeEntry(w, "dropped");
    Prompts::setNextAnswer(NoticeAnswer::No);
    press(w, 2);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(app.window(WindowId::Form5), nullptr);
    EXPECT_EQ(titlesShown(), std::vector<std::string>{"提醒"});
    EXPECT_EQ(storedPlain(dir, "2004", "03", "key").find("dropped"), std::string::npos);

    w = open();
    typeEntry(w, "kept");
    w->close(); // the window's close box; Yes
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(app.window(WindowId::Form5), nullptr);
    EXPECT_EQ(storedPlain(dir, "2004", "03", "key"), diaryRecord("20040305", {"kept"}, "20040305211509"));
}
