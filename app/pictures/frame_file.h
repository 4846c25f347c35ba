// SPDX-License-Identifier: MIT
#pragma once

#include "frame_buffer.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

// Frame files, in the format their extension names: .bin, .txt and .h as the
// core writes them, and .png, .pbm and .bmp as a 122 x 32 image, dark pixels
// black and clear pixels white. Errors are RunTimeErrors "<path>: <reason>".
namespace kestrin {

enum class FrameFileFormat { Binary, Text, CHeader, Png, Pbm, Bmp };

// The format of a path's extension (any letter case), if it is one of them.
[[nodiscard]] std::optional<FrameFileFormat> frameFileFormat(const QString &path);

// Why a frame cannot be written to, or read from, a file of that name (its
// extension), or an empty string.
[[nodiscard]] QString frameOutputProblem(const QString &path);
[[nodiscard]] QString frameInputProblem(const QString &path);

// Reads a frame. An image is read when it is 122 x 32 pixels of any kind; a
// pixel is dark exactly when it is opaque pure black.
[[nodiscard]] FrameBuffer readFrameFile(const QString &path);

// The frame in the format of path's extension (.h names its array after path).
[[nodiscard]] QByteArray encodeFrame(const FrameBuffer &frame, const QString &path);

// Writes each (path, content) through QSaveFile, and commits only once all of
// them are written: a failure leaves every existing file as it was and no
// partial file behind.
void saveFiles(const QList<std::pair<QString, QByteArray>> &files);

} // namespace kestrin
