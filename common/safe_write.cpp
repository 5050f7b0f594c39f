#include "common/safe_write.h"

#include "common/temp_debris.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
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

// The final permission bits of `target` under `options`.
mode_t finalModeOf(const fs::path& target, const AtomicWriteOptions& options) {
    if (options.mode)
        return static_cast<mode_t>(*options.mode) & 07777;
    struct stat st;
    const bool exists = ::stat(target.c_str(), &st) == 0;
    switch (options.access) {
    case FileAccess::Private:
        return exists ? (st.st_mode & 0700) : 0600;
    case FileAccess::PrivateNew:
        return exists ? (st.st_mode & 07777) : 0600;
    case FileAccess::Usual:
        break;
    }
    return exists ? (st.st_mode & 07777) : (0666 & ~currentUmask());
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

Result<void> writeFileAtomic(const fs::path& target, std::string_view bytes, FileAccess access) {
    AtomicWriteOptions options;
    options.access = access;
    return writeFileAtomicStreamed(
        target,
        [&](const ChunkSink& sink) -> Result<void> {
            if (!sink(bytes))
                return IoError{target.string(), "write failed"};
            return {};
        },
        options);
}

Result<void> writeFileAtomicStreamed(const fs::path& target,
                                     const std::function<Result<void>(const ChunkSink&)>& produce,
                                     const AtomicWriteOptions& options) {
    sweepStaleTemps(target.parent_path(), target.filename().string());
    const fs::path temp = tempPathFor(target);
    // The temporary file is created owner-only and gets its final bits before the first byte, so what it
    // will hold is never readable by more people than the finished file allows, not even for a moment.
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return osError(target, errno);
    if (::fchmod(fd, finalModeOf(target, options)) != 0) {
        IoError e = osError(target, errno);
        ::close(fd);
        ::unlink(temp.c_str());
        return e;
    }

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
    if (::close(fd) != 0 && !failure)
        fail(osError(target, errno));
    if (!failure && !options.replaceExisting && fs::exists(fs::symlink_status(target)))
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
    struct stat before;
    const bool existed = ::stat(target.c_str(), &before) == 0;
    int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0)
        return osError(target, errno);
    int err = 0;
    bool ok = writeAll(fd, bytes, err);
    if (ok && ::fsync(fd) != 0) {
        ok = false;
        err = errno;
    }
    // A failed append takes back what it wrote (no partial line stays) and a log it created.
    if (!ok && existed)
        (void)!::ftruncate(fd, before.st_size);
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (!ok && !existed)
        ::unlink(target.c_str());
    if (!ok)
        return osError(target, err);
    return {};
}

Result<std::string> readFileBytes(const fs::path& path) {
    std::error_code ec;
    if (fs::is_directory(path, ec))
        return osError(path, EISDIR);
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return osError(path, errno);
    std::string all;
    struct stat st;
    if (::fstat(fd, &st) == 0 && st.st_size > 0)
        all.reserve(static_cast<std::size_t>(st.st_size));
    // Read until read(2) says end of file; any failed read makes the whole read fail.
    char chunk[1 << 16];
    for (;;) {
        int err = 0;
        ssize_t n = -1;
        if (injected("read", path).empty())
            n = ::read(fd, chunk, sizeof chunk);
        else
            errno = EIO; // a read fault of the tests: read(2) failed, handled as such below
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            err = errno;
        if (n <= 0) {
            ::close(fd);
            if (err != 0)
                return osError(path, err);
            return all;
        }
        all.append(chunk, static_cast<std::size_t>(n));
    }
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
