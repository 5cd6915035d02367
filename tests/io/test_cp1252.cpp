// Windows-1252 <-> UTF-8, the conversion of every text in a parameter file.
#include "io/cp1252.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

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
    for (const char* b : {"\x81", "\x8D", "\x8F", "\x90", "\x9D"})
        EXPECT_EQ(cp1252ToUtf8(b), std::string("\xC2") + b);
    EXPECT_EQ(utf8ToCp1252("Grüße – €"), "Gr\xFC\xDF"
                                         "e \x96 \x80");
    EXPECT_EQ(utf8ToCp1252(""), "");
}

TEST(Cp1252, WhatCannotBeEncodedBecomesQuestionMarks)
{
    // A character outside the code page gives one question mark, malformed
    // UTF-8 one per byte.
    const std::pair<const char*, const char*> cases[] = {
        {"日本", "??"},
        {"a\xF0\x9F\x98\x80z", "a?z"}, // a four-byte emoji
        {"\xC2\x80", "?"},             // U+0080: 0x80 is the euro sign
        {"\xC4\x80", "?"},             // U+0100
        {"\xFF", "?"},                 // never in UTF-8
        {"x\xC3", "x?"},               // sequence cut short at the end
        {"a\xE2\x82\x62", "a??b"},     // continuation missing before the "b"
        {"\xC0\xAF", "??"},            // overlong '/'
        {"\xE0\x80\xAF", "???"},       // overlong '/', three bytes
        {"\xED\xA0\x80", "???"},       // a lone surrogate
        {"\xF4\x90\x80\x80", "????"},  // beyond U+10FFFF
        {"\x80\x41", "?A"},            // stray continuation byte before the "A"
    };
    for (const auto& [utf8, want] : cases)
        EXPECT_EQ(utf8ToCp1252(utf8), want) << utf8;
}
