// SPDX-License-Identifier: MIT
#pragma once

#include "frame_feed.h"
#include "lcdproc_server.h"

#include <memory>

namespace kestrin {

// The screens of LCDproc clients, as an LCDproc server on a TCP port shows
// them; between client screens the host's own frame (a frame, images or
// text given to serve, reloaded as they change) or, without one, the
// server's own screen.
class LcdprocFeed : public FrameFeed
{
    Q_OBJECT

public:
    // listen is "[ADDRESS:]PORT"; host may be null.
    LcdprocFeed(QString listen, std::unique_ptr<FrameFeed> host, bool verbose, QObject *parent = nullptr);
    ~LcdprocFeed() override;

    // Also throws RunTimeError when the address is wrong or taken.
    void start() override;
    [[nodiscard]] QString description() const override;
    [[nodiscard]] LcdprocServer &server() { return m_server; }

private:
    QString m_listen;
    std::unique_ptr<FrameFeed> m_host;
    LcdprocServer m_server;
};

} // namespace kestrin
