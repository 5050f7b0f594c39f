#include "common/text_codec.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>

namespace {
std::string bytesOf(std::initializer_list<int> values) {
    std::string s;
    for (int v : values)
        s.push_back(static_cast<char>(v));
    return s;
}
} // namespace

TEST(TextCodec, DecodesGbkAndGb18030) {
    EXPECT_EQ(decodeGb(bytesOf({0xD6, 0xD0, 0xCE, 0xC4})), "中文");
    EXPECT_EQ(decodeGb("abc"), "abc");
    // A four-byte GB18030 sequence (U+20000, outside GBK) is kept too.
    EXPECT_EQ(decodeGb(bytesOf({0x95, 0x32, 0x82, 0x36})), "\xF0\xA0\x80\x80");
    EXPECT_EQ(encodeGb("中文"), bytesOf({0xD6, 0xD0, 0xCE, 0xC4}));
    EXPECT_EQ(encodeGb("\xF0\xA0\x80\x80"), bytesOf({0x95, 0x32, 0x82, 0x36}));
}

TEST(TextCodec, InvalidBytesBecomeRawCodePointsAndComeBack) {
    const std::string bad = bytesOf({0x80, 'a', 0xFF, 0x81, 0x20, 0xD6});
    const std::string text = decodeGb(bad);
    std::u32string cps = toU32(text);
    ASSERT_EQ(cps.size(), 6u);
    EXPECT_EQ(cps[0], char32_t(0x10FF80));
    EXPECT_EQ(cps[1], U'a');
    EXPECT_EQ(cps[2], char32_t(0x10FFFF));
    EXPECT_EQ(cps[3], char32_t(0x10FF81));
    EXPECT_EQ(cps[4], U' ');
    EXPECT_EQ(cps[5], char32_t(0x10FFD6));
    EXPECT_EQ(encodeGb(text), bad);
}

// A user can type or paste any code point; what reaches the file must read back as typed and never carry a
// line break, a "%" or an "@" that the text did not have.
TEST(TextCodec, TypedPrivateUseCharactersReadBackAsTyped) {
    // Typed escapes (U+10FF80 up) that would join a neighbour come back as their four bytes instead.
    const struct {
        std::string text;
        bool asTyped;
    } cases[] = {{"\U0010FF0A", true},
                 {"a\U0010FF0Db", true},
                 {"\U0010FF25x", true},
                 {"\U0010FF00\U0010FF7F", true},
                 {"\U0010FF81@@", false},
                 {"\U0010FF81\U0010FFA1", false},
                 {"\U0010FFE30\U0010FF810", false}};
    for (const auto& c : cases) {
        const std::string bytes = encodeGb(c.text);
        EXPECT_EQ(bytes.find_first_of("\r\n%"), std::string::npos) << c.text;
        EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '@'), std::count(c.text.begin(), c.text.end(), '@'));
        EXPECT_EQ(decodeGb(bytes) == c.text, c.asTyped) << c.text;
        EXPECT_EQ(encodeGb(decodeGb(bytes)), bytes) << c.text;
    }
    // An escape read from a file still goes back as its byte.
    EXPECT_EQ(encodeGb(decodeGb(bytesOf({0x81, 0x20, 0xFF}))), bytesOf({0x81, 0x20, 0xFF}));
}

TEST(TextCodec, EveryOneAndTwoByteSequenceRoundTrips) {
    for (int a = 0; a < 256; ++a) {
        const std::string one = bytesOf({a});
        ASSERT_EQ(encodeGb(decodeGb(one)), one) << a;
        for (int b = 0; b < 256; ++b) {
            const std::string two = bytesOf({a, b});
            ASSERT_EQ(encodeGb(decodeGb(two)), two) << a << "," << b;
        }
    }
}

TEST(TextCodec, RandomBytesRoundTrip) {
    std::mt19937 rng(20261208);
    for (int round = 0; round < 2000; ++round) {
        std::string s(rng() % 64, '\0');
        for (char& c : s)
            c = static_cast<char>(rng() & 0xFF);
        ASSERT_EQ(encodeGb(decodeGb(s)), s);
    }
    // Runs of four-byte shapes, valid and not, as a damaged file might hold.
    for (int round = 0; round < 2000; ++round) {
        std::string s;
        for (int i = 0; i < 8; ++i) {
            s.push_back(static_cast<char>(0x81 + rng() % 0x7E));
            s.push_back(static_cast<char>(0x30 + rng() % 10));
            s.push_back(static_cast<char>(0x81 + rng() % 0x7E));
            s.push_back(static_cast<char>(0x30 + rng() % 10));
        }
        ASSERT_EQ(encodeGb(decodeGb(s)), s);
    }
}

TEST(TextCodec, CharactersAndWidths) {
    EXPECT_EQ(charCount("a中b"), 3u);
    EXPECT_EQ(charMid("a中文b", 1, 2), "中文");
    EXPECT_EQ(charMid("abc", 5, 2), "");
    EXPECT_EQ(gbWidth("张三abc"), 7u);
    EXPECT_TRUE(isAscii("abc!1"));
    EXPECT_FALSE(isAscii("ab中"));
}
