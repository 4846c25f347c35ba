// SPDX-License-Identifier: MIT
#include "animation.h"

#include "apng_frames.h"
#include "frame_file.h"
#include "image_reading.h"
#include "quiet_decoding.h"
#include "run_time_error.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QRegularExpression>

#include <algorithm>
#include <numeric>
#include <optional>

namespace kestrin {

namespace {

constexpr qint64 kMaxFileOctets = 256LL * 1024 * 1024;

// One frame before the threshold: an image to prepare, or a frame file's
// pixels as they are.
struct SourceFrame
{
    QImage grey; // at display size; null for a frame file
    DisplayBitmap exact;
    std::chrono::milliseconds delay{};
};

std::chrono::milliseconds delayOf(int milliseconds, std::chrono::milliseconds fallback)
{
    return milliseconds > 0 ? std::chrono::milliseconds(milliseconds) : fallback;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        failOn(path, file.errorString());
    if (file.size() > kMaxFileOctets)
        failOn(path, QStringLiteral("has %1 octets; kestrin reads animations of at most %2 MB")
                       .arg(file.size()).arg(kMaxFileOctets / 1024 / 1024));
    return file.readAll();
}

// Hands each decoded frame on as it comes, so that only one full-size frame
// is held at a time, however long the clip.
void decodeFrames(const QString &path, const QByteArray &bytes, const AnimationFrameSink &frame)
{
    const QuietDecoding quiet;
    try {
        if (readApngFrames(bytes, frame))
            return;
    } catch (const RunTimeError &error) {
        failOn(path, QString::fromStdString(error.what()));
    }
    QByteArray data = bytes;
    QBuffer buffer(&data);
    QImageReader reader(&buffer);
    (void)boundReader(reader, path);
    bool decoded = false;
    for (QImage image = reader.read(); !image.isNull(); image = reader.read()) {
        decoded = true;
        frame(image, reader.nextImageDelay());
        if (!reader.supportsAnimation())
            break;
    }
    checkDecoded(reader, quiet, path, decoded);
}

void addFile(std::vector<SourceFrame> &frames, const QString &path, const Preparation &preparation,
             std::chrono::milliseconds delay)
{
    const auto format = frameFileFormat(path);
    if (format == FrameFileFormat::Binary || format == FrameFileFormat::Text) {
        frames.push_back({{}, DisplayBitmap::fromFrame(readFrameFile(path)), delay});
        return;
    }
    decodeFrames(path, readFile(path), [&](const QImage &image, int imageDelay) {
        if (frames.size() >= kMaxAnimationFrames)
            failOn(path, QStringLiteral("has more than %1 frames").arg(kMaxAnimationFrames));
        frames.push_back({greyAtDisplay(image, kDisplaySize, preparation.scaling), {}, delayOf(imageDelay, delay)});
    });
}

// The last number in a file's name: 10 for frame10.png; -1 for none.
qlonglong numberIn(const QString &name)
{
    static const QRegularExpression lastNumber(QStringLiteral("(\\d{1,18})\\D*$"));
    const QRegularExpressionMatch match = lastNumber.match(name);
    return match.hasMatch() ? match.captured(1).toLongLong() : -1;
}

// The folder's files in the order of the last number in their names
// (frame2 before frame10), hidden files left out.
QStringList numberedFiles(const QString &folder)
{
    QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files | QDir::Readable, QDir::Name);
    std::stable_sort(entries.begin(), entries.end(), [](const QFileInfo &a, const QFileInfo &b) {
        return numberIn(a.fileName()) < numberIn(b.fileName());
    });
    QStringList files;
    for (const QFileInfo &entry : entries)
        files.append(entry.filePath());
    return files;
}

} // namespace

std::chrono::milliseconds Animation::length() const
{
    return std::accumulate(delays.begin(), delays.end(), std::chrono::milliseconds{});
}

Animation loadAnimation(const QString &path, const Preparation &preparation, std::chrono::milliseconds folderDelay)
{
    std::vector<SourceFrame> sources;
    if (QFileInfo(path).isDir()) {
        for (const QString &file : numberedFiles(path))
            addFile(sources, file, preparation, folderDelay);
    } else {
        addFile(sources, path, preparation, kDefaultFrameDelay);
    }
    if (sources.empty())
        failOn(path, QStringLiteral("holds no frames"));
    GreyHistogram histogram{};
    for (const SourceFrame &source : sources) {
        if (!source.grey.isNull())
            addToHistogram(histogram, source.grey);
    }
    Animation animation;
    animation.level = preparation.threshold.value_or(otsuLevel(histogram));
    for (const SourceFrame &source : sources) {
        animation.frames.push_back(source.grey.isNull()
                                       ? source.exact
                                       : bitmapOfDecisions(decideGrey(source.grey, animation.level, preparation)));
        animation.delays.push_back(source.delay);
    }
    return animation;
}

} // namespace kestrin
