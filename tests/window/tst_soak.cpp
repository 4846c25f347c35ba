// SPDX-License-Identifier: MIT
// A long run of Form1 against the board: 20,000 receptions drawn from texts a
// board might send, now and then the next one while a page is on its way,
// with cell clicks, Convert and Start between them. The reception model says
// what each must be answered with; resident memory must stay flat.
#include "form1_fixture.h"

#include <QFile>

#include <array>
#include <random>

#include <unistd.h>

using namespace kestrin;
using namespace kestrin::test;

namespace {

constexpr int kReceptions = 20'000;
constexpr int kWarmUpReceptions = 2'000;
constexpr long kRssGrowthLimitKb = 1024;
constexpr std::uint32_t kSeed = 20'240'611;

// Requests, numbers that round to one, and text the host must reject.
const std::array<QByteArray, 40> kTexts{
    "0", "1", "2", "3", "4", "5", "6", "7", "8", "1", "5", "7", " 3 ", "+7", "\t2\r\n", "08", "1.5", "2.5", "0.5",
    ".5", "7.51", "-0", "9", "-1", "12", "2147483648", "abc", "3 4", " ", "+", ".", "1e3", "0x5",
    QByteArray("\0", 1), QByteArray("3\0", 2), "\x1b[A", "\x11", "\xff", "\xc3\xa9", "8.6"};

long residentKilobytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    const QList<QByteArray> fields = statm.open(QIODevice::ReadOnly) ? statm.readAll().split(' ') : QList<QByteArray>();
    return fields.value(1).toLong() * (::sysconf(_SC_PAGESIZE) / 1024);
}

} // namespace

class TestSoak : public QObject
{
    Q_OBJECT

private slots:
    void twentyThousandReceptions()
    {
        Form1 program;
        std::mt19937 random(kSeed);
        const auto draw = [&random](int high) { return std::uniform_int_distribution<int>(0, high)(random); };
        const auto pick = [&] { return kTexts[static_cast<std::size_t>(draw(kTexts.size() - 1))]; };
        long warmRss = 0;
        while (program.receptions < kReceptions && !QTest::currentTestFailed()) {
            const QByteArray text = pick();
            const QByteArray next = pick();
            // Now and then the next reception goes out while this one's page is on its way.
            program.receive(text, next, draw(3) == 0 ? 1 + draw(kPageColumns - 2) : -1);
            for (int clicks = draw(2); clicks > 0; --clicks)
                program.clickCell(draw(kGridElements - 1), draw(kPageRows - 1));
            if (const int action = draw(99); action < 2)
                program.convert();
            else if (action < 3)
                program.start();
            if (warmRss == 0 && program.receptions >= kWarmUpReceptions)
                warmRss = residentKilobytes();
        }
        const long endRss = residentKilobytes();
        qInfo("seed %u: %d receptions, %d pages served inside another; resident memory %ld kB after %d, %ld kB at the end",
              kSeed, program.receptions, program.nested, warmRss, kWarmUpReceptions, endRss);
        program.finish();
        QVERIFY(program.nested > 0);
#ifdef KESTRIN_SOAK_UNDER_ASAN
        qInfo("resident memory not checked: AddressSanitizer's quarantine grows it");
#else
        QVERIFY2(warmRss > 0 && endRss - warmRss < kRssGrowthLimitKb, qPrintable(QString::number(endRss - warmRss)));
#endif
    }
};

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"
