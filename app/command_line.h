// SPDX-License-Identifier: MIT
#pragma once

#include "frame_source.h"
#include "serve_options.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace kestrin {

// What the program's command line asks for: the window (with port 2 on
// another device when --port names one, and the pictures or frame it starts
// on), `convert` (headless, into frame files), `serve` (headless, to the
// board), the list of serial ports, or to print help, the version or an error.
struct CommandLine
{
    enum class Outcome { Run, Help, Version, Error };
    enum class Command { Window, Convert, Serve, ListPorts };

    Outcome outcome = Outcome::Run;
    Command command = Command::Window;
    std::optional<QString> portDevice; // the window's
    QStringList portDevices;           // serve's boards, one session each
    FrameSourceOptions source;
    QStringList outputs; // convert's -o files in order; "-" is standard output
    bool watch = false;   // serve: reload the files when they change
    bool verbose = false; // serve: a line per request
    QString text;        // the help text, the version line or the error message
};

// Parses the arguments (program name first); `kestrin convert ...` and
// `kestrin serve ...` when the first argument names the command. Checks every value, and the extension of every
// frame file, without opening anything. Uses the application's name and
// version for --version.
[[nodiscard]] CommandLine parseCommandLine(const QStringList &arguments);

// What `kestrin serve` is asked for.
[[nodiscard]] ServeOptions serveOptions(const CommandLine &commandLine);

// Prints help or version on stdout, or the error as one line on stderr, and
// returns the exit code: 0, or 2 for an error.
[[nodiscard]] int printCommandLineOutcome(const CommandLine &commandLine);

} // namespace kestrin
