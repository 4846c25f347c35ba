// SPDX-License-Identifier: MIT
#pragma once

#include "frame_buffer.h"
#include "ignored_receptions.h"
#include "line_control.h"
#include "page_sender.h"
#include "serial_link.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>
#include <optional>

namespace kestrin {

// One board on one line: the communications control, the serial link with
// its greeting rule, the page sender and the rules for a line that goes and
// comes back. The window and `kestrin serve` serve their boards through it,
// so they cannot disagree; several boards are several sessions.
//
// A request starts its page at once; after each octet the session returns to
// the event loop, and the next octet goes when the loop comes back to it, so
// clicks, other boards and network clients are handled between two octets.
// Each octet is read from the served frame at the moment it goes.
class BoardSession : public QObject
{
    Q_OBJECT

public:
    // Serves live, a frame its owner changes at any moment (the window's
    // buffer, edited between two octets); it must outlive the session.
    BoardSession(std::optional<QString> device, const FrameBuffer &live, QObject *parent = nullptr);
    // Serves the frames given to serveFrame(), each from the next page on.
    explicit BoardSession(std::optional<QString> device, QObject *parent = nullptr);
    ~BoardSession() override;

    // Serial set-up: port 2, "115200,N,8,1", a fresh protocol state, open. A
    // line that cannot be opened is reported once and waited for where it can
    // come back.
    void setUp();
    // The 61 octets of page 4 at once, without the request map.
    void sendStartPage();
    // No new page from now on; those on their way go out whole.
    void stopAnswering();
    // No octet and no answer any more: the owner is closing.
    void stop();
    // The frame from the next page on: at once while no page is on its way,
    // else once the pages in progress are done, so no page mixes two frames.
    void serveFrame(const FrameBuffer &frame);
    // Every rejected reception told, instead of told once and then counted.
    void setVerbose(bool verbose) { m_verbose = verbose; }
    // The line moves to device with the same set-up; the board greets anew.
    // A serial device and a network board have controls of their own, so
    // moving between the two replaces the control. Throws RunTimeError as
    // LineControl::setDevice() does.
    void setDevice(const QString &device);

    [[nodiscard]] LineControl &control() { return *m_control; }
    [[nodiscard]] const LineControl &control() const { return *m_control; }
    [[nodiscard]] const SerialLink &link() const { return *m_link; }
    [[nodiscard]] const PageSender &sender() const { return m_sender; }
    // The frame octets are read from now.
    [[nodiscard]] const FrameBuffer &servedFrame() const { return *m_served; }

signals:
    void greeted();
    void requested(int number, int page);
    // The last octet of the pages in progress went out.
    void pagesDone();
    // The control's line problem, whichever control the line has now.
    void lineProblemChanged(const QString &problem);

private:
    BoardSession(std::optional<QString> device, const FrameBuffer *live, QObject *parent);
    void attachControl(std::unique_ptr<LineControl> control);
    void portEvent();
    void sendNextOctet();
    void pagesEnded();
    void reception(std::int32_t number, bool greeting);
    void reportIgnored(std::string_view handler, std::string_view message);
    void tellIgnoredCount();
    void lineReopened();
    void lineChanged();
    void applyPendingFrame();

    std::unique_ptr<LineControl> m_control;
    PageSender m_sender;
    std::optional<SerialLink> m_link; // on the current control
    FrameBuffer m_own;
    const FrameBuffer *m_served = &m_own;
    std::optional<FrameBuffer> m_pending;
    QTimer m_pump;
    IgnoredReceptions m_ignored;
    QTimer m_ignoredCount;
    bool m_verbose = false;
    bool m_answering = true;
};

} // namespace kestrin
