// The single-instance lock lives in a folder private to the user.
#include "platform/single_instance.h"
#include "support/temp_dir.h"

#include <QDir>
#include <QTest>
#include <QUuid>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {
// Sets an environment variable for one test.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value)
        : m_name(name), m_old(qgetenv(name)), m_had(qEnvironmentVariableIsSet(name)) {
        value.isNull() ? qunsetenv(name) : qputenv(name, value);
    }
    ~ScopedEnv() { m_had ? qputenv(m_name, m_old) : qunsetenv(m_name); }

private:
    const char* m_name;
    QByteArray m_old;
    bool m_had;
};
mode_t modeOf(const fs::path& p) {
    struct stat st {};
    ::stat(p.c_str(), &st);
    return st.st_mode & 0777;
}
QString uniqueKey() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}
} // namespace

TEST(SingleInstanceLock, LivesInTheRuntimeFolderAndRefusesASecondCopy) {
    TempWorkDir dir;
    fs::create_directories(dir / "run");
    fs::permissions(dir / "run", fs::perms::owner_all);
    ScopedEnv runtime("XDG_RUNTIME_DIR", QByteArray((dir / "run").c_str()));
    const QString key = uniqueKey();
    SingleInstance first(key), second(key);
    ASSERT_TRUE(first.acquire());
    EXPECT_TRUE(first.lockPath().startsWith(QString::fromStdString((dir / "run").string()) + "/"));
    EXPECT_FALSE(second.acquire());
    int raised = 0; // the running copy is asked to come forward
    QObject::connect(&first, &SingleInstance::activationRequested, [&raised] { ++raised; });
    EXPECT_TRUE(second.notifyRunning());
    EXPECT_TRUE(QTest::qWaitFor([&raised] { return raised == 1; }, 2000));
}

TEST(SingleInstanceLock, FallsBackToAPrivateFolderOfTheUser) {
    TempWorkDir dir;
    ScopedEnv tmp("TMPDIR", QByteArray(dir.path().c_str()));
    fs::create_directories(dir / "shared-run");
    fs::permissions(dir / "shared-run", fs::perms::all); // open to everybody: not a place for the lock
    for (const QByteArray& runtime : {QByteArray(), QByteArray("relative"), QByteArray((dir / "shared-run").c_str())}) {
        ScopedEnv unset("XDG_RUNTIME_DIR", runtime);
        SingleInstance instance(uniqueKey());
        ASSERT_TRUE(instance.acquire());
        const fs::path folder = fs::path(instance.lockPath().toStdString()).parent_path();
        EXPECT_EQ(folder, dir / ("quillet-" + std::to_string(::getuid())));
        EXPECT_EQ(modeOf(folder), 0700u);
    }
    // A fallback folder that others may enter is not used.
    fs::permissions(dir / ("quillet-" + std::to_string(::getuid())), fs::perms::all);
    ScopedEnv unset("XDG_RUNTIME_DIR", QByteArray());
    EXPECT_EQ(SingleInstance::runtimeFolder(), QString());
}
