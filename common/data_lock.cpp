#include "common/data_lock.h"

#include "common/data_paths.h"

#include <algorithm>
#include <cerrno>
#include <map>
#include <mutex>
#include <thread>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

std::chrono::milliseconds g_timeout{3000};

struct Held {
    int fd = -1;
    bool noted = false; // the holder's note was written and is cleared on release
    int depth = 0;
};

std::mutex& registryMutex() {
    static std::mutex m;
    return m;
}

std::map<std::string, Held>& registry() {
    static std::map<std::string, Held> held;
    return held;
}

#ifndef _WIN32

std::string programName() {
#ifdef __GLIBC__
    return program_invocation_short_name;
#else
    return "quillet";
#endif
}

long currentPid() {
    return static_cast<long>(::getpid());
}

// The holder's note, "pid name"; empty when there is none.
std::string readNote(int fd) {
    char buf[256];
    const ssize_t n = ::pread(fd, buf, sizeof buf - 1, 0);
    if (n <= 0)
        return {};
    std::string note(buf, static_cast<std::size_t>(n));
    if (const std::size_t end = note.find('\n'); end != std::string::npos)
        note.resize(end);
    return note;
}

std::string busyReason(const std::string& note, std::chrono::milliseconds waited) {
    std::string who = "无法得知是哪个程序";
    if (const std::size_t space = note.find(' '); space != std::string::npos && space > 0)
        who = "进程号 " + note.substr(0, space) + ",程序 " + note.substr(space + 1);
    const long seconds = std::max(1L, static_cast<long>((waited.count() + 500) / 1000));
    return "数据文件夹正被另一个程序使用(" + who + "),等了 " + std::to_string(seconds) +
           " 秒仍未让出。本次没有作任何改动,请稍后再试。";
}

IoError lockFileError(const fs::path& folder, int err) {
    return IoError{pathToUtf8(folder),
                   "无法建立或打开数据文件夹的锁文件 " + std::string(kDataLockFileName) + ": " + systemReason(err)};
}

// Opens the lock file (created when missing) and waits up to `timeout` for the exclusive lock.
Result<Held> lockFolder(const fs::path& folder, std::chrono::milliseconds timeout) {
    const fs::path file = folder / kDataLockFileName;
    Held held;
    held.fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    held.noted = held.fd >= 0;
    if (held.fd < 0) {
        // A lock file that cannot be written (a read-only folder or file) still locks; only the note is lost.
        const int err = errno;
        held.fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (held.fd < 0)
            return lockFileError(folder, err);
    }
    const auto start = std::chrono::steady_clock::now();
    while (::flock(held.fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        const auto waited =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        if (err != EINTR && err != EWOULDBLOCK) {
            ::close(held.fd);
            return lockFileError(folder, err);
        }
        if (err == EWOULDBLOCK && waited >= timeout) {
            const std::string note = readNote(held.fd);
            ::close(held.fd);
            return IoError{pathToUtf8(folder), busyReason(note, waited)};
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (held.noted) {
        const std::string note = std::to_string(currentPid()) + " " + programName() + "\n";
        held.noted = ::ftruncate(held.fd, 0) == 0 && ::pwrite(held.fd, note.data(), note.size(), 0) > 0;
    }
    return held;
}

void unlockFolder(const Held& held) {
    if (held.noted)
        (void)::ftruncate(held.fd, 0);
    ::flock(held.fd, LOCK_UN);
    ::close(held.fd);
}

#else

// Not wired up on this platform yet: every step runs unlocked, as a single writer.
Result<Held> lockFolder(const fs::path&, std::chrono::milliseconds) {
    return Held{};
}

void unlockFolder(const Held&) {}

#endif

std::string keyOf(const fs::path& folder) {
    std::error_code ec;
    fs::path absolute = fs::absolute(folder.empty() ? fs::path(".") : folder, ec);
    fs::path canonical = fs::weakly_canonical(absolute, ec);
    return (ec ? absolute : canonical).string();
}

} // namespace

Result<DataLock> DataLock::take(const fs::path& dataFolder) {
    return takeWithin(dataFolder, g_timeout);
}

std::optional<DataLock> DataLock::tryTake(const fs::path& dataFolder) {
    Result<DataLock> lock = takeWithin(dataFolder, std::chrono::milliseconds(0));
    if (!lock)
        return std::nullopt;
    return std::move(*lock);
}

Result<DataLock> DataLock::takeWithin(const fs::path& dataFolder, std::chrono::milliseconds timeout) {
    std::string key = keyOf(dataFolder);
    std::lock_guard guard(registryMutex());
    if (auto it = registry().find(key); it != registry().end()) {
        ++it->second.depth;
        return DataLock(std::move(key));
    }
    Result<Held> held = lockFolder(fs::path(key), timeout);
    if (!held)
        return held.error();
    held->depth = 1;
    registry().emplace(key, *held);
    return DataLock(std::move(key));
}

DataLock::~DataLock() {
    if (m_key.empty())
        return;
    std::lock_guard guard(registryMutex());
    auto it = registry().find(m_key);
    if (it == registry().end() || --it->second.depth > 0)
        return;
    unlockFolder(it->second);
    registry().erase(it);
}

fs::path dataFolderAbove(const fs::path& file, int depth) {
    fs::path folder = file.parent_path();
    for (int i = 0; i < depth; ++i)
        folder = folder.parent_path();
    return folder.empty() ? fs::path(".") : folder;
}

void setDataLockTimeoutForTests(std::chrono::milliseconds timeout) {
    g_timeout = timeout;
}
