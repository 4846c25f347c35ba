// SPDX-License-Identifier: MIT
#include "command_line.h"

#include "frame_file.h"
#include "network_address.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <array>
#include <cstdio>
#include <utility>

namespace kestrin {

namespace {

constexpr int kUsageError = 2;
constexpr int kLastLevel = 255;
constexpr const char *kConvertCommand = "convert";
constexpr const char *kServeCommand = "serve";
constexpr const char *kStandardOutput = "-";

template <typename Value>
using Names = std::array<std::pair<const char *, Value>, 3>;

constexpr Names<Scaling> kScalings{{{"fit", Scaling::Fit}, {"fill", Scaling::Fill}, {"stretch", Scaling::Stretch}}};
constexpr Names<Dithering> kDitherings{
    {{"none", Dithering::None}, {"diffuse", Dithering::Diffuse}, {"ordered", Dithering::Ordered}}};

// The options that say where the pictures and the frame come from, shared by
// the window and `convert`.
struct SourceOptions
{
    explicit SourceOptions(CommandLine::Command command) : frame(QStringLiteral("frame"), frameHelp(command), QStringLiteral("FRAME")) {}

    static QString frameHelp(CommandLine::Command command)
    {
        switch (command) {
        case CommandLine::Command::Convert:
            return QStringLiteral("Read the frame from FRAME (.bin, .txt, .png, .pbm, .bmp) instead of converting "
                                  "pictures, to write it in other formats.");
        case CommandLine::Command::Serve:
            return QStringLiteral("Serve the frame in FRAME (.bin, .txt, .png, .pbm, .bmp) instead of converting "
                                  "pictures.");
        default:
            return QStringLiteral("Start with the frame in FRAME (.bin, .txt, .png, .pbm, .bmp) in the grid, served "
                                  "to the board from its first request; Convert still converts the pictures.");
        }
    }

    [[nodiscard]] QList<QCommandLineOption> all() const
    {
        return {upper, lower, display, frame, fit, threshold, dither, invert};
    }
    [[nodiscard]] QList<const QCommandLineOption *> preparing() const { return {&fit, &threshold, &dither, &invert}; }
    [[nodiscard]] QList<QCommandLineOption> files() const { return {upper, lower, display, frame}; }

    QCommandLineOption upper{QStringLiteral("upper"),
                             QStringLiteral("Prepare IMAGE (any format Qt reads) for the upper half of the display, "
                                            "rows 0..15. A half without an image is clear."),
                             QStringLiteral("IMAGE")};
    QCommandLineOption lower{QStringLiteral("lower"),
                             QStringLiteral("Prepare IMAGE for the lower half of the display, rows 16..31."),
                             QStringLiteral("IMAGE")};
    QCommandLineOption display{QStringLiteral("display"),
                               QStringLiteral("Prepare IMAGE for the whole display, in place of --upper and --lower."),
                               QStringLiteral("IMAGE")};
    QCommandLineOption frame;
    QCommandLineOption fit{QStringLiteral("fit"),
                           QStringLiteral("Scale an image to fit its part of the display, centred on white (the "
                                          "default), to fill it, cropped, or stretch it."),
                           QStringLiteral("fit|fill|stretch")};
    QCommandLineOption threshold{QStringLiteral("threshold"),
                                 QStringLiteral("Grey at or below LEVEL (0..255) becomes black; auto (the default) "
                                                "picks the level that best splits the image's greys."),
                                 QStringLiteral("auto|LEVEL")};
    QCommandLineOption dither{QStringLiteral("dither"),
                              QStringLiteral("Dither the greys at display resolution: none (the default), diffuse or "
                                             "ordered."),
                              QStringLiteral("none|diffuse|ordered")};
    QCommandLineOption invert{QStringLiteral("invert"), QStringLiteral("Swap black and white.")};
};

template <typename Value>
std::optional<Value> named(const QString &text, const Names<Value> &names)
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

// A file or device is named once and not empty.
QString valueProblem(const QCommandLineParser &parser, const QList<QCommandLineOption> &options)
{
    for (const QCommandLineOption &option : options) {
        if (!parser.isSet(option))
            continue;
        if (parser.values(option).size() > 1)
            return optionName(option) + QStringLiteral(" is given more than once");
        const QString what = option.valueName().toLower();
        if (parser.value(option).isEmpty())
            return optionName(option) + (what.startsWith(u'i') ? QStringLiteral(" needs an ") : QStringLiteral(" needs a ")) + what;
    }
    return {};
}

// Each board once, and a network board's name whole.
QString portProblem(const QStringList &devices)
{
    for (qsizetype index = 0; index < devices.size(); ++index) {
        if (devices[index].isEmpty())
            return QStringLiteral("--port needs a device");
        if (devices.indexOf(devices[index]) != index)
            return QStringLiteral("--port names %1 twice").arg(devices[index]);
        if (const QString problem = networkAddressProblem(devices[index]); !problem.isEmpty())
            return problem;
    }
    return {};
}

QString preparationProblem(const QCommandLineParser &parser, const SourceOptions &options, Preparation &preparation)
{
    if (parser.isSet(options.fit)) {
        const auto scaling = named(parser.value(options.fit), kScalings);
        if (!scaling)
            return QStringLiteral("--fit takes fit, fill or stretch, not '%1'").arg(parser.value(options.fit));
        preparation.scaling = *scaling;
    }
    if (parser.isSet(options.threshold) && parser.value(options.threshold) != QLatin1String("auto")) {
        bool isNumber = false;
        const int level = parser.value(options.threshold).toInt(&isNumber);
        if (!isNumber || level < 0 || level > kLastLevel)
            return QStringLiteral("--threshold takes auto or a level 0..255, not '%1'").arg(parser.value(options.threshold));
        preparation.threshold = level;
    }
    if (parser.isSet(options.dither)) {
        const auto dithering = named(parser.value(options.dither), kDitherings);
        if (!dithering)
            return QStringLiteral("--dither takes none, diffuse or ordered, not '%1'").arg(parser.value(options.dither));
        preparation.dithering = *dithering;
    }
    preparation.invert = parser.isSet(options.invert);
    return {};
}

QString sourceProblem(const QCommandLineParser &parser, const SourceOptions &options, FrameSourceOptions &source)
{
    source.upper = parser.value(options.upper);
    source.lower = parser.value(options.lower);
    source.display = parser.value(options.display);
    source.frame = parser.value(options.frame);
    if (!source.display.isEmpty() && (!source.upper.isEmpty() || !source.lower.isEmpty()))
        return QStringLiteral("--display fills the whole display, so it cannot go with --upper or --lower");
    for (const QCommandLineOption *option : options.preparing()) {
        if (parser.isSet(*option) && !source.hasImages())
            return optionName(*option) + QStringLiteral(" prepares an image given with --upper, --lower or --display; "
                                                        "the built-in pictures are used as they are");
    }
    if (!source.frame.isEmpty()) {
        const QString problem = frameInputProblem(source.frame);
        if (!problem.isEmpty())
            return problem;
    }
    return preparationProblem(parser, options, source.preparation);
}

// convert and serve take one frame: a finished one, or pictures to convert.
QString frameWithImagesProblem(const FrameSourceOptions &source)
{
    if (!source.frame.isEmpty() && source.hasImages())
        return QStringLiteral("--frame reads a finished frame, so it cannot go with --upper, --lower or --display");
    return {};
}

QString watchProblem(const CommandLine &commandLine)
{
    const FrameSourceOptions &source = commandLine.source;
    if (commandLine.watch && source.frame.isEmpty() && !source.hasImages())
        return QStringLiteral("--watch reloads the files given with --frame, --upper, --lower or --display; the "
                              "built-in pictures never change");
    return {};
}

QString outputProblem(const CommandLine &commandLine)
{
    if (commandLine.outputs.isEmpty())
        return QStringLiteral("convert needs an output: -o FILE (.bin, .txt, .h, .png, .pbm, .bmp), or -o - for "
                              "text on standard output");
    QStringList seen;
    for (const QString &output : commandLine.outputs) {
        if (output.isEmpty())
            return QStringLiteral("-o needs a file name");
        const QString problem = output == QLatin1String(kStandardOutput) ? QString() : frameOutputProblem(output);
        if (!problem.isEmpty())
            return problem;
        const QString place = output == QLatin1String(kStandardOutput) ? output : QFileInfo(output).absoluteFilePath();
        if (seen.contains(place))
            return (output == QLatin1String(kStandardOutput) ? QStringLiteral("standard output (-)") : output)
                   + QStringLiteral(" is named twice with -o");
        seen.append(place);
    }
    return {};
}

void fail(CommandLine &result, const QString &text)
{
    result.outcome = CommandLine::Outcome::Error;
    result.text = text;
}

CommandLine::Command commandOf(const QStringList &arguments)
{
    if (arguments.value(1) == QLatin1String(kConvertCommand))
        return CommandLine::Command::Convert;
    if (arguments.value(1) == QLatin1String(kServeCommand))
        return CommandLine::Command::Serve;
    return CommandLine::Command::Window;
}

QString description(CommandLine::Command command, const QString &program)
{
    switch (command) {
    case CommandLine::Command::Convert:
        return QStringLiteral("Converts the built-in pictures, your own images or a frame file into frame files, "
                              "without a window, exactly as the window's Convert does.");
    case CommandLine::Command::Serve:
        return QStringLiteral("Serves the display's board on serial port 2, or every board named with --port, "
                              "without a window: the built-in pictures converted, your own images or a frame "
                              "file. Ends on SIGINT or SIGTERM once the page on the wire is complete.");
    default:
        return QStringLiteral("Prepares pictures for a 122 x 32 monochrome LCD and serves its pages to the "
                              "display's board on serial port 2.\n'%1 convert --help' tells how to convert "
                              "pictures and frame files without the window, '%1 serve --help' how to serve the "
                              "board without it.")
            .arg(program);
    }
}

// What is left to check once the options parsed: each command's own rules.
QString commandProblem(CommandLine &result, const QCommandLineParser &parser, const QCommandLineOption &output)
{
    switch (result.command) {
    case CommandLine::Command::Convert:
        result.outputs = parser.values(output);
        if (const QString problem = frameWithImagesProblem(result.source); !problem.isEmpty())
            return problem;
        return outputProblem(result);
    case CommandLine::Command::Serve:
        if (const QString problem = frameWithImagesProblem(result.source); !problem.isEmpty())
            return problem;
        return watchProblem(result);
    default:
        return {};
    }
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    CommandLine result;
    result.command = commandOf(arguments);
    const bool window = result.command == CommandLine::Command::Window;
    const bool serve = result.command == CommandLine::Command::Serve;
    QStringList rest = arguments;
    if (!window)
        rest.removeAt(1);
    const QString program = QFileInfo(arguments.value(0)).fileName() + (window ? QString() : u' ' + arguments.value(1));

    QCommandLineParser parser;
    parser.setApplicationDescription(description(result.command, program));
    const QCommandLineOption help = parser.addHelpOption();
    const auto version = window ? std::optional(parser.addVersionOption()) : std::nullopt;
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Serve the board on DEVICE instead of port 2's own device (a USB "
                                                 "adapter, a /dev/serial/by-id/ name, a pseudo-terminal), or on a "
                                                 "network serial bridge: tcp://HOST:PORT (raw) or "
                                                 "rfc2217://HOST:PORT (telnet); a device that is not there yet is "
                                                 "waited for. serve takes it once per board."),
                                  QStringLiteral("DEVICE"));
    const QCommandLineOption output(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("Write the frame to FILE, in the format its extension names: "
                                                   ".bin, .txt, .h, .png, .pbm or .bmp; - writes the .txt form to "
                                                   "standard output. Give it once per file."),
                                    QStringLiteral("FILE"));
    const QCommandLineOption listPorts(QStringLiteral("list-ports"),
                                       QStringLiteral("Print the serial ports the system offers, one per line "
                                                      "(device, description, manufacturer, serial number, USB "
                                                      "vendor:product), and exit."));
    const QCommandLineOption watch(QStringLiteral("watch"),
                                   QStringLiteral("Reload the frame or images when their files change; a reload "
                                                  "that fails keeps serving the last good frame."));
    const QCommandLineOption verbose(QStringLiteral("verbose"), QStringLiteral("Log every request, not only events."));
    const SourceOptions source(result.command);
    if (result.command == CommandLine::Command::Convert)
        parser.addOption(output);
    else
        parser.addOption(port);
    if (window)
        parser.addOption(listPorts);
    if (result.command == CommandLine::Command::Serve)
        parser.addOptions({watch, verbose});
    parser.addOptions(source.all());

    if (!parser.parse(rest)) {
        fail(result, parser.errorText() + QStringLiteral(" Try '%1 --help'.").arg(program));
    } else if (parser.isSet(help)) {
        result.outcome = CommandLine::Outcome::Help;
        result.text = parser.helpText();
        // Without an application object the parser cannot name the program.
        result.text.replace(QStringLiteral("<executable_name>"), program);
    } else if (version && parser.isSet(*version)) {
        result.outcome = CommandLine::Outcome::Version;
        result.text = QCoreApplication::applicationName() + u' '
                      + QCoreApplication::applicationVersion() + u'\n';
    } else if (!parser.positionalArguments().isEmpty()) {
        fail(result, QStringLiteral("Unexpected argument '%1'. Try '%2 --help'.")
                         .arg(parser.positionalArguments().first(), program));
    } else if (const QString problem = valueProblem(parser, result.command == CommandLine::Command::Window
                                                                ? source.files() << port
                                                                : source.files());
               !problem.isEmpty()) {
        fail(result, problem);
    } else if (const QString portText = portProblem(window || serve ? parser.values(port) : QStringList());
               !portText.isEmpty()) {
        fail(result, portText);
    } else if (const QString sourceText = sourceProblem(parser, source, result.source); !sourceText.isEmpty()) {
        fail(result, sourceText);
    } else {
        result.watch = serve && parser.isSet(watch);
        result.verbose = serve && parser.isSet(verbose);
        if (window && parser.isSet(port))
            result.portDevice = parser.value(port);
        if (serve)
            result.portDevices = parser.values(port);
        if (window && parser.isSet(listPorts))
            result.command = CommandLine::Command::ListPorts;
        if (const QString problem = commandProblem(result, parser, output); !problem.isEmpty())
            fail(result, problem);
    }
    return result;
}

ServeOptions serveOptions(const CommandLine &commandLine)
{
    ServeOptions options;
    options.devices = commandLine.portDevices;
    options.source = commandLine.source;
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
