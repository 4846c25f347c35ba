// SPDX-License-Identifier: MIT
#pragma once

#include "board_fixture.h"
#include "conversion.h"
#include "handler_boundary.h"
#include "image_picture.h"
#include "main_window.h"
#include "reception_model.h"
#include "reference_pages.h"

#include <pixels/acht_bits.h>

#include <QContextMenuEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <functional>
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

// What Convert makes of the shipped pictures.
inline FrameBuffer convertedPictures()
{
    return testing::referencePages();
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
    [[nodiscard]] QWidget *widget(const QString &name) const
    {
        return name == "grid" ? window->grid().element(300) : window->findChild<QWidget *>(name);
    }
    // A right-click as the window system delivers it: the button, then the
    // context menu event.
    static void rightClick(QWidget *target)
    {
        const QPoint at(2, 2);
        QTest::mouseClick(target, Qt::RightButton, {}, at);
        QContextMenuEvent menu(QContextMenuEvent::Mouse, at, target->mapToGlobal(at));
        QCoreApplication::sendEvent(target, &menu);
    }
    // Drags the files into the middle of the widget and drops them there if
    // the drag is accepted; returns whether it was.
    bool drop(QWidget *target, const QStringList &paths) const
    {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString &path : paths)
            urls.append(path.contains(':') ? QUrl(path) : QUrl::fromLocalFile(path));
        data.setUrls(urls);
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        return enter.isAccepted() && QCoreApplication::sendEvent(target, &dropped);
    }

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
