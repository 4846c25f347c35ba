// SPDX-License-Identifier: MIT
#include "frame_file.h"

#include "frame_formats.h"
#include "image_reading.h"
#include "picture_preparation.h"
#include "run_time_error.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <array>
#include <memory>
#include <vector>

namespace kestrin {

namespace {

struct FormatName
{
    const char *extension;
    FrameFileFormat format;
    const char *imageFormat; // for Qt's image writer; nullptr for the core's formats
};

constexpr std::array<FormatName, 6> kFormats{{
    {"bin", FrameFileFormat::Binary, nullptr},
    {"txt", FrameFileFormat::Text, nullptr},
    {"h", FrameFileFormat::CHeader, nullptr},
    {"png", FrameFileFormat::Png, "PNG"},
    {"pbm", FrameFileFormat::Pbm, "PBM"},
    {"bmp", FrameFileFormat::Bmp, "BMP"},
}};

constexpr qint64 kMaxTextOctets = 64 * 1024;  // a .txt frame is under 4 KiB
constexpr QRgb kOpaqueBlack = 0xFF000000;
constexpr int kDarkIndex = 1;

const FormatName &formatName(FrameFileFormat format)
{
    for (const FormatName &name : kFormats) {
        if (name.format == format)
            return name;
    }
    throw RunTimeError("unknown frame file format");
}

QByteArray readText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        failOn(path, file.errorString());
    if (file.size() > kMaxTextOctets)
        failOn(path, QStringLiteral("has %1 octets, far more than a .txt frame").arg(file.size()));
    return file.readAll();
}

FrameBuffer readBinary(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        failOn(path, file.errorString());
    // The size is known before reading: a large file is never read.
    if (file.size() != kFrameOctets)
        failOn(path, QStringLiteral("has %1 octets; a .bin frame has exactly 488").arg(file.size()));
    const QByteArray octets = file.readAll();
    return fromBinary(std::string_view(octets.constData(), static_cast<std::size_t>(octets.size())));
}

FrameBuffer readImage(const QString &path)
{
    const QImage image = readImageOfSize(path, kDisplaySize).convertToFormat(QImage::Format_ARGB32);
    FrameBuffer frame;
    for (int y = 0; y < kDisplayHeight; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < kDisplayWidth; ++x)
            setDark(frame, {x, y}, line[x] == kOpaqueBlack);
    }
    return frame;
}

QByteArray encodeImage(const FrameBuffer &frame, const char *imageFormat)
{
    QImage image(kDisplaySize, QImage::Format_Mono);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    image.fill(0);
    for (int y = 0; y < kDisplayHeight; ++y) {
        for (int x = 0; x < kDisplayWidth; ++x) {
            if (isDark(frame, {x, y}))
                image.setPixel(x, y, kDarkIndex);
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, imageFormat))
        throw RunTimeError(std::string("cannot encode the frame as ") + imageFormat);
    return bytes;
}

QByteArray fromStd(const std::string &bytes)
{
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QString extensionList(bool reading)
{
    QStringList extensions;
    for (const FormatName &name : kFormats) {
        if (!reading || name.format != FrameFileFormat::CHeader)
            extensions.append(u'.' + QString::fromLatin1(name.extension));
    }
    return extensions.join(QStringLiteral(", "));
}

} // namespace

std::optional<FrameFileFormat> frameFileFormat(const QString &path)
{
    const QString extension = QFileInfo(path).suffix().toLower();
    for (const FormatName &name : kFormats) {
        if (extension == QLatin1String(name.extension))
            return name.format;
    }
    return std::nullopt;
}

QString frameOutputProblem(const QString &path)
{
    if (frameFileFormat(path))
        return {};
    return QStringLiteral("%1: unknown frame file extension; kestrin writes %2").arg(path, extensionList(false));
}

QString frameInputProblem(const QString &path)
{
    const std::optional<FrameFileFormat> format = frameFileFormat(path);
    if (format == FrameFileFormat::CHeader)
        return QStringLiteral("%1: a .h frame is written, not read; kestrin reads %2").arg(path, extensionList(true));
    if (!format)
        return QStringLiteral("%1: unknown frame file extension; kestrin reads %2").arg(path, extensionList(true));
    return {};
}

FrameBuffer readFrameFile(const QString &path)
{
    const QString problem = frameInputProblem(path);
    if (!problem.isEmpty())
        throw RunTimeError(problem.toStdString());
    try {
        switch (*frameFileFormat(path)) {
        case FrameFileFormat::Binary:
            return readBinary(path);
        case FrameFileFormat::Text: {
            const QByteArray text = readText(path);
            return fromText(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
        }
        default:
            return readImage(path);
        }
    } catch (const FrameFormatError &error) {
        failOn(path, QString::fromStdString(error.what()));
    }
}

QByteArray encodeFrame(const FrameBuffer &frame, const QString &path)
{
    const std::optional<FrameFileFormat> format = frameFileFormat(path);
    if (!format)
        throw RunTimeError(frameOutputProblem(path).toStdString());
    switch (*format) {
    case FrameFileFormat::Binary:
        return fromStd(toBinary(frame));
    case FrameFileFormat::Text:
        return fromStd(toText(frame));
    case FrameFileFormat::CHeader:
        return fromStd(toCHeader(frame, QFileInfo(path).fileName().toStdString()));
    default:
        return encodeImage(frame, formatName(*format).imageFormat);
    }
}

void saveFiles(const QList<std::pair<QString, QByteArray>> &files)
{
    std::vector<std::unique_ptr<QSaveFile>> written;
    for (const auto &[path, bytes] : files) {
        auto file = std::make_unique<QSaveFile>(path);
        if (!file->open(QIODevice::WriteOnly) || file->write(bytes) != bytes.size())
            failOn(path, QStringLiteral("cannot write: ") + file->errorString());
        written.push_back(std::move(file));
    }
    for (const auto &file : written) {
        if (!file->commit())
            failOn(file->fileName(), QStringLiteral("cannot write: ") + file->errorString());
    }
}

} // namespace kestrin
