// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QSocketNotifier>

namespace kestrin {

// Turns SIGINT and SIGTERM into a Qt signal delivered on the event loop, so
// that a program can end at a point of its choosing (after the current page)
// instead of inside whatever the signal interrupted.
class QuitSignals : public QObject
{
    Q_OBJECT

public:
    explicit QuitSignals(QObject *parent = nullptr);
    ~QuitSignals() override;

signals:
    void quitRequested(int signal);

private:
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace kestrin
