// SPDX-License-Identifier: MIT
// kestrin [--port DEVICE] [pictures or a frame]: creates Form1, shows it, and
// ends when it closes. kestrin convert ...: writes frame files, no window.
// kestrin serve ...: serves the board, no window. kestrin --list-ports.
#include "command_line.h"
#include "convert_command.h"
#include "list_ports_command.h"
#include "main_window.h"
#include "serve_command.h"

#include <QApplication>
#include <QStringList>

#include <cstdio>
#include <exception>

namespace {

constexpr int kFailed = 1;

// The command line is read before the application object exists, so that
// --help and --version work without a display.
QStringList argumentList(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

// The pictures and frame the window starts on, read before the window system
// is touched: a file that cannot be read ends the start, display or not.
std::optional<kestrin::FrameSource> windowSource(const kestrin::FrameSourceOptions &options)
{
    if (!options.hasImages() && options.frame.isEmpty() && !options.text.given())
        return std::nullopt;
    return kestrin::loadFrameSource(options);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication::setApplicationName(QStringLiteral("kestrin"));
    QApplication::setApplicationVersion(QStringLiteral(KESTRIN_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("kestrin"));
    const kestrin::CommandLine commandLine = kestrin::parseCommandLine(argumentList(argc, argv));
    if (commandLine.outcome != kestrin::CommandLine::Outcome::Run)
        return kestrin::printCommandLineOutcome(commandLine);
    // Qt sees only the program's name: it would take --display IMAGE for the
    // X server's display, and the parser above has refused Qt's own options.
    int qtArgc = 1;
    switch (commandLine.command) {
    case kestrin::CommandLine::Command::Convert: {
        QCoreApplication app(qtArgc, argv);
        return kestrin::runConvert({commandLine.source, commandLine.play, commandLine.frameDelay,
                                    commandLine.frameFormat, commandLine.outputs});
    }
    case kestrin::CommandLine::Command::Serve: {
        QCoreApplication app(qtArgc, argv);
        return kestrin::runServe(kestrin::serveOptions(commandLine));
    }
    case kestrin::CommandLine::Command::ListPorts: {
        QCoreApplication app(qtArgc, argv);
        return kestrin::listPorts();
    }
    case kestrin::CommandLine::Command::Window:
        break;
    }

    try {
        const std::optional<QString> device =
            commandLine.devices.isEmpty() ? std::nullopt : std::optional(commandLine.devices.constFirst());
        const kestrin::WindowStart start{device, windowSource(commandLine.source)};
        QApplication app(qtArgc, argv);
        kestrin::MainWindow Form1(start);
        Form1.show();
        return QApplication::exec();
    } catch (const std::exception &error) {
        // Only reading the files and creating the window get here: every
        // handler has its own boundary.
        std::fprintf(stderr, "kestrin: %s\n", error.what());
        return kFailed;
    }
}
