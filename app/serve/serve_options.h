// SPDX-License-Identifier: MIT
#pragma once

#include "frame_source.h"

#include <QStringList>

#include <chrono>

namespace kestrin {

// What `kestrin serve` is asked to serve, and where.
struct ServeOptions
{
    QStringList devices; // the boards' devices; none: serial port 2's own device
    FrameSourceOptions source;
    QString play; // an animation, played in place of the source
    std::chrono::milliseconds frameDelay{100}; // each frame of a folder
    int loops = 0;      // 0: for ever
    double speed = 1.0;
    QString lcdproc;    // [ADDRESS:]PORT for LCDproc clients; empty for none
    bool watch = false;   // reload the files when they change
    bool verbose = false; // a line per request and per rejected reception
};

} // namespace kestrin
