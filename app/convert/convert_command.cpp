// SPDX-License-Identifier: MIT
#include "convert_command.h"

#include "frame_file.h"
#include "frame_formats.h"
#include "run_time_error.h"

#include <cstdio>
#include <exception>

namespace kestrin {

namespace {

constexpr int kFailed = 1;
constexpr QLatin1StringView kStandardOutput{"-"};

void writeStandardOutput(const std::string &text)
{
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0)
        throw RunTimeError("standard output: cannot write");
}

} // namespace

int runConvert(const FrameSourceOptions &source, const QStringList &outputs)
{
    try {
        const FrameBuffer frame = frameOf(loadFrameSource(source));
        QList<std::pair<QString, QByteArray>> files;
        bool toStandardOutput = false;
        for (const QString &output : outputs) {
            if (output == kStandardOutput)
                toStandardOutput = true;
            else
                files.append({output, encodeFrame(frame, output)});
        }
        // Standard output first: when it fails no file has been touched yet.
        if (toStandardOutput)
            writeStandardOutput(toText(frame));
        saveFiles(files);
        return 0;
    } catch (const std::exception &error) {
        std::fprintf(stderr, "kestrin: %s\n", error.what());
        return kFailed;
    }
}

} // namespace kestrin
