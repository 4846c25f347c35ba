// SPDX-License-Identifier: MIT
#include "status_band.h"

#include "handler_boundary.h"

#include <QLabel>

namespace kestrin {

StatusBand::StatusBand(QLabel &label, QObject *parent) : QObject(parent), m_label(label)
{
    m_messageTimer.setSingleShot(true);
    m_messageTimer.setInterval(kMessageTime);
    connect(&m_messageTimer, &QTimer::timeout, this, [this] {
        m_message.clear();
        refresh();
    });
}

void StatusBand::setLineProblem(const QString &problem)
{
    m_problem = problem;
    refresh();
}

void StatusBand::showMessage(const QString &message)
{
    m_message = message;
    m_messageTimer.start();
    refresh();
}

void StatusBand::tell(std::string_view handler, const QString &message)
{
    reportHandlerError(handler, message.toStdString());
    showMessage(message);
}

// A message has the band while it lasts; the line's problem is still there
// afterwards.
void StatusBand::refresh()
{
    const QString &shown = m_message.isEmpty() ? m_problem : m_message;
    m_label.setText(shown);
    m_label.setVisible(!shown.isEmpty());
}

} // namespace kestrin
