// SPDX-License-Identifier: MIT
// kestrin-avr-board: a board firmware on a simulated ATmega328P, its serial
// line on a new pseudo-terminal and its LCD module on the screen. It prints
// the device for `kestrin --port` on its first line; the firmware runs from
// then on, in step with the wall clock, whether a host listens or not.
#include "avr_machine.h"
#include "board_line.h"
#include "gif_recording.h"
#include "lcd_view.h"
#include "line_bridge.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <future>
#include <memory>
#include <optional>
#include <stdexcept>
#include <thread>

#include <sys/prctl.h>

namespace {

constexpr int kWindowScale = 4;
constexpr int kUsageError = 2;
constexpr std::chrono::milliseconds kWindowRefresh{100};
constexpr std::chrono::milliseconds kHeadlessReport{10'000};

struct Options
{
    QString firmware;
    bool ascii = false;
    QString png;
    QString record;
    long refreshes = 0;
    bool waitForHost = false;
    // No window: print or save the module once it has been refreshed.
    [[nodiscard]] bool headless() const { return ascii || !png.isEmpty() || refreshes > 0; }
};

std::optional<Options> parseOptions(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Runs a display board firmware on a simulated ATmega328P at 16 MHz. Its serial line is a "
        "new pseudo-terminal, whose device is printed on the first line; its 122 x 32 LCD module "
        "is shown in a window, or printed once it has been refreshed."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("firmware"), QStringLiteral("The firmware ELF file."));
    const QCommandLineOption ascii(QStringLiteral("ascii"),
                                   QStringLiteral("Print the module as 32 lines of 122 characters."));
    const QCommandLineOption png(QStringLiteral("png"), QStringLiteral("Save the module to FILE."),
                                 QStringLiteral("FILE"));
    const QCommandLineOption record(QStringLiteral("record"),
                                    QStringLiteral("Record the module to FILE until --frames (which "
                                                   "it needs) is reached: an animated GIF that loops, "
                                                   "at --png's size, one frame per whole refresh, "
                                                   "shown as long as the module showed it in "
                                                   "simulated time."),
                                    QStringLiteral("FILE"));
    const QCommandLineOption frames(QStringLiteral("frames"),
                                    QStringLiteral("Stop once the firmware has refreshed the whole "
                                                   "module N times (default 1 with --ascii or --png), "
                                                   "and report the refresh rate."),
                                    QStringLiteral("N"));
    const QCommandLineOption waitForHost(QStringLiteral("wait-for-host"),
                                         QStringLiteral("Start the firmware once a host has opened the "
                                                        "line, as a board that the host powers up or "
                                                        "resets when it opens its port."));
    parser.addOptions({ascii, png, record, frames, waitForHost});
    parser.process(arguments);

    if (parser.positionalArguments().size() != 1) {
        std::fprintf(stderr, "kestrin-avr-board: give one firmware ELF file (see --help)\n");
        return std::nullopt;
    }
    Options options;
    options.firmware = parser.positionalArguments().constFirst();
    options.ascii = parser.isSet(ascii);
    options.png = parser.value(png);
    options.record = parser.value(record);
    options.waitForHost = parser.isSet(waitForHost);
    if (parser.isSet(frames)) {
        bool number = false;
        options.refreshes = parser.value(frames).toLong(&number);
        if (!number || options.refreshes < 1) {
            std::fprintf(stderr, "kestrin-avr-board: --frames needs a whole number of at least 1\n");
            return std::nullopt;
        }
    } else if (!options.record.isEmpty()) {
        std::fprintf(stderr, "kestrin-avr-board: --record needs --frames N\n");
        return std::nullopt;
    } else if (options.headless()) {
        options.refreshes = 1;
    }
    return options;
}

bool hasDisplay()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.startsWith("offscreen") || platform.startsWith("minimal"))
        return false;
    return !platform.isEmpty() || qEnvironmentVariableIsSet("DISPLAY")
           || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
}

// The bridge on a thread of its own; a line failure ends it and is kept.
class BridgeThread
{
public:
    BridgeThread(board::LineBridge &bridge, const Options &options)
        : m_thread([this, &bridge, options](std::stop_token stop) {
              try {
                  if (options.waitForHost)
                      bridge.waitForHost(stop);
                  bridge.run(stop, options.refreshes);
              } catch (const std::runtime_error &error) {
                  m_error = error.what();
              }
              m_ended.set_value();
          })
    {
    }
    // True once the bridge has ended, waiting up to timeout for it.
    [[nodiscard]] bool ended(std::chrono::milliseconds timeout = {}) const
    {
        return m_end.wait_for(timeout) == std::future_status::ready;
    }
    // Stops the bridge and returns the error that ended it, if any.
    [[nodiscard]] std::string finish()
    {
        m_thread.request_stop();
        m_thread.join();
        return m_error;
    }

private:
    std::string m_error;
    std::promise<void> m_ended;
    std::future<void> m_end = m_ended.get_future();
    std::jthread m_thread;
};

// The window's title shows the refresh rate of the last simulated second.
int showWindow(int argc, char **argv, board::LineBridge &bridge, const BridgeThread &thread)
{
    QApplication app(argc, argv);
    board::BridgeReport previous = bridge.report();
    board::LcdView view(previous.picture.toImage(kWindowScale));
    view.setWindowTitle(QStringLiteral("kestrin-avr-board: LCD"));
    QTimer refresh;
    QObject::connect(&refresh, &QTimer::timeout, &view, [&] {
        const board::BridgeReport report = bridge.report();
        view.setPicture(report.picture.toImage(kWindowScale));
        const double seconds = report.simulatedSeconds - previous.simulatedSeconds;
        if (seconds >= 1.0) {
            view.setWindowTitle(QStringLiteral("kestrin-avr-board: %1 refreshes/s (line limit %2), %3 s "
                                               "simulated, simulated/wall %4")
                                    .arg(static_cast<double>(report.refreshes - previous.refreshes) / seconds, 0, 'f', 1)
                                    .arg(board::LineBridge::kLineLimit, 0, 'f', 1)
                                    .arg(report.simulatedSeconds, 0, 'f', 0)
                                    .arg(seconds / (report.wallSeconds - previous.wallSeconds), 0, 'f', 2));
            previous = report;
        }
        if (thread.ended())
            QApplication::quit();
    });
    refresh.start(kWindowRefresh);
    view.show();
    return QApplication::exec();
}

// Without a window: until the bridge ends, a report on stderr now and then.
void waitWithoutWindow(const board::LineBridge &bridge, const BridgeThread &thread)
{
    while (!thread.ended(kHeadlessReport))
        std::fprintf(stderr, "kestrin-avr-board: %s\n", bridge.report().summary().c_str());
}

} // namespace

int main(int argc, char **argv)
{
    // Ends with whoever started it: a test or script that is killed leaves no
    // board running behind it.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    auto core = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kestrin-avr-board"));
    const std::optional<Options> options = parseOptions(QCoreApplication::arguments());
    if (!options)
        return kUsageError;

    try {
        std::optional<board::GifRecording> recording;
        if (!options->record.isEmpty())
            recording.emplace(options->record.toStdString(), kWindowScale);
        board::AvrMachine machine(options->firmware.toStdString());
        board::BoardLine line = board::BoardLine::createPty();
        board::LineBridge bridge(machine, line);
        if (recording)
            bridge.recordTo(*recording);
        std::printf("%s\n", line.path().c_str());
        std::fflush(stdout);
        BridgeThread thread(bridge, *options);
        int status = 0;
        if (!options->headless() && hasDisplay()) {
            core.reset();
            status = showWindow(argc, argv, bridge, thread);
        } else {
            waitWithoutWindow(bridge, thread);
        }
        const std::string error = thread.finish();
        if (!error.empty())
            throw std::runtime_error(error);
        if (recording)
            recording->save();
        const board::BridgeReport report = bridge.report();
        if (options->ascii)
            std::fputs(report.picture.toAscii().c_str(), stdout);
        if (!options->png.isEmpty() && !report.picture.toImage(kWindowScale).save(options->png))
            throw std::runtime_error("cannot write " + options->png.toStdString());
        std::printf("%s\n", report.summary().c_str());
        return status;
    } catch (const std::runtime_error &error) {
        std::fprintf(stderr, "kestrin-avr-board: %s\n", error.what());
        return 1;
    }
}
