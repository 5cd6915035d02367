// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/param_file.h"

#include "io/cp1252.h"
#include "io/safe_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <exception>
#include <string_view>

namespace ombrix
{

namespace
{

// Every field of the record, named in declaration order.  The file format
// must decide for each field whether it is stored (encodeInto and decodeInto
// below), derived on reading (the rainbow choices, the text-set offsets) or
// left out (the fifth style switch); a field added to ImageParams stops this
// from compiling until that decision has been made here.
[[maybe_unused]] void everyFieldHasItsPlaceInTheFile(const ImageParams& p)
{
    [[maybe_unused]] const auto& [pnImageLeft, pnImageTop, pnImageWidth, pnImageHeight, pnPattern,
                                  pnRotation, pnSlantRate, pnVerOrgOffset, pnHump, pnHorRep,
                                  pnVerRep, pnRainbow, pnRainbowPalette, pnRainbowInverse, plColor,
                                  psText, psTextFont, pnTextSize, pnTextLeft, pnTextTop,
                                  pnTextStyle, plTextColor, pnHighlightOffset, pnShadowOffset,
                                  pnBorderSize, plBorderColor] = p;
}

// A number as the checkpoint lines show it: a leading blank for values that
// are not negative (" 18", "-50").
std::string checkpointNumber(long v)
{
    return (v >= 0 ? " " : "") + std::to_string(v);
}

// Sequential little-endian reading with an explicit bounds check before each
// record, so that no read can pass the end of the data.
class Reader
{
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t left() const { return size_ - pos_; }
    bool has(std::size_t n) const { return left() >= n; }

    std::uint16_t u16()
    {
        const auto v = static_cast<std::uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
        pos_ += 2;
        return v;
    }
    Integer i16() { return static_cast<Integer>(u16()); }
    Long i32()
    {
        const std::uint32_t v = static_cast<std::uint32_t>(data_[pos_]) |
                                (static_cast<std::uint32_t>(data_[pos_ + 1]) << 8) |
                                (static_cast<std::uint32_t>(data_[pos_ + 2]) << 16) |
                                (static_cast<std::uint32_t>(data_[pos_ + 3]) << 24);
        pos_ += 4;
        return static_cast<Long>(v);
    }
    Colour colour()
    {
        Colour c{};
        for (Long& v : c)
            v = i32();
        return c;
    }
    std::string_view bytes(std::size_t n)
    {
        const std::string_view s(reinterpret_cast<const char*>(data_ + pos_), n);
        pos_ += n;
        return s;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// Thrown inside the decoder; caught there and turned into a result.
struct FormatError {
    std::string message;
};

// Reads one counted string; `what` names it for the message.
std::string readString(Reader& r, const std::string& what)
{
    if (!r.has(2))
        throw FormatError{"the file ends early, in the length of " + what};
    const Integer len = r.i16();
    if (len < 0)
        throw FormatError{what + " has an impossible length (" + std::to_string(len) + ")"};
    const auto n = static_cast<std::size_t>(len);
    if (!r.has(n))
        throw FormatError{"the file ends early, in " + what + " (" + std::to_string(n) +
                          " bytes announced, " + std::to_string(r.left()) + " left)"};
    return cp1252ToUtf8(r.bytes(n));
}

void decodeInto(Reader& r, ImageParams& p, std::string& checkpoint)
{
    checkpoint = "MARD02";
    if (!r.has(obp::kImageRecordSize))
        throw FormatError{"the file ends early, in the image record"};
    p.pnImageLeft = r.i16();
    p.pnImageTop = r.i16();
    checkpoint = "MARD03";
    p.pnImageWidth = r.u16();
    p.pnImageHeight = r.u16();
    checkpoint = "MARD04";
    p.pnPattern = r.i16();
    p.pnRotation = r.i16();
    p.pnSlantRate = r.i16(); // still packed; mGetSlant splits it
    p.pnHump = r.i16();
    p.pnHorRep = r.i16();
    p.pnVerRep = r.i16();
    p.pnRainbow = r.i16();
    p.mGetSlant();
    checkpoint = "MARD05";
    p.deriveRainbowChoices();

    checkpoint = "MARD06";
    for (int k = 0; k < kColours; ++k) {
        if (!r.has(obp::kColourRecordSize))
            throw FormatError{"the file ends early, in colour record " + std::to_string(k)};
        p.plColor[k] = r.colour();
    }

    checkpoint = "MARD07";
    for (int i = 0; i < kTextSlots; ++i) {
        const std::string record = "text record " + std::to_string(i);
        std::string text = readString(r, "the text of " + record);
        std::string font = readString(r, "the font name of " + record);
        if (!r.has(obp::kTextRecordFixedSize - 4))
            throw FormatError{"the file ends early, in " + record};
        // A single blank is how an emptied text box used to be stored.
        p.psText[i] = text == " " ? std::string() : std::move(text);
        p.psTextFont[i] = std::move(font);
        const Integer size = r.i16();
        checkpoint = "MARD08\r" + checkpointNumber(size);
        p.pnTextSize[i] = size;
        checkpoint = "MARD09";
        p.plTextColor[i] = r.colour();
        for (int s = 0; s < 4; ++s) // the fifth switch is not stored
            p.pnTextStyle[i][s] = r.i16();
        const Integer left = r.i16();
        const Integer top = r.i16();
        checkpoint = "MARD10\r" + checkpointNumber(left) + "\r" + checkpointNumber(top);
        p.pnTextLeft[i] = left;
        p.pnTextTop[i] = top;
    }

    checkpoint = "MARD11";
    for (int b = 0; b < kBorders; ++b) {
        if (!r.has(obp::kBorderRecordSize))
            throw FormatError{"the file ends early, in border record " + std::to_string(b)};
        p.pnBorderSize[b] = r.i16();
        checkpoint = "MARD12";
        p.plBorderColor[b] = r.colour();
    }

    p.recomputeTextOffsets();
    p.mCheckParams();
}

// Little-endian output.  `marks` records where each record ends together with
// the checkpoint under which it is written, so that a save can report the
// step that failed.
class Writer
{
public:
    struct Mark {
        std::size_t end;
        const char* checkpoint;
    };

    void i16(Integer v) { u16(static_cast<std::uint16_t>(v)); }
    void u16(std::uint16_t v)
    {
        out.push_back(static_cast<std::uint8_t>(v & 0xFF));
        out.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    void i32(Long v)
    {
        const auto u = static_cast<std::uint32_t>(v);
        for (int shift = 0; shift < 32; shift += 8)
            out.push_back(static_cast<std::uint8_t>((u >> shift) & 0xFF));
    }
    void colour(const Colour& c)
    {
        for (const Long v : c)
            i32(v);
    }
    void string(const std::string& utf8)
    {
        std::string bytes = utf8ToCp1252(utf8);
        if (bytes.size() > obp::kMaxStringBytes)
            bytes.resize(obp::kMaxStringBytes); // one byte per character: never splits one
        i16(static_cast<Integer>(bytes.size()));
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    void mark(const char* checkpoint) { marks.push_back({out.size(), checkpoint}); }

    std::vector<std::uint8_t> out;
    std::vector<Mark> marks;
};

template <typename T> T clampTo(long long v, long long lo, long long hi)
{
    return static_cast<T>(std::clamp(v, lo, hi));
}

void encodeInto(const ImageParams& p, Writer& w)
{
    w.i16(p.pnImageLeft);
    w.i16(p.pnImageTop);
    w.u16(clampTo<std::uint16_t>(p.pnImageWidth, 0, 65535));
    w.u16(clampTo<std::uint16_t>(p.pnImageHeight, 0, 65535));
    w.i16(p.pnPattern);
    w.i16(p.pnRotation);
    w.i16(num::clampInteger(p.packedSlant()));
    w.i16(p.pnHump);
    w.i16(p.pnHorRep);
    w.i16(p.pnVerRep);
    w.i16(p.pnRainbow);
    w.mark("Error at SaveData 004");

    for (const Colour& c : p.plColor)
        w.colour(c);
    w.mark("Error at SaveData 005");

    for (int i = 0; i < kTextSlots; ++i) {
        w.string(p.psText[i]);
        w.string(p.psTextFont[i]);
        w.i16(p.pnTextSize[i]);
        w.colour(p.plTextColor[i]);
        for (int s = 0; s < 4; ++s)
            w.i16(p.pnTextStyle[i][s]);
        w.i16(p.pnTextLeft[i]);
        w.i16(p.pnTextTop[i]);
        w.mark("Error at SaveData 010");
    }

    for (int b = 0; b < kBorders; ++b) {
        w.i16(p.pnBorderSize[b]);
        w.colour(p.plBorderColor[b]);
        w.mark("Error at SaveData 012");
    }
}

} // namespace

ParamFileResult decodeParams(const std::uint8_t* data, std::size_t size, ImageParams& params)
{
    ParamFileResult result;
    // Decoded into a copy, so that a damaged file never leaves half a record.
    ImageParams p = params;
    Reader r(data, data ? size : 0);
    try {
        decodeInto(r, p, result.checkpoint);
    } catch (const FormatError& e) {
        result.message = e.message;
        return result;
    } catch (const std::exception& e) {
        result.message = std::string("the file cannot be read: ") + e.what();
        return result;
    }
    params = std::move(p);
    result.ok = true;
    return result;
}

ParamFileResult ReadData(const std::string& path, ImageParams& params)
{
    ParamFileResult result;
    result.checkpoint = "MARD01";
    std::string why;
    const int fd = openRegularFile(path, why);
    if (fd < 0) {
        result.message = "cannot open " + displayPath(path) + ": " + why;
        return result;
    }
    // Nothing past the largest valid file can matter, so a huge (or endless)
    // file costs no more memory than that.
    std::vector<std::uint8_t> data;
    constexpr std::size_t kChunk = 64 * 1024;
    while (data.size() < obp::kMaxFileSize) {
        const std::size_t have = data.size();
        data.resize(std::min(obp::kMaxFileSize, have + kChunk));
        const ssize_t got = ::read(fd, data.data() + have, data.size() - have);
        if (got < 0 && errno == EINTR) {
            data.resize(have);
            continue;
        }
        if (got < 0) {
            const int err = errno;
            ::close(fd);
            result.checkpoint = "MARD02";
            result.message = "cannot read " + displayPath(path) + ": " + systemError(err);
            return result;
        }
        data.resize(have + static_cast<std::size_t>(got));
        if (got == 0)
            break;
    }
    ::close(fd);
    result = decodeParams(data.data(), data.size(), params);
    if (!result.ok)
        result.message = "cannot read " + displayPath(path) + ": " + result.message;
    return result;
}

std::vector<std::uint8_t> encodeParams(const ImageParams& params)
{
    Writer w;
    encodeInto(params, w);
    return std::move(w.out);
}

ParamFileResult SaveData(const std::string& path, const ImageParams& params)
{
    ParamFileResult result;
    Writer w;
    encodeInto(params, w);

    // Written beside the target and renamed over it once complete: the file
    // ends up with exactly the new bytes, or stays as it was.  A failure
    // keeps the checkpoint of the record being written; one that shows only
    // when the data reaches the disk keeps the last one.
    result.checkpoint = "Error at SaveData 001";
    SafeFile file(path);
    if (!file.open()) {
        result.message = "cannot create " + displayPath(path) + ": " + file.error();
        return result;
    }
    std::size_t begin = 0;
    for (const Writer::Mark& m : w.marks) {
        result.checkpoint = m.checkpoint;
        if (!file.write(w.out.data() + begin, m.end - begin)) {
            result.message = "cannot write " + displayPath(path) + ": " + file.error();
            return result;
        }
        begin = m.end;
    }
    if (!file.commit()) {
        result.message = "cannot write " + displayPath(path) + ": " + file.error();
        return result;
    }
    result.ok = true;
    return result;
}

std::string mGetFolder(const std::string& path, const std::string& programFolder)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return programFolder;
    return path.substr(0, slash + 1);
}

} // namespace ombrix
