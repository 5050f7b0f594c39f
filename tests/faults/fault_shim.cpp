// An LD_PRELOAD library that makes system calls fail the way a full disk, a failing device, a read-only
// mount or a permission change would, for the real code paths of the windows and quillet-cli alike.
//
//   QUILLET_FAULT=<call>:<errno>:<path part>[:<pass>]
//     call       open, write, fsync, rename or read
//     errno      ENOSPC, EIO, EROFS, EACCES or EPIPE (a reader that went away)
//     path part  the call fails when the file's path contains it (a trailing "$": ends with it); for write,
//                fsync and read the path is that of the descriptor, for rename either name
//     pass       how many matching calls succeed first (default 0), so a read can fail midway
// Without QUILLET_FAULT every call goes straight through.
#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <unistd.h>

namespace {

struct Fault {
    std::string call, part;
    bool atEnd = false;
    int err = 0;
    long pass = 0;
};

std::mutex g_lock;
std::string g_rule; // the QUILLET_FAULT text the counters belong to
long g_matched = 0; // matching calls seen under that text

bool parse(const char* text, Fault& f) {
    std::string s(text);
    std::size_t a = s.find(':'), b = a == std::string::npos ? a : s.find(':', a + 1);
    if (b == std::string::npos)
        return false;
    std::size_t c = s.find(':', b + 1);
    f.call = s.substr(0, a);
    const std::string name = s.substr(a + 1, b - a - 1);
    f.part = s.substr(b + 1, c == std::string::npos ? std::string::npos : c - b - 1);
    f.pass = c == std::string::npos ? 0 : std::atol(s.c_str() + c + 1);
    if (!f.part.empty() && f.part.back() == '$') {
        f.atEnd = true;
        f.part.pop_back();
    }
    f.err = name == "ENOSPC"   ? ENOSPC
            : name == "EIO"    ? EIO
            : name == "EROFS"  ? EROFS
            : name == "EACCES" ? EACCES
            : name == "EPIPE"  ? EPIPE
                               : 0;
    return f.err != 0 && !f.part.empty();
}

bool pathMatches(const Fault& f, const char* path) {
    if (!path)
        return false;
    std::string p(path);
    if (!p.empty() && p[0] != '/') { // relative to the working directory
        char cwd[4096];
        if (::getcwd(cwd, sizeof cwd))
            p = std::string(cwd) + "/" + p;
    }
    if (f.atEnd)
        return p.size() >= f.part.size() && p.compare(p.size() - f.part.size(), f.part.size(), f.part) == 0;
    return p.find(f.part) != std::string::npos;
}

std::string fdPath(int fd) {
    char link[64], target[4096];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    ssize_t n = ::readlink(link, target, sizeof target - 1);
    return n > 0 ? std::string(target, static_cast<std::size_t>(n)) : std::string();
}

// The errno to fail with, or 0 to let the call through.
int faultFor(const char* call, const char* path1, const char* path2 = nullptr) {
    const char* rule = std::getenv("QUILLET_FAULT");
    if (!rule || !*rule)
        return 0;
    Fault f;
    if (!parse(rule, f) || f.call != call)
        return 0;
    if (!pathMatches(f, path1) && !pathMatches(f, path2))
        return 0;
    std::lock_guard<std::mutex> hold(g_lock);
    if (g_rule != rule) {
        g_rule = rule;
        g_matched = 0;
    }
    return g_matched++ < f.pass ? 0 : f.err;
}

int faultForFd(const char* call, int fd) {
    const char* rule = std::getenv("QUILLET_FAULT");
    if (!rule || !*rule || std::strncmp(rule, call, std::strlen(call)) != 0 || rule[std::strlen(call)] != ':')
        return 0;
    return faultFor(call, fdPath(fd).c_str());
}

template <class F> F real(const char* name) {
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

mode_t modeArg(int flags, va_list ap) {
    return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? static_cast<mode_t>(va_arg(ap, int)) : 0;
}

} // namespace

#define FAIL_WITH(e)                                                                                                   \
    do {                                                                                                               \
        errno = (e);                                                                                                   \
        return -1;                                                                                                     \
    } while (0)

extern "C" {

// open, open64, openat and openat64: the mode argument is there only when a file may be created.
#define QUILLET_FAULTY_OPEN(name, params, args)                                                                        \
    int name params {                                                                                                  \
        va_list ap;                                                                                                    \
        va_start(ap, flags);                                                                                           \
        mode_t mode = modeArg(flags, ap);                                                                              \
        va_end(ap);                                                                                                    \
        if (int e = faultFor("open", path))                                                                            \
            FAIL_WITH(e);                                                                                              \
        static auto next = real<decltype(&name)>(#name);                                                               \
        return next args;                                                                                              \
    }
QUILLET_FAULTY_OPEN(open, (const char* path, int flags, ...), (path, flags, mode))
QUILLET_FAULTY_OPEN(open64, (const char* path, int flags, ...), (path, flags, mode))
QUILLET_FAULTY_OPEN(openat, (int dir, const char* path, int flags, ...), (dir, path, flags, mode))
QUILLET_FAULTY_OPEN(openat64, (int dir, const char* path, int flags, ...), (dir, path, flags, mode))

ssize_t write(int fd, const void* buf, size_t n) {
    if (int e = faultForFd("write", fd))
        FAIL_WITH(e);
    static auto next = real<ssize_t (*)(int, const void*, size_t)>("write");
    return next(fd, buf, n);
}
ssize_t read(int fd, void* buf, size_t n) {
    if (int e = faultForFd("read", fd))
        FAIL_WITH(e);
    static auto next = real<ssize_t (*)(int, void*, size_t)>("read");
    return next(fd, buf, n);
}
int fsync(int fd) {
    if (int e = faultForFd("fsync", fd))
        FAIL_WITH(e);
    static auto next = real<int (*)(int)>("fsync");
    return next(fd);
}
int fdatasync(int fd) {
    if (int e = faultForFd("fsync", fd))
        FAIL_WITH(e);
    static auto next = real<int (*)(int)>("fdatasync");
    return next(fd);
}
int rename(const char* from, const char* to) {
    if (int e = faultFor("rename", from, to))
        FAIL_WITH(e);
    static auto next = real<int (*)(const char*, const char*)>("rename");
    return next(from, to);
}
int renameat(int fromDir, const char* from, int toDir, const char* to) {
    if (int e = faultFor("rename", from, to))
        FAIL_WITH(e);
    static auto next = real<int (*)(int, const char*, int, const char*)>("renameat");
    return next(fromDir, from, toDir, to);
}

} // extern "C"
