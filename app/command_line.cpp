// SPDX-License-Identifier: MIT
#include "command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QCoreApplication>

#include <cstdio>

namespace kestrin {

namespace {

constexpr int kUsageError = 2;

} // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Prepares pictures for a 122 x 32 monochrome LCD and serves its pages to "
                       "the display's board on serial port 2."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Serve the board on DEVICE instead of port 2's "
                                                 "own device (a USB adapter, a pseudo-terminal)."),
                                  QStringLiteral("DEVICE"));
    parser.addOption(port);

    CommandLine result;
    if (!parser.parse(arguments)) {
        result.outcome = CommandLine::Outcome::Error;
        result.text = parser.errorText();
    } else if (parser.isSet(help)) {
        result.outcome = CommandLine::Outcome::Help;
        result.text = parser.helpText();
        // Without an application object the parser cannot name the program.
        result.text.replace(QStringLiteral("<executable_name>"), QFileInfo(arguments.value(0)).fileName());
    } else if (parser.isSet(version)) {
        result.outcome = CommandLine::Outcome::Version;
        result.text = QCoreApplication::applicationName() + u' '
                      + QCoreApplication::applicationVersion() + u'\n';
    } else if (!parser.positionalArguments().isEmpty()) {
        result.outcome = CommandLine::Outcome::Error;
        result.text = QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().first());
    } else if (parser.isSet(port)) {
        result.portDevice = parser.value(port);
        if (result.portDevice->isEmpty()) {
            result.outcome = CommandLine::Outcome::Error;
            result.text = QStringLiteral("--port needs a device.");
        }
    }
    return result;
}

int printCommandLineOutcome(const CommandLine &commandLine)
{
    if (commandLine.outcome == CommandLine::Outcome::Error) {
        std::fprintf(stderr, "%s: %s\nTry '--help' for the options.\n",
                     qPrintable(QCoreApplication::applicationName()), qPrintable(commandLine.text));
        return kUsageError;
    }
    std::fputs(qPrintable(commandLine.text), stdout);
    if (!commandLine.text.endsWith(u'\n'))
        std::fputc('\n', stdout);
    return 0;
}

} // namespace kestrin
