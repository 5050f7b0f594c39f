#include "cli/cli_output.h"

#include "common/result.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <streambuf>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

// The shown form of the control characters C0 (but tab and line feed), DEL and C1 (U+0080-U+009F, in UTF-8
// the byte C2 followed by 80-9F).
class EscapingText {
public:
    std::string operator()(std::string_view bytes) {
        std::string out;
        out.reserve(bytes.size());
        for (unsigned char c : bytes) {
            if (m_afterC2) {
                m_afterC2 = false;
                if (c >= 0x80 && c <= 0x9F) {
                    out += hex("\\u00", c);
                    continue;
                }
                out += '\xC2';
            }
            if (c == 0xC2)
                m_afterC2 = true;
            else if ((c < 0x20 && c != '\t' && c != '\n') || c == 0x7F)
                out += hex("\\x", c);
            else
                out += static_cast<char>(c);
        }
        return out;
    }

private:
    static std::string hex(const char* prefix, unsigned char c) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02X", c);
        return prefix + std::string(digits);
    }
    bool m_afterC2 = false;
};

class CheckedOutput : public std::streambuf {
public:
    CheckedOutput(int fd, bool escape) : m_fd(fd), m_escape(escape) { setp(m_buffer, m_buffer + sizeof m_buffer); }
    int error() const { return m_error; }

protected:
    int overflow(int c) override {
        if (!drain())
            return traits_type::eof();
        if (c != traits_type::eof()) {
            *pptr() = static_cast<char>(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override { return drain() ? 0 : -1; }

private:
    bool drain() {
        std::string_view bytes(pbase(), static_cast<std::size_t>(pptr() - pbase()));
        setp(m_buffer, m_buffer + sizeof m_buffer);
        if (m_error != 0)
            return false; // after a failed write nothing more goes out
        const std::string escaped = m_escape ? m_text(bytes) : std::string();
        if (m_escape)
            bytes = escaped;
        while (!bytes.empty()) {
            const ssize_t n = ::write(m_fd, bytes.data(), bytes.size());
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno == EPIPE && m_fd == STDOUT_FILENO)
                std::_Exit(0); // nobody reads any more: the command has nothing left to do
            if (n < 0) {
                m_error = errno;
                return false;
            }
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
        return true;
    }

    char m_buffer[1 << 16];
    int m_fd;
    bool m_escape;
    EscapingText m_text;
    int m_error = 0;
};

CheckedOutput* g_output = nullptr;

} // namespace

void installCliOutput() {
    std::signal(SIGPIPE, SIG_IGN); // a closed pipe shows as EPIPE, handled above
    // The buffers live until the process ends (never destroyed): the streams are flushed by the standard
    // library's own exit handler, which may run after the destructors of this program's statics.
    g_output = new CheckedOutput(STDOUT_FILENO, ::isatty(STDOUT_FILENO) == 1);
    std::cout.rdbuf(g_output);
    // Messages quote data too (a due time, a card's name): on a terminal they are escaped the same way.
    if (::isatty(STDERR_FILENO) == 1) {
        static CheckedOutput* const messages = new CheckedOutput(STDERR_FILENO, true);
        std::cerr.rdbuf(messages);
        std::cerr.setf(std::ios::unitbuf);
    }
}

int finishCliOutput(int code) {
    std::cout.flush();
    if (!g_output || g_output->error() == 0)
        return code;
    std::cerr << "quillet-cli: 标准输出写入失败,输出不完整: " << systemReason(g_output->error()) << "\n";
    return 1;
}
