// SPDX-License-Identifier: MIT
#pragma once

#include "frame_source.h"

#include <QStringList>

namespace kestrin {

// What `kestrin serve` is asked to serve, and where.
struct ServeOptions
{
    QStringList devices; // the boards' devices; none: serial port 2's own device
    FrameSourceOptions source;
    bool watch = false;   // reload the files when they change
    bool verbose = false; // a line per request and per rejected reception
};

} // namespace kestrin
