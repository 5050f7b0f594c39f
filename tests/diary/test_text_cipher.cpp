#include "diary/text_cipher.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// Key positions (0..10) that each output byte was XORed with, read back from a pass over zero bytes:
// a zero byte comes out as the key table entry itself.
std::vector<int> keyPositions(std::size_t n, std::string_view password) {
    const std::string out = CipherPass(std::string(n, '\0'), password);
    std::vector<int> positions;
    for (char c : out) {
        if (c == 0) {
            positions.push_back(10);
            continue;
        }
        const auto at = kCipherKey.substr(0, 10).find(c);
        positions.push_back(static_cast<int>(at));
    }
    return positions;
}

std::string randomBytes(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::string s(n, '\0');
    for (auto& c : s)
        c = static_cast<char>(rng() & 0xFF);
    return s;
}

} // namespace

TEST(TextCipher, KeyTableUsesTenCharactersOfTheKeyString) {
    ASSERT_EQ(kCipherKey.size(), 30u);
    // The first ten key characters are distinct, so a position can be read back from its byte.
    EXPECT_EQ(std::string(kCipherKey.substr(0, 10)), "~#Q@)7!%&K");
}

TEST(TextCipher, EmptyPasswordTwelveBytes) {
    EXPECT_EQ(keyPositions(12, ""), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0, 1}));
    const std::string data = "ABCDEFGHIJKL";
    const std::string out = CipherPass(data, "");
    EXPECT_EQ(out[9], 'J'); // key table[10] = 0 leaves byte 9 unchanged
    EXPECT_EQ(out[10], static_cast<char>('K' ^ '~'));
    EXPECT_EQ(out[0], static_cast<char>('A' ^ '#'));
    EXPECT_EQ(out[11], static_cast<char>('L' ^ '#'));
}

TEST(TextCipher, KnownVector) {
    // "hello world!" under "abc": 12 mod 4 = 0, so positions 1..10, 0, 1.
    const std::string out = CipherPass("hello world!", "abc");
    const std::string expected = {'h' ^ '#', 'e' ^ 'Q', 'l' ^ '@', 'l' ^ ')', 'o' ^ '7', ' ' ^ '!',
                                  'w' ^ '%', 'o' ^ '&', 'r' ^ 'K', 'l',       'd' ^ '~', '!' ^ '#'};
    EXPECT_EQ(out, expected);
}

TEST(TextCipher, ThreeCharacterPasswordEqualsEmptyForTwelveBytes) {
    const std::string data = randomBytes(12, 1);
    EXPECT_EQ(CipherPass(data, "xyz"), CipherPass(data, ""));
}

TEST(TextCipher, FourCharacterPasswordTwelveBytes) {
    EXPECT_EQ(keyPositions(12, "abcd"), (std::vector<int>{3, 4, 5, 6, 7, 8, 9, 10, 0, 1, 2, 3}));
}

TEST(TextCipher, LongPasswords) {
    const std::string p14 = "abcdefghijklmn";
    EXPECT_EQ(keyPositions(15, p14).front(), 1); // 15 mod 15 = 0
    EXPECT_EQ(keyPositions(14, p14).front(), 0); // 14 >= 10
    EXPECT_EQ(keyPositions(14, p14), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0, 1, 2}));
    EXPECT_EQ(cipherKeyStart(15, 14), 1);
    EXPECT_EQ(cipherKeyStart(14, 14), 0);
    EXPECT_EQ(cipherKeyStart(10, 14), 0);
    EXPECT_EQ(cipherKeyStart(9, 14), 10);
}

TEST(TextCipher, OnlyPasswordLengthMatters) {
    const std::string data = randomBytes(100, 2);
    EXPECT_EQ(CipherPass(data, "secret"), CipherPass(data, "123456"));
    EXPECT_NE(CipherPass(data, "secret"), CipherPass(data, "secre"));
}

TEST(TextCipher, SelfInverseOverManyLengths) {
    const std::vector<std::string> passwords = {
        "", "a", "ab", "abc", "abcd", "0123456789", "abcdefghijklmn", std::string(40, 'z')};
    for (std::size_t n = 1; n <= 300; ++n) {
        const std::string data = randomBytes(n, static_cast<unsigned>(n));
        for (const auto& pw : passwords) {
            const std::string once = CipherPass(data, pw);
            ASSERT_EQ(once.size(), n);
            const std::string other(pw.size(), '#');
            ASSERT_EQ(CipherPass(once, other), data) << "n=" << n << " p=" << pw.size();
        }
    }
}

TEST(TextCipher, EveryPassStartsAfresh) {
    const std::string data = randomBytes(37, 3);
    EXPECT_EQ(CipherPass(data, "key"), CipherPass(data, "key"));
    EXPECT_EQ(CipherPass(CipherPass(data, "key"), "key"), data);
}

TEST(TextCipher, ZeroBytesGiveZeroBytes) {
    EXPECT_EQ(CipherPass("", "abc"), "");
    CipherStream s("abc", 0);
    s.process(nullptr, 0);
    EXPECT_EQ(s.processed(), 0u);
}

TEST(TextCipher, StreamMatchesWholePassForRandomChunkings) {
    std::mt19937 rng(42);
    for (int round = 0; round < 200; ++round) {
        const std::size_t n = round < 100 ? static_cast<std::size_t>(round + 1) : rng() % 20000 + 1;
        const std::size_t p = rng() % 20;
        const std::string password(p, 'q');
        const std::string data = randomBytes(n, static_cast<unsigned>(round + 100));
        std::string streamed = data;
        CipherStream stream(password, n);
        std::size_t at = 0;
        while (at < n) {
            const std::size_t chunk = std::min<std::size_t>(n - at, rng() % 3000);
            stream.process(streamed.data() + at, chunk);
            at += chunk;
        }
        ASSERT_EQ(stream.processed(), n);
        ASSERT_EQ(streamed, CipherPass(data, password)) << "n=" << n << " p=" << p;
    }
}

TEST(TextCipher, StreamLengthConstructorMatchesPassword) {
    const std::string data = randomBytes(5000, 9);
    std::string a = data;
    CipherStream(std::uint64_t{7}, data.size()).process(a.data(), a.size());
    EXPECT_EQ(a, CipherPass(data, "1234567"));
}

TEST(TextCipher, PasswordCheck) {
    EXPECT_FALSE(cipherPasswordProblem(""));
    EXPECT_FALSE(cipherPasswordProblem("Abc123!@# ~"));
    const auto notice = cipherPasswordProblem("ab日记");
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->title, "警告");
    EXPECT_NE(notice->text.find("单字节"), std::string::npos);
    EXPECT_TRUE(cipherPasswordProblem("caf\xc3\xa9"));
}
