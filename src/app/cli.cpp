// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/cli.h"

#include "io/image_export.h"
#include "io/param_file.h"
#include "io/params_json.h"
#include "model/image_geometry.h"
#include "model/image_params.h"
#include "picture/full_image.h"
#include "picture/gradient_text.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <algorithm>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace ombrix
{

namespace
{

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

const char* const kOverview =
    "Ombrix draws gradient images from their parameters.\n"
    "\n"
    "Commands:\n"
    "  render (FILE.obp | --preset N) [--size WxH] [--scale S] --out OUT\n"
    "         [--quality Q] [--gradient-text]\n"
    "      Draws the full-size image (tiles, borders and texts) and writes OUT as\n"
    "      PNG, JPEG (.jpg, .jpeg) or BMP, chosen by its extension; --scale draws\n"
    "      the same design S times larger.\n"
    "      Example: ombrix render dawn.obp --size 1920x1080 --out dawn.png\n"
    "  params (FILE.obp | --preset N) [--size WxH] [--out FILE.obp]\n"
    "      Prints the image parameters as JSON; with --out also writes them as a\n"
    "      parameter file that opens at --size (default 260x200).\n"
    "      Example: ombrix params --preset 3 --out start.obp\n"
    "  wallpaper (FILE.obp | --preset N) [--size WxH] [--mode tile|center|stretch]\n"
    "      Draws the image at the screen's size and makes it the desktop wallpaper.\n"
    "      Example: ombrix wallpaper dawn.obp --mode stretch\n"
    "  help [COMMAND]\n"
    "      Shows this help, or the options of COMMAND.\n"
    "      Example: ombrix help render\n"
    "\n"
    "Without a command, or with one FILE.obp, the desktop program starts;\n"
    "'-platform NAME' before them picks Qt's platform (as QT_QPA_PLATFORM does).\n"
    "\n"
    "Run 'ombrix help COMMAND' for the options of a command.\n"
    "Exit status: 0 success, 1 a failure (a file could not be read or written,\n"
    "a display does not answer), 2 bad usage; the same for every command.";

// Each command's own help: what it does and an example, not the overview.
const char* const kRenderHelp =
    "Draws the full-size image (tiles, borders and texts) and writes it as PNG,\n"
    "JPEG (.jpg, .jpeg) or BMP, chosen by the extension of OUT.\n"
    "Example: ombrix render dawn.obp --scale 2 --out dawn@2x.png\n"
    "Exit status: 0 success, 1 a failure, 2 bad usage.";
const char* const kParamsHelp =
    "Prints the image parameters as JSON; with --out also writes them as a\n"
    "parameter file that opens at --size (default 260x200 for a preset).\n"
    "Example: ombrix params --preset 1 --size 640x400 --out pleats.obp\n"
    "Exit status: 0 success, 1 a failure, 2 bad usage.";

void fail(const QString& message)
{
    std::fprintf(stderr, "ombrix: %s\n", qPrintable(message));
}

void fail(const std::string& message)
{
    std::fprintf(stderr, "ombrix: %s\n", message.c_str());
}

// Arguments are the system's file-name bytes, which need not be UTF-8, while
// the option parser works on QStrings.  Each argument becomes a QString
// without loss: valid UTF-8 as its characters, and every other byte b as the
// lone surrogate U+DC00 + b, which no valid UTF-8 can produce.  A path taken
// back from the parser becomes exactly the bytes it came from; a message
// shows such a byte as U+FFFD.
QString argumentText(const char* bytes)
{
    const std::string_view in(bytes);
    QString out;
    for (std::size_t i = 0; i < in.size();) {
        const auto lead = static_cast<unsigned char>(in[i]);
        const std::size_t len = lead < 0x80   ? 1
                                : lead < 0xC2 ? 0
                                : lead < 0xE0 ? 2
                                : lead < 0xF0 ? 3
                                : lead < 0xF5 ? 4
                                              : 0;
        if (len > 0 && i + len <= in.size()) {
            // Valid exactly when Qt's decoder gives the same bytes back (an
            // overlong form, a surrogate or a bad continuation does not).
            const QByteArray chunk(in.data() + i, static_cast<qsizetype>(len));
            const QString decoded = QString::fromUtf8(chunk);
            if (decoded.toUtf8() == chunk) {
                out += decoded;
                i += len;
                continue;
            }
        }
        out += QChar(static_cast<char16_t>(0xDC00 + lead));
        ++i;
    }
    return out;
}

std::string argumentBytes(const QString& text)
{
    std::string out;
    QString run;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        const bool escaped =
            c >= 0xDC80 && c <= 0xDCFF && (i == 0 || !text.at(i - 1).isHighSurrogate());
        if (!escaped) {
            run += text.at(i);
            continue;
        }
        out += run.toUtf8().toStdString();
        run.clear();
        out += static_cast<char>(c - 0xDC00);
    }
    return out + run.toUtf8().toStdString();
}

} // namespace

// Qt sees only the program's name: its own options (-platform, -display,
// ...) are not options of the command line, which parses every argument
// itself and refuses what it does not know.
int& qtArgc()
{
    static int count = 1;
    return count;
}

char** qtArgv(char** argv)
{
    static char* kept[] = {argv[0], nullptr};
    return kept;
}

namespace
{
QtMessageHandler gQtHandler = nullptr;

// A command promises one line on stderr when it fails and none when it
// succeeds. Without a desktop session Qt notes that it has no runtime
// folder, which the command line never uses, so that notice is dropped;
// every other message of Qt's goes through as usual.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.startsWith("QStandardPaths: XDG_RUNTIME_DIR"))
        return;
    if (gQtHandler != nullptr)
        gQtHandler(type, context, message);
}
} // namespace

void installCommandMessageFilter()
{
    static const bool installed = [] {
        gQtHandler = qInstallMessageHandler(quietHandler);
        return true;
    }();
    (void)installed;
}

bool parseImageSize(const std::string& text, int& width, int& height)
{
    static const QRegularExpression re(
        QStringLiteral("^\\s*(\\d{1,6})\\s*[xX\u00d7]\\s*(\\d{1,6})\\s*$"));
    const QRegularExpressionMatch m =
        re.match(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    if (!m.hasMatch())
        return false;
    width = m.captured(1).toInt();
    height = m.captured(2).toInt();
    return width >= 1 && height >= 1 && width <= kMaxImageSide && height <= kMaxImageSide;
}

namespace
{

// Qt's own help option also offers --help-all, which lists Qt's options;
// the commands take none of them, so only -h and --help are offered.
void addHelp(QCommandLineParser& parser)
{
    parser.addOption({{"h", "help"}, "Displays help on commandline options."});
}

int usageError(const QString& message)
{
    fail(message);
    return kExitUsage;
}

// Qt's parser says "Unknown option 'z'."; every message of the command
// line reads "ombrix: unknown option '--frobnicate' (see ombrix help)", with
// the option spelt as it was given.
int parserError(const QCommandLineParser& parser, const QStringList& args)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        QString given = "-" + unknown.front();
        for (const QString& arg : args.mid(1)) {
            if (arg == "--")
                break;
            QString name = arg.section('=', 0, 0);
            while (name.startsWith('-'))
                name.remove(0, 1);
            if (arg.startsWith('-') && name == unknown.front()) {
                given = arg.section('=', 0, 0);
                break;
            }
        }
        return usageError("unknown option '" + given + "' (see ombrix help)");
    }
    QString text = parser.errorText();
    if (text.endsWith('.'))
        text.chop(1);
    if (!text.isEmpty())
        text[0] = text[0].toLower();
    return usageError(text + " (see ombrix help)");
}

// An option given twice is a mistake the user should hear about, not a
// silent choice of the last value.
bool refuseRepeats(const QCommandLineParser& parser, int& status)
{
    for (const QString& name : parser.optionNames()) {
        if (parser.optionNames().count(name) > 1) {
            status = usageError("--" + name + " given more than once");
            return true;
        }
    }
    return false;
}

// The image of a command: a preset or a parameter file read over the
// start-up state.  Prints the reason and returns nothing on failure.
struct Source {
    ImageModel model;
    bool fromFile = false;
};

std::optional<Source> loadSource(const QCommandLineParser& parser, int& status)
{
    const QStringList files = parser.positionalArguments().mid(1);
    const bool hasPreset = parser.isSet("preset");
    if (files.size() > 1) {
        status = usageError("give one parameter file, not " + QString::number(files.size()));
        return std::nullopt;
    }
    if (hasPreset == !files.isEmpty()) {
        status = usageError("give either a parameter file or --preset N");
        return std::nullopt;
    }
    Source source;
    source.model.params.pnRotation = 1;
    if (hasPreset) {
        bool ok = false;
        const int preset = parser.value("preset").toInt(&ok);
        if (!ok || preset < 0 || preset > 3) {
            status =
                usageError("--preset takes 0, 1, 2 or 3, not '" + parser.value("preset") + "'");
            return std::nullopt;
        }
        source.model.mSetDefaults(preset);
        return source;
    }
    source.model.mSetDefaults(3);
    const ParamFileResult read = ReadData(argumentBytes(files.front()), source.model.params);
    if (!read.ok) {
        fail(read.message);
        status = kExitFailure;
        return std::nullopt;
    }
    source.fromFile = true;
    return source;
}

bool parseSize(const QString& text, int& width, int& height)
{
    return parseImageSize(argumentBytes(text), width, height);
}

void addSourceOptions(QCommandLineParser& parser)
{
    parser.addOption({"preset", "Start from preset N (0 new image, 1, 2, 3 start-up).", "N"});
}

int runRender(QCommandLineParser& parser, const QStringList& args, char** argv)
{
    addSourceOptions(parser);
    parser.addOption({"size", "Picture size in pixels, 1x1 to 16384x16384.", "WxH"});
    parser.addOption({"out", "Output file: .png, .jpg, .jpeg or .bmp.", "OUT"});
    parser.addOption({"scale", "Draw the design S times larger, 1 to 4 (default 1).", "S", "1"});
    parser.addOption({"quality", "JPEG quality, 10 to 100 (default 100).", "Q", "100"});
    parser.addOption({"gradient-text",
                      "Fill the texts with the image's gradient on black, as the Gradtxt button "
                      "does."});
    parser.addPositionalArgument("render", "Draw the full-size image.", "render");
    parser.setApplicationDescription(kRenderHelp);
    parser.addPositionalArgument("FILE.obp", "Parameter file to draw.", "[FILE.obp]");
    if (!parser.parse(args))
        return parserError(parser, args);
    if (int repeated = 0; refuseRepeats(parser, repeated))
        return repeated;
    if (parser.isSet("help")) {
        // The help names the program as the application object knows it.
        std::optional<QCoreApplication> core;
        if (QCoreApplication::instance() == nullptr)
            core.emplace(qtArgc(), qtArgv(argv));
        std::printf("%s", qPrintable(parser.helpText()));
        return 0;
    }
    if (!parser.isSet("out"))
        return usageError("render needs --out OUT");
    // The output's type is known before anything is drawn, so a wrong name
    // costs nothing; a quality means something only for JPEG.
    const ImageType type = imageTypeOf(argumentBytes(parser.value("out")));
    if (type == ImageType::Unknown)
        return usageError("--out takes a .png, .jpg, .jpeg or .bmp file, not '" +
                          parser.value("out") + "'");
    if (parser.isSet("quality") && type != ImageType::Jpeg)
        return usageError("--quality applies to JPEG output only");
    bool ok = false;
    const int quality = parser.value("quality").toInt(&ok);
    if (!ok || quality < 10 || quality > 100)
        return usageError("--quality takes 10 to 100, not '" + parser.value("quality") + "'");
    int width = 260, height = 200;
    if (parser.isSet("size") && !parseSize(parser.value("size"), width, height))
        return usageError("--size takes WxH with each side 1 to 16384, not '" +
                          parser.value("size") + "'");

    const double scale = parser.value("scale").toDouble(&ok);
    if (!ok || !(scale >= kMinDrawScale && scale <= kMaxDrawScale))
        return usageError("--scale takes 1 to 4, not '" + parser.value("scale") + "'");

    int status = 0;
    const std::optional<Source> source = loadSource(parser, status);
    if (!source)
        return status;
    // The size is the design's, in logical pixels; the scale draws it, its
    // texts and its borders that many times larger.
    ImageSize logical{width, height};
    if (!parser.isSet("size") && source->fromFile)
        logical = storedImageSize(source->model.params);
    const ImageSize device = deviceImageSize(logical, scale);
    if (device.width > kMaxImageSide || device.height > kMaxImageSide)
        return usageError(QString("%1 x %2 at scale %3 is %4 x %5 pixels, more than 16384 a side")
                              .arg(logical.width)
                              .arg(logical.height)
                              .arg(scale)
                              .arg(device.width)
                              .arg(device.height));
    width = device.width;
    height = device.height;

    FullImageOptions options;
    options.width = width;
    options.height = height;
    options.dpi = 96.0 * scale;
    // Fonts, and the Gui application that holds them, only for texts;
    // gradient text prints the texts itself, into the finished picture.
    std::optional<QGuiApplication> gui;
    if (printsTexts(source->model.params, options))
        gui.emplace(qtArgc(), qtArgv(argv));
    const bool gradientText = parser.isSet("gradient-text");
    options.printTexts = !gradientText;
    QImage picture = renderFullImage(source->model.params, options);
    if (gradientText && !picture.isNull() &&
        !mMakeGradientText(picture, source->model.params, options.dpi))
        picture = QImage();
    if (picture.isNull()) {
        fail(QString("not enough memory for a %1 x %2 picture").arg(width).arg(height));
        return kExitFailure;
    }
    const ExportResult written = saveImage(picture, argumentBytes(parser.value("out")), quality);
    if (!written.ok) {
        fail(written.message);
        return kExitFailure;
    }
    return 0;
}

int runParams(QCommandLineParser& parser, const QStringList& args)
{
    addSourceOptions(parser);
    parser.addOption({"out", "Also write the parameters as a parameter file.", "FILE.obp"});
    parser.addOption(
        {"size", "Image size the written file holds (default: the file's, or 260x200).", "WxH"});
    parser.addPositionalArgument("params", "Print the image parameters as JSON.", "params");
    parser.setApplicationDescription(kParamsHelp);
    parser.addPositionalArgument("FILE.obp", "Parameter file to read.", "[FILE.obp]");
    if (!parser.parse(args))
        return parserError(parser, args);
    if (int repeated = 0; refuseRepeats(parser, repeated))
        return repeated;
    if (parser.isSet("help")) {
        std::printf("%s", qPrintable(parser.helpText()));
        return 0;
    }
    ImageSize size;
    if (parser.isSet("size") && !parseSize(parser.value("size"), size.width, size.height))
        return usageError("--size takes WxH with each side 1 to 16384, not '" +
                          parser.value("size") + "'");
    if (size.width > kMaxStoredImageWidth || size.height > kMaxStoredImageHeight)
        return usageError(QString("a parameter file holds at most %1 x %2, not %3 x %4")
                              .arg(kMaxStoredImageWidth)
                              .arg(kMaxStoredImageHeight)
                              .arg(size.width)
                              .arg(size.height));
    int status = 0;
    std::optional<Source> source = loadSource(parser, status);
    if (!source)
        return status;
    // A file from here opens as a window of the size given, at the place a
    // fresh image window takes: a preset, or a file that holds no size,
    // gets a whole geometry.
    ImageParams& p = source->model.params;
    if (parser.isSet("size") || !source->fromFile || p.pnImageWidth <= 0 || p.pnImageHeight <= 0) {
        if (!parser.isSet("size") && source->fromFile)
            size = storedImageSize(p);
        storeNewImageGeometry(p, size);
    }
    if (parser.isSet("out")) {
        const ParamFileResult saved = SaveData(argumentBytes(parser.value("out")), p);
        if (!saved.ok) {
            fail(saved.message);
            return kExitFailure;
        }
    }
    const std::string json = paramsToJson(p);
    if (std::fwrite(json.data(), 1, json.size(), stdout) != json.size() ||
        std::fflush(stdout) != 0) {
        fail(std::string("cannot write to standard output: ") + std::strerror(errno));
        return kExitFailure;
    }
    return 0;
}

} // namespace

int runCli(int argc, char** argv)
{
    // The command line never needs a screen: unless the user chose a
    // platform: Qt draws text through its offscreen platform, whatever
    // QT_QPA_PLATFORM and DISPLAY say, so a missing or unreachable display
    // can never end a command.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Drawing a picture needs no application object: render starts the Gui
    // application itself, and only when there is text to draw.
    if (argc > 1 && std::strcmp(argv[1], "render") == 0) {
        QCoreApplication::setApplicationName("ombrix");
        QCoreApplication::setApplicationVersion(OMBRIX_VERSION);
        QStringList args;
        for (int i = 0; i < argc; ++i)
            args << argumentText(argv[i]);
        QCommandLineParser parser;
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.setApplicationDescription(kOverview);
        addHelp(parser);
        parser.addVersionOption();
        return runRender(parser, args, argv);
    }
    QGuiApplication app(qtArgc(), qtArgv(argv));
    QGuiApplication::setApplicationName("ombrix");
    QGuiApplication::setApplicationVersion(OMBRIX_VERSION);

    // What is left of argv once Qt has taken its own options.
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << argumentText(argv[i]);
    const QString command = args.size() > 1 ? args.at(1) : QString();
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(kOverview);
    addHelp(parser);
    parser.addVersionOption();
    if (command == "params")
        return runParams(parser, args);

    parser.addPositionalArgument("command", "render, params, wallpaper or help", "COMMAND");
    if (!parser.parse(args))
        return parserError(parser, args);
    if (int repeated = 0; refuseRepeats(parser, repeated))
        return repeated;
    if (parser.isSet("version")) {
        std::printf("ombrix %s\n", OMBRIX_VERSION);
        return 0;
    }
    if (parser.isSet("help") || command.isEmpty()) {
        std::printf("%s", qPrintable(parser.helpText()));
        return command.isEmpty() && !parser.isSet("help") ? kExitUsage : 0;
    }
    return usageError("unknown command '" + command +
                      "' (use render, params, wallpaper or help; see ombrix help)");
}

} // namespace ombrix
