// SPDX-License-Identifier: MIT
#include "cell_reader.h"
#include "lcdproc_server.h"

#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

using namespace kestrin;

namespace {

// One session: greeting, names, keys, menus, screens, every widget type,
// quoting, and errors. Screen "hid" is never shown: its widgets' replies
// count, their pictures (LCDd's text driver draws bars and big digits as
// characters of its own) do not.
const QByteArray kSession = QByteArray(R"(hello
client_set -name {diff test}
client_add_key -exclusively Up Down
client_add_key Up
menu_add_item "" m menu {Main}
menu_add_item m c checkbox {Check} -value maybe
screen_add main
screen_add main
screen_set main -priority foreground -name {Main} -heartbeat on -bogus 1
widget_add main t title
widget_set main t {Differential}
widget_add main s string
widget_set main s 1 2 "caf)") + '\xe9' + R"( {x} \"q\" a\\b"
widget_add main f frame
widget_set main f 1 3 10 4 10 2 v 0
widget_add main fs string -in f
widget_set main fs 2 2 framed
widget_add main sc scroller
widget_set main sc 11 3 20 3 h 0 {scroller text}
widget_add main i icon
widget_set main i 20 4 block_filled
widget_add main bad bogus
widget_set main nope 1 1 x
widget_set main s x 1 z
widget_set main s 1 2 "open
screen_add hid
screen_set hid -priority hidden
widget_add hid h hbar
widget_set hid h x 1 10
widget_add hid n num
widget_set hid n 1 -1
widget_add hid v vbar
widget_set hid v 1 4 20
sleep 2
frobnicate
noop
)";

// Three foreground screens take turns; r2 goes after 6 ticks shown.
const QByteArray kRotation = "screen_set main -duration 4\nscreen_add r1\nscreen_set r1 -priority foreground -duration 4\n"
                             "screen_add r2\nscreen_set r2 -priority foreground -duration 4 -timeout 6\n";

struct Peer
{
    QTcpSocket socket;
    QByteArrayList replies;
    QByteArrayList screenChanges; // listen and ignore

    bool readUntil(const std::function<bool()> &done)
    {
        return QTest::qWaitFor([&] {
            while (socket.canReadLine()) {
                const QByteArray line = socket.readLine().chopped(1);
                (line.startsWith("listen ") || line.startsWith("ignore ") ? screenChanges : replies) << line;
            }
            return done();
        }, 10000);
    }
};

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// The last picture LCDd's text driver printed: 4 rows between borders,
// in UTF-8 or, depending on the locale, ISO-8859-1.
QStringList lastPicture(const QByteArray &output)
{
    const QByteArrayList lines = output.split('\n');
    const qsizetype bottom = lines.lastIndexOf("+--------------------+");
    QStringList rows;
    for (qsizetype i = bottom - 4; i >= 0 && i < bottom; ++i) {
        const QString row = QString::fromUtf8(lines[i]);
        rows << (row.contains(QChar::ReplacementCharacter) ? QString::fromLatin1(lines[i]) : row).mid(1, 20);
    }
    return rows;
}

} // namespace

class TestLcddDifferential : public QObject
{
    Q_OBJECT

private slots:
    // The same session sent to Debian's LCDd and to kestrin: the same replies
    // (but the cell width in the greeting), the same characters on the
    // display (but the heartbeat's cell), and the same screens in turn.
    void sameAsLcdd()
    {
        if (!QFile::exists(QStringLiteral("/usr/sbin/LCDd")))
            QSKIP("Debian's LCDd is not installed");
        QTemporaryDir dir;
        const quint16 port = freePort();
        QFile conf(dir.filePath(QStringLiteral("LCDd.conf")));
        QVERIFY(conf.open(QIODevice::WriteOnly));
        conf.write("[server]\nDriverPath=/usr/lib/x86_64-linux-gnu/lcdproc/\nDriver=text\nBind=127.0.0.1\nPort="
                   + QByteArray::number(port) + "\nReportToSyslog=no\nForeground=yes\n[text]\nSize=20x4\n");
        conf.close();
        QProcess lcdd;
        lcdd.start(QStringLiteral("stdbuf"), {"-oL", "/usr/sbin/LCDd", "-f", "-c", conf.fileName()});
        LcdprocServer kestrin;
        kestrin.listen(QHostAddress::LocalHost, 0);

        Peer theirs;
        Peer ours;
        QVERIFY(QTest::qWaitFor([&] {
            theirs.socket.connectToHost(QHostAddress::LocalHost, port);
            return theirs.socket.waitForConnected(200);
        }, 5000));
        ours.socket.connectToHost(kestrin.serverAddress(), kestrin.serverPort());
        for (Peer *peer : {&theirs, &ours}) {
            peer->socket.write(kSession);
            QVERIFY(peer->readUntil([peer] {
                return peer->replies.endsWith("noop complete") && peer->screenChanges == QByteArrayList{"listen main"};
            }));
        }
        theirs.replies.first().replace("cellwid 5", "cellwid 6");
        QCOMPARE(ours.replies, theirs.replies);

        QTest::qWait(500);
        QStringList shown = readCells(kestrin.frame());
        QStringList printed = lastPicture(lcdd.readAllStandardOutput());
        QCOMPARE(printed.size(), 4);
        shown[0][19] = printed[0][19] = u'*';
        QCOMPARE(shown, printed);

        for (Peer *peer : {&theirs, &ours}) {
            peer->screenChanges.clear();
            peer->socket.write(kRotation);
            QVERIFY(peer->readUntil([peer] { return peer->screenChanges.size() >= 16; }));
            peer->replies.clear();
            peer->socket.write("screen_del r2\nnoop\n");
            QVERIFY(peer->readUntil([peer] { return peer->replies.endsWith("noop complete"); }));
        }
        QCOMPARE(ours.screenChanges.mid(0, 16), theirs.screenChanges.mid(0, 16));
        QCOMPARE(ours.replies, theirs.replies);
        lcdd.terminate();
        QVERIFY(lcdd.waitForFinished());
    }
};

QTEST_GUILESS_MAIN(TestLcddDifferential)
#include "tst_lcdd_differential.moc"
