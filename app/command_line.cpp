// SPDX-License-Identifier: MIT
#include "command_line.h"

#include "frame_file.h"
#include "listen_address.h"
#include "network_address.h"
#include "run_time_error.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <array>
#include <cmath>
#include <cstdio>
#include <utility>

namespace kestrin {

namespace {

constexpr int kUsageError = 2;
constexpr int kLastLevel = 255;
constexpr int kLargestSize = 255;
constexpr int kLongestFrameDelay = 60'000;
constexpr double kFastestSpeed = 1000.0;
constexpr const char *kConvertCommand = "convert";
constexpr const char *kServeCommand = "serve";
constexpr const char *kStandardOutput = "-";

using Command = CommandLine::Command;

template <typename Value, std::size_t Count>
using Names = std::array<std::pair<const char *, Value>, Count>;

constexpr Names<Scaling, 3> kScalings{{{"fit", Scaling::Fit}, {"fill", Scaling::Fill}, {"stretch", Scaling::Stretch}}};
constexpr Names<Dithering, 3> kDitherings{
    {{"none", Dithering::None}, {"diffuse", Dithering::Diffuse}, {"ordered", Dithering::Ordered}}};
constexpr Names<HorizontalAlignment, 4> kAlignments{{{"left", HorizontalAlignment::Left},
                                                     {"center", HorizontalAlignment::Center},
                                                     {"centre", HorizontalAlignment::Center},
                                                     {"right", HorizontalAlignment::Right}}};
constexpr Names<VerticalAlignment, 3> kVerticalAlignments{
    {{"top", VerticalAlignment::Top}, {"middle", VerticalAlignment::Middle}, {"bottom", VerticalAlignment::Bottom}}};
constexpr std::array<const char *, 5> kFolderFormats{"bin", "txt", "png", "pbm", "bmp"};

QCommandLineOption option(const char *name, const char *help, const char *value = nullptr)
{
    return value == nullptr ? QCommandLineOption(QString::fromLatin1(name), QString::fromLatin1(help))
                            : QCommandLineOption(QString::fromLatin1(name), QString::fromLatin1(help),
                                                 QString::fromLatin1(value));
}

QString frameHelp(Command command)
{
    switch (command) {
    case Command::Convert:
        return QStringLiteral("Read the frame from FRAME (.bin, .txt, .png, .pbm, .bmp) instead of converting "
                              "pictures, to write it in other formats.");
    case Command::Serve:
        return QStringLiteral("Serve the frame in FRAME (.bin, .txt, .png, .pbm, .bmp) instead of converting "
                              "pictures.");
    default:
        return QStringLiteral("Start with the frame in FRAME (.bin, .txt, .png, .pbm, .bmp) in the grid, served "
                              "to the board from its first request; Convert still converts the pictures.");
    }
}

// Every option the three commands know; each command adds those it takes.
struct Options
{
    explicit Options(Command command) : frame(QStringLiteral("frame"), frameHelp(command), QStringLiteral("FRAME")) {}

    QCommandLineOption port = option(
        "port", "Serve the board on DEVICE instead of port 2's own device (a USB adapter, a /dev/serial/by-id/ "
                "name, a pseudo-terminal), or on a network serial bridge: tcp://HOST:PORT (raw) or "
                "rfc2217://HOST:PORT (telnet); a device that is not there yet is waited for.", "DEVICE");
    QCommandLineOption servePort = option(
        "port", "Serve a board on DEVICE instead of port 2's own device (a USB adapter, a /dev/serial/by-id/ "
                "name, a pseudo-terminal), or on a network serial bridge: tcp://HOST:PORT (raw) or "
                "rfc2217://HOST:PORT (telnet); give it once for each board. A device that is not there yet is "
                "waited for.", "DEVICE");
    QCommandLineOption output{QStringList{QStringLiteral("o"), QStringLiteral("output")},
                              QStringLiteral("Write the frame to FILE, in the format its extension names: .bin, "
                                             ".txt, .h, .png, .pbm or .bmp; - writes the .txt form to standard "
                                             "output. Give it once per file. With --play: a .h file, or a folder "
                                             "(DIR/) for one file per frame."),
                              QStringLiteral("FILE")};
    QCommandLineOption listPorts = option("list-ports", "Print the serial ports the system offers, one per line "
                                                        "(device, description, manufacturer, serial number, USB "
                                                        "vendor:product), and exit.");
    QCommandLineOption watch = option("watch", "Reload the frame, images, text file or animation when their files "
                                               "change; a reload that fails keeps serving the last good frame.");
    QCommandLineOption verbose = option("verbose", "Log every request and every reception ignored, not only events.");
    QCommandLineOption upper = option("upper", "Prepare IMAGE (any format Qt reads) for the upper half of the "
                                               "display, rows 0..15. A half without an image is clear.", "IMAGE");
    QCommandLineOption lower = option("lower", "Prepare IMAGE for the lower half of the display, rows 16..31.", "IMAGE");
    QCommandLineOption display = option("display", "Prepare IMAGE for the whole display, in place of --upper and "
                                                   "--lower.", "IMAGE");
    QCommandLineOption frame;
    QCommandLineOption fit = option("fit", "Scale an image to fit its part of the display, centred on white (the "
                                           "default), to fill it, cropped, or stretch it.", "fit|fill|stretch");
    QCommandLineOption threshold = option("threshold", "Grey at or below LEVEL (0..255) becomes black; auto (the "
                                                       "default) picks the level that best splits the image's greys.",
                                          "auto|LEVEL");
    QCommandLineOption dither = option("dither", "Dither the greys at display resolution: none (the default), "
                                                 "diffuse or ordered (the one for animations).",
                                       "none|diffuse|ordered");
    QCommandLineOption invert = option("invert", "Swap black and white.");
    QCommandLineOption text = option("text", "Show TEXT on the whole display, lines split at \\n.", "TEXT");
    QCommandLineOption textFile = option("text-file", "Show the UTF-8 text in FILE (- for standard input) on the "
                                                      "whole display.", "FILE");
    QCommandLineOption font = option("font", "Draw the text in the built-in 6 x 8 font (the default) or in a BDF, "
                                             "PCF, TrueType or OpenType font file.", "builtin|FILE");
    QCommandLineOption size = option("size", "An outline font's pixel size (1..255, default 16); a bitmap font "
                                             "picks its own size of that many pixels.", "PIXELS");
    QCommandLineOption align = option("align", "Align the lines left (the default), in the centre or right.",
                                      "left|center|right");
    QCommandLineOption valign = option("valign", "Put the lines at the top (the default), in the middle or at the "
                                                 "bottom of the display.", "top|middle|bottom");
    QCommandLineOption play = option("play", "Play ANIMATION (an animated GIF, PNG or WebP, or a folder of numbered "
                                             "frame files and images) on the whole display.", "ANIMATION");
    QCommandLineOption delay = option("delay", "Show each frame of a folder for MS milliseconds (default 100).", "MS");
    QCommandLineOption loop = option("loop", "Play the animation N times, then keep its last frame; by default it "
                                             "plays for ever.", "N");
    QCommandLineOption speed = option("speed", "Play the animation FACTOR times as fast (default 1).", "FACTOR");
    QCommandLineOption format = option("format", "With --play and -o DIR/: write each frame as .bin (the default), "
                                                 ".txt, .png, .pbm or .bmp.", "bin|txt|png|pbm|bmp");
    QCommandLineOption lcdproc = option("lcdproc", "Be an LCDproc server for clients on [ADDRESS:]PORT; the address "
                                                   "is 127.0.0.1 unless one is given.", "[ADDRESS:]PORT");

    [[nodiscard]] QList<QCommandLineOption> sources() const
    {
        return {upper, lower, display, frame, text, textFile, font, size, align, valign, fit, threshold, dither, invert};
    }
    [[nodiscard]] QList<QCommandLineOption> of(Command command) const
    {
        switch (command) {
        case Command::Convert:
            return QList<QCommandLineOption>{output} << sources() << play << delay << format;
        case Command::Serve:
            return QList<QCommandLineOption>{servePort, watch, verbose} << sources() << play << delay << loop << speed
                                                                          << lcdproc;
        default:
            return QList<QCommandLineOption>{port, listPorts} << sources();
        }
    }
};

template <typename Value, std::size_t Count>
std::optional<Value> named(const QString &text, const Names<Value, Count> &names)
{
    for (const auto &[name, value] : names) {
        if (text == QLatin1String(name))
            return value;
    }
    return std::nullopt;
}

QString optionName(const QCommandLineOption &option)
{
    const QString name = option.names().constLast();
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

// "fit, fill or stretch" from "fit|fill|stretch".
QString alternatives(const QString &valueName)
{
    QStringList names = valueName.split(u'|');
    const QString last = names.takeLast();
    return names.isEmpty() ? last : names.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

// A value is given once (only serve's --port and convert's -o may come
// again) and, where it names a thing (a FILE, a DEVICE, a LEVEL), not empty.
QString valueProblem(const QCommandLineParser &parser, const QList<QCommandLineOption> &options, Command command)
{
    for (const QCommandLineOption &option : options) {
        if (option.valueName().isEmpty() || !parser.isSet(option) || option.names().contains(QStringLiteral("o")))
            continue;
        const bool repeatable = command == Command::Serve && option.names().contains(QStringLiteral("port"));
        if (parser.values(option).size() > 1 && !repeatable)
            return optionName(option) + QStringLiteral(" is given more than once");
        QString what = option.valueName().section(u'|', -1).remove(QStringLiteral("[ADDRESS:]"));
        if (what != what.toUpper())
            continue; // a choice of names: told by its own check
        what = what.toLower();
        for (const QString &value : parser.values(option)) {
            if (value.isEmpty())
                return optionName(option) + (QStringLiteral("aeiou").contains(what.front()) ? QStringLiteral(" needs an ")
                                                                                            : QStringLiteral(" needs a "))
                       + what;
        }
    }
    return {};
}

// Each board once, and a network board's name whole.
QString portProblem(const QStringList &devices)
{
    for (qsizetype index = 0; index < devices.size(); ++index) {
        if (devices.indexOf(devices[index]) != index)
            return QStringLiteral("--port names %1 twice").arg(devices[index]);
        if (const QString problem = networkAddressProblem(devices[index]); !problem.isEmpty())
            return problem;
    }
    return {};
}

template <typename Value, std::size_t Count>
QString nameProblem(const QCommandLineParser &parser, const QCommandLineOption &option, const Names<Value, Count> &names,
                    Value &value)
{
    if (!parser.isSet(option))
        return {};
    const auto found = named(parser.value(option), names);
    if (!found)
        return QStringLiteral("%1 takes %2, not '%3'").arg(optionName(option), alternatives(option.valueName()), parser.value(option));
    value = *found;
    return {};
}

// A whole number first..last, or the error for it.
QString numberProblem(const QCommandLineParser &parser, const QCommandLineOption &option, const char *what, int first,
                      int last, int &value)
{
    if (!parser.isSet(option))
        return {};
    bool isNumber = false;
    const int number = parser.value(option).toInt(&isNumber);
    if (!isNumber || number < first || number > last)
        return QStringLiteral("%1 takes %2 %3..%4, not '%5'")
            .arg(optionName(option), QLatin1String(what)).arg(first).arg(last).arg(parser.value(option));
    value = number;
    return {};
}

QString preparationProblem(const QCommandLineParser &parser, const Options &options, Preparation &preparation)
{
    QString problem = nameProblem(parser, options.fit, kScalings, preparation.scaling);
    if (problem.isEmpty() && parser.isSet(options.threshold) && parser.value(options.threshold) != QLatin1String("auto")) {
        int level = 0;
        problem = numberProblem(parser, options.threshold, "auto or a level", 0, kLastLevel, level);
        preparation.threshold = level;
    }
    if (problem.isEmpty())
        problem = nameProblem(parser, options.dither, kDitherings, preparation.dithering);
    preparation.invert = parser.isSet(options.invert);
    return problem;
}

// --text "two\\nlines": a backslash and n end a line, two backslashes are one.
QString unescaped(const QString &text)
{
    QString result;
    for (qsizetype index = 0; index < text.size(); ++index) {
        if (text[index] == u'\\' && index + 1 < text.size() && (text[index + 1] == u'n' || text[index + 1] == u'\\'))
            result += text[++index] == u'n' ? u'\n' : u'\\';
        else
            result += text[index];
    }
    return result;
}

QString textProblem(const QCommandLineParser &parser, const Options &options, TextSourceOptions &text)
{
    text.text = unescaped(parser.value(options.text));
    text.file = parser.value(options.textFile);
    if (parser.isSet(options.text) && parser.isSet(options.textFile))
        return QStringLiteral("--text and --text-file both give the text; give one");
    for (const QCommandLineOption *drawing : {&options.font, &options.size, &options.align, &options.valign}) {
        if (parser.isSet(*drawing) && !text.given())
            return optionName(*drawing) + QStringLiteral(" draws the text of --text or --text-file");
    }
    if (parser.value(options.font) != QLatin1String("builtin"))
        text.font = parser.value(options.font);
    if (parser.isSet(options.size) && text.font.isEmpty())
        return QStringLiteral("--size sets the size of a font file's characters; the built-in font's cells are 6 x 8");
    int size = 0;
    QString problem = numberProblem(parser, options.size, "a pixel size", 1, kLargestSize, size);
    if (parser.isSet(options.size))
        text.size = size;
    if (problem.isEmpty())
        problem = nameProblem(parser, options.align, kAlignments, text.layout.horizontal);
    if (problem.isEmpty())
        problem = nameProblem(parser, options.valign, kVerticalAlignments, text.layout.vertical);
    return problem;
}

// Which sources go together: images, a frame file, text, an animation.
QString combinationProblem(const QCommandLineParser &parser, const Options &options, const CommandLine &result)
{
    const FrameSourceOptions &source = result.source;
    if (!source.display.isEmpty() && (!source.upper.isEmpty() || !source.lower.isEmpty()))
        return QStringLiteral("--display fills the whole display, so it cannot go with --upper or --lower");
    const bool frame = !source.frame.isEmpty();
    if (source.text.given() && (source.hasImages() || frame))
        return optionName(parser.isSet(options.text) ? options.text : options.textFile)
               + QStringLiteral(" fills the whole display, so it cannot go with --upper, --lower, --display or --frame");
    if (!result.play.isEmpty() && (source.hasImages() || frame || source.text.given()))
        return QStringLiteral("--play shows an animation on the whole display, so it cannot go with --upper, "
                              "--lower, --display, --frame, --text or --text-file");
    if (result.command != Command::Window && frame && source.hasImages())
        return QStringLiteral("--frame reads a finished frame, so it cannot go with --upper, --lower or --display");
    for (const QCommandLineOption *preparing : {&options.fit, &options.threshold, &options.dither}) {
        if (parser.isSet(*preparing) && !source.hasImages() && result.play.isEmpty())
            return optionName(*preparing) + QStringLiteral(" prepares an image given with --upper, --lower, --display "
                                                           "or --play; the built-in pictures are used as they are");
    }
    if (parser.isSet(options.invert) && !source.hasImages() && !source.text.given() && result.play.isEmpty())
        return QStringLiteral("--invert prepares an image given with --upper, --lower, --display or --play, or text; "
                              "the built-in pictures are used as they are");
    return {};
}

QString sourceProblem(const QCommandLineParser &parser, const Options &options, CommandLine &result)
{
    FrameSourceOptions &source = result.source;
    source.upper = parser.value(options.upper);
    source.lower = parser.value(options.lower);
    source.display = parser.value(options.display);
    source.frame = parser.value(options.frame);
    if (result.command != Command::Window)
        result.play = parser.value(options.play);
    QString problem = textProblem(parser, options, source.text);
    if (problem.isEmpty())
        problem = combinationProblem(parser, options, result);
    if (problem.isEmpty() && !source.frame.isEmpty())
        problem = frameInputProblem(source.frame);
    if (problem.isEmpty())
        problem = preparationProblem(parser, options, source.preparation);
    return problem;
}

QString playProblem(const QCommandLineParser &parser, const Options &options, CommandLine &result)
{
    if (result.command != Command::Convert && result.command != Command::Serve)
        return {};
    const bool serve = result.command == Command::Serve;
    for (const QCommandLineOption *playing : {&options.delay, &options.loop, &options.speed}) {
        if ((serve || playing == &options.delay) && parser.isSet(*playing) && result.play.isEmpty())
            return optionName(*playing) + QStringLiteral(" plays the animation of --play");
    }
    int delay = 0;
    QString problem = numberProblem(parser, options.delay, "milliseconds", 1, kLongestFrameDelay, delay);
    if (parser.isSet(options.delay))
        result.frameDelay = std::chrono::milliseconds(delay);
    if (!serve || !problem.isEmpty())
        return problem;
    problem = numberProblem(parser, options.loop, "a number of times", 1, 1'000'000, result.loops);
    if (problem.isEmpty() && parser.isSet(options.speed)) {
        bool isNumber = false;
        result.speed = parser.value(options.speed).toDouble(&isNumber);
        if (!isNumber || !std::isfinite(result.speed) || result.speed <= 0.0 || result.speed > kFastestSpeed)
            problem = QStringLiteral("--speed takes a factor above 0 and at most 1000, not '%1'").arg(parser.value(options.speed));
    }
    return problem;
}

bool namesFolder(const QString &output)
{
    return output.endsWith(u'/') || QFileInfo(output).isDir();
}

QString outputProblem(const QCommandLineParser &parser, const Options &options, CommandLine &result)
{
    result.outputs = parser.values(options.output);
    if (result.outputs.isEmpty())
        return QStringLiteral("convert needs an output: -o FILE (.bin, .txt, .h, .png, .pbm, .bmp), or -o - for "
                              "text on standard output");
    if (parser.isSet(options.format) && result.play.isEmpty())
        return QStringLiteral("--format names the files of the frames that --play writes into a folder");
    if (parser.isSet(options.format)) {
        result.frameFormat = parser.value(options.format);
        if (std::find(kFolderFormats.begin(), kFolderFormats.end(), result.frameFormat) == kFolderFormats.end())
            return QStringLiteral("--format takes bin, txt, png, pbm or bmp, not '%1'").arg(result.frameFormat);
    }
    QStringList seen;
    for (const QString &output : std::as_const(result.outputs)) {
        if (output.isEmpty())
            return QStringLiteral("-o needs a file name");
        const bool standardOutput = output == QLatin1String(kStandardOutput);
        QString problem;
        if (!result.play.isEmpty() && !namesFolder(output) && frameFileFormat(output) != FrameFileFormat::CHeader)
            problem = QStringLiteral("%1: an animation is written to a .h file or into a folder (-o DIR/)").arg(output);
        else if (result.play.isEmpty() && !standardOutput)
            problem = frameOutputProblem(output);
        if (!problem.isEmpty())
            return problem;
        const QString place = standardOutput ? output : QFileInfo(output).absoluteFilePath();
        if (seen.contains(place))
            return (standardOutput ? QStringLiteral("standard output (-)") : output) + QStringLiteral(" is named twice with -o");
        seen.append(place);
    }
    return {};
}

QString watchProblem(const CommandLine &result)
{
    const FrameSourceOptions &source = result.source;
    if (result.watch && source.text.given() && source.text.file.isEmpty())
        return QStringLiteral("--watch reloads files; the text of --text is given on the command line");
    if (!result.watch || !source.frame.isEmpty() || source.hasImages() || !source.text.file.isEmpty() || !result.play.isEmpty())
        return source.text.file == QLatin1String("-") && result.watch
                   ? QStringLiteral("--watch reloads files; standard input is read once")
                   : QString();
    return QStringLiteral("--watch reloads the files given with --frame, --upper, --lower, --display, --text-file or "
                          "--play; the built-in pictures never change");
}

QString lcdprocProblem(const CommandLine &result)
{
    if (result.lcdproc.isEmpty())
        return {};
    if (!result.play.isEmpty())
        return QStringLiteral("--play and --lcdproc both fill the display; give one");
    try {
        (void)parseListenAddress(result.lcdproc);
    } catch (const RunTimeError &error) {
        return QString::fromStdString(error.what());
    }
    return {};
}

void fail(CommandLine &result, const QString &text)
{
    result.outcome = CommandLine::Outcome::Error;
    result.text = text;
}

Command commandOf(const QStringList &arguments)
{
    if (arguments.value(1) == QLatin1String(kConvertCommand))
        return Command::Convert;
    if (arguments.value(1) == QLatin1String(kServeCommand))
        return Command::Serve;
    return Command::Window;
}

QString description(Command command, const QString &program)
{
    switch (command) {
    case Command::Convert:
        return QStringLiteral("Converts the built-in pictures, your own images, text, an animation or a frame file "
                              "into frame files, without a window, exactly as the window's Convert does.");
    case Command::Serve:
        return QStringLiteral("Serves the display's boards on serial port 2 or the devices given, without a window: "
                              "the built-in pictures converted, your own images, text, an animation, LCDproc "
                              "clients' screens or a frame file. Ends on SIGINT or SIGTERM once the pages on the "
                              "wire are complete.");
    default:
        return QStringLiteral("Prepares pictures for a 122 x 32 monochrome LCD and serves its pages to the "
                              "display's board on serial port 2.\n'%1 convert --help' tells how to convert "
                              "pictures and frame files without the window, '%1 serve --help' how to serve the "
                              "board without it.")
            .arg(program);
    }
}

// What is left to check once the options parsed: each command's own rules.
QString commandProblem(CommandLine &result, const QCommandLineParser &parser, const Options &options)
{
    QString problem = portProblem(result.devices);
    if (problem.isEmpty())
        problem = playProblem(parser, options, result);
    if (!problem.isEmpty())
        return problem;
    switch (result.command) {
    case Command::Convert:
        return outputProblem(parser, options, result);
    case Command::Serve:
        result.lcdproc = parser.value(options.lcdproc);
        problem = watchProblem(result);
        return problem.isEmpty() ? lcdprocProblem(result) : problem;
    default:
        return {};
    }
}

void setOutcome(CommandLine &result, const QCommandLineParser &parser, const Options &options)
{
    const bool serve = result.command == Command::Serve;
    result.watch = serve && parser.isSet(options.watch);
    result.verbose = serve && parser.isSet(options.verbose);
    if (result.command == Command::Window || serve)
        result.devices = parser.values(serve ? options.servePort : options.port);
    if (result.command == Command::Window && parser.isSet(options.listPorts))
        result.command = Command::ListPorts;
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    CommandLine result;
    result.command = commandOf(arguments);
    const bool window = result.command == Command::Window;
    QStringList rest = arguments;
    if (!window)
        rest.removeAt(1);
    const QString program = QFileInfo(arguments.value(0)).fileName() + (window ? QString() : u' ' + arguments.value(1));

    QCommandLineParser parser;
    parser.setApplicationDescription(description(result.command, program));
    const QCommandLineOption help = parser.addHelpOption();
    const auto version = window ? std::optional(parser.addVersionOption()) : std::nullopt;
    const Options options(result.command);
    parser.addOptions(options.of(result.command));

    if (!parser.parse(rest)) {
        fail(result, parser.errorText() + QStringLiteral(" Try '%1 --help'.").arg(program));
    } else if (parser.isSet(help)) {
        result.outcome = CommandLine::Outcome::Help;
        result.text = parser.helpText();
        // Without an application object the parser cannot name the program.
        result.text.replace(QStringLiteral("<executable_name>"), program);
    } else if (version && parser.isSet(*version)) {
        result.outcome = CommandLine::Outcome::Version;
        result.text = QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion() + u'\n';
    } else if (!parser.positionalArguments().isEmpty()) {
        fail(result, QStringLiteral("Unexpected argument '%1'. Try '%2 --help'.")
                         .arg(parser.positionalArguments().first(), program));
    } else if (const QString problem = valueProblem(parser, options.of(result.command), result.command); !problem.isEmpty()) {
        fail(result, problem);
    } else if (const QString sourceText = sourceProblem(parser, options, result); !sourceText.isEmpty()) {
        fail(result, sourceText);
    } else {
        setOutcome(result, parser, options);
        if (const QString problem = commandProblem(result, parser, options); !problem.isEmpty())
            fail(result, problem);
    }
    return result;
}

ServeOptions serveOptions(const CommandLine &commandLine)
{
    ServeOptions options;
    options.devices = commandLine.devices;
    options.source = commandLine.source;
    options.play = commandLine.play;
    options.frameDelay = commandLine.frameDelay;
    options.loops = commandLine.loops;
    options.speed = commandLine.speed;
    options.lcdproc = commandLine.lcdproc;
    options.watch = commandLine.watch;
    options.verbose = commandLine.verbose;
    return options;
}

int printCommandLineOutcome(const CommandLine &commandLine)
{
    if (commandLine.outcome == CommandLine::Outcome::Error) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()), qPrintable(commandLine.text));
        return kUsageError;
    }
    std::fputs(qPrintable(commandLine.text), stdout);
    if (!commandLine.text.endsWith(u'\n'))
        std::fputc('\n', stdout);
    return 0;
}

} // namespace kestrin
