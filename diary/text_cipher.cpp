#include "diary/text_cipher.h"

#include "common/text_codec.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Key table: the first ten characters of the key string and a closing 0.
std::array<unsigned char, kCipherKeyPositions> keyTable() {
    std::array<unsigned char, kCipherKeyPositions> table{};
    for (int i = 0; i < 10; ++i)
        table[i] = static_cast<unsigned char>(kCipherKey[i]);
    table[10] = 0;
    return table;
}

// data[i] ^= key[i], eight bytes at a time (the pattern has no alignment that a word loop could rely on,
// so words go through memcpy, which compilers turn into plain loads and stores).
void xorBlock(unsigned char* data, const unsigned char* key, std::size_t n) {
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t d, k;
        std::memcpy(&d, data + i, 8);
        std::memcpy(&k, key + i, 8);
        d ^= k;
        std::memcpy(data + i, &d, 8);
    }
    for (; i < n; ++i)
        data[i] ^= key[i];
}

} // namespace

std::optional<Notice> cipherPasswordProblem(std::string_view passwordUtf8) {
    if (isAscii(passwordUtf8))
        return std::nullopt;
    // The password table holds one byte per character, so a double-byte character has no place in it.
    return Notice{"警告", "密码只能使用单字节字符(字母、数字、符号)!", NoticeIcon::Exclamation, NoticeButtons::Ok};
}

std::string CipherPass(std::string_view data, std::string_view password) {
    const std::size_t n = data.size();
    const std::size_t p = password.size();
    // Password table: one entry per password character and a closing 0.
    std::vector<unsigned char> passTable(p + 1, 0);
    for (std::size_t i = 0; i < p; ++i)
        passTable[i] = static_cast<unsigned char>(password[i]);
    const auto keys = keyTable();

    std::string out(n, '\0');
    std::size_t j = 0;
    for (std::size_t i = 0; i < n; ++i) {
        j = j >= p ? 0 : j + 1;
        out[i] = static_cast<char>(static_cast<unsigned char>(data[i]) ^ passTable[j]);
    }
    // The key loop reads the input again and overwrites every byte; only the counter carries over.
    for (std::size_t i = 0; i < n; ++i) {
        j = j >= 10 ? 0 : j + 1;
        out[i] = static_cast<char>(static_cast<unsigned char>(data[i]) ^ keys[j]);
    }
    return out;
}

int cipherKeyStart(uint64_t totalLength, uint64_t passwordLength) {
    // After the password loop the counter stands at N mod (p + 1); the key loop steps it once before use.
    const uint64_t s = totalLength % (passwordLength + 1);
    return s >= 10 ? 0 : static_cast<int>(s + 1);
}

CipherStream::CipherStream(std::string_view password, uint64_t totalLength)
    : CipherStream(static_cast<uint64_t>(password.size()), totalLength) {}

CipherStream::CipherStream(uint64_t passwordLength, uint64_t totalLength)
    : m_pos(static_cast<std::size_t>(cipherKeyStart(totalLength, passwordLength))) {
    const auto keys = keyTable();
    for (std::size_t i = 0; i < m_pattern.size(); ++i)
        m_pattern[i] = keys[i % kCipherKeyPositions];
}

void CipherStream::process(char* data, std::size_t n) {
    auto* bytes = reinterpret_cast<unsigned char*>(data);
    m_processed += n;
    while (n > 0) {
        const std::size_t len = std::min(n, kBlock);
        xorBlock(bytes, m_pattern.data() + m_pos, len);
        m_pos = (m_pos + len) % kCipherKeyPositions;
        bytes += len;
        n -= len;
    }
}
