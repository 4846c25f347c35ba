// SPDX-License-Identifier: MIT
#include "dropped_file.h"

#include "frame_file.h"

#include <QFileInfo>
#include <QImageReader>
#include <QMimeData>
#include <QUrl>

namespace kestrin {

namespace {

DroppedFile refused(const QString &what, const QString &why)
{
    return {FileKind::Refused, {}, QStringLiteral("cannot take %1: %2").arg(what, why)};
}

bool isPicture(const QString &path)
{
    const QByteArray extension = QFileInfo(path).suffix().toLower().toLatin1();
    return (!extension.isEmpty() && QImageReader::supportedImageFormats().contains(extension))
           || !QImageReader::imageFormat(path).isEmpty();
}

// A frame file by its extension, else a picture by its extension or its
// content.
FileKind fileKind(const QString &path)
{
    const std::optional<FrameFileFormat> format = frameFileFormat(path);
    if (format == FrameFileFormat::Binary || format == FrameFileFormat::Text)
        return FileKind::Frame;
    return isPicture(path) ? FileKind::Picture : FileKind::Refused;
}

} // namespace

DroppedFile droppedFile(const QMimeData &data)
{
    const QList<QUrl> urls = data.urls();
    if (urls.isEmpty())
        return {};
    if (urls.size() > 1)
        return refused(QStringLiteral("%1 files").arg(urls.size()),
                       QStringLiteral("drop one picture or frame file at a time"));
    const QUrl &url = urls.front();
    if (!url.isLocalFile())
        return refused(url.toDisplayString(), QStringLiteral("not a local file"));
    const QString path = url.toLocalFile();
    const QString name = QFileInfo(path).fileName();
    // Only a plain file is looked into: reading a pipe or a device to see
    // what it holds could wait for ever.
    if (!QFileInfo(path).isFile())
        return refused(name, QStringLiteral("not a plain file"));
    if (frameFileFormat(path) == FrameFileFormat::CHeader)
        return refused(name, QStringLiteral("a .h frame is written, not read"));
    const FileKind kind = fileKind(path);
    if (kind == FileKind::Refused)
        return refused(name, QStringLiteral("not a picture or a frame file"));
    return {kind, path, {}};
}

} // namespace kestrin
