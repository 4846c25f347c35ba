// SPDX-License-Identifier: MIT
// kestrin [--port DEVICE]: creates Form1, shows it, and ends when it closes.
#include "command_line.h"
#include "main_window.h"

#include <QApplication>
#include <QStringList>

#include <cstdio>
#include <exception>

namespace {

// The command line is read before the application object exists, so that
// --help and --version work without a display.
QStringList argumentList(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
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

    QApplication app(argc, argv);
    try {
        kestrin::MainWindow Form1(commandLine.portDevice);
        Form1.show();
        return QApplication::exec();
    } catch (const std::exception &error) {
        // Only creating the window can get here: every handler has its own boundary.
        std::fprintf(stderr, "kestrin: %s\n", error.what());
        return 1;
    }
}
