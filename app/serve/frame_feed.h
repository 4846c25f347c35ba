// SPDX-License-Identifier: MIT
#pragma once

#include "frame_buffer.h"

#include <QObject>
#include <QString>

namespace kestrin {

// Where `kestrin serve` gets the frames it serves: a still frame that may be
// reloaded, an animation playing, or LCDproc clients' screens. Each new
// frame reaches every board from its next page on.
class FrameFeed : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Makes the first frame and starts whatever changes it. Throws
    // RunTimeError "<file>: <reason>" when the first frame cannot be made.
    virtual void start() = 0;
    // What is served, in the words of the log's first line.
    [[nodiscard]] virtual QString description() const = 0;

signals:
    void frameChanged(const kestrin::FrameBuffer &frame);
};

} // namespace kestrin
