// SPDX-License-Identifier: MIT
// kestrin-board: a simulated display board on a pseudo-terminal. It prints the
// device for `kestrin --port` on its first line, greets the host once it has
// opened the line, asks for the eight pages and shows the picture they make.
#include "board_client.h"
#include "board_line.h"
#include "gif_recording.h"
#include "lcd_frame.h"
#include "lcd_view.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <stdexcept>

namespace {

constexpr int kWindowScale = 4;
constexpr int kUsageError = 2;
constexpr std::chrono::milliseconds kRefreshInterval{100};

struct Options
{
    bool ascii = false;
    QString png;
    QString record;
    std::optional<QString> request;
    bool paced = false;
    int frames = 1;
    bool timed = false;
    QString device;
};

std::optional<Options> parseOptions(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A simulated display board for kestrin. It creates a pseudo-terminal, prints its device "
        "on the first line, greets the host once it has opened the device, requests the eight "
        "pages and shows the 122 x 32 picture."));
    parser.addHelpOption();
    const QCommandLineOption ascii(QStringLiteral("ascii"),
                                   QStringLiteral("Print the picture as 32 lines of 122 characters."));
    const QCommandLineOption png(QStringLiteral("png"), QStringLiteral("Save the picture to FILE."),
                                 QStringLiteral("FILE"));
    const QCommandLineOption record(QStringLiteral("record"),
                                    QStringLiteral("Record the N frames of --frames (which it needs) "
                                                   "to FILE, then exit: an animated GIF that loops, "
                                                   "at --png's size, each frame shown as long as the "
                                                   "LCD showed it."),
                                    QStringLiteral("FILE"));
    const QCommandLineOption request(QStringLiteral("request"),
                                     QStringLiteral("After the greeting send TEXT, print what "
                                                    "comes back as hex and exit."),
                                     QStringLiteral("TEXT"));
    const QCommandLineOption paced(QStringLiteral("paced"),
                                   QStringLiteral("Pace the line like a 115200-baud wire (86.8 us "
                                                  "per octet)."));
    const QCommandLineOption frames(QStringLiteral("frames"),
                                    QStringLiteral("Request N whole frames and print frames per "
                                                   "second."),
                                    QStringLiteral("N"));
    const QCommandLineOption device(QStringLiteral("device"),
                                    QStringLiteral("Use the existing device PATH (a loopback) "
                                                   "instead of a new pseudo-terminal."),
                                    QStringLiteral("PATH"));
    parser.addOptions({ascii, png, record, request, paced, frames, device});
    parser.process(arguments);

    Options options;
    options.ascii = parser.isSet(ascii);
    options.png = parser.value(png);
    options.record = parser.value(record);
    if (parser.isSet(request))
        options.request = parser.value(request);
    options.paced = parser.isSet(paced);
    options.device = parser.value(device);
    if (parser.isSet(frames)) {
        bool number = false;
        options.frames = parser.value(frames).toInt(&number);
        if (!number || options.frames < 1) {
            std::fprintf(stderr, "kestrin-board: --frames needs a whole number of at least 1\n");
            return std::nullopt;
        }
        options.timed = true;
    }
    if (!options.record.isEmpty() && !options.timed) {
        std::fprintf(stderr, "kestrin-board: --record needs --frames N\n");
        return std::nullopt;
    }
    return options;
}

void printHex(const std::string &octets)
{
    std::printf("%zu octets:", octets.size());
    for (const char octet : octets)
        std::printf(" %02X", static_cast<unsigned char>(octet));
    std::printf("\n");
}

board::LcdFrame requestFrames(board::BoardClient &client, const Options &options,
                              board::GifRecording *recording)
{
    QElapsedTimer clock;
    clock.start();
    board::LcdFrame frame;
    for (int count = 0; count < options.frames; ++count) {
        frame = client.requestFrame();
        if (recording != nullptr)
            recording->add(frame, std::chrono::nanoseconds(clock.nsecsElapsed()));
    }
    if (options.timed) {
        const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        std::printf("%d frames in %.3f s: %.1f frames per second%s\n", options.frames, seconds,
                    options.frames / seconds, options.paced ? " (paced like 115200 baud)" : "");
    }
    return frame;
}

} // namespace

// The window keeps asking for frames, as a board refreshing its display would,
// so that edits and conversions in kestrin show up within a moment.
int showLcdWindow(int argc, char **argv, board::BoardClient &client, const board::LcdFrame &first)
{
    QApplication app(argc, argv);
    board::LcdView view(first.toImage(kWindowScale));
    QTimer refresh;
    refresh.setInterval(kRefreshInterval);
    QObject::connect(&refresh, &QTimer::timeout, &view, [&] {
        try {
            view.setPicture(client.requestFrame().toImage(kWindowScale));
        } catch (const std::runtime_error &error) {
            refresh.stop();
            view.setWindowTitle(QStringLiteral("kestrin-board: LCD (line lost)"));
            std::fprintf(stderr, "kestrin-board: %s; showing the last frame\n", error.what());
        }
    });
    refresh.start();
    view.show();
    return QApplication::exec();
}

int main(int argc, char **argv)
{
    auto core = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kestrin-board"));
    const std::optional<Options> options = parseOptions(QCoreApplication::arguments());
    if (!options)
        return kUsageError;

    try {
        std::optional<board::GifRecording> recording;
        if (!options->record.isEmpty())
            recording.emplace(options->record.toStdString(), kWindowScale);
        board::BoardLine line = options->device.isEmpty()
                                    ? board::BoardLine::createPty()
                                    : board::BoardLine::openDevice(options->device.toStdString());
        std::printf("%s\n", line.path().c_str());
        std::fflush(stdout);
        std::fprintf(stderr, "kestrin-board: waiting for the host to open %s\n", line.path().c_str());
        line.waitForHost();
        board::BoardClient client(line, options->paced);
        client.greet();
        if (options->request) {
            printHex(client.exchange(options->request->toStdString()));
            return 0;
        }
        const board::LcdFrame frame = requestFrames(client, *options, recording ? &*recording : nullptr);
        if (recording)
            recording->save();
        if (options->ascii)
            std::fputs(frame.toAscii().c_str(), stdout);
        if (!options->png.isEmpty() && !frame.toImage(kWindowScale).save(options->png)) {
            std::fprintf(stderr, "kestrin-board: cannot write %s\n", qPrintable(options->png));
            return 1;
        }
        if (options->ascii || !options->png.isEmpty() || recording)
            return 0;
        core.reset();
        return showLcdWindow(argc, argv, client, frame);
    } catch (const std::runtime_error &error) {
        std::fprintf(stderr, "kestrin-board: %s\n", error.what());
        return 1;
    }
}
