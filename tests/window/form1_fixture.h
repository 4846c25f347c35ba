// SPDX-License-Identifier: MIT
#pragma once

#include "board_line.h"
#include "conversion.h"
#include "handler_boundary.h"
#include "image_picture.h"
#include "main_window.h"
#include "reception_model.h"

#include <pixels/acht_bits.h>

#include <QDeadlineTimer>
#include <QLabel>
#include <QSocketNotifier>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

namespace kestrin::test {

inline constexpr std::chrono::milliseconds kTimeout{5000};
inline constexpr std::chrono::milliseconds kQuiet{50};

// Processes events until done() holds or the time is up; returns done().
inline bool processEventsUntil(const std::function<bool()> &done, std::chrono::milliseconds timeout = kTimeout)
{
    const QDeadlineTimer deadline(timeout);
    QTimer wakeUp; // looks at done() now and then, also when no event comes
    wakeUp.start(std::chrono::milliseconds(2));
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

inline QByteArray pageOctets(const FrameBuffer &buffer, int page)
{
    QByteArray octets;
    for (int column = 0; column < kPageColumns; ++column)
        octets.append(static_cast<char>(buffer.read(page, column)));
    return octets;
}

// What Convert makes of the shipped pictures.
inline FrameBuffer convertedPictures()
{
    FrameBuffer buffer;
    convertAll(ImagePicture::fromFile(QString::fromLatin1(kUpperPicturePath)),
               ImagePicture::fromFile(QString::fromLatin1(kLowerPicturePath)), buffer);
    return buffer;
}

// The page and column grid element e shows, from the display alone: it is
// display column e mod 122 of grid row e div 122, which holds display rows
// 8r..8r+7.
inline PageColumn shownBy(int element)
{
    const int row = element / kGridColumns;
    const int x = element % kGridColumns;
    return {4 * (row / 2) + 2 * (x / kPageColumns) + row % 2, x % kPageColumns};
}

// The display's board on kestrin-board's line, run by the test's own event
// loop: it hears the host whenever events are processed, in the host's
// yields between two octets too. The line's own descriptor of the host's
// side keeps it up until hangUp() and shows what the host has yet to read.
class Board
{
public:
    Board()
    {
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(), [this] {
            const QByteArray chunk = QByteArray::fromStdString(m_line->readSome({}));
            m_received += chunk;
            if (onReceived)
                onReceived(chunk);
        });
    }
    Q_DISABLE_COPY_MOVE(Board)

    [[nodiscard]] QString path() const { return QString::fromStdString(m_line->path()); }
    // Returns once the text waits in the host's queue: the kernel hands it
    // over a moment later, and the next text must not join it.
    [[nodiscard]] bool send(QByteArrayView text)
    {
        const int landed = m_line->waitingForHost() + static_cast<int>(text.size());
        m_line->write({text.data(), static_cast<std::size_t>(text.size())});
        const QDeadlineTimer deadline(kTimeout);
        while (m_line->waitingForHost() < landed && !deadline.hasExpired())
            std::this_thread::sleep_for(std::chrono::microseconds(20));
        return m_line->waitingForHost() >= landed;
    }
    // One reception, read by the host before this returns.
    [[nodiscard]] bool sendRead(QByteArrayView text)
    {
        return send(text) && processEventsUntil([this] { return m_line->waitingForHost() == 0; });
    }
    // Processes events until count octets came from the host and takes them; fewer on timeout.
    [[nodiscard]] QByteArray receive(qsizetype count)
    {
        processEventsUntil([&] { return m_received.size() >= count; });
        const QByteArray taken = m_received.first(std::min(count, m_received.size()));
        m_received.remove(0, taken.size());
        return taken;
    }
    // Processes events for a while and takes whatever came.
    [[nodiscard]] QByteArray receiveFor(std::chrono::milliseconds duration = kQuiet)
    {
        processEventsUntil([] { return false; }, duration);
        return std::exchange(m_received, {});
    }
    // Closes the line: for the host the device is gone. The notifier goes
    // later, as this may run inside its signal.
    void hangUp()
    {
        if (m_notifier) {
            m_notifier->setEnabled(false);
            m_notifier.release()->deleteLater();
        }
        m_line.reset();
    }

    // Called with every chunk from the host as it arrives.
    std::function<void(const QByteArray &)> onReceived;

private:
    std::optional<board::BoardLine> m_line{board::BoardLine::createPty()};
    std::unique_ptr<QSocketNotifier> m_notifier{
        std::make_unique<QSocketNotifier>(m_line->descriptor(), QSocketNotifier::Read)};
    QByteArray m_received;
};

// Form1 shown on the board's line, or on another device, keeping every
// handler error as "handler: message". Driven through receive(), convert(),
// start() and clickCell(), it checks every answer as it comes against the
// reception model and a buffer kept from the clicks and conversions alone;
// a failed check fails the running test.
struct Form1
{
    explicit Form1(const std::optional<QString> &device = std::nullopt)
        : window(std::make_unique<MainWindow>(device.value_or(board.path())))
    {
        window->show();
    }
    ~Form1()
    {
        window.reset();
        setErrorReporter(previousReporter);
    }

    void click(const char *button) const
    {
        QTest::mouseClick(window->findChild<QWidget *>(QString::fromLatin1(button)), Qt::LeftButton);
    }
    [[nodiscard]] const QLabel *lineStatus() const { return window->findChild<QLabel *>(QStringLiteral("LineStatus")); }

    // One reception. With a second text, that goes out once `after` octets
    // of the first one's page have been heard, and its page, if any, must
    // come whole where the host picked it up: inside the first, or after it.
    void receive(const QByteArray &text, const QByteArray &second = {}, qsizetype after = -1)
    {
        const QByteArray outer = expectedPage(text);
        QByteArray inner;
        qsizetype heard = 0;
        qsizetype sentAt = -1;
        if (!outer.isEmpty() && after >= 0) {
            inner = expectedPage(second);
            board.onReceived = [&](const QByteArray &chunk) {
                if ((heard += chunk.size()) >= after && sentAt < 0) {
                    sentAt = heard;
                    QVERIFY(board.send(second));
                }
            };
        }
        const bool read = board.sendRead(text);
        const QByteArray wire = board.receive(outer.size() + inner.size());
        board.onReceived = nullptr; // before any return: it refers to this call's locals
        QVERIFY(read);
        bool served = false;
        for (qsizetype split = sentAt < 0 ? outer.size() : sentAt; split <= outer.size() && !served; ++split) {
            served = wire == outer.first(split) + inner + outer.sliced(split);
            nested += served && !inner.isEmpty() && split < outer.size() ? 1 : 0;
        }
        QVERIFY2(served, qPrintable(QStringLiteral("after %1 receptions: %2").arg(receptions).arg(wire.toHex())));
        checkReports();
    }
    void convert()
    {
        click("Command3");
        buffer = convertedPictures();
    }
    void start(int presses = 1)
    {
        for (int press = 0; press < presses; ++press)
            click("Command4");
        const QByteArray page = pageOctets(buffer, 4);
        QCOMPARE(board.receive(page.size() * presses), page.repeated(presses));
    }
    // Cell k of an element spans pixel rows 4k..4k+4.
    void clickCell(int element, int bit)
    {
        QTest::mouseClick(window->grid().element(element), Qt::LeftButton, {}, QPoint(2, 4 * bit + 2));
        const PageColumn shown = shownBy(element);
        buffer.write(shown.page, shown.column, static_cast<std::uint8_t>(buffer.read(shown.page, shown.column) ^ (1U << bit)));
    }
    // Nothing else came, only rejected receptions were reported, and the
    // window's buffer and grid both show the buffer kept here.
    void finish()
    {
        QCOMPARE(board.receiveFor(), QByteArray());
        checkReports();
        QCOMPARE(window->frameBuffer(), buffer);
        for (int element = 0; element < kGridElements; ++element)
            QCOMPARE(window->grid().element(element)->PixelByte(), buffer.read(shownBy(element).page, shownBy(element).column));
    }
    void checkReports()
    {
        for (const QString &report : std::exchange(reports, {}))
            QVERIFY2(report.startsWith("port event: "), qPrintable(report));
    }
    QByteArray expectedPage(const QByteArray &text)
    {
        ++receptions;
        const std::optional<int> page = model.receive(text.toStdString());
        return page ? pageOctets(buffer, *page) : QByteArray();
    }

    Board board;
    QStringList reports;
    ErrorReporter previousReporter = setErrorReporter([this](std::string_view handler, std::string_view message) {
        reports.append(QString::fromUtf8(handler) + ": " + QString::fromUtf8(message));
    });
    std::unique_ptr<MainWindow> window;
    ReceptionModel model;
    FrameBuffer buffer; // what the window's buffer must hold
    int receptions = 0;
    int nested = 0; // pages served inside another
};

} // namespace kestrin::test
