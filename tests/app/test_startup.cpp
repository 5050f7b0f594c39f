// Start-up as a user meets it: the real program in its own processes, in a temporary working folder.
#include "support/build_paths.h"
#include "support/temp_dir.h"

#include <QProcess>
#include <QUuid>
#include <gtest/gtest.h>
#include <optional>
#include <unistd.h>

namespace {

class StartupTest : public ::testing::Test {
protected:
    // Starts the program on the temporary folder; `args` replace "--data <folder>", `home` is its HOME.
    std::unique_ptr<QProcess> start(std::optional<QStringList> args = {}, const QString& home = {}) {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("QUILLET_PROMPTS", "stderr");
        env.insert("QUILLET_INSTANCE_KEY", key);
        if (!home.isEmpty()) {
            env.insert("HOME", home);
            env.remove("XDG_DATA_HOME");
        }
        p->setProcessEnvironment(env);
        p->setWorkingDirectory(QString::fromStdString(dir.path().string()));
        p->start(QString::fromStdString(appProgram()),
                 args.value_or(QStringList{"--data", QString::fromStdString(dir.path().string())}));
        EXPECT_TRUE(p->waitForStarted(5000));
        return p;
    }
    // Runs the program to its end; returns its exit code and what it said.
    std::pair<int, QString> runToEnd(std::optional<QStringList> args = {}, const QString& home = {}) {
        auto p = start(std::move(args), home);
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

// Started with no data folder of its own, the program makes the user's from its defaults; a place that cannot
// hold one is named and ends the program before anything is made.
TEST_F(StartupTest, UserDataFolderIsSeededOrItsProblemNamed) {
    dir.write("afile", "x");
    const QString afile = QString::fromStdString((dir / "afile").string());
    auto [code, said] = runToEnd(QStringList{}, afile);
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(said.contains(afile + "/.local/share/quillet")) << said.toStdString();
    EXPECT_TRUE(said.contains("[警告]")) << said.toStdString();

    std::tie(code, said) = runToEnd(QStringList{"--data", afile});
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(said.contains("不是文件夹")) << said.toStdString();

    auto p = start(QStringList{}, QString::fromStdString((dir / "home").string()));
    EXPECT_FALSE(p->waitForFinished(1500)) << p->readAllStandardError().toStdString(); // the desk calendar runs
    stop(*p);
    EXPECT_TRUE(dir.exists("home/.local/share/quillet/pavosz.cjf"));
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
    // Nor does it make a data folder of its own: the check comes first.
    std::tie(code, said) = runToEnd(QStringList{}, QString::fromStdString((dir / "home").string()));
    EXPECT_TRUE(said.contains("已经在运行")) << said.toStdString();
    EXPECT_FALSE(dir.exists("home"));
    EXPECT_EQ(first->state(), QProcess::Running);
    stop(*first);
}

// Without a runtime folder private to the user, no lock can mark the running copy: the program says so once.
TEST_F(StartupTest, WithoutAPrivateLockFolderTheProgramSaysItIsUnguarded) {
    dir.write("pavosz.cjf", "\r\n\r\n\r\n 5 \r\n");
    std::filesystem::create_directories(dir / ("tmp/quillet-" + std::to_string(::getuid())));
    std::filesystem::permissions(dir / ("tmp/quillet-" + std::to_string(::getuid())), std::filesystem::perms::all);
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR"), tmp = qgetenv("TMPDIR");
    qunsetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", QByteArray::fromStdString((dir / "tmp").string()));
    auto p = start();
    qputenv("XDG_RUNTIME_DIR", runtime);
    tmp.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", tmp);
    EXPECT_FALSE(p->waitForFinished(2500));
    const QString said = QString::fromUtf8(p->readAllStandardError());
    EXPECT_EQ(said.count("无法防止同时运行两份"), 1) << said.toStdString();
    stop(*p);
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
