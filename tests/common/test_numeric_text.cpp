#include "common/numeric_text.h"

#include <gtest/gtest.h>

TEST(NumericText, ValueOfText) {
    struct Case {
        const char* text;
        double value;
    } cases[] = {{"", 0},     {"abc", 0},      {" 5 ", 5},   {"10", 10},     {"  -7x", -7},
                 {"+3", 3},   {"1 2 3", 123},  {"2.5", 2.5}, {"1.2.3", 1.2}, {"-", 0},
                 {".5", 0.5}, {"12abc34", 12}, {"\t42", 42}, {"- 4", -4},    {"0009", 9}};
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(numericValue(c.text), c.value) << c.text;
}

TEST(NumericText, SixteenBitConversionRoundsHalfToEvenAndOverflows) {
    EXPECT_EQ(textToInt16("2.5"), int16_t(2));
    EXPECT_EQ(textToInt16("3.5"), int16_t(4));
    EXPECT_EQ(textToInt16("-2.5"), int16_t(-2));
    EXPECT_EQ(textToInt16("2.51"), int16_t(3));
    EXPECT_EQ(textToInt16("32767"), int16_t(32767));
    EXPECT_EQ(textToInt16("-32768"), int16_t(-32768));
    EXPECT_EQ(textToInt16("32767.4"), int16_t(32767));
    EXPECT_FALSE(textToInt16("32767.5").has_value());
    EXPECT_FALSE(textToInt16("32768").has_value());
    EXPECT_FALSE(textToInt16("-32769").has_value());
    EXPECT_EQ(textToInt16("-32768.5"), int16_t(-32768));
    EXPECT_FALSE(textToInt16("99999999999999999999").has_value());
}

TEST(NumericText, PrintedForms) {
    EXPECT_EQ(twoDigits(0), "00");
    EXPECT_EQ(twoDigits(9), "09");
    EXPECT_EQ(twoDigits(10), "10");
    EXPECT_EQ(twoDigits(123), "123");
    EXPECT_EQ(fourDigits(33), "0033");
    EXPECT_EQ(fourDigits(2026), "2026");
    EXPECT_EQ(textOf(-5), "-5");
    EXPECT_EQ(printForm(5), " 5 ");
    EXPECT_EQ(printForm(0), " 0 ");
    EXPECT_EQ(printForm(-3), "-3 ");
    EXPECT_EQ(printForm(-32768), "-32768 ");
}
