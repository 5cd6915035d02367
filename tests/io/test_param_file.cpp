// The parameter file: its byte layout, the round trip of every field, the
// repairs after reading, damaged files of every kind, and saving.
//
// Fixtures (tests/data/obp/, written by scripts/make_obp_samples.py and
// explained in the README there):
//   layout.obp   a distinct value in every field, texts in slots 0, 1, 2, 47
//   preset3.obp  the start-up preset in a 9000 x 6750 twip window
#include "io/param_file.h"

#include "io/cp1252.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QTemporaryDir>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace ombrix;

namespace
{

using Bytes = std::vector<std::uint8_t>;

const std::string kData = OMBRIX_TEST_DATA;

Bytes loadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void storeFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

int rd16(const Bytes& b, std::size_t off)
{
    return static_cast<std::int16_t>(b.at(off) | (b.at(off + 1) << 8));
}
int rdU16(const Bytes& b, std::size_t off)
{
    return b.at(off) | (b.at(off + 1) << 8);
}
void put16(Bytes& b, std::size_t off, int v)
{
    b.at(off) = static_cast<std::uint8_t>(v & 0xFF);
    b.at(off + 1) = static_cast<std::uint8_t>((v >> 8) & 0xFF);
}

// A parameter file spelled out field by field, independently of the encoder.
struct ByteBuilder {
    Bytes b;
    void i16(int v)
    {
        b.push_back(static_cast<std::uint8_t>(v & 0xFF));
        b.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
    }
    void i32(long v)
    {
        const auto u = static_cast<std::uint32_t>(v);
        for (int s = 0; s < 32; s += 8)
            b.push_back(static_cast<std::uint8_t>(u >> s));
    }
    void str(const std::string& bytes)
    {
        i16(static_cast<int>(bytes.size()));
        b.insert(b.end(), bytes.begin(), bytes.end());
    }
};

// A record that differs from every preset in as many fields as possible.
ImageParams unusualRecord()
{
    ImageModel m;
    m.mSetDefaults(3);
    ImageParams p = m.params;
    p.pnImageLeft = -1234;
    p.pnImageTop = 4321;
    p.pnImageWidth = 40000;
    p.pnImageHeight = 65535;
    p.pnPattern = 11;
    p.pnRotation = -1;
    p.pnSlantRate = 9;
    p.pnVerOrgOffset = -7;
    p.pnHump = 3;
    p.pnHorRep = 10;
    p.pnVerRep = 6;
    p.pnRainbow = 3;
    p.pnRainbowPalette = 0;
    p.pnRainbowInverse = 0;
    p.plColor = {{{1, 2, 3}, {4, 5, 6}, {255, 254, 253}}};
    for (int t = 0; t < kTextSlots; ++t) {
        p.psText[t] = "Text " + std::to_string(t);
        p.psTextFont[t] = t % 2 ? "Liberation Serif" : "Arial";
        p.pnTextSize[t] = static_cast<Integer>(6 + 4 * t);
        p.pnTextLeft[t] = static_cast<Integer>(-300 + 17 * t);
        p.pnTextTop[t] = static_cast<Integer>(900 - 13 * t);
        for (int s = 0; s < 4; ++s)
            p.pnTextStyle[t][s] = static_cast<Integer>((t >> s) & 1);
        p.pnTextStyle[t][4] = 1;
        p.plTextColor[t] = {t, 255 - t, 5 * t};
    }
    p.psText[0] = "Grüße – €";
    p.psText[1] = "  "; // two blanks are kept; only a single one means empty
    p.psText[2] = "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"; // the five undefined bytes
    p.psText[3] = "";
    p.psTextFont[4] = "";
    p.pnBorderSize = {1, 50, 99, 100};
    p.plBorderColor = {{{10, 0, 0}, {0, 20, 0}, {0, 0, 30}, {40, 50, 60}}};
    p.recomputeTextOffsets();
    return p;
}

class TempDir
{
public:
    TempDir() { EXPECT_TRUE(dir_.isValid()); }
    std::string path(const std::string& name) const
    {
        return dir_.filePath(QString::fromStdString(name)).toStdString();
    }
    std::string root() const { return dir_.path().toStdString(); }

private:
    QTemporaryDir dir_;
};

} // namespace

// ---------------------------------------------------------------- layout

TEST(ParamFile, FixtureDecodesToItsValuesAndEncodesToTheSameBytes)
{
    const Bytes f = loadFile(kData + "/obp/layout.obp");
    ImageModel m;
    m.mSetDefaults(3);
    ImageParams p = m.params;
    const ParamFileResult r = decodeParams(f.data(), f.size(), p);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_TRUE(r.message.empty());

    EXPECT_EQ(p.pnImageLeft, 345);
    EXPECT_EQ(p.pnImageTop, -120);
    EXPECT_EQ(p.pnImageWidth, 40000);
    EXPECT_EQ(p.pnImageHeight, 9000);
    EXPECT_EQ(p.pnPattern, 7);
    EXPECT_EQ(p.pnRotation, -1);
    EXPECT_EQ(p.pnVerOrgOffset, -3);
    EXPECT_EQ(p.pnSlantRate, 7);
    EXPECT_EQ(p.pnHump, 13);
    EXPECT_EQ(p.pnHorRep, 4);
    EXPECT_EQ(p.pnVerRep, 2);
    EXPECT_EQ(p.pnRainbow, 4);
    EXPECT_EQ(p.pnRainbowPalette, 0);
    EXPECT_EQ(p.pnRainbowInverse, 1);
    EXPECT_EQ(p.plColor[1], (Colour{250, 128, 7}));
    EXPECT_EQ(p.psText[0], "Grüße – €");
    EXPECT_EQ(p.psTextFont[1], "Times New Roman");
    EXPECT_EQ(p.pnTextSize[2], 38);
    EXPECT_EQ(p.plTextColor[1], (Colour{255, 255, 254}));
    EXPECT_EQ(p.pnTextStyle[2], (std::array<Integer, 5>{1, 1, 1, 1, 0}));
    EXPECT_EQ(p.psText[3], "");
    EXPECT_EQ(p.psTextFont[3], "Arial");
    EXPECT_EQ(p.psText[47], "Z");
    EXPECT_EQ(p.pnTextLeft[47], 32767);
    EXPECT_EQ(p.pnTextTop[47], -32768);
    EXPECT_EQ(p.pnHighlightOffset[0], 2);
    EXPECT_EQ(p.pnShadowOffset[0], -4);
    EXPECT_EQ(p.pnBorderSize, (std::array<Integer, 4>{5, 0, 100, 12}));
    EXPECT_EQ(p.plBorderColor[3], (Colour{0, 128, 255}));

    EXPECT_EQ(encodeParams(p), f);
}

TEST(ParamFile, PresetEncodesToTheIndependentlyWrittenFile)
{
    ImageModel m;
    m.mSetDefaults(3);
    m.params.pnImageLeft = 450;
    m.params.pnImageTop = 0;
    m.params.pnImageWidth = 9000;
    m.params.pnImageHeight = 6750;
    EXPECT_EQ(encodeParams(m.params), loadFile(kData + "/obp/preset3.obp"));
}

TEST(ParamFile, FileBuiltByteByByteDecodes)
{
    ByteBuilder w;
    for (int v : {-15, 30, 12000, 8000, 6, 1, 1005, 0, 2, 5, 2})
        w.i16(v);
    for (long v : {9L, 8L, 7L, 6L, 5L, 4L, 3L, 2L, 1L})
        w.i32(v);
    for (int i = 0; i < kTextSlots; ++i) {
        w.str(i == 4 ? "Hi\x80" : "");
        w.str(i == 4 ? "Verdana" : "Arial");
        w.i16(i == 4 ? 72 : 18);
        w.i32(i);
        w.i32(2 * i);
        w.i32(3 * i);
        for (int s = 0; s < 4; ++s)
            w.i16(i == 4 && s == 1 ? 1 : 0);
        w.i16(i);
        w.i16(-i);
    }
    for (int b = 0; b < kBorders; ++b) {
        w.i16(10 * b);
        w.i32(b);
        w.i32(b + 1);
        w.i32(b + 2);
    }
    ASSERT_EQ(w.b.size(), 1794u + 3 + 2); // "Hi\x80", and "Verdana" for one "Arial"

    ImageParams p;
    const ParamFileResult r = decodeParams(w.b.data(), w.b.size(), p);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(p.pnImageWidth, 12000);
    EXPECT_EQ(p.pnVerOrgOffset, 10); // 1005 packed
    EXPECT_EQ(p.pnSlantRate, 5);
    EXPECT_EQ(p.pnRainbowPalette, 1); // mode 2
    EXPECT_EQ(p.pnRainbowInverse, 1);
    EXPECT_EQ(p.plColor[2], (Colour{3, 2, 1}));
    EXPECT_EQ(p.psText[4], "Hi€");
    EXPECT_EQ(p.psTextFont[4], "Verdana");
    EXPECT_EQ(p.pnTextSize[4], 72);
    EXPECT_EQ(p.plTextColor[4], (Colour{4, 8, 12}));
    EXPECT_EQ(p.pnTextStyle[4][1], 1);
    EXPECT_EQ(p.pnTextLeft[40], 40);
    EXPECT_EQ(p.pnTextTop[40], -40);
    EXPECT_EQ(p.pnHighlightOffset[13], 1);
    EXPECT_EQ(p.pnShadowOffset[13], 2);
    EXPECT_EQ(p.pnBorderSize[3], 30);
    EXPECT_EQ(p.plBorderColor[3], (Colour{3, 4, 5}));
    EXPECT_EQ(encodeParams(p), w.b);
}

// ---------------------------------------------------------------- round trip

TEST(ParamFile, EveryStoredFieldSurvivesTheRoundTrip)
{
    const ImageParams src = unusualRecord();
    const Bytes bytes = encodeParams(src);

    ImageModel m;
    m.mSetDefaults(0); // fifth style switches 0, rainbow palette 1
    ImageParams p = m.params;
    const ParamFileResult r = decodeParams(bytes.data(), bytes.size(), p);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(p.psText[0], "Grüße – €");
    EXPECT_EQ(p.psText[1], "  ");
    EXPECT_EQ(p.psText[2], src.psText[2]);
    EXPECT_EQ(p.psTextFont[4], "");
    EXPECT_EQ(p.pnImageWidth, 40000);
    EXPECT_EQ(p.pnImageHeight, 65535);
    // The fifth switch is not stored: it keeps the value it had.
    for (int t = 0; t < kTextSlots; ++t)
        EXPECT_EQ(p.pnTextStyle[t][4], 0) << t;
    for (auto& st : p.pnTextStyle)
        st[4] = 1;
    EXPECT_EQ(p, src);
}

TEST(ParamFile, UnsignedWindowSize)
{
    ImageParams p;
    p.pnImageWidth = 40000;
    p.pnImageHeight = 32768;
    Bytes b = encodeParams(p);
    EXPECT_EQ(b[4], 0x40);
    EXPECT_EQ(b[5], 0x9C);
    EXPECT_EQ(rdU16(b, 6), 32768);

    put16(b, 4, 0xFFFF); // a signed reader would see -1
    ImageParams q;
    ASSERT_TRUE(decodeParams(b.data(), b.size(), q).ok);
    EXPECT_EQ(q.pnImageWidth, 65535);
    EXPECT_EQ(q.pnImageHeight, 32768);

    // Sizes in the signed range read as they always did.
    put16(b, 4, 32767);
    put16(b, 6, 0);
    ASSERT_TRUE(decodeParams(b.data(), b.size(), q).ok);
    EXPECT_EQ(q.pnImageWidth, 32767);
    EXPECT_EQ(q.pnImageHeight, 0);

    // Out-of-range values are clamped on the way out, never wrapped.
    p.pnImageWidth = 70000;
    p.pnImageHeight = -5;
    b = encodeParams(p);
    EXPECT_EQ(rdU16(b, 4), 65535);
    EXPECT_EQ(rdU16(b, 6), 0);
}

TEST(ParamFile, PackedSlant)
{
    struct Case {
        int packed, verOffset, slant;
    } cases[] = {{-605, -6, -5}, {90, 1, -10},   {-10, 0, -10},    {-293, -3, 7},
                 {0, 0, 0},      {1010, 10, 10}, {-1010, -10, -10}};
    Bytes b = encodeParams(ImageParams{});
    for (const Case& c : cases) {
        put16(b, 12, c.packed);
        ImageParams p;
        ASSERT_TRUE(decodeParams(b.data(), b.size(), p).ok);
        EXPECT_EQ(p.pnVerOrgOffset, c.verOffset) << c.packed;
        EXPECT_EQ(p.pnSlantRate, c.slant) << c.packed;
    }
    // Every pair of slider values survives.
    for (int v = -10; v <= 10; ++v)
        for (int s = -10; s <= 10; ++s) {
            ImageParams p;
            p.pnVerOrgOffset = static_cast<Integer>(v);
            p.pnSlantRate = static_cast<Integer>(s);
            const Bytes e = encodeParams(p);
            EXPECT_EQ(rd16(e, 12), v * 100 + s);
            ImageParams q;
            ASSERT_TRUE(decodeParams(e.data(), e.size(), q).ok);
            EXPECT_EQ(q.pnVerOrgOffset, v);
            EXPECT_EQ(q.pnSlantRate, s);
        }
    // Values far outside the sliders cannot wrap into another slant.
    ImageParams p;
    p.pnVerOrgOffset = 400;
    EXPECT_EQ(rd16(encodeParams(p), 12), 32767);
    p.pnVerOrgOffset = -400;
    EXPECT_EQ(rd16(encodeParams(p), 12), -32768);
}

TEST(ParamFile, RainbowChoicesFollowTheStoredMode)
{
    Bytes b = encodeParams(ImageParams{});
    struct Case {
        int mode, palette, inverse;
    } cases[] = {{0, 1, 0}, {1, 1, 0}, {2, 1, 1}, {3, 0, 0}, {4, 0, 1}, {7, 0, 1}, {-1, 0, 1}};
    for (const Case& c : cases) {
        put16(b, 20, c.mode);
        ImageParams p;
        p.pnRainbowPalette = 0; // what a mode outside 0..4 must leave alone
        p.pnRainbowInverse = 1;
        ASSERT_TRUE(decodeParams(b.data(), b.size(), p).ok);
        EXPECT_EQ(p.pnRainbow, c.mode);
        EXPECT_EQ(p.pnRainbowPalette, c.palette) << c.mode;
        EXPECT_EQ(p.pnRainbowInverse, c.inverse) << c.mode;
    }
}

TEST(ParamFile, TextOfOneBlankReadsBackEmpty)
{
    ImageParams p;
    p.psText[0] = " ";
    p.psText[3] = "  ";
    p.psText[6] = " x";
    const Bytes b = encodeParams(p);
    EXPECT_EQ(rd16(b, 58), 1); // stored as it is
    ImageParams q;
    q.psText[0] = "old";
    ASSERT_TRUE(decodeParams(b.data(), b.size(), q).ok);
    EXPECT_EQ(q.psText[0], "");
    EXPECT_EQ(q.psText[3], "  ");
    EXPECT_EQ(q.psText[6], " x");
}

TEST(ParamFile, TextsAreStoredInWindows1252)
{
    ImageModel m;
    m.mSetDefaults(0);
    ImageParams& p = m.params;
    p.psText[0] = "日本";                  // not in the code page
    p.psText[1] = std::string(40000, 'a'); // longer than a stored length can say
    p.psTextFont[2] = "Grüße – €";
    const Bytes b = encodeParams(p);
    EXPECT_EQ(rd16(b, 58), 2);
    EXPECT_EQ(std::string(b.begin() + 60, b.begin() + 62), "??");
    ImageParams q;
    ASSERT_TRUE(decodeParams(b.data(), b.size(), q).ok);
    EXPECT_EQ(q.psText[0], "??");
    EXPECT_EQ(q.psText[1], std::string(32767, 'a'));
    EXPECT_EQ(q.psTextFont[2], "Grüße – €");
    EXPECT_EQ(b.size(), 1794u + 2 + 32767 + 9 - 5);
}

// ---------------------------------------------------------------- repairs

TEST(ParamFile, OutOfRangeValuesAreRepairedOnReading)
{
    ImageParams p;
    for (int t = 0; t < kTextSlots; ++t)
        p.resetTextSlot(t);
    p.pnTextSize[0] = 300;
    p.pnTextSize[1] = 6;
    p.pnTextSize[2] = 200;
    p.pnTextSize[3] = 5;
    p.pnTextSize[4] = 201;
    p.pnTextSize[5] = -18;
    p.plTextColor[0] = {300, 255, -1};
    p.pnTextStyle[0] = {2, 1, -1, 0, 0};
    p.pnTextStyle[1] = {1, 1, 1, 7, 0};
    p.plColor[0] = {256, 0, 255};
    p.plColor[2] = {-1, 128, 1000000};
    p.pnBorderSize = {101, 100, 0, -1};
    p.plBorderColor[1] = {256, 12, -5};
    // Fields that are not checked are used as read.
    p.pnPattern = 99;
    p.pnHorRep = 0;
    p.pnTextLeft[0] = -30000;

    const Bytes b = encodeParams(p);
    ImageParams q;
    ASSERT_TRUE(decodeParams(b.data(), b.size(), q).ok);
    EXPECT_EQ(q.pnTextSize[0], 18);
    EXPECT_EQ(q.pnTextSize[1], 6);
    EXPECT_EQ(q.pnTextSize[2], 200);
    EXPECT_EQ(q.pnTextSize[3], 18);
    EXPECT_EQ(q.pnTextSize[4], 18);
    EXPECT_EQ(q.pnTextSize[5], 18);
    EXPECT_EQ(q.plTextColor[0], (Colour{0, 255, 0}));
    EXPECT_EQ(q.pnTextStyle[0], (std::array<Integer, 5>{0, 1, 0, 0, 0}));
    EXPECT_EQ(q.pnTextStyle[1], (std::array<Integer, 5>{1, 1, 1, 0, 0}));
    EXPECT_EQ(q.plColor[0], (Colour{0, 0, 255}));
    EXPECT_EQ(q.plColor[2], (Colour{0, 128, 0}));
    EXPECT_EQ(q.pnBorderSize, (std::array<Integer, 4>{0, 100, 0, 0}));
    EXPECT_EQ(q.plBorderColor[1], (Colour{0, 12, 0}));
    EXPECT_EQ(q.pnPattern, 99);
    EXPECT_EQ(q.pnHorRep, 0);
    EXPECT_EQ(q.pnTextLeft[0], -30000);
}

// ---------------------------------------------------------------- damaged files

TEST(ParamFile, FileCutAtEveryOffsetFailsAndChangesNothing)
{
    const Bytes f = loadFile(kData + "/obp/layout.obp");
    ASSERT_EQ(f.size(), 1836u);
    const ImageParams before = unusualRecord();
    // The checkpoint names the step under way, as an old reader would: the
    // position of the last text record read shows in it.
    struct Step {
        std::size_t end;
        const char* checkpoint;
    };
    const Step steps[] = {{22, "MARD02"},
                          {58, "MARD06"},
                          {102, "MARD07"},
                          {156, "MARD10\r 100\r 200"},
                          {202, "MARD10\r 102\r 198"},
                          {237, "MARD10\r 96\r 204"},
                          {1780, "MARD10\r-50\r-50"},
                          {1794, "MARD11"},
                          {1836, "MARD12"}};
    for (std::size_t n = 0; n < f.size(); ++n) {
        ImageParams p = before;
        const ParamFileResult r = decodeParams(f.data(), n, p);
        ASSERT_FALSE(r.ok) << n;
        ASSERT_EQ(p, before) << n;
        ASSERT_EQ(p.pnTextStyle, before.pnTextStyle) << n;
        ASSERT_EQ(r.message.rfind("the file ends early, in ", 0), 0u) << n << ": " << r.message;
        const auto step = std::find_if(std::begin(steps), std::end(steps),
                                       [&](const Step& st) { return n < st.end; });
        ASSERT_NE(step, std::end(steps));
        const std::string expected = step->checkpoint;
        ASSERT_EQ(r.checkpoint, expected) << n;
    }
    ImageParams p;
    EXPECT_NE(decodeParams(f.data(), 1000, p).message.find("text record 25"), std::string::npos);
    EXPECT_NE(decodeParams(f.data(), 1835, p).message.find("border record 3"), std::string::npos);
    EXPECT_NE(decodeParams(f.data(), 40, p).message.find("colour record 1"), std::string::npos);
    EXPECT_EQ(decodeParams(nullptr, 0, p).checkpoint, "MARD02");
    EXPECT_TRUE(decodeParams(f.data(), f.size(), p).ok);
}

TEST(ParamFile, ImpossibleStringLengthsFailAndChangeNothing)
{
    const Bytes f = loadFile(kData + "/obp/layout.obp");
    const ImageParams before = unusualRecord();
    struct Case {
        std::size_t offset;
        int length;
        const char* says;
    } cases[] = {
        {58, -1, "the text of text record 0 has an impossible length (-1)"},
        {58, -32768, "impossible length (-32768)"},
        {69, -5, "the font name of text record 0 has an impossible length (-5)"},
        {1745, -1, "the font name of text record 47"},
        {58, 32767, "the file ends early, in the text of text record 0 (32767 bytes announced"},
        {1742, 200, "the text of text record 47 (200 bytes announced, 92 left)"},
    };
    for (const Case& c : cases) {
        Bytes b = f;
        put16(b, c.offset, c.length);
        ImageParams p = before;
        const ParamFileResult r = decodeParams(b.data(), b.size(), p);
        EXPECT_FALSE(r.ok) << c.offset;
        EXPECT_EQ(p, before) << c.offset;
        EXPECT_NE(r.message.find(c.says), std::string::npos) << r.message;
        EXPECT_FALSE(r.checkpoint.empty());
    }
}

TEST(ParamFile, LargestPossibleFileDecodes)
{
    ImageParams p;
    for (int t = 0; t < kTextSlots; ++t) {
        p.psText[t] = std::string(obp::kMaxStringBytes, static_cast<char>('A' + t % 26));
        p.psTextFont[t] = std::string(obp::kMaxStringBytes, 'f');
    }
    const Bytes b = encodeParams(p);
    ASSERT_EQ(b.size(), obp::kMaxFileSize);
    ImageParams q;
    ASSERT_TRUE(decodeParams(b.data(), b.size(), q).ok);
    EXPECT_EQ(q.psText[47], p.psText[47]);
    EXPECT_EQ(q.psTextFont[0], p.psTextFont[0]);
}

// ---------------------------------------------------------------- files

TEST(ParamFile, ReadDataOfAMissingFileOrAFolderChangesNothing)
{
    TempDir dir;
    const ImageParams before = unusualRecord();
    ImageParams p = before;
    ParamFileResult r = ReadData(dir.path("none.obp"), p);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.checkpoint, "MARD01");
    EXPECT_NE(r.message.find("none.obp"), std::string::npos) << r.message;
    EXPECT_EQ(p, before);

    r = ReadData(dir.root(), p);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(p, before);

    storeFile(dir.path("short.obp"), Bytes(60, 0)); // ends in the first font name
    r = ReadData(dir.path("short.obp"), p);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.checkpoint, "MARD07");
    EXPECT_EQ(p, before);
}

TEST(ParamFile, ReadDataIgnoresAHugeTail)
{
    TempDir dir;
    const std::string path = dir.path("huge.obp");
    const Bytes f = loadFile(kData + "/obp/layout.obp");
    storeFile(path, f);
    {
        QFile file(QString::fromStdString(path));
        ASSERT_TRUE(file.resize(qint64{1} << 30)); // sparse: costs no disk
    }
    ImageParams p;
    const ParamFileResult r = ReadData(path, p);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(encodeParams(p), f);
}

TEST(ParamFile, SaveDataWritesExactlyTheNewBytes)
{
    TempDir dir;
    const std::string path = dir.path("image.obp");
    storeFile(path, Bytes(5000, 0xAB)); // an older, longer file
    const ImageParams p = unusualRecord();
    const ParamFileResult r = SaveData(path, p);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(loadFile(path), encodeParams(p));
    // Nothing is left beside it.
    EXPECT_EQ(QDir(QString::fromStdString(dir.root()))
                  .entryList(QDir::NoDotAndDotDot | QDir::AllEntries)
                  .size(),
              1);

    ImageParams q = p;
    for (auto& st : q.pnTextStyle)
        st[4] = 0;
    ASSERT_TRUE(ReadData(path, q).ok);
    for (auto& st : q.pnTextStyle)
        st[4] = 1;
    EXPECT_EQ(q, p);
}

TEST(ParamFile, FailedSaveIsReportedAndKeepsTheOldFile)
{
    TempDir dir;
    const ImageParams p = unusualRecord();

    ParamFileResult r = SaveData(dir.path("missing/image.obp"), p);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.checkpoint, "Error at SaveData 001");
    EXPECT_NE(r.message.find("missing/image.obp"), std::string::npos) << r.message;
    EXPECT_FALSE(std::filesystem::exists(dir.path("missing")));

    // A folder where the file should go stays a folder, with its content.
    const std::string folder = dir.path("taken.obp");
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    storeFile(folder + "/inside", Bytes{1, 2, 3});
    r = SaveData(folder, p);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.checkpoint.empty());
    EXPECT_FALSE(r.message.empty());
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(loadFile(folder + "/inside"), (Bytes{1, 2, 3}));
}

TEST(ParamFile, SaveIntoAReadOnlyFolderKeepsTheOldFile)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "the superuser writes into read-only folders";
    TempDir dir;
    const std::string sub = dir.path("ro");
    ASSERT_TRUE(std::filesystem::create_directory(sub));
    const std::string path = sub + "/image.obp";
    storeFile(path, Bytes(3000, 0x11));
    std::filesystem::permissions(sub, std::filesystem::perms::owner_read |
                                          std::filesystem::perms::owner_exec);
    const ParamFileResult r = SaveData(path, unusualRecord());
    std::filesystem::permissions(sub, std::filesystem::perms::owner_all);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(loadFile(path), Bytes(3000, 0x11));
}

TEST(ParamFile, GetFolder)
{
    EXPECT_EQ(mGetFolder("/home/ann/pictures/sky.obp", "/opt/ombrix/"), "/home/ann/pictures/");
    EXPECT_EQ(mGetFolder("/sky.obp", "/opt/ombrix/"), "/");
    EXPECT_EQ(mGetFolder("pictures/", "/opt/ombrix/"), "pictures/");
    EXPECT_EQ(mGetFolder("sky.obp", "/opt/ombrix/"), "/opt/ombrix/");
    EXPECT_EQ(mGetFolder("", "/opt/ombrix/"), "/opt/ombrix/");
    EXPECT_EQ(mGetFolder("C:\\pictures\\sky.obp", "/opt/ombrix/"), "/opt/ombrix/");
}
