// The encryptor's rules (Form10's model): button states, the operation through OK, undo and redo, view.
#include "common/safe_write.h"
#include "diary/text_cipher.h"
#include "encryptor/file_encryptor.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using B = EncryptorButton;

namespace {

class FileEncryptorTest : public ::testing::Test {
protected:
    FileEncryptorTest() {
        dir.write("report.txt", kPlain);
        dir.write("notes.doc", "doc");
    }
    ~FileEncryptorTest() override { setSafeWriteFaultForTests(nullptr); }

    std::string folder() const { return dir.path().string(); }
    std::string inFolder(const std::string& name) const { return (dir / name).string(); }
    std::vector<bool> states() const {
        std::vector<bool> on;
        for (int i = 0; i < kEncryptorButtonCount; ++i)
            on.push_back(model.enabled(static_cast<B>(i)));
        return on;
    }
    // Chooses a file and runs encrypt/decrypt + OK with the password typed twice.
    std::optional<Notice> operate(const std::string& name, const std::string& password, B way = B::Encrypt) {
        model.clickFile(name);
        EXPECT_FALSE(model.press(way));
        model.setPassword(0, password);
        model.setPassword(1, password);
        return model.press(B::Ok);
    }

    static constexpr const char* kPlain = "twelve bytes";
    TempWorkDir dir;
    FileEncryptor model{{"/", "/nonexistent-volume"}, dir.path().string()};
};

} // namespace

TEST_F(FileEncryptorTest, StartsWithNothingChosen) {
    EXPECT_EQ(states(), std::vector<bool>(7, false));
    EXPECT_EQ(model.pattern(), "*.txt");
    EXPECT_EQ(model.drive(), "/");
    EXPECT_EQ(model.chosen(), folder() + "/");
    EXPECT_FALSE(model.hasChosenFile());
    EXPECT_FALSE(model.passwordsEnabled());
    EXPECT_EQ(model.passwordColour(), PasswordColour::LightCyan);
    EXPECT_EQ(model.heightTwips(), 5415);
    EXPECT_EQ(model.files(), std::vector<std::string>{"report.txt"});
    EXPECT_EQ(model.folderChain().back(), folder());
    EXPECT_EQ(model.folderChain().front(), "/");
    EXPECT_EQ(encryptorPatterns().size(), 17u);
    EXPECT_EQ(encryptorPatterns().back(), "*.lok");
}

TEST_F(FileEncryptorTest, EncryptThenUndoThenRedo) {
    model.clickFile("report.txt");
    EXPECT_EQ(states(), (std::vector<bool>{true, false, true, false, false, false, false}));
    EXPECT_EQ(model.chosen(), inFolder("report.txt"));
    ASSERT_FALSE(model.press(B::Encrypt));
    EXPECT_EQ(model.passwordColour(), PasswordColour::White);
    EXPECT_TRUE(model.passwordsEnabled());
    EXPECT_TRUE(model.takeFocusRequest());
    EXPECT_FALSE(model.takeFocusRequest());
    EXPECT_EQ(states(), (std::vector<bool>{true, false, true, false, false, true, true}));
    model.setPassword(0, "abc");
    model.setPassword(1, "abc");
    ASSERT_FALSE(model.press(B::Ok));

    EXPECT_EQ(dir.read("report!txt.lok"), CipherPass(kPlain, "abc"));
    EXPECT_FALSE(dir.exists("report.txt"));
    EXPECT_EQ(model.chosen(), inFolder("report!txt.lok"));
    EXPECT_EQ(model.pattern(), "*.lok");
    EXPECT_EQ(model.files(), std::vector<std::string>{"report!txt.lok"});
    EXPECT_EQ(states(), (std::vector<bool>{false, true, true, true, false, false, false}));
    EXPECT_EQ(model.passwordColour(), PasswordColour::LightCyan);
    EXPECT_FALSE(model.passwordsEnabled());
    EXPECT_EQ(model.password(0), "");
    EXPECT_EQ(model.lastPassword(), "abc");

    ASSERT_FALSE(model.press(B::Undo));
    EXPECT_EQ(dir.read("report.txt"), kPlain);
    EXPECT_FALSE(dir.exists("report!txt.lok"));
    EXPECT_EQ(model.pattern(), "*.txt");
    EXPECT_EQ(states(), (std::vector<bool>{true, false, true, false, true, false, false}));

    ASSERT_FALSE(model.press(B::Redo));
    EXPECT_EQ(dir.read("report!txt.lok"), CipherPass(kPlain, "abc"));
    EXPECT_EQ(states(), (std::vector<bool>{false, true, true, true, false, false, false}));
}

TEST_F(FileEncryptorTest, WrongLengthPasswordThenUndoRestoresTheLokFile) {
    ASSERT_FALSE(operate("report.txt", "abc"));
    const std::string lok = dir.read("report!txt.lok");
    ASSERT_FALSE(operate("report!txt.lok", "abcd", B::Decrypt));
    EXPECT_EQ(model.chosen(), inFolder("report.txt"));
    EXPECT_NE(dir.read("report.txt"), kPlain);
    ASSERT_FALSE(model.press(B::Undo));
    EXPECT_EQ(dir.read("report!txt.lok"), lok);
    // Another password of the same length restores the plain bytes.
    ASSERT_FALSE(operate("report!txt.lok", "xyz", B::Decrypt));
    EXPECT_EQ(dir.read("report.txt"), kPlain);
}

TEST_F(FileEncryptorTest, UpperCaseLokFileIsDecrypted) {
    dir.write("FILE!TXT.LOK", CipherPass("plain text", "pw"));
    model.pickPattern("*.lok");
    EXPECT_EQ(model.files(), std::vector<std::string>{"FILE!TXT.LOK"});
    model.clickFile("FILE!TXT.LOK");
    EXPECT_TRUE(model.enabled(B::Decrypt));
    ASSERT_FALSE(operate("FILE!TXT.LOK", "xy", B::Decrypt));
    EXPECT_EQ(dir.read("FILE.TXT"), "plain text");
    EXPECT_EQ(model.pattern(), "*.TXT");
    EXPECT_EQ(model.files(), (std::vector<std::string>{"FILE.TXT", "report.txt"}));
}

TEST_F(FileEncryptorTest, NamesWithOtherExtensions) {
    dir.write("a.html", "<p>");
    dir.write("README", "read me");
    model.pickPattern("*.*");
    ASSERT_FALSE(operate("a.html", "pw"));
    EXPECT_TRUE(dir.exists("a!html.lok"));
    ASSERT_FALSE(model.press(B::Undo));
    EXPECT_EQ(model.pattern(), "*.html");
    EXPECT_EQ(dir.read("a.html"), "<p>");

    ASSERT_FALSE(operate("README", "pw"));
    EXPECT_EQ(model.chosen(), inFolder("README!.lok"));
    ASSERT_FALSE(model.press(B::Undo));
    EXPECT_EQ(model.pattern(), "*.");
    EXPECT_EQ(model.files(), std::vector<std::string>{"README"});
    EXPECT_EQ(dir.read("README"), "read me");
}

TEST_F(FileEncryptorTest, MessagesLeaveTheStateAsItWas) {
    model.clickFile("report.txt");
    model.press(B::Encrypt);
    const auto before = states();
    model.setPassword(0, "abc");
    EXPECT_EQ(model.press(B::Ok)->text, "加/解密,密码不能为空!");
    model.setPassword(1, "abd");
    EXPECT_EQ(model.press(B::Ok)->text, "两次密码不匹配!");
    model.setPassword(0, "密码");
    model.setPassword(1, "密码");
    EXPECT_EQ(model.press(B::Ok)->text, cipherPasswordProblem("密码")->text);
    EXPECT_EQ(states(), before);
    EXPECT_EQ(model.lastPassword(), "");
    EXPECT_EQ(dir.read("report.txt"), kPlain);

    ASSERT_FALSE(model.press(B::Clear));
    EXPECT_EQ(model.password(0), "");
    EXPECT_EQ(model.password(1), "");
}

TEST_F(FileEncryptorTest, FailedWriteChangesNothing) {
    ASSERT_FALSE(operate("report.txt", "abc"));
    model.clickFile("report!txt.lok");
    model.press(B::Decrypt);
    model.setPassword(0, "four");
    model.setPassword(1, "four");
    const auto before = states();
    setSafeWriteFaultForTests([](std::string_view step, const fs::path&) {
        return step == "rename" ? std::string("Input/output error") : std::string();
    });
    std::optional<Notice> n = model.press(B::Ok);
    ASSERT_TRUE(n);
    EXPECT_NE(n->text.find("Input/output error"), std::string::npos);
    EXPECT_EQ(states(), before);
    EXPECT_EQ(model.lastPassword(), "abc");
    EXPECT_EQ(model.password(0), "four");
    EXPECT_EQ(model.chosen(), inFolder("report!txt.lok"));
    EXPECT_EQ(dir.read("report!txt.lok"), CipherPass(kPlain, "abc"));
    EXPECT_FALSE(dir.exists("report.txt"));
}

TEST_F(FileEncryptorTest, UndoRefusedWhenTheOldNameIsTakenAgain) {
    ASSERT_FALSE(operate("report.txt", "abc"));
    dir.write("report.txt", "a new file");
    std::optional<Notice> n = model.press(B::Undo);
    ASSERT_TRUE(n);
    EXPECT_NE(n->text.find("目标文件已经存在"), std::string::npos);
    EXPECT_TRUE(model.enabled(B::Undo));
    EXPECT_FALSE(model.enabled(B::Redo));
    EXPECT_EQ(dir.read("report.txt"), "a new file");
    EXPECT_EQ(dir.read("report!txt.lok"), CipherPass(kPlain, "abc"));
}

TEST_F(FileEncryptorTest, ViewToggleAndFollow) {
    dir.write("two.txt", gb("第一行\r\n第二行\r\n"));
    model.clickFile("two.txt");
    ASSERT_FALSE(model.press(B::View));
    EXPECT_EQ(model.viewCaption(), "关闭查看");
    EXPECT_EQ(model.heightTwips(), 7095);
    EXPECT_EQ(model.viewText(), "\r\n第一行\r\n第二行");
    // Another file clicked while the view is open is shown at once.
    model.clickFile("report.txt");
    EXPECT_EQ(model.viewText(), std::string("\r\n") + kPlain);
    EXPECT_TRUE(model.viewOpen());
    // After the operation the view shows the file under its new name.
    model.press(B::Encrypt);
    model.setPassword(0, "abc");
    model.setPassword(1, "abc");
    ASSERT_FALSE(model.press(B::Ok));
    EXPECT_EQ(model.viewText(), "\r\n" + CipherPass(kPlain, "abc"));
    ASSERT_FALSE(model.press(B::View));
    EXPECT_EQ(model.viewCaption(), "查  看");
    EXPECT_EQ(model.heightTwips(), 5415);
    EXPECT_EQ(model.viewText(), "");
}

TEST_F(FileEncryptorTest, BrowsingDisablesTheButtons) {
    fs::create_directories(dir / "sub/deeper");
    dir.write("sub/inner.txt", "x");
    model.clickFile("report.txt");
    model.typePattern("*.doc");
    EXPECT_EQ(model.chosen(), folder() + "/");
    EXPECT_EQ(states(), std::vector<bool>(7, false)); // no file chosen: nothing to act on
    EXPECT_EQ(model.files(), std::vector<std::string>{"notes.doc"});
    EXPECT_EQ(model.subfolders(), std::vector<std::string>{"sub"});

    model.changeFolder(inFolder("sub"));
    EXPECT_EQ(states(), std::vector<bool>(7, false));
    EXPECT_EQ(model.chosen(), inFolder("sub") + "/");
    EXPECT_EQ(model.folderChain().back(), inFolder("sub"));
    EXPECT_EQ(model.subfolders(), std::vector<std::string>{"deeper"});

    const std::string before = model.chosen();
    EXPECT_FALSE(model.changeDrive("/nonexistent-volume"));
    EXPECT_EQ(model.chosen(), before);
    EXPECT_EQ(model.drive(), "/");
    model.clickFile("inner.txt");
    ASSERT_TRUE(model.changeDrive("/"));
    EXPECT_EQ(model.chosen(), "/");
    EXPECT_EQ(model.folder(), "/");
    EXPECT_EQ(model.folderChain(), std::vector<std::string>{"/"});
    EXPECT_EQ(states(), std::vector<bool>(7, false));
}
