// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <string_view>

class QLabel;

namespace kestrin {

// The band below the grid. It shows the serial line's problem for as long as
// it lasts, and a message (a refused drop, a file that cannot be read or
// written, a saved frame) for kMessageTime, after which it goes back to the
// line's problem, or hides when there is none.
class StatusBand : public QObject
{
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds kMessageTime{5000};

    explicit StatusBand(QLabel &label, QObject *parent = nullptr);

    // An empty problem: the line is fine.
    void setLineProblem(const QString &problem);
    // Shows the message; the handler boundary has already reported it.
    void showMessage(const QString &message);
    // Reports the message once on stderr, as handler's, and shows it.
    void tell(std::string_view handler, const QString &message);

private:
    void refresh();

    QLabel &m_label;
    QTimer m_messageTimer;
    QString m_problem;
    QString m_message;
};

} // namespace kestrin
