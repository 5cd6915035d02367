// SPDX-License-Identifier: GPL-3.0-or-later
// The parameter file: what values written over a fixture read as, the round
// trip of every field, damaged files, and real files.
//
// Fixtures (tests/data/obp/, written with Python's struct by
// scripts/make_obp_samples.py, independently of the encoder):
//   layout.obp    a distinct value in every field, texts in slots 0, 1, 2, 47
//   nonascii.obp  every byte value once in the texts and font names
//   preset3.obp   the start-up preset in a 9000 x 6750 twip window
// What every stored field of the first two reads as is pinned by the command
// line's JSON of them (tests/data/json); here, that they write back the same.
#include "io/param_file.h"

#include "io/safe_file.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <variant>
#include <vector>

using namespace ombrix;

namespace
{

using Bytes = std::vector<std::uint8_t>;
using Value = std::variant<long long, std::string>;
enum Kind { I16, U16, I32, Str };

Bytes loadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const Bytes kLayout = loadFile(OMBRIX_TEST_DATA "/obp/layout.obp");

// The little-endian value at `at`; a string is its bytes, without the length.
Value valueAt(const Bytes& b, std::size_t at, Kind kind)
{
    std::uint32_t v = 0;
    for (std::size_t i = (kind == I32 ? 4 : 2); i-- > 0;)
        v = v << 8 | b.at(at + i);
    if (kind == Str)
        return std::string(b.begin() + long(at) + 2, b.begin() + long(at + 2 + v));
    return kind == I16 ? (long long)std::int16_t(v) : kind == U16 ? v : std::int32_t(v);
}

// The file with `value` written at `at`; a string replaces the one there.
Bytes patched(Bytes b, std::size_t at, Kind kind, const Value& value)
{
    if (kind != Str) {
        for (std::size_t i = 0; i < (kind == I32 ? 4 : 2); ++i)
            b.at(at + i) = std::uint8_t(std::uint32_t(std::get<long long>(value)) >> (8 * i));
        return b;
    }
    const std::string& s = std::get<std::string>(value);
    const auto old = std::get<std::string>(valueAt(b, at, Str)).size();
    b.erase(b.begin() + long(at), b.begin() + long(at + 2 + old));
    b.insert(b.begin() + long(at), s.begin(), s.end());
    b.insert(b.begin() + long(at), {std::uint8_t(s.size()), std::uint8_t(s.size() >> 8)});
    return b;
}

// The record a file is read over: the start-up preset, and impossible values
// where a file stores nothing or a rainbow mode outside 0..4 leaves a choice.
ImageParams before()
{
    ImageModel m;
    m.mSetDefaults(3);
    m.params.pnRainbowPalette = m.params.pnRainbowInverse = 9;
    for (auto& st : m.params.pnTextStyle)
        st[4] = 1;
    return m.params;
}

// A field, where it lies in the file, and what each value written there over
// layout.obp's reads as.
struct Row {
    std::size_t at;
    Kind kind;
    const char* field;
    Value (*get)(const ImageParams&);
    std::vector<std::pair<Value, Value>> storedRead;
};
#define F(e) #e, [](const ImageParams& p) -> Value { return p.e; }

// Width and height are unsigned; the slant is packed as vertical * 100 +
// horizontal, the quotient rounded (the fixture's -293 first); text 1's and
// 2's left edges less text 0's give the set's offsets.  The image record is
// used unchecked; a rainbow mode outside 0..4 leaves both choices (the
// fixture's mode 4 first); colours outside 0..255 read as 0, text sizes
// outside 6..200 as 18, style flags other than 0 and 1 as 0, border widths
// outside 0..100 as 0; a text of one blank (how an emptied text was stored)
// as empty.
// clang-format off
const Row kRows[] = {
    {4, U16, F(pnImageWidth), {{65535, 65535}}},   {6, U16, F(pnImageHeight), {{32768, 32768}}},
    {8, I16, F(pnPattern), {{99, 99}}},            {16, I16, F(pnHorRep), {{0, 0}}},
    {12, I16, F(pnVerOrgOffset), {{-293, -3}, {-605, -6}, {90, 1}}},
    {12, I16, F(pnSlantRate), {{-293, 7}, {-605, -5}, {90, -10}}},
    {20, I16, F(pnRainbowPalette), {{4, 0}, {0, 1}, {2, 1}, {3, 0}, {7, 9}}},
    {20, I16, F(pnRainbowInverse), {{4, 1}, {0, 0}, {2, 1}, {3, 0}, {-1, 9}}},
    {152, I16, F(pnHighlightOffset[0]), {{102, 2}}}, {198, I16, F(pnShadowOffset[0]), {{96, -4}}},
    {22, I32, F(plColor[0][0]), {{256, 0}}},       {54, I32, F(plColor[2][2]), {{-1, 0}}},
    {78, I32, F(plTextColor[0][0]), {{300, 0}}},   {1782, I32, F(plBorderColor[0][0]), {{256, 0}}},
    {90, I16, F(pnTextStyle[0][0]), {{2, 0}}},     {92, I16, F(pnTextStyle[0][1]), {{-1, 0}}},
    {76, I16, F(pnTextSize[0]), {{5, 18}, {6, 6}, {201, 18}}},
    {1780, I16, F(pnBorderSize[0]), {{101, 0}, {-1, 0}}},
    {202, Str, F(psText[3]), {{" ", ""}, {"  ", "  "}}},
};
// clang-format on

} // namespace

TEST(ParamFile, TheFixturesWriteBackAndValuesWrittenOverThemReadAsTheirFields)
{
    for (const char* name : {"/obp/layout.obp", "/obp/nonascii.obp"}) {
        const Bytes file = loadFile(OMBRIX_TEST_DATA + std::string(name));
        ImageParams p = before();
        ASSERT_TRUE(decodeParams(file.data(), file.size(), p).ok) << name;
        EXPECT_EQ(encodeParams(p), file) << name;
    }
    for (const Row& row : kRows)
        for (const auto& [stored, read] : row.storedRead) {
            SCOPED_TRACE(std::to_string(row.at) + " " + row.field);
            const Bytes file = patched(kLayout, row.at, row.kind, stored);
            ImageParams p = before();
            const ParamFileResult r = decodeParams(file.data(), file.size(), p);
            ASSERT_TRUE(r.ok) << r.message;
            EXPECT_EQ(row.get(p), read);
            for (const auto& st : p.pnTextStyle)
                ASSERT_EQ(st[4], 1) << "the fifth style switch is not stored";
            if (stored == read) { // nothing repaired or derived: the same bytes
                EXPECT_EQ(encodeParams(p), file);
            }
        }
}

TEST(ParamFile, ValuesAFileCannotHoldAreWrittenAsTheNearestItCan)
{
    // A character Windows-1252 lacks is written as one '?', malformed UTF-8
    // as one '?' per byte: an emoji, U+0080 (0x80 is the euro sign), U+0100,
    // a byte never in UTF-8, a sequence cut short at the end or before a
    // "b", overlong forms of '/', a surrogate, beyond U+10FFFF, a stray
    // continuation byte.  A text is cut to the longest a stored length can say.
    // clang-format off
    const std::pair<std::string, std::string> texts[] = {
        {"日本", "??"},            {"a\xF0\x9F\x98\x80z", "a?z"}, {"\xC2\x80", "?"},
        {"\xC4\x80", "?"},         {"\xFF", "?"},                 {"x\xC3", "x?"},
        {"a\xE2\x82\x62", "a??b"}, {"\xC0\xAF", "??"},            {"\xE0\x80\xAF", "???"},
        {"\xED\xA0\x80", "???"},   {"\xF4\x90\x80\x80", "????"},  {"\x80\x41", "?A"},
        {std::string(40000, 'a'), std::string(32767, 'a')}};
    // clang-format on
    ImageParams p;
    for (const auto& [utf8, bytes] : texts) {
        p.psText[0] = utf8;
        EXPECT_EQ(valueAt(encodeParams(p), 58, Str), Value(bytes)) << utf8.substr(0, 9);
    }
    // Sizes and the packed slant are held to their stored range, never wrapped.
    p.pnImageWidth = 70000;
    p.pnImageHeight = -5;
    p.pnVerOrgOffset = 400;
    const Bytes b = encodeParams(p);
    EXPECT_EQ(valueAt(b, 4, U16), Value(65535));
    EXPECT_EQ(valueAt(b, 6, U16), Value(0));
    EXPECT_EQ(valueAt(b, 12, I16), Value(32767));
    p.pnVerOrgOffset = -400;
    EXPECT_EQ(valueAt(encodeParams(p), 12, I16), Value(-32768));
}

TEST(ParamFile, PresetsSlantPairsAndTheLargestFileSurviveTheRoundTrip)
{
    ImageModel m;
    m.mSetDefaults(3);
    m.params.pnImageLeft = 450;
    m.params.pnImageWidth = 9000;
    m.params.pnImageHeight = 6750;
    EXPECT_EQ(encodeParams(m.params), loadFile(OMBRIX_TEST_DATA "/obp/preset3.obp"));

    ImageParams p = m.params, q;
    for (int v = -10; v <= 10; ++v) // every pair of slider values
        for (int s = -10; s <= 10; ++s) {
            p.pnVerOrgOffset = Integer(v);
            p.pnSlantRate = Integer(s);
            const Bytes e = encodeParams(p);
            ASSERT_TRUE(decodeParams(e.data(), e.size(), q).ok);
            ASSERT_EQ(q.pnVerOrgOffset * 100 + q.pnSlantRate, v * 100 + s);
        }
    for (int t = 0; t < kTextSlots; ++t) { // the largest file there can be
        p.psText[t] = std::string(obp::kMaxStringBytes, char('A' + t % 26));
        p.psTextFont[t] = std::string(obp::kMaxStringBytes, char('a' + t % 26));
    }
    const Bytes largest = encodeParams(p);
    ASSERT_EQ(largest.size(), obp::kMaxFileSize);
    ASSERT_TRUE(decodeParams(largest.data(), largest.size(), q).ok);
    EXPECT_EQ(encodeParams(q), largest);
}

TEST(ParamFile, DamagedFilesFailWithTheirCheckpointAndChangeNothing)
{
    const ImageParams start = before();
    // A cut at every offset: the checkpoint names the step under way, with
    // the numbers of the last text record read.
    // clang-format off
    const std::pair<std::size_t, const char*> steps[] = {
        {22, "MARD02"}, {58, "MARD06"}, {102, "MARD07"}, {156, "MARD10\r 100\r 200"},
        {202, "MARD10\r 102\r 198"}, {237, "MARD10\r 96\r 204"}, {1780, "MARD10\r-50\r-50"},
        {1794, "MARD11"}, {1836, "MARD12"}};
    // clang-format on
    for (std::size_t n = 0; n < kLayout.size(); ++n) {
        ImageParams p = start;
        const ParamFileResult r = decodeParams(kLayout.data(), n, p);
        ASSERT_FALSE(r.ok) << n;
        ASSERT_EQ(p, start) << n;
        ASSERT_EQ(r.message.rfind("the file ends early, in ", 0), 0u) << n << ": " << r.message;
        const auto* step = std::find_if(std::begin(steps), std::end(steps),
                                        [&](const auto& st) { return n < st.first; });
        ASSERT_EQ(r.checkpoint, step->second) << n;
    }
    ImageParams p = start;
    EXPECT_EQ(decodeParams(nullptr, 0, p).checkpoint, "MARD02");

    // String lengths that cannot be.
    // clang-format off
    const std::tuple<std::size_t, long long, const char*> lengths[] = {
        {58, -1, "the text of text record 0 has an impossible length (-1)"},
        {1745, -5, "the font name of text record 47 has an impossible length (-5)"},
        {1742, 200, "the text of text record 47 (200 bytes announced, 92 left)"}};
    // clang-format on
    for (const auto& [at, length, says] : lengths) {
        const Bytes b = patched(kLayout, at, I16, length);
        const ParamFileResult r = decodeParams(b.data(), b.size(), p);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(p, start);
        EXPECT_NE(r.message.find(says), std::string::npos) << r.message;
    }
}

// What ReadData and SaveData say about each file is checked through the
// command line; here, what only the record and the checkpoints show.
TEST(ParamFile, ReadDataAndSaveDataGoThroughRealFiles)
{
    QTemporaryDir tmp;
    const std::string file = tmp.path().toStdString() + "/image.obp";
    const ImageParams start = before();
    ImageParams p = start;
    EXPECT_EQ(ReadData(file, p).checkpoint, "MARD01");
    EXPECT_EQ(SaveData(file + "/x", start).checkpoint, "Error at SaveData 001");
    EXPECT_EQ(p, start);

    std::ofstream(file) << std::string(5000, 'x'); // an older, longer file: no tail stays
    ASSERT_TRUE(SaveData(file, start).ok);
    const Bytes saved = loadFile(file);
    EXPECT_EQ(saved, encodeParams(start));
    std::filesystem::resize_file(file, std::uintmax_t{1} << 30); // sparse: costs no disk
    ASSERT_TRUE(ReadData(file, p).ok) << "a huge tail is not read";
    EXPECT_EQ(encodeParams(p), saved);
    std::filesystem::resize_file(file, saved.size());

    // Past a file-size limit the write fails in a text record, and says so.
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit small{1000, limit.rlim_max};
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    const ParamFileResult r = SaveData(file, ImageParams{});
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, handler);
    EXPECT_EQ(r.checkpoint, "Error at SaveData 010");
    EXPECT_EQ(r.message, "cannot write \"" + file + "\": " + systemError(EFBIG));
    EXPECT_EQ(loadFile(file), saved);
}

// A name without a "/" (a backslash is no separator) lies in the program's folder.
TEST(ParamFile, GetFolder)
{
    // clang-format off
    const std::pair<const char*, const char*> folders[] = {{"/home/ann/sky.obp", "/home/ann/"},
        {"/sky.obp", "/"}, {"pictures/", "pictures/"}, {"C:\\pictures\\sky.obp", "/opt/"}};
    // clang-format on
    for (const auto& [path, folder] : folders)
        EXPECT_EQ(mGetFolder(path, "/opt/"), folder) << path;
}
