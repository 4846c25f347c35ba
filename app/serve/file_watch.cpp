// SPDX-License-Identifier: MIT
#include "file_watch.h"

#include <QFileInfo>

#include <sys/stat.h>

namespace kestrin {

FileWatch::FileWatch(const QStringList &files, QObject *parent) : QObject(parent)
{
    for (const QString &file : files) {
        const QString path = QFileInfo(file).absoluteFilePath();
        m_signatures.insert(path, signature(path));
        m_watcher.addPath(QFileInfo(path).absolutePath());
        m_watcher.addPath(path);
    }
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettle);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &FileWatch::look);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &FileWatch::look);
    connect(&m_settle, &QTimer::timeout, this, &FileWatch::changed);
}

void FileWatch::look()
{
    for (auto entry = m_signatures.begin(); entry != m_signatures.end(); ++entry) {
        // A file replaced by a rename is a new file: its watch went with the old one.
        if (!m_watcher.files().contains(entry.key()) && QFileInfo::exists(entry.key()))
            m_watcher.addPath(entry.key());
        const QString now = signature(entry.key());
        if (now == entry.value())
            continue;
        entry.value() = now;
        m_settle.start();
    }
}

QString FileWatch::signature(const QString &file)
{
    struct stat status {};
    if (::stat(QFile::encodeName(file).constData(), &status) != 0)
        return {};
    return QStringLiteral("%1:%2:%3.%4")
        .arg(status.st_ino)
        .arg(status.st_size)
        .arg(status.st_mtim.tv_sec)
        .arg(status.st_mtim.tv_nsec);
}

} // namespace kestrin
