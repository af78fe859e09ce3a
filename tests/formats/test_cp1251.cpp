#include <gtest/gtest.h>

#include "formats/cp1251.h"

using namespace tessaro::formats;

TEST(Cp1251Test, EveryByteSurvivesTheRoundTripExceptTheUnassignedOne) {
    for (int b = 0; b < 256; ++b) {
        if (b == 0x98) continue;
        const std::string one(1, char(b));
        EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(one)), one) << "byte " << b;
    }
    EXPECT_EQ(Cp1251ToUtf8("\x98"), "\xEF\xBF\xBD");
}

TEST(Cp1251Test, CyrillicLettersMapToTheirBytes) {
    // "Привет, Ёж №1" typed in the window
    const std::string typed = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82, "
                              "\xD0\x81\xD0\xB6 \xE2\x84\x96" "1";
    const std::string bytes = "\xCF\xF0\xE8\xE2\xE5\xF2, \xA8\xE6 \xB9" "1";
    EXPECT_EQ(Utf8ToCp1251(typed), bytes);
    EXPECT_EQ(Cp1251ToUtf8(bytes), typed);
}

TEST(Cp1251Test, CharactersTheCodePageCannotHoldBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToCp1251("a\xE2\x82\xAC" "b"), "a\x88" "b");      // euro sign is held
    EXPECT_EQ(Utf8ToCp1251("\xC3\xA9t\xC3\xA9"), "?t?");            // é is not
    EXPECT_EQ(Utf8ToCp1251("\xF0\x9F\x98\x80!"), "?!");              // emoji: one "?"
    EXPECT_EQ(Utf8ToCp1251("\xEF\xBF\xBD"), "?");                    // U+FFFD is no byte
    EXPECT_EQ(Utf8ToCp1251("x\xD0"), "x?");                          // cut sequence
    EXPECT_EQ(Utf8ToCp1251("\xD0x"), "?x");                          // bad continuation
}
