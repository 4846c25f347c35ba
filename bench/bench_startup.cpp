// SPDX-License-Identifier: MIT
// Program start to first painted window, and the peak memory by then.
//
// The runner creates a pseudo-terminal to stand for the board's line, then
// for each run forks and execs itself in child mode, passing the monotonic
// time taken just before exec. The child does what kestrin's main() does
// (command line, QApplication, Form1 on --port <pty>, show) and catches the
// window's first Paint event; once that paint and its flush are done it
// reads the clock and its VmHWM, writes both to the runner and quits.
// Offscreen unless QT_QPA_PLATFORM says otherwise.
#include "bench_table.h"
#include "command_line.h"
#include "main_window.h"

#include <QApplication>
#include <QEvent>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <string>

#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int kRuns = 21;
constexpr const char *kChildMode = "--child";
constexpr double kTargetMilliseconds = 150.0;
constexpr double kTargetMegabytes = 60.0;
constexpr double kKilobytesPerMegabyte = 1024.0;

std::int64_t monotonicNanoseconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

struct Run
{
    double milliseconds = 0.0;
    long peakKilobytes = 0;
};

// Waits for the window's first paint, then finishes once the event loop has
// flushed it.
class FirstPaint : public QObject
{
public:
    explicit FirstPaint(std::int64_t started) : m_started(started) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QMetaObject::invokeMethod(this, &FirstPaint::finish, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void finish()
    {
        const double milliseconds = static_cast<double>(monotonicNanoseconds() - m_started) / 1e6;
        std::printf("%.3f %ld\n", milliseconds, bench::residentKilobytes("VmHWM:"));
        std::fflush(stdout);
        QCoreApplication::exit(0);
    }

    std::int64_t m_started = 0;
    bool m_seen = false;
};

// kestrin's main(), with the start time in front of its arguments.
int runChild(int argc, char **argv)
{
    const std::int64_t started = std::strtoll(argv[2], nullptr, 10);
    QStringList arguments{QString::fromLocal8Bit(argv[0])};
    for (int i = 3; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    QApplication::setApplicationName(QStringLiteral("kestrin"));
    QApplication::setDesktopFileName(QStringLiteral("kestrin"));
    const kestrin::CommandLine commandLine = kestrin::parseCommandLine(arguments);
    if (commandLine.outcome != kestrin::CommandLine::Outcome::Run)
        return kestrin::printCommandLineOutcome(commandLine);

    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    kestrin::MainWindow Form1(commandLine.devices.value(0));
    FirstPaint firstPaint(started);
    Form1.installEventFilter(&firstPaint);
    Form1.show();
    return QApplication::exec();
}

// One child on the device; nullopt if it did not report.
std::optional<Run> runOnce(const std::string &device)
{
    int output[2];
    if (::pipe(output) != 0)
        return std::nullopt;
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(output[1], STDOUT_FILENO);
        ::close(output[0]);
        ::close(output[1]);
        const std::string started = std::to_string(monotonicNanoseconds());
        const char *arguments[] = {"bench_startup", kChildMode, started.c_str(), "--port", device.c_str(), nullptr};
        ::execv("/proc/self/exe", const_cast<char *const *>(arguments));
        std::_Exit(127);
    }
    ::close(output[1]);
    std::string report;
    char chunk[128];
    ssize_t got = 0;
    while ((got = ::read(output[0], chunk, sizeof chunk)) > 0)
        report.append(chunk, static_cast<std::size_t>(got));
    ::close(output[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    Run run;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0
        || std::sscanf(report.c_str(), "%lf %ld", &run.milliseconds, &run.peakKilobytes) != 2)
        return std::nullopt;
    return run;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 3 && std::strcmp(argv[1], kChildMode) == 0)
        return runChild(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    // The board's end of the line stays open for all runs, so each child
    // opens a working line.
    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::perror("openpty");
        return 1;
    }
    termios settings{};
    ::tcgetattr(slave, &settings);
    ::cfmakeraw(&settings);
    ::tcsetattr(slave, TCSANOW, &settings);

    bench::Samples milliseconds;
    bench::Samples megabytes;
    for (int run = 0; run < kRuns; ++run) {
        const std::optional<Run> measured = runOnce(name);
        if (!measured) {
            std::fprintf(stderr, "run %d: the child did not report\n", run);
            return 1;
        }
        milliseconds.push_back(measured->milliseconds);
        megabytes.push_back(static_cast<double>(measured->peakKilobytes) / kKilobytesPerMegabyte);
    }
    ::close(slave);
    ::close(master);

    bench::Table table("Start-up: exec to Form1's first painted frame, on a pseudo-terminal ("
                       + std::to_string(kRuns) + " runs, " + qgetenv("QT_QPA_PLATFORM").toStdString() + ")");
    table.add("start to first painted window, median", bench::median(milliseconds), kTargetMilliseconds, "ms");
    table.add("start to first painted window, max", bench::maximum(milliseconds), kTargetMilliseconds, "ms");
    table.add("peak resident memory (VmHWM), median", bench::median(megabytes), kTargetMegabytes, "MB");
    table.add("peak resident memory (VmHWM), max", bench::maximum(megabytes), kTargetMegabytes, "MB");
    table.print();
    return 0;
}
