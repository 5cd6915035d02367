// Windows-1252 <-> UTF-8, the conversion of every text in a parameter file.
#include "io/cp1252.h"

#include <gtest/gtest.h>

#include <string>

using namespace ombrix;

TEST(Cp1252, EveryByteSurvivesTheTripThroughUtf8)
{
    std::string all;
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        const std::string utf8 = cp1252ToUtf8(one);
        EXPECT_EQ(utf8ToCp1252(utf8), one) << "byte " << b;
        EXPECT_EQ(codePointToCp1252(cp1252ToCodePoint(static_cast<std::uint8_t>(b))), b);
        all += one;
    }
    EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(all)), all);
}

TEST(Cp1252, BytesMapToTheirCharacters)
{
    EXPECT_EQ(cp1252ToUtf8("A"), "A");
    EXPECT_EQ(cp1252ToUtf8(std::string(1, '\0')), std::string(1, '\0'));
    EXPECT_EQ(cp1252ToUtf8("\x80"), "\xE2\x82\xAC"); // euro sign
    EXPECT_EQ(cp1252ToUtf8("\x96"), "\xE2\x80\x93"); // en dash
    EXPECT_EQ(cp1252ToUtf8("\x9F"), "\xC5\xB8");     // Y with diaeresis
    EXPECT_EQ(cp1252ToUtf8("\xA0"), "\xC2\xA0");     // Latin-1 half agrees with Unicode
    EXPECT_EQ(cp1252ToUtf8("\xFC\xFF"), "\xC3\xBC\xC3\xBF");
    // The five undefined bytes stand for the C1 controls of the same value.
    EXPECT_EQ(cp1252ToUtf8("\x81"), "\xC2\x81");
    EXPECT_EQ(cp1252ToUtf8("\x8D"), "\xC2\x8D");
    EXPECT_EQ(cp1252ToUtf8("\x8F"), "\xC2\x8F");
    EXPECT_EQ(cp1252ToUtf8("\x90"), "\xC2\x90");
    EXPECT_EQ(cp1252ToUtf8("\x9D"), "\xC2\x9D");
}

TEST(Cp1252, TextIsEncodedByteForCharacter)
{
    EXPECT_EQ(utf8ToCp1252("Grüße – €"), "Gr\xFC\xDF"
                                         "e \x96 \x80");
    EXPECT_EQ(utf8ToCp1252(""), "");
}

TEST(Cp1252, CharactersOutsideTheCodePageBecomeQuestionMarks)
{
    EXPECT_EQ(utf8ToCp1252("日本"), "??");
    EXPECT_EQ(utf8ToCp1252("a\xF0\x9F\x98\x80z"), "a?z"); // a four-byte emoji
    EXPECT_EQ(utf8ToCp1252("\xC2\x80"), "?");             // U+0080: 0x80 is the euro sign
    EXPECT_EQ(utf8ToCp1252("\xC4\x80"), "?");             // U+0100
}

TEST(Cp1252, MalformedUtf8BecomesOneQuestionMarkPerByte)
{
    EXPECT_EQ(utf8ToCp1252("\xFF"), "?");
    EXPECT_EQ(utf8ToCp1252("x\xC3"), "x?"); // sequence cut short at the end
    EXPECT_EQ(utf8ToCp1252("a\xE2\x82"
                           "b"),
              "a??b");                                   // continuation missing
    EXPECT_EQ(utf8ToCp1252("\xC0\xAF"), "??");           // overlong '/'
    EXPECT_EQ(utf8ToCp1252("\xE0\x80\xAF"), "???");      // overlong '/', three bytes
    EXPECT_EQ(utf8ToCp1252("\xED\xA0\x80"), "???");      // a lone surrogate
    EXPECT_EQ(utf8ToCp1252("\xF4\x90\x80\x80"), "????"); // beyond U+10FFFF
    EXPECT_EQ(utf8ToCp1252("\x80"
                           "A"),
              "?A"); // stray continuation byte
}
