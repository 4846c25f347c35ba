// SPDX-License-Identifier: MIT
#include <pixels/acht_bits.h>

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QPaintEvent>
#include <QPalette>
#include <QTest>

#include <algorithm>
#include <memory>

namespace {

const QColor ClearColour(192, 255, 192);
// The theme's window-frame colour, made distinctive so that a set cell cannot
// pass by being painted in some fixed dark colour.
const QColor SetColour(12, 34, 210);

constexpr int CellsWidth = 5;
constexpr int CellsHeight = 33;

// Pixel rows of the eight cells as the user sees them: cell k spans rows
// 4k..4k+4, and a row two cells share shows the lower one.
int cellShownAt(QPoint pixel)
{
    if (pixel.x() < 0 || pixel.x() >= CellsWidth || pixel.y() < 0 || pixel.y() >= CellsHeight)
        return -1;
    return std::min(pixel.y() / 4, 7);
}

QRect cellRect(int k)
{
    return {0, 4 * k, 5, 5};
}

QColor expectedColour(QPoint pixel, quint8 byte)
{
    const int k = cellShownAt(pixel);
    return k >= 0 && ((byte >> k) & 1) != 0 ? SetColour : ClearColour;
}

// Compares every pixel of the widget with what the byte should look like.
bool showsByte(AchtBits &widget, quint8 byte)
{
    const QImage image = widget.grab().toImage();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor expected = expectedColour({x, y}, byte);
            if (image.pixelColor(x, y) != expected) {
                qWarning("pixel (%d, %d) is %s, expected %s", x, y,
                         qPrintable(image.pixelColor(x, y).name()), qPrintable(expected.name()));
                return false;
            }
        }
    }
    return true;
}

class EventLog : public QObject
{
public:
    QRegion painted;
    int doubleClicks = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent *>(event)->region();
        if (event->type() == QEvent::MouseButtonDblClick)
            ++doubleClicks;
        return QObject::eventFilter(watched, event);
    }
};

// QSignalSpy cannot hold a quint8& argument, so a handler records each event:
// the ByteValue it carried and PixelByte as the handler read it.
class ClickRecorder : public QObject
{
public:
    explicit ClickRecorder(AchtBits *widget)
    {
        connect(widget, &AchtBits::PixelClicked, this, [this, widget](quint8 &ByteValue) {
            byteValues.append(ByteValue);
            readInHandler.append(widget->PixelByte());
        });
    }

    QList<quint8> byteValues;
    QList<quint8> readInHandler;
};

} // namespace

class tst_AchtBits : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void newWidgetIsClear();
    void writesReadBackWithoutEvent();
    void writeShowsExactlyThatByte_data();
    void writeShowsExactlyThatByte();

    void clickFlipsCell_data();
    void clickFlipsCell();
    void secondClickClearsAgain();
    void fastDoubleClickFlipsTwice();
    void pressWithoutClickDoesNothing_data();
    void pressWithoutClickDoesNothing();
    void handlerWritingByteValueChangesNothing();

    void resizingLeavesCellsInPlace_data();
    void resizingLeavesCellsInPlace();

private:
    void click(QPoint pixel);
    [[nodiscard]] QPoint inWindow(QPoint pixel) const;

    std::unique_ptr<QWidget> m_host;
    AchtBits *m_bits = nullptr;
    EventLog m_log;
};

void tst_AchtBits::initTestCase()
{
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::WindowText, SetColour);
    QApplication::setPalette(palette);
}

// The widget sits inside a window so that clicks travel the way a user's do:
// from the window through Qt's hit-testing to the widget.
void tst_AchtBits::init()
{
    m_host = std::make_unique<QWidget>();
    m_host->resize(60, 60);
    m_bits = new AchtBits(m_host.get());
    m_bits->move(10, 10);
    m_host->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_host.get()));
    m_log.painted = {};
    m_log.doubleClicks = 0;
    m_bits->installEventFilter(&m_log);
}

void tst_AchtBits::cleanup()
{
    m_host.reset();
    m_bits = nullptr;
}

QPoint tst_AchtBits::inWindow(QPoint pixel) const
{
    return m_bits->mapTo(m_host.get(), pixel);
}

void tst_AchtBits::click(QPoint pixel)
{
    QTest::mouseClick(m_host->windowHandle(), Qt::LeftButton, {}, inWindow(pixel));
}

void tst_AchtBits::newWidgetIsClear()
{
    AchtBits widget;
    QCOMPARE(widget.PixelByte(), quint8{0});
    QCOMPARE(widget.size(), QSize(6, 33));
    QCOMPARE(widget.sizeHint(), QSize(6, 33));
    QVERIFY(showsByte(widget, 0));
}

void tst_AchtBits::writesReadBackWithoutEvent()
{
    ClickRecorder clicks(m_bits);
    for (int value = 0; value <= 0xFF; ++value) {
        const auto byte = static_cast<quint8>(value);
        m_bits->setPixelByte(byte);
        QCOMPARE(m_bits->PixelByte(), byte);
    }
    QCoreApplication::processEvents();
    QVERIFY(clicks.byteValues.isEmpty());
}

void tst_AchtBits::writeShowsExactlyThatByte_data()
{
    QTest::addColumn<quint8>("previous");
    QTest::addColumn<quint8>("value");

    QTest::newRow("0x00 over 0xFF") << quint8{0xFF} << quint8{0x00};
    QTest::newRow("0x01 over 0xFF, top cell only") << quint8{0xFF} << quint8{0x01};
    QTest::newRow("0x80 over 0xFF, bottom cell only, five rows") << quint8{0xFF} << quint8{0x80};
    QTest::newRow("0x5A over 0xFF") << quint8{0xFF} << quint8{0x5A};
    QTest::newRow("0x02, cell 2 owns the row it shares with cell 1") << quint8{0} << quint8{0x02};
    QTest::newRow("0x40, cell 7 gives its bottom row to cell 8") << quint8{0} << quint8{0x40};
    QTest::newRow("0xFF over 0, all cells") << quint8{0} << quint8{0xFF};
}

void tst_AchtBits::writeShowsExactlyThatByte()
{
    QFETCH(quint8, previous);
    QFETCH(quint8, value);
    m_bits->setPixelByte(previous);
    QCoreApplication::processEvents();
    m_log.painted = {};

    m_bits->setPixelByte(value);

    QCOMPARE(m_bits->PixelByte(), value);
    // Before grab(), which paints the widget itself.
    QTRY_VERIFY(m_log.painted.contains(QRect(0, 0, CellsWidth, CellsHeight)));
    QVERIFY(showsByte(*m_bits, value));
}

void tst_AchtBits::clickFlipsCell_data()
{
    QTest::addColumn<quint8>("start");
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<int>("cell");
    QTest::addColumn<quint8>("after");

    QTest::newRow("top cell of 0") << quint8{0x00} << QPoint(2, 1) << 0 << quint8{0x01};
    QTest::newRow("top-left pixel") << quint8{0x00} << QPoint(0, 0) << 0 << quint8{0x01};
    QTest::newRow("bottom cell of 0x0F") << quint8{0x0F} << QPoint(2, 31) << 7 << quint8{0x8F};
    QTest::newRow("bottom-right pixel") << quint8{0x00} << QPoint(4, 32) << 7 << quint8{0x80};
    QTest::newRow("row shared by cells 1 and 2 hits cell 2")
        << quint8{0x00} << QPoint(2, 4) << 1 << quint8{0x02};
    QTest::newRow("row shared by cells 7 and 8 hits cell 8")
        << quint8{0x00} << QPoint(2, 28) << 7 << quint8{0x80};
    QTest::newRow("last row cell 7 owns") << quint8{0x00} << QPoint(2, 27) << 6 << quint8{0x40};
    QTest::newRow("set bit of 0xFF clears") << quint8{0xFF} << QPoint(3, 13) << 3 << quint8{0xF7};
}

void tst_AchtBits::clickFlipsCell()
{
    QFETCH(quint8, start);
    QFETCH(QPoint, pixel);
    QFETCH(int, cell);
    QFETCH(quint8, after);

    m_bits->setPixelByte(start);
    QCoreApplication::processEvents();
    m_log.painted = {};
    ClickRecorder clicks(m_bits);

    click(pixel);

    QCOMPARE(m_bits->PixelByte(), after);
    QCOMPARE(clicks.byteValues, QList<quint8>{after});
    QCOMPARE(clicks.readInHandler, QList<quint8>{after});
    // Before grab(), which paints the widget itself.
    QTRY_VERIFY(m_log.painted.contains(cellRect(cell)));
    QVERIFY(showsByte(*m_bits, after));
}

void tst_AchtBits::secondClickClearsAgain()
{
    ClickRecorder clicks(m_bits);
    click({2, 2});
    click({2, 2});
    QCOMPARE(m_bits->PixelByte(), quint8{0});
    QCOMPARE(clicks.byteValues, (QList<quint8>{0x01, 0x00}));
}

// Qt turns the second of two quick presses into a double-click event; the
// user still clicked twice and sees the bit flip twice.
void tst_AchtBits::fastDoubleClickFlipsTwice()
{
    ClickRecorder clicks(m_bits);
    QTest::mouseDClick(m_host->windowHandle(), Qt::LeftButton, {}, inWindow({2, 30}));
    QCOMPARE(m_log.doubleClicks, 1);
    QCOMPARE(clicks.byteValues, (QList<quint8>{0x80, 0x00}));
    QCOMPARE(m_bits->PixelByte(), quint8{0x00});
}

void tst_AchtBits::pressWithoutClickDoesNothing_data()
{
    QTest::addColumn<QPoint>("pressAt");
    QTest::addColumn<QPoint>("releaseAt");
    QTest::addColumn<Qt::MouseButton>("button");

    QTest::newRow("column right of the cells") << QPoint(5, 10) << QPoint(5, 10) << Qt::LeftButton;
    QTest::newRow("right button on a cell") << QPoint(2, 1) << QPoint(2, 1) << Qt::RightButton;
    QTest::newRow("press on cell 1, release on cell 3")
        << QPoint(2, 1) << QPoint(2, 10) << Qt::LeftButton;
    QTest::newRow("press on cell 8, release below the widget")
        << QPoint(2, 31) << QPoint(2, 40) << Qt::LeftButton;
}

void tst_AchtBits::pressWithoutClickDoesNothing()
{
    QFETCH(QPoint, pressAt);
    QFETCH(QPoint, releaseAt);
    QFETCH(Qt::MouseButton, button);

    ClickRecorder clicks(m_bits);
    QTest::mousePress(m_host->windowHandle(), button, {}, inWindow(pressAt));
    QTest::mouseRelease(m_host->windowHandle(), button, {}, inWindow(releaseAt));
    QVERIFY(clicks.byteValues.isEmpty());
    QCOMPARE(m_bits->PixelByte(), quint8{0});
}

void tst_AchtBits::handlerWritingByteValueChangesNothing()
{
    connect(m_bits, &AchtBits::PixelClicked, this, [](quint8 &ByteValue) { ByteValue = 0xFF; });
    ClickRecorder clicks(m_bits);
    click({2, 1});
    QCOMPARE(m_bits->PixelByte(), quint8{0x01});
    click({2, 5});
    QCOMPARE(m_bits->PixelByte(), quint8{0x03});
    QCOMPARE(clicks.readInHandler, (QList<quint8>{0x01, 0x03}));
    QVERIFY(showsByte(*m_bits, 0x03));
}

void tst_AchtBits::resizingLeavesCellsInPlace_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("75 x 495 twips, as the main window sizes it") << QSize(5, 33);
    QTest::newRow("larger") << QSize(30, 45);
    QTest::newRow("wider only") << QSize(12, 33);
}

void tst_AchtBits::resizingLeavesCellsInPlace()
{
    QFETCH(QSize, size);
    m_bits->setPixelByte(0xA5);
    m_bits->resize(size);
    QVERIFY(showsByte(*m_bits, 0xA5));

    click({2, 9});
    click({2, 29});
    QCOMPARE(m_bits->PixelByte(), quint8{0x21});
}

QTEST_MAIN(tst_AchtBits)
#include "tst_acht_bits.moc"
