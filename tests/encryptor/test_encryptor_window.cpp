// Form10 offscreen, driven through its controls as a user would.
#include "app/form1.h"
#include "diary/text_cipher.h"
#include "encryptor/encryptor_window.h"
#include "support/fake_mci.h"
#include "support/gui_helpers.h"
#include "support/temp_dir.h"
#include "ui/twips.h"
#include "ui/ui_names.h"
#include "ui/ui_prompts.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>

namespace {

class EncryptorWindowTest : public ::testing::Test {
protected:
    EncryptorWindowTest() {
        dir.write("report.txt", "twelve bytes");
        dir.write("two.txt", gb("第一行\r\n第二行\r\n"));
        dir.write("sub/inner.txt", "inner");
        Prompts::clearShown();
        window = std::make_unique<Form10>(app);
        window->show();
        processEvents();
    }

    QPushButton* button(int i) { return control<QPushButton>(window.get(), arrayName("Command1", i)); }
    QLineEdit* box(int i) { return control<QLineEdit>(window.get(), arrayName("Text2", i)); }
    QListWidget* list(const char* name) { return control<QListWidget>(window.get(), name); }
    QString path() { return control<QLabel>(window.get(), "Label1(3)")->text(); }
    std::vector<bool> states() {
        std::vector<bool> on;
        for (int i = 0; i < kEncryptorButtonCount; ++i)
            on.push_back(button(i)->isEnabled());
        return on;
    }
    QStringList names(QListWidget* l) {
        QStringList out;
        for (int i = 0; i < l->count(); ++i)
            out << l->item(i)->text();
        return out;
    }
    void clickItem(QListWidget* l, const QString& text) {
        QList<QListWidgetItem*> found = l->findItems(text, Qt::MatchEndsWith);
        ASSERT_EQ(found.size(), 1) << text.toStdString();
        l->scrollToItem(found[0]);
        clickWidget(l->viewport(), Qt::LeftButton, l->visualItemRect(found[0]).center());
    }
    void typePasswords(const QString& password) {
        for (int i = 0; i < 2; ++i)
            QTest::keyClicks(box(i), password);
    }
    QColor buttonColour(int i) { return button(i)->palette().color(QPalette::Button); }

    TempWorkDir dir;
    FakeClock clock{{2026, 12, 8, 9, 0, 0, 0}};
    Form1 app{clock, std::make_unique<FakeMciDevice>()};
    std::unique_ptr<Form10> window;
};

} // namespace

TEST_F(EncryptorWindowTest, ControlsTitleAndStart) {
    EXPECT_EQ(window->objectName(), "Form10");
    EXPECT_EQ(window->windowTitle(), QString("☆Quillet>>加密器") + QString(18, ' ') + "Orlin工作室");
    EXPECT_TRUE(duplicateControlNames(window.get()).isEmpty());
    for (const char* name : {"Drive1", "Combo1", "Dir1", "File1", "Text1", "Line1(0)", "Line1(1)"})
        EXPECT_NE(window->findChild<QWidget*>(name), nullptr) << name;
    const char* labels[] = {"输入密码", "密码确认", "操作对象"};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(control<QLabel>(window.get(), arrayName("Label1", i))->text(), labels[i]);
    for (int i = 0; i < kEncryptorButtonCount; ++i)
        EXPECT_EQ(button(i)->text(), kEncryptorCaptions[i]);
    EXPECT_EQ(states(), std::vector<bool>(7, false));
    EXPECT_FALSE(box(0)->isEnabled());
    EXPECT_EQ(box(0)->echoMode(), QLineEdit::Password);
    box(0)->setText("abc");
    EXPECT_EQ(box(0)->displayText(), "***");
    box(0)->clear();
    EXPECT_EQ(window->height(), twipsToPx(5415));
    auto* combo = control<QComboBox>(window.get(), "Combo1");
    EXPECT_EQ(combo->currentText(), "*.txt");
    EXPECT_EQ(combo->count(), 17);
    EXPECT_EQ(names(list("File1")), (QStringList{"report.txt", "two.txt"}));
    EXPECT_TRUE(path().endsWith("/"));
    EXPECT_FALSE(app.isEnabled());
    window->close();
    EXPECT_TRUE(app.isEnabled());
}

TEST_F(EncryptorWindowTest, EncryptUndoRedoThroughTheButtons) {
    clickItem(list("File1"), "report.txt");
    EXPECT_EQ(path(), QString::fromStdString((dir / "report.txt").string()));
    EXPECT_EQ(states(), (std::vector<bool>{true, false, true, false, false, false, false}));
    clickWidget(button(0));
    EXPECT_TRUE(box(0)->isEnabled());
    EXPECT_TRUE(box(0)->hasFocus());
    EXPECT_EQ(box(0)->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0xFF));
    typePasswords("abc");
    clickWidget(button(5));
    EXPECT_TRUE(Prompts::shown().empty());
    EXPECT_EQ(dir.read("report!txt.lok"), CipherPass("twelve bytes", "abc"));
    EXPECT_EQ(control<QComboBox>(window.get(), "Combo1")->currentText(), "*.lok");
    EXPECT_EQ(names(list("File1")), QStringList{"report!txt.lok"});
    EXPECT_TRUE(path().endsWith("/report!txt.lok"));
    EXPECT_EQ(states(), (std::vector<bool>{false, true, true, true, false, false, false}));
    EXPECT_FALSE(box(0)->isEnabled());
    EXPECT_TRUE(box(0)->text().isEmpty());
    EXPECT_EQ(box(1)->palette().color(QPalette::Base), QColor(0xC0, 0xFF, 0xFF));

    clickWidget(button(3));
    EXPECT_EQ(dir.read("report.txt"), "twelve bytes");
    EXPECT_FALSE(dir.exists("report!txt.lok"));
    EXPECT_EQ(states(), (std::vector<bool>{true, false, true, false, true, false, false}));
    clickWidget(button(4));
    EXPECT_TRUE(dir.exists("report!txt.lok"));
    EXPECT_EQ(states(), (std::vector<bool>{false, true, true, true, false, false, false}));
}

TEST_F(EncryptorWindowTest, MessagesForNoFileEmptyAndDifferentPasswords) {
    auto* combo = control<QComboBox>(window.get(), "Combo1");
    combo->setFocus();
    while (combo->currentIndex() < combo->count() - 1) // picks down to the last entry, "*.lok"
        QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(combo->currentText(), "*.lok");
    EXPECT_EQ(states(), std::vector<bool>(7, false)); // no file chosen: nothing to act on

    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo->lineEdit(), "*.txt");
    clickItem(list("File1"), "report.txt");
    clickWidget(button(0));
    QTest::keyClicks(box(0), "abc");
    clickWidget(button(5));
    QTest::keyClicks(box(1), "abd");
    clickWidget(button(5));
    clickWidget(button(6));
    EXPECT_TRUE(box(0)->text().isEmpty());
    ASSERT_EQ(Prompts::shown().size(), 2u);
    EXPECT_EQ(Prompts::shown()[0].text, "加/解密,密码不能为空!");
    EXPECT_EQ(Prompts::shown()[1].text, "两次密码不匹配!");
    EXPECT_EQ(dir.read("report.txt"), "twelve bytes");
}

TEST_F(EncryptorWindowTest, ViewGrowsTheWindowAndFollowsTheClickedFile) {
    clickItem(list("File1"), "two.txt");
    clickWidget(button(2));
    auto* view = control<QPlainTextEdit>(window.get(), "Text1");
    EXPECT_EQ(button(2)->text(), "关闭查看");
    EXPECT_EQ(window->height(), twipsToPx(7095));
    EXPECT_EQ(view->toPlainText(), "\n第一行\n第二行");
    clickItem(list("File1"), "report.txt");
    EXPECT_EQ(view->toPlainText(), "\ntwelve bytes");
    clickWidget(button(2));
    EXPECT_EQ(button(2)->text(), "查  看");
    EXPECT_EQ(window->height(), twipsToPx(5415));
    EXPECT_TRUE(view->toPlainText().isEmpty());
    // Another pattern leaves no file chosen: the view of the last one shuts and the buttons wait.
    clickWidget(button(2));
    clickWidget(button(0));
    auto* combo = control<QComboBox>(window.get(), "Combo1");
    clickWidget(combo->lineEdit());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(window->height(), twipsToPx(5415));
    EXPECT_TRUE(view->toPlainText().isEmpty());
    EXPECT_EQ(states(), std::vector<bool>(7, false));
    EXPECT_FALSE(box(0)->isEnabled());
}

TEST_F(EncryptorWindowTest, FolderAndDriveListsAreBound) {
    clickItem(list("File1"), "report.txt");
    QListWidget* dirs = list("Dir1");
    QList<QListWidgetItem*> sub = dirs->findItems("sub", Qt::MatchEndsWith);
    ASSERT_EQ(sub.size(), 1);
    dirs->setCurrentItem(sub[0]);
    QTest::keyClick(dirs, Qt::Key_Return);
    processEvents();
    EXPECT_EQ(path(), QString::fromStdString((dir / "sub").string()) + "/");
    EXPECT_EQ(names(list("File1")), QStringList{"inner.txt"});
    EXPECT_EQ(states(), std::vector<bool>(7, false));
    EXPECT_TRUE(dirs->item(dirs->count() - 1)->text().endsWith("sub"));

    // Another volume (the home folder here), then the root again.
    auto* drives = control<QComboBox>(window.get(), "Drive1");
    EXPECT_EQ(drives->itemText(0), "/");
    ASSERT_GT(drives->count(), 1);
    drives->setFocus();
    QTest::keyClick(drives, Qt::Key_End);
    EXPECT_EQ(path(), drives->itemText(drives->count() - 1) + "/");
    EXPECT_EQ(dirs->item(0)->text(), drives->itemText(drives->count() - 1));
    QTest::keyClick(drives, Qt::Key_Home);
    EXPECT_EQ(path(), "/");
    EXPECT_EQ(dirs->item(0)->text(), "/");
}

TEST_F(EncryptorWindowTest, ButtonUnderTheMouseTurnsPink) {
    clickItem(list("File1"), "report.txt");
    moveOver(button(2));
    EXPECT_EQ(buttonColour(2), QColor(0xFF, 0xC0, 0xC0));
    EXPECT_EQ(buttonColour(0), QColor(0xE0, 0xE0, 0xE0));
    moveOver(button(0));
    EXPECT_EQ(buttonColour(2), QColor(0xE0, 0xE0, 0xE0));
    EXPECT_EQ(buttonColour(0), QColor(0xFF, 0xC0, 0xC0));
    moveOver(window.get(), QPoint(207, 5));
    for (int i = 0; i < kEncryptorButtonCount; ++i)
        EXPECT_EQ(buttonColour(i), QColor(0xE0, 0xE0, 0xE0)) << i;
}

TEST_F(EncryptorWindowTest, AButtonDisabledUnderThePointerTurnsGrey) {
    clickItem(list("File1"), "report.txt");
    clickWidget(button(0));
    typePasswords("abc");
    moveOver(button(5));
    ASSERT_EQ(buttonColour(5), QColor(0xFF, 0xC0, 0xC0));
    clickWidget(button(5));
    ASSERT_FALSE(button(5)->isEnabled());
    EXPECT_EQ(buttonColour(5), QColor(0xE0, 0xE0, 0xE0));
}

TEST_F(EncryptorWindowTest, UndoWaitsForAFileAndAFailedViewStaysShut) {
    // After an encryption a new pattern clears the choice: undo has no file left to act on.
    clickItem(list("File1"), "report.txt");
    clickWidget(button(0));
    typePasswords("abc");
    clickWidget(button(5));
    ASSERT_TRUE(button(3)->isEnabled());
    auto* combo = control<QComboBox>(window.get(), "Combo1");
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo->lineEdit(), "*.*");
    EXPECT_FALSE(button(3)->isEnabled());
    EXPECT_FALSE(button(4)->isEnabled());
    EXPECT_TRUE(Prompts::shown().empty());
    // A file that cannot be read: its message, and no empty view under "关闭查看".
    clickItem(list("File1"), "two.txt");
    std::filesystem::remove(dir / "two.txt");
    clickWidget(button(2));
    ASSERT_EQ(Prompts::shown().size(), 1u);
    EXPECT_EQ(Prompts::shown()[0].title, "警告");
    EXPECT_EQ(button(2)->text(), "查  看");
    EXPECT_EQ(window->height(), twipsToPx(5415));
}

TEST_F(EncryptorWindowTest, LauncherOpensOneEncryptorAndDisablesTheStartUpWindow) {
    window.reset();
    EXPECT_TRUE(app.isEnabled());
    app.openEncryptor();
    auto* opened = app.windowAs<Form10>(WindowId::Form10);
    ASSERT_NE(opened, nullptr);
    app.openEncryptor();
    EXPECT_EQ(app.windowAs<Form10>(WindowId::Form10), opened);
    EXPECT_FALSE(app.isEnabled());
    opened->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(app.isEnabled());
    EXPECT_EQ(app.window(WindowId::Form10), nullptr);
}
