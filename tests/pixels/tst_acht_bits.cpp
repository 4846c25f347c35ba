// SPDX-License-Identifier: MIT
#include <pixels/acht_bits.h>

#include <QApplication>
#include <QImage>
#include <QScreen>
#include <QTest>

#include <algorithm>
#include <memory>

namespace {

const QColor ClearColour(192, 255, 192);
// Stands in for the theme's window-frame colour; no default palette has it.
const QColor SetColour(12, 34, 210);
using Bytes = QList<quint8>;

} // namespace

class tst_AchtBits : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QPalette palette = QApplication::palette();
        palette.setColor(QPalette::WindowText, SetColour);
        QApplication::setPalette(palette);
    }

    // The handler keeps what the event carries and what the widget reads, then
    // writes into the event's byte, which must change nothing.
    void init()
    {
        m_host = std::make_unique<QWidget>();
        m_host->resize(60, 60);
        m_bits = new AchtBits(m_host.get());
        m_bits->move(10, 10);
        m_host->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_host.get()));
        m_byteValues.clear();
        m_readInHandler.clear();
        connect(m_bits, &AchtBits::PixelClicked, this, [this](quint8 &ByteValue) {
            m_byteValues.append(ByteValue);
            m_readInHandler.append(m_bits->PixelByte());
            ByteValue = 0xFF;
        });
    }

    // A new widget reads 0 at 6 x 33 pixels, every byte written, also through
    // the property by its name as a form or a host binding late sets it, reads
    // back, and no write raises PixelClicked; the clicks below show what a write
    // paints.
    void everyByteReadsBack()
    {
        QCOMPARE(m_bits->PixelByte(), quint8{0});
        QCOMPARE(m_bits->size(), QSize(6, 33));
        for (int value = 0; value <= 0xFF; ++value) {
            QVERIFY(m_bits->setProperty("PixelByte", QVariant::fromValue(static_cast<quint8>(value))));
            QCOMPARE(int{m_bits->PixelByte()}, value);
            m_bits->setPixelByte(static_cast<quint8>(255 - value));
            QCOMPARE(m_bits->property("PixelByte"), QVariant::fromValue(static_cast<quint8>(255 - value)));
        }
        QVERIFY(m_byteValues.isEmpty());
    }

    void clicksFlipTheCellHit_data()
    {
        QTest::addColumn<quint8>("start");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<bool>("fastDouble");
        QTest::addColumn<Bytes>("events");
        const QSize normal(6, 33);
        QTest::newRow("top cell") << quint8{0} << normal << QPoint(0, 0) << false << Bytes{0x01};
        QTest::newRow("bottom cell of 0x0F") << quint8{0x0F} << normal << QPoint(4, 32) << false << Bytes{0x8F};
        QTest::newRow("row shared by cells 1 and 2 hits 2") << quint8{0} << normal << QPoint(2, 4) << false << Bytes{0x02};
        QTest::newRow("set bit of 0xFF clears") << quint8{0xFF} << normal << QPoint(3, 13) << false << Bytes{0xF7};
        QTest::newRow("fast double click flips twice") << quint8{0} << normal << QPoint(2, 30) << true << Bytes{0x80, 0x00};
        QTest::newRow("column right of the cells") << quint8{0x08} << normal << QPoint(5, 13) << false << Bytes{};
        QTest::newRow("larger widget, cells in place") << quint8{0xA5} << QSize(30, 45) << QPoint(2, 29) << false << Bytes{0x25};
        QTest::newRow("larger widget, below the cells") << quint8{0xA5} << QSize(30, 45) << QPoint(2, 40) << false << Bytes{};
    }

    // Clicks reach the widget through its window, as a user's do; Qt delivers
    // the second of two quick presses as a double click. The handler reads the
    // byte after the flip.
    void clicksFlipTheCellHit()
    {
        QFETCH(quint8, start);
        QFETCH(QSize, size);
        QFETCH(QPoint, pixel);
        QFETCH(bool, fastDouble);
        QFETCH(Bytes, events);
        m_bits->setPixelByte(start);
        m_bits->resize(size);
        QTRY_COMPARE(shownMismatch(start), QString());
        const QPoint at = m_bits->mapTo(m_host.get(), pixel);
        if (fastDouble)
            QTest::mouseDClick(m_host->windowHandle(), Qt::LeftButton, {}, at);
        else
            QTest::mouseClick(m_host->windowHandle(), Qt::LeftButton, {}, at);
        QCOMPARE(m_byteValues, events);
        QCOMPARE(m_readInHandler, events);
        const quint8 after = events.isEmpty() ? start : events.last();
        QCOMPARE(m_bits->PixelByte(), after);
        QTRY_COMPARE(shownMismatch(after), QString());
    }

private:
    // Reads the window as it is on screen (not a fresh paint) and names the first
    // pixel that differs from the byte: cell k covers rows 4k..4k+4 and owns the
    // row it shares with the cell above.
    QString shownMismatch(quint8 byte) const
    {
        const QImage shown = m_host->screen()->grabWindow(m_host->winId()).toImage();
        for (int y = 0; y < m_bits->height(); ++y) {
            for (int x = 0; x < m_bits->width(); ++x) {
                const int cell = x < 5 && y < 33 ? std::min(y / 4, 7) : -1;
                const bool set = cell >= 0 && ((byte >> cell) & 1) != 0;
                const QColor colour = shown.pixelColor(m_bits->mapTo(m_host.get(), QPoint(x, y)));
                if (colour != (set ? SetColour : ClearColour))
                    return QStringLiteral("(%1, %2) is %3").arg(x).arg(y).arg(colour.name());
            }
        }
        return {};
    }

    std::unique_ptr<QWidget> m_host;
    AchtBits *m_bits = nullptr;
    Bytes m_byteValues;
    Bytes m_readInHandler;
};

QTEST_MAIN(tst_AchtBits)
#include "tst_acht_bits.moc"
