// SPDX-License-Identifier: MIT
#pragma once

#include "comm_port.h"

#include <QObject>
#include <QString>

#include <chrono>

namespace kestrin {

// The communications control as the board session sees it, whatever carries
// the line: it raises OnComm with commEvent() == 2 whenever received data is
// waiting, says when the line fails or comes back, and waits for a device
// that is not there. A line that fails while open is closed at the first
// error and reported once; lineProblemChanged() carries the report, and an
// empty text once the line is fine again. A line that opens again raises
// lineReopened(): the board will greet anew.
class LineControl : public QObject, public CommPort
{
    Q_OBJECT

public:
    enum class LineState { Closed, Open, Lost };

    using QObject::QObject;

    [[nodiscard]] virtual LineState lineState() const = 0;
    [[nodiscard]] bool portOpen() const { return lineState() == LineState::Open; }
    [[nodiscard]] virtual QString lineProblem() const = 0;
    // True while a lost line waits for its device to return.
    [[nodiscard]] virtual bool awaitingReturn() const = 0;
    // The device the line is on, as the user names it.
    [[nodiscard]] virtual QString device() const = 0;
    // Closes the current line, makes device the line's device and opens it
    // with the same settings; lineReopened() follows. Throws RunTimeError,
    // like setPortOpen(), when it cannot be opened (and waits for it, when it
    // is a device that may appear).
    virtual void setDevice(const QString &device) = 0;
    virtual void setReopenInterval(std::chrono::milliseconds interval) = 0;

signals:
    void OnComm();
    void lineProblemChanged(const QString &problem);
    void lineReopened();
};

} // namespace kestrin
