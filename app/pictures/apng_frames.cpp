// SPDX-License-Identifier: MIT
#include "apng_frames.h"

#include "run_time_error.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QtEndian>

#include <zlib.h>

#include <algorithm>
#include <string>

namespace kestrin {

namespace {

constexpr QByteArrayView kSignature{"\x89PNG\r\n\x1a\n", 8};
constexpr int kChunkHeader = 8; // length, type
constexpr int kChunkCrc = 4;
constexpr int kFrameControlSize = 26;
constexpr int kSequenceSize = 4;
constexpr int kMaxFrames = 10000;
constexpr qint64 kMaxCanvasPixels = 50'000'000; // as for a still image
constexpr int kMillisecondsPerSecond = 1000;
constexpr int kDefaultDenominator = 100; // a zero denominator means hundredths

enum class Dispose : quint8 { None, Background, Previous };
enum class Blend : quint8 { Source, Over };

struct Chunk
{
    QByteArray type;
    QByteArray data;
};

struct FrameControl
{
    int width = 0;
    int height = 0;
    int x = 0;
    int y = 0;
    int delay = 0;
    Dispose dispose = Dispose::None;
    Blend blend = Blend::Source;
};

struct Frame
{
    FrameControl control;
    QByteArray pixels; // the frame's zlib stream, in IDAT chunks' order
};

[[noreturn]] void fail(const std::string &reason)
{
    throw RunTimeError("not a valid animated PNG (" + reason + ")");
}

quint32 bigEndian32(const QByteArray &data, qsizetype offset)
{
    return qFromBigEndian<quint32>(data.constData() + offset);
}

quint16 bigEndian16(const QByteArray &data, qsizetype offset)
{
    return qFromBigEndian<quint16>(data.constData() + offset);
}

std::vector<Chunk> chunksOf(const QByteArray &file)
{
    std::vector<Chunk> chunks;
    qsizetype at = kSignature.size();
    while (at + kChunkHeader + kChunkCrc <= file.size()) {
        const quint32 length = bigEndian32(file, at);
        if (length > quint32(file.size() - at - kChunkHeader - kChunkCrc))
            fail("a chunk runs past the end of the file");
        chunks.push_back({file.mid(at + 4, 4), file.mid(at + kChunkHeader, qsizetype(length))});
        at += kChunkHeader + qsizetype(length) + kChunkCrc;
        if (chunks.back().type == "IEND")
            break;
    }
    return chunks;
}

FrameControl frameControl(const QByteArray &data, QSize canvas)
{
    if (data.size() < kFrameControlSize)
        fail("a frame control chunk is too short");
    FrameControl control;
    control.width = int(bigEndian32(data, 4));
    control.height = int(bigEndian32(data, 8));
    control.x = int(bigEndian32(data, 12));
    control.y = int(bigEndian32(data, 16));
    const int numerator = bigEndian16(data, 20);
    const int denominator = bigEndian16(data, 22);
    control.delay = numerator * kMillisecondsPerSecond / (denominator == 0 ? kDefaultDenominator : denominator);
    control.dispose = Dispose(std::min<int>(quint8(data[24]), int(Dispose::Previous)));
    control.blend = Blend(std::min<int>(quint8(data[25]), int(Blend::Over)));
    if (control.width <= 0 || control.height <= 0 || control.x < 0 || control.y < 0
        || control.x + control.width > canvas.width() || control.y + control.height > canvas.height())
        fail("a frame lies outside the canvas");
    return control;
}

QByteArray chunk(const char *type, const QByteArray &data)
{
    QByteArray bytes(4, '\0');
    qToBigEndian<quint32>(quint32(data.size()), bytes.data());
    const QByteArray body = QByteArray(type, 4) + data;
    QByteArray crc(4, '\0');
    qToBigEndian<quint32>(quint32(crc32(0, reinterpret_cast<const Bytef *>(body.constData()), uInt(body.size()))),
                          crc.data());
    return bytes + body + crc;
}

// One frame as a PNG of its own: the header with the frame's size, the
// palette and transparency chunks, its pixels.
QImage decodeFrame(const Frame &frame, const QByteArray &header, const std::vector<Chunk> &shared)
{
    QByteArray ihdr = header;
    qToBigEndian<quint32>(quint32(frame.control.width), ihdr.data());
    qToBigEndian<quint32>(quint32(frame.control.height), ihdr.data() + 4);
    QByteArray png = kSignature.toByteArray() + chunk("IHDR", ihdr);
    for (const Chunk &each : shared)
        png += chunk(each.type.constData(), each.data);
    png += chunk("IDAT", frame.pixels) + chunk("IEND", {});
    QBuffer buffer(&png);
    QImageReader reader(&buffer, "png");
    const QImage image = reader.read();
    if (image.isNull())
        fail("a frame cannot be decoded: " + reader.errorString().toStdString());
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void compose(const std::vector<Frame> &frames, QSize canvasSize, const QByteArray &header,
             const std::vector<Chunk> &shared, const AnimationFrameSink &sink)
{
    QImage canvas(canvasSize, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    for (const Frame &frame : frames) {
        const FrameControl &control = frame.control;
        const QRect area(control.x, control.y, control.width, control.height);
        const QImage before = control.dispose == Dispose::Previous ? canvas.copy(area) : QImage();
        QPainter painter(&canvas);
        painter.setCompositionMode(control.blend == Blend::Over ? QPainter::CompositionMode_SourceOver
                                                                : QPainter::CompositionMode_Source);
        painter.drawImage(area.topLeft(), decodeFrame(frame, header, shared));
        sink(canvas, control.delay);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        if (control.dispose == Dispose::Background)
            painter.fillRect(area, Qt::transparent);
        else if (control.dispose == Dispose::Previous)
            painter.drawImage(area.topLeft(), before);
    }
}

} // namespace

bool readApngFrames(const QByteArray &file, const AnimationFrameSink &frame)
{
    if (!file.startsWith(kSignature))
        return false;
    const std::vector<Chunk> chunks = chunksOf(file);
    const auto animation = std::find_if(chunks.begin(), chunks.end(), [](const Chunk &each) { return each.type == "acTL"; });
    if (chunks.empty() || chunks.front().type != "IHDR" || chunks.front().data.size() < 13 || animation == chunks.end())
        return false;
    const QByteArray &header = chunks.front().data;
    const QSize canvas(int(bigEndian32(header, 0) & 0x7FFFFFFF), int(bigEndian32(header, 4) & 0x7FFFFFFF));
    if (canvas.isEmpty() || qint64{canvas.width()} * canvas.height() > kMaxCanvasPixels)
        fail("the canvas size is out of range");
    std::vector<Chunk> shared;
    std::vector<Frame> frames;
    for (const Chunk &each : chunks) {
        if (each.type == "PLTE" || each.type == "tRNS") {
            shared.push_back(each);
        } else if (each.type == "fcTL") {
            if (frames.size() >= kMaxFrames)
                fail("more than " + std::to_string(kMaxFrames) + " frames");
            frames.push_back({frameControl(each.data, canvas), {}});
        } else if (each.type == "IDAT" && !frames.empty()) {
            frames.back().pixels += each.data; // the default image is the first frame
        } else if (each.type == "fdAT" && !frames.empty() && each.data.size() > kSequenceSize) {
            frames.back().pixels += each.data.sliced(kSequenceSize);
        }
    }
    if (frames.empty())
        return false;
    compose(frames, canvas, header, shared, frame);
    return true;
}

} // namespace kestrin
