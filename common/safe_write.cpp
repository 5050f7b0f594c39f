#include "common/safe_write.h"

#include "common/temp_debris.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const char* const kNotRegular = "不是普通文件 (管道、设备或其他特殊文件)";

std::string tooBig(std::size_t limit) {
    return "文件太大 (超过 " + std::to_string(limit >> 20) + " MiB)";
}

SafeWriteFault g_fault;

std::string injected(std::string_view step, const fs::path& target) {
    return g_fault ? g_fault(step, target) : std::string();
}

IoError osError(const fs::path& path, int err) {
    return systemError(path.string(), err);
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

// Why an existing file may not be replaced or appended to, if it may not: a folder or another non-regular
// file in its place, or a file the user made read-only (no write bit at all) or this user may not write.
std::optional<IoError> refusalOf(const fs::path& shown, const fs::path& file, const struct stat& st) {
    if (S_ISDIR(st.st_mode))
        return osError(shown, EISDIR);
    if (!S_ISREG(st.st_mode))
        return IoError{shown.string(), kNotRegular};
    if ((st.st_mode & 0222) == 0)
        return IoError{shown.string(), "文件是只读的,没有改动"};
    if (::access(file.c_str(), W_OK) != 0)
        return osError(shown, errno);
    return std::nullopt;
}

// The file a write of `target` replaces: `target` itself, or the file its symbolic links lead to, so that the
// link stays and the data reaches its target. An error when that file may not be written.
Result<fs::path> writablePlaceOf(const fs::path& target) {
    fs::path place = target;
    for (int hops = 0;; ++hops) {
        struct stat st;
        if (::lstat(place.c_str(), &st) != 0)
            return errno == ENOENT ? Result<fs::path>(place) : Result<fs::path>(osError(target, errno));
        if (!S_ISLNK(st.st_mode)) {
            if (std::optional<IoError> refused = refusalOf(target, place, st))
                return *refused;
            return place;
        }
        std::error_code ec;
        const fs::path to = fs::read_symlink(place, ec);
        if (ec || hops == 40)
            return osError(target, ec ? ec.value() : ELOOP);
        place = to.is_absolute() ? to : place.parent_path() / to;
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
    const Result<fs::path> resolved = writablePlaceOf(target);
    if (!resolved)
        return resolved.error();
    const fs::path& place = *resolved;
    sweepStaleTemps(place.parent_path(), place.filename().string());
    const fs::path temp = tempPathFor(place);
    // The temporary file is created owner-only and gets its final bits before the first byte, so what it
    // will hold is never readable by more people than the finished file allows, not even for a moment.
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return osError(target, errno);
    if (::fchmod(fd, finalModeOf(place, options)) != 0) {
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
        fail(osError(target, EEXIST));
    if (!failure) {
        if (std::string why = injected("rename", target); !why.empty())
            fail(IoError{target.string(), why});
        else if (::rename(temp.c_str(), place.c_str()) != 0)
            fail(osError(target, errno));
    }
    if (failure) {
        ::unlink(temp.c_str());
        return *failure;
    }
    syncFolder(place.parent_path());
    return {};
}

Result<void> appendFileSynced(const fs::path& target, std::string_view bytes) {
    if (std::string why = injected("write", target); !why.empty())
        return IoError{target.string(), why};
    struct stat before;
    const bool existed = ::stat(target.c_str(), &before) == 0;
    if (existed)
        if (std::optional<IoError> refused = refusalOf(target, target, before))
            return *refused;
    int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0)
        return osError(target, errno);
    int err = 0;
    // Like every data file, a log others could read becomes owner-only.
    bool ok = !existed || (before.st_mode & 077) == 0 || ::fchmod(fd, before.st_mode & 0700) == 0;
    if (!ok)
        err = errno;
    ok = ok && writeAll(fd, bytes, err);
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

Result<std::string> readFileBytes(const fs::path& path, std::size_t limit) {
    // Opened without waiting (a FIFO in the file's place must not hang the program), then checked to be a
    // plain file no bigger than the limit before a byte is read.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return osError(path, errno);
    std::string all;
    struct stat st;
    std::optional<IoError> refused;
    if (::fstat(fd, &st) != 0)
        refused = osError(path, errno);
    else if (S_ISDIR(st.st_mode))
        refused = osError(path, EISDIR);
    else if (!S_ISREG(st.st_mode))
        refused = IoError{path.string(), kNotRegular};
    else if (static_cast<std::uint64_t>(st.st_size) > limit)
        refused = IoError{path.string(), tooBig(limit)};
    if (refused) {
        ::close(fd);
        return *refused;
    }
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
        if (n > 0 && all.size() + static_cast<std::size_t>(n) > limit) {
            ::close(fd);
            return IoError{path.string(), tooBig(limit)}; // it grew while being read
        }
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
    // Each missing folder is made owner-only; one made meanwhile by another process is as good.
    fs::path made;
    for (const fs::path& part : folder) {
        made /= part;
        if (::mkdir(made.c_str(), 0700) != 0 && errno != EEXIST)
            return osError(made, errno);
    }
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
        return osError(folder, ENOTDIR);
    return {};
}
