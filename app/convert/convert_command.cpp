// SPDX-License-Identifier: MIT
#include "convert_command.h"

#include "animation.h"
#include "frame_file.h"
#include "frame_formats.h"
#include "run_time_error.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <exception>

namespace kestrin {

namespace {

constexpr int kFailed = 1;
constexpr int kFrameNumberDigits = 4;
constexpr QLatin1StringView kStandardOutput{"-"};

using Files = QList<std::pair<QString, QByteArray>>;

void writeStandardOutput(const std::string &text)
{
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0)
        throw RunTimeError("standard output: cannot write");
}

QByteArray fromStd(const std::string &bytes)
{
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

int convertFrame(const ConvertOptions &options)
{
    const FrameBuffer frame = frameOf(loadFrameSource(options.source));
    Files files;
    bool toStandardOutput = false;
    for (const QString &output : options.outputs) {
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
}

// An animation's frames into a folder: NAME-0001.bin and on, NAME the
// animation's own name.
void addFolder(Files &files, const QString &folder, const std::vector<FrameBuffer> &frames, const ConvertOptions &options)
{
    if (!QDir().mkpath(folder))
        throw RunTimeError((folder + QStringLiteral(": cannot make the folder")).toStdString());
    const QString base = QFileInfo(QDir::cleanPath(options.play)).completeBaseName();
    const int digits = std::max(kFrameNumberDigits, int(QString::number(frames.size()).size()));
    for (std::size_t index = 0; index < frames.size(); ++index) {
        const QString path = QDir(folder).filePath(QStringLiteral("%1-%2.%3")
                                                       .arg(base)
                                                       .arg(qulonglong(index + 1), digits, 10, QLatin1Char('0'))
                                                       .arg(options.frameFormat));
        files.append({path, encodeFrame(frames[index], path)});
    }
}

int convertAnimation(const ConvertOptions &options)
{
    const Animation animation = loadAnimation(options.play, options.source.preparation, options.frameDelay);
    std::vector<FrameBuffer> frames;
    std::vector<std::uint32_t> delays;
    for (std::size_t index = 0; index < animation.frames.size(); ++index) {
        frames.push_back(animation.frames[index].toFrame());
        delays.push_back(static_cast<std::uint32_t>(animation.delays[index].count()));
    }
    Files files;
    for (const QString &output : options.outputs) {
        if (frameFileFormat(output) == FrameFileFormat::CHeader && !output.endsWith(u'/'))
            files.append({output, fromStd(toAnimationHeader(frames, delays, QFileInfo(output).fileName().toStdString()))});
        else
            addFolder(files, output, frames, options);
    }
    saveFiles(files);
    return 0;
}

} // namespace

int runConvert(const ConvertOptions &options)
{
    try {
        return options.play.isEmpty() ? convertFrame(options) : convertAnimation(options);
    } catch (const std::exception &error) {
        std::fprintf(stderr, "kestrin: %s\n", error.what());
        return kFailed;
    }
}

} // namespace kestrin
