// SPDX-License-Identifier: MIT
#pragma once

#include "handler_boundary.h"
#include "main_window.h"
#include "pty_board.h"

#include <pixels/acht_bits.h>

#include <QTest>

#include <memory>
#include <optional>

namespace kestrin::test {

inline QByteArray pageOctets(const FrameBuffer &buffer, int page)
{
    QByteArray octets;
    for (int column = 0; column < kPageColumns; ++column)
        octets.append(static_cast<char>(buffer.read(page, column)));
    return octets;
}

// A shown Form1 on device, by default the board's pseudo-terminal, keeping
// every handler error as "handler: message".
struct Program
{
    explicit Program(const std::optional<QString> &device = std::nullopt)
        : previousReporter(setErrorReporter([this](std::string_view handler, std::string_view message) {
              reports.append(QString::fromUtf8(handler) + ": " + QString::fromUtf8(message));
          })),
          window(std::make_unique<MainWindow>(device.value_or(board.slavePath())))
    {
        window->show();
    }
    ~Program()
    {
        window.reset();
        setErrorReporter(previousReporter);
    }

    template <typename Widget = QWidget>
    [[nodiscard]] Widget *child(const char *name) const
    {
        return window->findChild<Widget *>(QString::fromLatin1(name));
    }
    // One reception, read by the host before this returns.
    [[nodiscard]] bool send(QByteArrayView text) { return board.send(text) && board.waitUntilRead(); }
    void click(const char *button) const { QTest::mouseClick(child(button), Qt::LeftButton); }
    // Cell k of an element spans pixel rows 4k..4k+4.
    void clickCell(int element, int bit) const
    {
        QTest::mouseClick(window->grid().element(element), Qt::LeftButton, {}, QPoint(2, 4 * bit + 2));
    }

    testing::PtyBoard board;
    QStringList reports;
    ErrorReporter previousReporter;
    std::unique_ptr<MainWindow> window;
};

} // namespace kestrin::test
