// SPDX-License-Identifier: MIT
#include "cell_reader.h"
#include "server_state.h"

#include <QTest>

using namespace kestrin;

namespace {

// Client 1 says hello, then each ';'-separated command.
void run(ServerState &state, const QString &script)
{
    for (const QString &command : script.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        (void)state.handleLine(1, ClientLine{command.trimmed().toStdString()});
}

void ticks(ServerState &state, int count)
{
    for (int tick = 0; tick < count; ++tick)
        state.tick();
}

} // namespace

// Expected ticks and pictures are what LCDd 0.5.9 showed with its text driver
// for the same commands, counted in its frames from its start.
class TestLcdprocScreens : public QObject
{
    Q_OBJECT

private slots:
    void rotation_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("laterTick");
        QTest::addColumn<QString>("later");
        QTest::addColumn<int>("lastTick");
        QTest::addColumn<QString>("events"); // tick and line of every listen and ignore
        QTest::newRow("info screens take turns with the server screen")
            << "screen_add a; screen_set a -duration 16; screen_add b; screen_set b -duration 24" << 0 << "" << 110
            << "9 listen a|25 ignore a|25 listen b|49 ignore b|58 listen a|74 ignore a|74 listen b|98 ignore b|107 listen a";
        QTest::newRow("a timeout counts the ticks shown")
            << "screen_add a; screen_set a -timeout 20 -duration 16; screen_add b; screen_set b -duration 16" << 0 << "" << 85
            << "9 listen a|25 ignore a|25 listen b|41 ignore b|50 listen a|54 ignore a|54 listen b|70 ignore b|79 listen b";
        QTest::newRow("the screen shown deleted")
            << "screen_add a; screen_set a -duration 16; screen_add b; screen_set b -duration 16" << 12 << "screen_del a" << 40
            << "9 listen a|12 ignore a|12 listen b|28 ignore b|37 listen b";
        QTest::newRow("foreground shuts out info and the server screen")
            << "screen_add a; screen_set a -priority foreground -duration 16; screen_add b; screen_set b -duration 16" << 0 << ""
            << 60 << "1 listen a";
        QTest::newRow("foreground screens take turns")
            << "screen_add a; screen_set a -priority 10 -duration 16; screen_add b; screen_set b -priority 64 -duration 24" << 0
            << "" << 60 << "1 listen a|17 ignore a|17 listen b|41 ignore b|41 listen a|57 ignore a|57 listen b";
        QTest::newRow("alert stays") << "screen_add a; screen_set a -priority alert -duration 8; screen_add b; screen_set b -priority alert"
                                     << 0 << "" << 60 << "1 listen a";
        QTest::newRow("input comes before alert")
            << "screen_add a; screen_set a -priority alert" << 20 << "screen_add b; screen_set b -priority input" << 40
            << "1 listen a|21 ignore a|21 listen b";
        QTest::newRow("background gives way to the server screen")
            << "screen_add a; screen_set a -priority 192; screen_add h; screen_set h -priority hidden" << 0 << "" << 60 << "";
    }

    void rotation()
    {
        QFETCH(QString, script);
        QFETCH(int, laterTick);
        QFETCH(QString, later);
        QFETCH(int, lastTick);
        QFETCH(QString, events);
        int tick = 0;
        QStringList heard;
        ServerState state([&](int client, const std::string &line) {
            if (client == 1 && (line.starts_with("listen") || line.starts_with("ignore")))
                heard << QString::number(tick) + u' ' + QString::fromStdString(line);
        });
        state.connect(1);
        run(state, "hello;" + script);
        for (tick = 1; tick <= lastTick; ++tick) {
            state.tick();
            if (tick == laterTick)
                run(state, later);
        }
        QCOMPARE(heard.join(u'|'), events);
    }

    void moving_data()
    {
        QTest::addColumn<QString>("widgets");
        QTest::addColumn<int>("tick");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("text");
        const QString title = "widget_add s t title; widget_set s t ABCDEFGHIJKLMNOPQRSTUVWXYZ";
        QTest::newRow("long title, last tick at its end") << title << 25 << 1 << "## MNOPQRSTUVWXYZ ##";
        QTest::newRow("long title turning back") << title << 26 << 1 << "## LMNOPQRSTUVWXY ##";
        QTest::newRow("long title back at its start") << title << 37 << 1 << "## ABCDEFGHIJKLMN ##";
        QTest::newRow("short title") << "widget_add s t title; widget_set s t {Hi there}" << 5 << 1 << "## Hi there ########";
        const QString scroller = "widget_add s c scroller; widget_set s c 1 1 10 1 h %1 ABCDEFGHIJKLMNOP";
        QTest::newRow("h scroller, speed 1, at its end") << scroller.arg(1) << 19 << 1 << "GHIJKLMNOP          ";
        QTest::newRow("h scroller, speed 1, back") << scroller.arg(1) << 21 << 1 << "FGHIJKLMNO          ";
        QTest::newRow("h scroller, speed 2") << scroller.arg(2) << 29 << 1 << "BCDEFGHIJK          ";
        QTest::newRow("h scroller, 2 a tick") << scroller.arg(-2) << 13 << 1 << "EFGHIJKLMN          ";
        QTest::newRow("marquee") << "widget_add s m scroller; widget_set s m 1 1 6 1 m 1 ABCDEFGHIJ" << 12 << 1 << "   ABC              ";
        QTest::newRow("v scroller") << "widget_add s v scroller; widget_set s v 1 1 5 2 v 2 AAAAABBBBBCCCCCDDDDDEEEEE" << 9 << 2
                                    << "DDDDD               ";
        QTest::newRow("frame") << "widget_add s f frame; widget_set s f 2 2 8 3 10 4 v 2; widget_add s a string -in f; "
                                  "widget_set s a 2 2 2222; widget_add s b string -in f; widget_set s b 1 3 3333"
                               << 13 << 3 << " 3333               ";
        QTest::newRow("string past the last column") << "widget_add s w string; widget_set s w 25 2 abc" << 3 << 2
                                                     << "                   a";
        QTest::newRow("string at column 0") << "widget_add s w string; widget_set s w 0 2 abc" << 3 << 2 << QString(20, u' ');
    }

    void moving()
    {
        QFETCH(QString, widgets);
        QFETCH(int, tick);
        QFETCH(int, row);
        QFETCH(QString, text);
        ServerState state([](int, const std::string &) {});
        state.connect(1);
        run(state, "hello; screen_add s; screen_set s -priority foreground -heartbeat off;" + widgets);
        ticks(state, tick);
        QCOMPARE(readCells(state.render()).at(row - 1), text);
    }

    // Bars and big digits in pixels, ticks 1..16; the heart opens on ticks 1 and 7 of 8.
    void pixels()
    {
        ServerState state([](int, const std::string &) {});
        state.connect(1);
        run(state, "hello; screen_add s; screen_set s -priority foreground; widget_add s h hbar; widget_set s h 1 1 7;"
                   "widget_add s v vbar; widget_set s v 2 4 12; widget_add s n num; widget_set s n 5 8");
        const std::array<std::array<int, 3>, 11> expected{{
            {0, 1, 1}, {6, 6, 1}, {7, 1, 0}, {0, 0, 0}, {0, 7, 0},   // hbar: x 0..6, rows 1..6
            {7, 31, 1}, {11, 20, 1}, {7, 19, 0}, {6, 31, 0}, {12, 31, 0}, // vbar: x 7..11, rows 31 up to 20
            {33, 27, 1},                                                  // digit 8 reaches row 27
        }};
        QString heartbeat;
        for (int tick = 1; tick <= 16; ++tick) {
            state.tick();
            const DisplayBitmap frame = state.render();
            for (const auto &[x, y, dark] : expected)
                QVERIFY2(frame.dark(x, y) == (dark != 0), qPrintable(QStringLiteral("pixel %1, %2").arg(x).arg(y)));
            for (int x = 24; x < 42; ++x)
                QVERIFY(!frame.dark(x, 3) && !frame.dark(x, 28));
            const CellGlyph *open = builtinCell(lcdIconCharacter(LcdIcon::HeartOpen));
            bool isOpen = true;
            for (int y = 0; y < kCellHeight; ++y) {
                for (int x = 1; x < kCellWidth; ++x)
                    isOpen = isOpen && frame.dark(114 + x, y) == (((*open)[y] >> (kCellWidth - 1 - x) & 1) != 0);
            }
            heartbeat += isOpen ? u'o' : u'.';
        }
        QCOMPARE(heartbeat, QStringLiteral("o.....o.o.....o."));
    }
};

QTEST_GUILESS_MAIN(TestLcdprocScreens)
#include "tst_lcdproc_screens.moc"
