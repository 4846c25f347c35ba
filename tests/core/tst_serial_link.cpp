// SPDX-License-Identifier: MIT
#include "run_time_error.h"
#include "serial_link.h"

#include <QTest>

#include <deque>
#include <vector>

using namespace kestrin;

namespace {

// Records what the link does to the control; hands out queued receptions.
class RecordingPort : public CommPort
{
public:
    void setCommPort(int number) override { calls.push_back("port " + std::to_string(number)); }
    void setSettings(std::string_view settings) override { calls.push_back("settings " + std::string(settings)); }
    void setRThreshold(int n) override { calls.push_back("threshold " + std::to_string(n)); }
    void setInputLen(int n) override { calls.push_back("input length " + std::to_string(n)); }
    void setPortOpen(bool open) override
    {
        calls.push_back(open ? "open" : "close");
        if (failOpen)
            throw RunTimeError("Serial port /dev/ttyS1: No such file or directory");
    }
    std::string input() override
    {
        ++inputReads;
        std::string text = std::move(waiting);
        waiting.clear();
        return text;
    }
    int commEvent() const override { return event; }
    void writeOctet(std::uint8_t octet) override { written.push_back(octet); }

    std::vector<std::string> calls;
    std::vector<std::uint8_t> written;
    std::string waiting;
    int event = 2;
    int inputReads = 0;
    bool failOpen = false;
};

// Page p, column c holds p * 16 + c % 16: every octet names its page.
FrameBuffer taggedPages()
{
    FrameBuffer buffer;
    for (int page = 0; page < kPageCount; ++page) {
        for (int column = 0; column < kPageColumns; ++column)
            buffer.write(page, column, static_cast<std::uint8_t>(page * 16 + column % 16));
    }
    return buffer;
}

std::vector<std::uint8_t> pageOctets(const FrameBuffer &buffer, int page)
{
    std::vector<std::uint8_t> octets;
    for (int column = 0; column < kPageColumns; ++column)
        octets.push_back(buffer.read(page, column));
    return octets;
}

struct Fixture
{
    RecordingPort port;
    FrameBuffer buffer = taggedPages();
    std::function<void()> onYield;
    int yieldDepth = 0;
    int deepestYield = 0;
    SerialLink link{port, buffer, [this] {
                        ++yieldDepth;
                        deepestYield = std::max(deepestYield, yieldDepth);
                        if (onYield)
                            onYield();
                        --yieldDepth;
                        return true;
                    }};

    // One reception through the port event, errors caught as the handler boundary does.
    bool receive(const std::string &text)
    {
        port.waiting = text;
        port.event = 2;
        try {
            link.portEvent();
            return true;
        } catch (const RunTimeError &) {
            return false;
        }
    }
};

} // namespace

class TestSerialLink : public QObject
{
    Q_OBJECT

private slots:
    void setUpOrder();
    void setUpFailureNamesTheDevice();
    void receptions_data();
    void receptions();
    void rejectedReceptionChangesNothing();
    void otherEventsDoNothing_data();
    void otherEventsDoNothing();
    void startSendsPageFourAndKeepsState();
    void requestDuringServeIsServedInside();
    void editDuringServeReachesUnsentBytes();
    void floodIsBoundedAndLosesNothing();
    void stopEndsEveryServe();
};

void TestSerialLink::setUpOrder()
{
    Fixture f;
    f.link.setUp();
    const std::vector<std::string> expected{"port 2", "settings 115200,N,8,1", "threshold 1",
                                            "input length 0", "open"};
    QCOMPARE(f.port.calls, expected);
    QCOMPARE(f.link.state(), ProtocolState{});
}

void TestSerialLink::setUpFailureNamesTheDevice()
{
    Fixture f;
    f.port.failOpen = true;
    QVERIFY_THROWS_EXCEPTION(RunTimeError, f.link.setUp());
    QVERIFY(f.link.state().firstReceptionPending);
}

void TestSerialLink::receptions_data()
{
    QTest::addColumn<QStringList>("receptions");
    QTest::addColumn<QList<int>>("pages");
    QTest::addColumn<int>("lastRequest");
    QTest::addColumn<bool>("greetingPending");

    QTest::newRow("greeting alone") << QStringList{"7"} << QList<int>{} << 7 << false;
    QTest::newRow("greeting then 1") << QStringList{"0", "1"} << QList<int>{0} << 1 << false;
    QTest::newRow("text before the greeting") << QStringList{"hello", "5", "1"} << QList<int>{0} << 1 << false;
    QTest::newRow("empty first reception") << QStringList{"", "3"} << QList<int>{} << 3 << false;
    QTest::newRow("request 0 is page 5") << QStringList{"1", "0"} << QList<int>{5} << 0 << false;
    QTest::newRow("request 8 is page 0") << QStringList{"1", "8"} << QList<int>{0} << 8 << false;
    QTest::newRow("blanks around 3") << QStringList{"1", " 3 "} << QList<int>{6} << 3 << false;
    QTest::newRow("9 out of range") << QStringList{"1", "9"} << QList<int>{} << 9 << false;
    QTest::newRow("-1 out of range") << QStringList{"1", "-1"} << QList<int>{} << -1 << false;
    QTest::newRow("12 in one read") << QStringList{"1", "12"} << QList<int>{} << 12 << false;
    QTest::newRow("abc") << QStringList{"1", "abc"} << QList<int>{} << 1 << false;
    QTest::newRow("2.5 rounds to 2") << QStringList{"1", "2.5"} << QList<int>{1} << 2 << false;
    QTest::newRow("display order")
        << QStringList{"hi!", "0", "1", "5", "2", "6", "7", "3", "0", "4"}
        << QList<int>{0, 2, 1, 3, 4, 6, 5, 7} << 4 << false;
}

void TestSerialLink::receptions()
{
    QFETCH(QStringList, receptions);
    QFETCH(QList<int>, pages);
    QFETCH(int, lastRequest);
    QFETCH(bool, greetingPending);

    Fixture f;
    f.link.setUp();
    for (const QString &text : receptions)
        f.receive(text.toStdString());

    std::vector<std::uint8_t> expected;
    for (const int page : pages) {
        const auto octets = pageOctets(f.buffer, page);
        expected.insert(expected.end(), octets.begin(), octets.end());
    }
    QCOMPARE(f.port.written, expected);
    QCOMPARE(f.link.state().lastRequest, lastRequest);
    QCOMPARE(f.link.state().firstReceptionPending, greetingPending);
}

void TestSerialLink::rejectedReceptionChangesNothing()
{
    Fixture f;
    f.link.setUp();
    f.receive("0");
    f.receive("3");
    const ProtocolState before = f.link.state();
    const auto writtenBefore = f.port.written.size();
    for (const char *text : {"abc", "", "3 3", "99999999999"}) {
        QVERIFY(!f.receive(text));
        QCOMPARE(f.link.state(), before);
        QCOMPARE(f.port.written.size(), writtenBefore);
    }
}

void TestSerialLink::otherEventsDoNothing_data()
{
    QTest::addColumn<int>("code");
    for (const int code : {1001, 1004, 1006, 1008, 1009, 1010, 1011, 5, 3, 4, 6, 1, 7, 0, 99})
        QTest::newRow(qPrintable(QString::number(code))) << code;
}

void TestSerialLink::otherEventsDoNothing()
{
    QFETCH(int, code);

    Fixture f;
    f.link.setUp();
    f.receive("0");
    f.port.waiting = "1";
    f.port.event = code;
    f.link.portEvent();
    QCOMPARE(f.port.inputReads, 1);
    QVERIFY(f.port.written.empty());
    QCOMPARE(f.link.state().lastRequest, 0);
    // The next reception is handled normally.
    QVERIFY(f.receive("1"));
    QCOMPARE(f.port.written, pageOctets(f.buffer, 0));
}

void TestSerialLink::startSendsPageFourAndKeepsState()
{
    Fixture f;
    f.link.setUp();
    sendStartPage(f.buffer, f.port);
    QCOMPARE(f.port.written, pageOctets(f.buffer, 4));
    QCOMPARE(f.link.state(), ProtocolState{});
    QCOMPARE(f.deepestYield, 0);

    f.port.written.clear();
    f.receive("0");
    sendStartPage(f.buffer, f.port);
    QCOMPARE(f.port.written, pageOctets(f.buffer, 4));
    QCOMPARE(f.link.state().firstReceptionPending, false);
}

// Request 2 arrives after the 11th octet of request 1: page 1 goes out whole
// inside page 0, then page 0 resumes.
void TestSerialLink::requestDuringServeIsServedInside()
{
    Fixture f;
    f.link.setUp();
    f.receive("0");
    bool injected = false;
    f.onYield = [&] {
        if (!injected && f.port.written.size() == 11) {
            injected = true;
            f.receive("2");
        }
    };
    f.receive("1");

    const auto page0 = pageOctets(f.buffer, 0);
    const auto page1 = pageOctets(f.buffer, 1);
    std::vector<std::uint8_t> expected(page0.begin(), page0.begin() + 11);
    expected.insert(expected.end(), page1.begin(), page1.end());
    expected.insert(expected.end(), page0.begin() + 11, page0.end());
    QCOMPARE(f.port.written, expected);
    QCOMPARE(f.link.state().lastRequest, 2);
}

void TestSerialLink::editDuringServeReachesUnsentBytes()
{
    Fixture f;
    f.link.setUp();
    f.receive("0");
    f.onYield = [&] {
        if (f.port.written.size() == 5) {
            f.buffer.write(0, 3, 0xEE);  // already sent
            f.buffer.write(0, 40, 0xEE); // not yet sent
        }
    };
    f.receive("1");
    QCOMPARE(f.port.written.size(), std::size_t{61});
    QCOMPARE(f.port.written[3], std::uint8_t{3});
    QCOMPARE(f.port.written[40], std::uint8_t{0xEE});
}

// Every yield injects another request until 15 have arrived: eight nest (all
// for page 0), the seven past the depth limit wait and then go out whole, in
// arrival order, before any interrupted page resumes.
void TestSerialLink::floodIsBoundedAndLosesNothing()
{
    Fixture f;
    f.link.setUp();
    f.receive("0");
    const std::vector<std::string> queued{"2", "3", "4", "5", "6", "7", "0"};
    const std::vector<int> queuedPages{1, 6, 7, 2, 3, 4, 5};
    int arrived = 1;
    f.onYield = [&] {
        if (arrived < SerialLink::kMaxServeDepth) {
            ++arrived;
            f.receive("1");
        } else if (arrived < SerialLink::kMaxServeDepth + static_cast<int>(queued.size())) {
            f.receive(queued[static_cast<std::size_t>(arrived++ - SerialLink::kMaxServeDepth)]);
        }
    };
    f.receive("1");

    QCOMPARE(f.deepestYield, SerialLink::kMaxServeDepth);
    QCOMPARE(f.link.waitingRequests(), std::size_t{0});
    std::vector<std::uint8_t> others;
    int pageZeroOctets = 0;
    for (const std::uint8_t octet : f.port.written) {
        if (octet / 16 == 0)
            ++pageZeroOctets;
        else
            others.push_back(octet);
    }
    QCOMPARE(pageZeroOctets, SerialLink::kMaxServeDepth * kPageColumns);
    std::vector<std::uint8_t> expected;
    for (const int page : queuedPages) {
        const auto octets = pageOctets(f.buffer, page);
        expected.insert(expected.end(), octets.begin(), octets.end());
    }
    QCOMPARE(others, expected);
}

void TestSerialLink::stopEndsEveryServe()
{
    RecordingPort port;
    const FrameBuffer buffer = taggedPages();
    int yields = 0;
    SerialLink link(port, buffer, [&] { return ++yields < 20; });
    link.setUp();
    link.receive("0");
    link.receive("1");
    QCOMPARE(port.written.size(), std::size_t{20});
    link.receive("1");
    QCOMPARE(port.written.size(), std::size_t{21});
}

QTEST_GUILESS_MAIN(TestSerialLink)
#include "tst_serial_link.moc"
