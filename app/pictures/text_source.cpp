// SPDX-License-Identifier: MIT
#include "text_source.h"

#include "builtin_font.h"
#include "font_file.h"
#include "image_reading.h"

#include <QFile>

#include <cstdio>
#include <memory>

namespace kestrin {

namespace {

// Far more than 20 x 4 cells, or any font, can show.
constexpr qint64 kMaxTextOctets = 64 * 1024;

QByteArray readText(const QString &path)
{
    const bool standardInput = path == QLatin1String("-");
    QFile file(standardInput ? QString() : path);
    const bool opened = standardInput ? file.open(stdin, QIODevice::ReadOnly) : file.open(QIODevice::ReadOnly);
    const QString name = standardInput ? QStringLiteral("standard input") : path;
    if (!opened)
        failOn(name, file.errorString());
    const QByteArray text = file.read(kMaxTextOctets + 1);
    if (text.size() > kMaxTextOctets)
        failOn(name, QStringLiteral("has more than %1 KiB of text").arg(kMaxTextOctets / 1024));
    return text;
}

std::unique_ptr<Font> fontOf(const TextSourceOptions &options)
{
    if (options.font.isEmpty())
        return std::make_unique<BuiltinFont>();
    return loadFontFile(QFile::encodeName(options.font).toStdString(), options.size);
}

} // namespace

DisplayBitmap renderTextSource(const TextSourceOptions &options)
{
    const std::unique_ptr<Font> font = fontOf(options);
    QByteArray text = options.file.isEmpty() ? options.text.toUtf8() : readText(options.file);
    if (text.startsWith("\xEF\xBB\xBF")) // the byte-order mark some editors put first
        text.remove(0, 3);
    return renderText(std::string_view(text.constData(), static_cast<std::size_t>(text.size())), *font,
                      options.layout);
}

} // namespace kestrin
