// SPDX-License-Identifier: MIT
#include "event_loop.h"

#include <QCoreApplication>

namespace kestrin {

void processPendingEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace kestrin
