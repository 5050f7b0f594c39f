// Start-up as a user meets it: the real program in its own processes, in a temporary working folder.
#include "support/temp_dir.h"

#include <QProcess>
#include <QUuid>
#include <gtest/gtest.h>

namespace {

class StartupTest : public ::testing::Test {
protected:
    std::unique_ptr<QProcess> start() {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("QUILLET_PROMPTS", "stderr");
        env.insert("QUILLET_INSTANCE_KEY", key);
        p->setProcessEnvironment(env);
        p->setWorkingDirectory(QString::fromStdString(dir.path().string()));
        p->start(QUILLET_APP, {});
        EXPECT_TRUE(p->waitForStarted(5000));
        return p;
    }
    // Runs the program to its end; returns its exit code and what it said.
    std::pair<int, QString> runToEnd() {
        auto p = start();
        EXPECT_TRUE(p->waitForFinished(15000));
        return {p->exitCode(), QString::fromUtf8(p->readAllStandardError())};
    }
    static void stop(QProcess& p) {
        p.kill();
        p.waitForFinished(5000);
    }

    TempWorkDir dir;
    QString key = QUuid::createUuid().toString(QUuid::WithoutBraces);
};

} // namespace

TEST_F(StartupTest, MissingShortOrOverflowingSettingsEndWithAWarning) {
    auto [code, said] = runToEnd();
    EXPECT_NE(code, 0);
    EXPECT_TRUE(said.contains("[警告]")) << said.toStdString();
    EXPECT_TRUE(said.contains("pavosz.cjf"));
    EXPECT_FALSE(dir.exists("pavosz.cjf")); // start-up never creates the file

    dir.write("pavosz.cjf", "a\r\nb\r\nc\r\n");
    std::tie(code, said) = runToEnd();
    EXPECT_NE(code, 0);
    EXPECT_TRUE(said.contains("3")) << said.toStdString();
    EXPECT_EQ(dir.read("pavosz.cjf"), "a\r\nb\r\nc\r\n");

    dir.write("pavosz.cjf", "a\r\nb\r\nc\r\n99999\r\n");
    std::tie(code, said) = runToEnd();
    EXPECT_NE(code, 0);
    EXPECT_TRUE(said.contains("溢出")) << said.toStdString();
}

TEST_F(StartupTest, SecondCopyIsRefusedWithoutTouchingFiles) {
    dir.write("pavosz.cjf", "\r\n\r\nhttps://www.example.org/\r\n 5 \r\n");
    auto first = start();
    ASSERT_FALSE(first->waitForFinished(2500));  // the first copy keeps running
    std::filesystem::remove(dir / "pavosz.cjf"); // the second copy must not even look for it
    auto [code, said] = runToEnd();
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(said.contains("[提示] 已经在运行<Quillet>!")) << said.toStdString();
    EXPECT_EQ(said.count("已经在运行"), 1);
    EXPECT_EQ(first->state(), QProcess::Running);
    stop(*first);
}

TEST_F(StartupTest, LockOfAKilledCopyIsTakenOver) {
    dir.write("pavosz.cjf", "\r\n\r\n\r\n 5 \r\n");
    auto first = start();
    ASSERT_FALSE(first->waitForFinished(2500));
    stop(*first); // SIGKILL: no clean-up
    auto second = start();
    EXPECT_FALSE(second->waitForFinished(2500));
    EXPECT_EQ(second->state(), QProcess::Running);
    EXPECT_FALSE(QString::fromUtf8(second->readAllStandardError()).contains("已经在运行"));
    stop(*second);
}
