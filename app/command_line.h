// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace kestrin {

// What the program's command line asks for: to run, with port 2 on another
// device when --port names one, or to print help, the version or an error.
struct CommandLine
{
    enum class Outcome { Run, Help, Version, Error };

    Outcome outcome = Outcome::Run;
    std::optional<QString> portDevice;
    QString text; // the help text, the version line or the error message
};

// Parses the arguments (program name first). Uses the application's name
// and version for --version.
[[nodiscard]] CommandLine parseCommandLine(const QStringList &arguments);

// Prints help or version on stdout, or the error and a hint on stderr, and
// returns the exit code: 0, or 2 for an error.
[[nodiscard]] int printCommandLineOutcome(const CommandLine &commandLine);

} // namespace kestrin
