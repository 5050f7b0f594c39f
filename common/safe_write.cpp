#include "common/safe_write.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

SafeWriteFault g_fault;

std::string injected(std::string_view step, const fs::path& target) {
    return g_fault ? g_fault(step, target) : std::string();
}

IoError osError(const fs::path& path, int err) {
    return IoError{path.string(), std::strerror(err)};
}

fs::path tempNameBeside(const fs::path& target) {
    static std::mt19937_64 rng{std::random_device{}()};
    std::ostringstream name;
    name << "." << target.filename().string() << ".tmp" << std::hex << (rng() & 0xFFFFFFu);
    return target.parent_path() / name.str();
}

// Writes all bytes, retrying short writes and EINTR.
bool writeAll(int fd, std::string_view bytes, int& err) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            err = errno;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

mode_t currentUmask() {
    mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

void syncFolder(const fs::path& folder) {
    int dfd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
}

} // namespace

void setSafeWriteFaultForTests(SafeWriteFault fault) {
    g_fault = std::move(fault);
}

Result<void> writeFileAtomic(const fs::path& target, std::string_view bytes) {
    return writeFileAtomicStreamed(target, [&](const ChunkSink& sink) -> Result<void> {
        if (!sink(bytes))
            return IoError{target.string(), "write failed"};
        return {};
    });
}

Result<void> writeFileAtomicStreamed(const fs::path& target,
                                     const std::function<Result<void>(const ChunkSink&)>& produce,
                                     bool replaceExisting) {
    fs::path temp = tempNameBeside(target);
    // Only the owner can read the temporary file while it fills; it gets its final permission bits (those of
    // the file it replaces, else the usual ones under the umask) just before the rename.
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return osError(target, errno);
    struct stat st;
    const mode_t finalMode = ::stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : (0666 & ~currentUmask());

    std::optional<IoError> failure;
    auto fail = [&](IoError e) {
        if (!failure)
            failure = std::move(e);
    };
    ChunkSink sink = [&](std::string_view chunk) {
        if (failure)
            return false;
        if (std::string why = injected("write", target); !why.empty()) {
            fail(IoError{target.string(), why});
            return false;
        }
        int err = 0;
        if (!writeAll(fd, chunk, err)) {
            fail(osError(target, err));
            return false;
        }
        return true;
    };
    Result<void> produced = produce(sink);
    if (!produced.ok())
        fail(produced.error());
    if (!failure) {
        if (std::string why = injected("fsync", target); !why.empty())
            fail(IoError{target.string(), why});
        else if (::fsync(fd) != 0)
            fail(osError(target, errno));
    }
    if (!failure && ::fchmod(fd, finalMode) != 0)
        fail(osError(target, errno));
    if (::close(fd) != 0 && !failure)
        fail(osError(target, errno));
    if (!failure && !replaceExisting && fs::exists(fs::symlink_status(target)))
        fail(IoError{target.string(), std::strerror(EEXIST)});
    if (!failure) {
        if (std::string why = injected("rename", target); !why.empty())
            fail(IoError{target.string(), why});
        else if (::rename(temp.c_str(), target.c_str()) != 0)
            fail(osError(target, errno));
    }
    if (failure) {
        ::unlink(temp.c_str());
        return *failure;
    }
    syncFolder(target.parent_path());
    return {};
}

Result<void> appendFileSynced(const fs::path& target, std::string_view bytes) {
    if (std::string why = injected("write", target); !why.empty())
        return IoError{target.string(), why};
    int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return osError(target, errno);
    int err = 0;
    bool ok = writeAll(fd, bytes, err);
    if (ok && ::fsync(fd) != 0) {
        ok = false;
        err = errno;
    }
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (!ok)
        return osError(target, err);
    return {};
}

Result<std::string> readFileBytes(const fs::path& path) {
    std::error_code ec;
    if (fs::is_directory(path, ec))
        return osError(path, EISDIR);
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return osError(path, errno ? errno : ENOENT);
    std::ostringstream all;
    all << in.rdbuf();
    if (in.bad())
        return osError(path, errno ? errno : EIO);
    return all.str();
}

Result<void> ensureFolder(const fs::path& folder) {
    std::error_code ec;
    if (fs::is_directory(folder, ec))
        return {};
    fs::create_directories(folder, ec);
    if (ec)
        return IoError{folder.string(), ec.message()};
    return {};
}
