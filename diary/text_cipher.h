#pragma once
// The program's reversible byte scrambler, shared by the diary month files and the .lok files.
//
// API:
//   std::optional<Notice> cipherPasswordProblem(std::string_view passwordUtf8);
//       nullopt when every password character is single-byte (ASCII); otherwise the "警告" notice to show.
//       Callers check first and read or write nothing when it returns a notice.
//   std::string CipherPass(std::string_view data, std::string_view password);
//       One whole pass: the same number of bytes out, self-inverse for passwords of equal length. Empty in,
//       empty out.
//   CipherStream s(password.size(), totalLength); s.process(buf, n); ...
//       The same bytes as CipherPass for any chunking of the data, in constant memory. Feed exactly
//       totalLength bytes in order. cipherKeyStart(totalLength, passwordLength) is the first key position.
//
// The pass XORs each byte with an entry of an 11-entry key table: the first ten characters of kCipherKey
// and a trailing 0. A password loop runs first over the whole input, but the key loop overwrites every byte
// it wrote; all the password leaves behind is the shared counter, N mod (p + 1), so only the password's
// length matters. Stored month files and .lok files depend on this exact behaviour.
#include "common/notice.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The built-in key string; only its first ten characters take part in the pass.
inline constexpr std::string_view kCipherKey = "~#Q@)7!%&KW^(3$*)P&(#!M8$+!=29";
inline constexpr int kCipherKeyPositions = 11; // ten key characters and the trailing 0 entry

std::optional<Notice> cipherPasswordProblem(std::string_view passwordUtf8);

// Whole-buffer pass, built as the two loops over the password table and the key table.
std::string CipherPass(std::string_view data, std::string_view password);

// Key position (0..10) used for byte 0 of an input of totalLength bytes under a password of passwordLength.
int cipherKeyStart(uint64_t totalLength, uint64_t passwordLength);

class CipherStream {
public:
    CipherStream(std::string_view password, uint64_t totalLength);
    CipherStream(uint64_t passwordLength, uint64_t totalLength);

    // Scrambles (or unscrambles) the next n bytes in place.
    void process(char* data, std::size_t n);
    uint64_t processed() const { return m_processed; }

private:
    // The key cycle repeated a whole number of times, twice over, so that any start position has a
    // contiguous run of kBlock bytes ahead of it.
    static constexpr std::size_t kBlock = kCipherKeyPositions * 64;
    std::array<unsigned char, 2 * kBlock> m_pattern{};
    std::size_t m_pos = 0; // current key position, 0..10
    uint64_t m_processed = 0;
};
