#include "encryptor/lok_file.h"

#include "common/data_paths.h"
#include "common/line_file.h"
#include "common/safe_write.h"
#include "common/temp_debris.h"
#include "common/text_codec.h"
#include "diary/text_cipher.h"
#include "encryptor/lok_name.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kChunk = std::size_t{1} << 20;

std::function<std::string(const fs::path&)> g_removeFault;

std::string shown(const fs::path& p) {
    return pathToUtf8(p);
}

Notice warning(std::string text) {
    return {"警告", std::move(text), NoticeIcon::Exclamation, NoticeButtons::Ok};
}

Notice failed(const IoError& e) {
    return {"警告", "加/解密失败,文件没有改动:\n" + e.path + "\n" + e.reason, NoticeIcon::Critical, NoticeButtons::Ok};
}

// Read-only in the Windows sense: no write bit at all, or no write access for this user.
bool notWritable(const fs::path& p, const struct stat& st) {
    return (st.st_mode & 0222) == 0 || ::access(p.c_str(), W_OK) != 0;
}

fs::path folderOf(const fs::path& file) {
    return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

// The refusals that leave everything as it was, before a byte is read.
std::optional<Notice> refusal(const fs::path& file, const LokTarget& target, struct stat& st) {
    if (::lstat(file.c_str(), &st) != 0)
        return warning("文件不存在:\n" + shown(file));
    if (!S_ISREG(st.st_mode))
        return warning("不是普通文件,不能加/解密:\n" + shown(file));
    if (notWritable(file, st))
        return warning("文件是只读的,不能加/解密:\n" + shown(file));
    const fs::path folder = folderOf(file);
    struct stat folderStat {};
    if (::stat(folder.c_str(), &folderStat) != 0 || notWritable(folder, folderStat))
        return warning("文件夹不能写入,不能加/解密:\n" + shown(folder));
    std::error_code ec;
    if (fs::exists(fs::symlink_status(target.path, ec)))
        return warning("目标文件已经存在,没有改动任何文件:\n" + shown(target.path));
    return std::nullopt;
}

// Reads exactly `size` bytes of `fd` through the cipher into `sink`; a file that shrank or grew meanwhile
// is an error, so a partial copy is never taken for the whole file.
Result<void> streamThroughCipher(int fd, const fs::path& file, uint64_t size, std::string_view password,
                                 const ChunkSink& sink) {
    CipherStream cipher(password, size);
    std::unique_ptr<char[]> buffer(new char[kChunk]);
    uint64_t left = size;
    while (left > 0) {
        ssize_t n = ::read(fd, buffer.get(), static_cast<std::size_t>(std::min<uint64_t>(left, kChunk)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return IoError{shown(file), systemReason(errno)};
        if (n == 0)
            return IoError{shown(file), "文件在读取时变短了"};
        cipher.process(buffer.get(), static_cast<std::size_t>(n));
        if (!sink(std::string_view(buffer.get(), static_cast<std::size_t>(n))))
            return IoError{shown(file), "写入失败"};
        left -= static_cast<uint64_t>(n);
    }
    char extra = 0;
    const ssize_t more = ::read(fd, &extra, 1);
    if (more < 0)
        return IoError{shown(file), systemReason(errno)};
    if (more > 0)
        return IoError{shown(file), "文件在读取时变长了"};
    return {};
}

void syncFolder(const fs::path& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Removes the old file once the new one is in place; when that fails the new one goes again. A source that
// was deleted or moved away meanwhile leaves the finished new file as the only copy: it stays.
std::optional<Notice> removeOld(const fs::path& file, const fs::path& created) {
    std::string why = g_removeFault ? g_removeFault(file) : std::string();
    int err = 0;
    if (why.empty() && ::unlink(file.c_str()) != 0) {
        err = errno;
        why = systemReason(err);
    }
    if (why.empty()) {
        syncFolder(folderOf(file));
        return std::nullopt;
    }
    if (err == ENOENT)
        return warning("原文件在加/解密时被删除或移走了;加/解密后的新文件已经保留:\n" + shown(created));
    if (::unlink(created.c_str()) != 0)
        return {{"警告",
                 "加/解密后无法删除原文件,新文件也无法删除,现在两个文件都在:\n" + shown(file) + "\n" + why + "\n" +
                     shown(created) + "\n" + systemReason(errno),
                 NoticeIcon::Critical, NoticeButtons::Ok}};
    return {{"警告", "加/解密后无法删除原文件,所以新文件已经删除,原文件没有改动:\n" + shown(file) + "\n" + why,
             NoticeIcon::Critical, NoticeButtons::Ok}};
}

} // namespace

std::optional<LokTarget> lokTargetOf(const fs::path& file) {
    const std::string name = pathToUtf8(file.filename());
    const bool scrambling = !isLokName(name);
    std::optional<std::string> newName = scrambling ? scrambledFileName(name) : unscrambledFileName(name);
    if (!newName)
        return std::nullopt;
    return LokTarget{file.parent_path() / pathFromUtf8(*newName), scrambling};
}

Notice lokNameNotice(const fs::path& file) {
    if (isLokName(pathToUtf8(file.filename())))
        return warning("无法从文件名还原原来的文件名:\n" + shown(file) +
                       "\n加密文件的名字应是 原名!原扩展名.lok,文件没有改动。");
    return warning("这个文件名加密后无法还原:\n" + shown(file) +
                   "\n扩展名里不能有\"!\"(三个字符的扩展名除外),\".\"前不能紧接\"!\",文件名也不能以\".\"结尾,"
                   "文件没有改动。");
}

std::optional<Notice> lokPasswordProblem(std::string_view password, std::string_view confirmation) {
    if (password.empty() || confirmation.empty())
        return warning("加/解密,密码不能为空!");
    if (password != confirmation)
        return warning("两次密码不匹配!");
    return cipherPasswordProblem(password);
}

LokOutcome convertLokFile(const fs::path& file, std::string_view password) {
    std::optional<LokTarget> target = lokTargetOf(file);
    if (!target)
        return {lokNameNotice(file), {}};
    struct stat st {};
    if (std::optional<Notice> refused = refusal(file, *target, st))
        return {refused, *target};
    int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return {Notice{"警告", "无法读取文件,没有改动任何文件:\n" + shown(file) + "\n" + systemReason(errno),
                       NoticeIcon::Critical, NoticeButtons::Ok},
                *target};
    noteTempFolder(folderOf(target->path)); // the start-up sweep looks there for what a kill leaves
    const uint64_t size = static_cast<uint64_t>(st.st_size);
    // The new file keeps the permission bits of the old one from its first byte, and never replaces a file.
    AtomicWriteOptions options;
    options.mode = static_cast<unsigned>(st.st_mode & 07777);
    options.replaceExisting = false;
    Result<void> written = writeFileAtomicStreamed(
        target->path, [&](const ChunkSink& sink) { return streamThroughCipher(fd, file, size, password, sink); },
        options);
    ::close(fd);
    if (!written)
        return {failed(written.error()), *target};
    if (std::optional<Notice> notRemoved = removeOld(file, target->path))
        return {notRemoved, *target};
    return {std::nullopt, *target};
}

Result<std::string> lokViewText(const fs::path& file) {
    int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return IoError{shown(file), systemReason(errno)};
    std::string bytes(kLokViewLimit + 1, '\0');
    std::size_t have = 0;
    while (have < bytes.size()) {
        ssize_t n = ::read(fd, bytes.data() + have, bytes.size() - have);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            IoError e{shown(file), systemReason(errno)};
            ::close(fd);
            return e;
        }
        if (n == 0)
            break;
        have += static_cast<std::size_t>(n);
    }
    ::close(fd);
    const bool cut = have > kLokViewLimit;
    bytes.resize(std::min(have, kLokViewLimit));
    if (cut) {
        // Whole lines only, so the last character is never split; a file without line ends is cut as is.
        if (std::size_t lastLf = bytes.rfind('\n'); lastLf != std::string::npos)
            bytes.resize(lastLf + 1);
    }
    std::string view;
    for (const std::string& line : decodeLines(bytes))
        view += "\r\n" + line;
    if (cut)
        view += "\r\n……(文件太大,只显示开头的 1 MiB)";
    return view;
}

void setLokRemoveFaultForTests(std::function<std::string(const fs::path&)> fault) {
    g_removeFault = std::move(fault);
}
