// SPDX-License-Identifier: MIT
#pragma once

#include <QFileSystemWatcher>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <chrono>

namespace kestrin {

// Watches a few files for new content and says so once they have settled.
// Editors and scripts often write a new file and rename it over the old one,
// which ends a watch on the file itself, so each file's folder is watched
// too and a file counts as changed when its size, time or inode differ.
// changed() comes kSettle after the last change, so that a file written in
// several steps is read once, when the writer is done.
class FileWatch : public QObject
{
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds kSettle{150};

    explicit FileWatch(const QStringList &files, QObject *parent = nullptr);

signals:
    void changed();

private:
    void look();
    [[nodiscard]] static QString signature(const QString &file);

    QFileSystemWatcher m_watcher;
    QTimer m_settle;
    QHash<QString, QString> m_signatures;
};

} // namespace kestrin
