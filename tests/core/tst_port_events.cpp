// SPDX-License-Identifier: MIT
#include "port_events.h"

#include <QTest>

using namespace kestrin;

class TestPortEvents : public QObject
{
    Q_OBJECT

private slots:
    void classify_data();
    void classify();
};

void TestPortEvents::classify_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("known");
    QTest::addColumn<bool>("receives");
    QTest::addColumn<QString>("label");

    QTest::newRow("break") << 1001 << true << false << "Break";
    QTest::newRow("framing") << 1004 << true << false << "Frame Error";
    QTest::newRow("overrun") << 1006 << true << false << "Overrun";
    QTest::newRow("receive overflow") << 1008 << true << false << "RxOver";
    QTest::newRow("parity") << 1009 << true << false << "RxParity";
    QTest::newRow("transmit full") << 1010 << true << false << "TxFull";
    QTest::newRow("control block") << 1011 << true << false << "";
    QTest::newRow("carrier detect") << 5 << true << false << "EvCD";
    QTest::newRow("clear to send") << 3 << true << false << "CTS";
    QTest::newRow("data set ready") << 4 << true << false << "DSR";
    QTest::newRow("ring") << 6 << true << false << "Ring";
    QTest::newRow("data received") << 2 << true << true << "";
    QTest::newRow("send drained") << 1 << true << false << "";
    QTest::newRow("end of file") << 7 << true << false << "EOF encounterd";
    QTest::newRow("zero") << 0 << false << false << "";
    QTest::newRow("8") << 8 << false << false << "";
    QTest::newRow("1002") << 1002 << false << false << "";
    QTest::newRow("negative") << -2 << false << false << "";
    QTest::newRow("receive code plus 65536") << 65538 << false << false << "";
}

void TestPortEvents::classify()
{
    QFETCH(int, code);
    QFETCH(bool, known);
    QFETCH(bool, receives);
    QFETCH(QString, label);

    const PortEventKind *kind = classifyPortEvent(code);
    QCOMPARE(kind != nullptr, known);
    if (kind == nullptr)
        return;
    QCOMPARE(kind->code, code);
    QCOMPARE(kind->action == PortEventAction::Receive, receives);
    QCOMPARE(QString::fromLatin1(kind->traceLabel.data(), static_cast<int>(kind->traceLabel.size())), label);
}

QTEST_GUILESS_MAIN(TestPortEvents)
#include "tst_port_events.moc"
