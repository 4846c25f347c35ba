// SPDX-License-Identifier: MIT
// A board sending junk: told once, then counted once a minute at most.
#include "ignored_receptions.h"

#include <QTest>

#include <time.h>

using namespace kestrin;
using namespace std::chrono_literals;

class TestIgnoredReceptions : public QObject
{
    Q_OBJECT

private slots:
    void toldOnceThenCounted()
    {
        qputenv("TZ", "UTC");
        tzset();
        const std::time_t noon = 12 * 3600; // 12:00:00 on the first day of 1970
        const IgnoredReceptions::Clock::time_point start{};
        IgnoredReceptions ignored;
        QVERIFY(ignored.ignore(start, noon));
        QCOMPARE(ignored.periodEnd(), start + 60s);
        for (int second = 0; second < 57; ++second)
            QVERIFY(!ignored.ignore(start + 1s + std::chrono::seconds(second), noon + 190 + second));
        QCOMPARE(ignored.endPeriod(start + 60s), std::optional<std::string>("57 more receptions ignored since 12:03:10"));
        QVERIFY(!ignored.ignore(start + 61s, noon + 3600));
        QCOMPARE(ignored.endPeriod(start + 120s), std::optional<std::string>("1 more reception ignored since 13:00:00"));
        QCOMPARE(ignored.endPeriod(start + 180s), std::nullopt);
        QVERIFY(!ignored.periodEnd());
        QVERIFY(ignored.ignore(start + 200s, noon));
    }
};

QTEST_GUILESS_MAIN(TestIgnoredReceptions)
#include "tst_ignored_receptions.moc"
