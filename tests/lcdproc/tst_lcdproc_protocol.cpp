// SPDX-License-Identifier: MIT
#include "command_tokens.h"
#include "listen_address.h"
#include "run_time_error.h"
#include "utf8.h"

#include <QTest>

using namespace kestrin;

// Expected values are what LCDd 0.5.9 did with the same lines.
class TestLcdprocProtocol : public QObject
{
    Q_OBJECT

private slots:
    void tokens_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("words"); // joined by '|'; "ERROR" when refused
        QTest::newRow("blanks and tabs separate") << QByteArray("  widget_set\ts  w ") << QByteArray("widget_set|s|w");
        QTest::newRow("double quotes") << QByteArray("a \"b c\" d") << QByteArray("a|b c|d");
        QTest::newRow("braces quote") << QByteArray("{b c}") << QByteArray("b c");
        QTest::newRow("quote inside a word continues it") << QByteArray("abc\"de f\"") << QByteArray("abcde f");
        QTest::newRow("closing quote ends the word") << QByteArray("\"abc\"def") << QByteArray("abc|def");
        QTest::newRow("braces do not nest") << QByteArray("{a{b}c}") << QByteArray("a{b|c}");
        QTest::newRow("the other quote is plain inside") << QByteArray("{a\"b} \"c}\"") << QByteArray("a\"b|c}");
        QTest::newRow("escapes") << QByteArray("\"a\\nb\\tc\\rd\\\\e\\qf\\\"\"") << QByteArray("a\nb\tc\rd\\eqf\"");
        QTest::newRow("escaped blank") << QByteArray("a\\ b") << QByteArray("a b");
        QTest::newRow("empty quotes are a word") << QByteArray("x \"\"") << QByteArray("x|");
        QTest::newRow("open double quote") << QByteArray("x \"abc") << QByteArray("ERROR");
        QTest::newRow("open brace") << QByteArray("x {abc") << QByteArray("ERROR");
    }

    void tokens()
    {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, words);
        const auto tokens = tokenizeCommand(line.toStdString());
        QByteArrayList joined;
        for (const std::string &token : tokens.value_or(std::vector<std::string>{}))
            joined << QByteArray::fromStdString(token);
        QCOMPARE(tokens ? joined.join('|') : QByteArray("ERROR"), words);
    }

    void clientText_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("ISO-8859-1") << QByteArray("caf\xe9 \xb0") << QStringLiteral(u"café °");
        QTest::newRow("UTF-8, two bytes") << QByteArray("caf\xc3\xa9") << QStringLiteral(u"café");
        QTest::newRow("UTF-8, three bytes") << QByteArray("\xe2\x82\xac!") << QStringLiteral(u"€!");
        QTest::newRow("UTF-8, four bytes") << QByteArray("\xf0\x9f\x98\x80") << QString::fromUcs4(U"\U0001F600", 1);
        QTest::newRow("overlong form") << QByteArray("\xc1\xbf") << QStringLiteral(u"Á¿");
        QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80") << QStringLiteral(u"í\u00a0\u0080");
        QTest::newRow("cut short") << QByteArray("\xe2\x82") << QStringLiteral(u"â\u0082");
        QTest::newRow("beyond U+10FFFF") << QByteArray("\xf4\x90\x80\x80") << QStringLiteral(u"ô\u0090\u0080\u0080");
    }

    void clientText()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        const std::u32string decoded = decodeLatin1OrUtf8(bytes.toStdString());
        QCOMPARE(QString::fromUcs4(decoded.data(), static_cast<qsizetype>(decoded.size())), text);
    }

    void listenAddress_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("address"); // "" when refused
        QTest::addColumn<int>("port");
        QTest::newRow("port alone is loopback") << "13666" << "127.0.0.1" << 13666;
        QTest::newRow("every IPv4 address") << "0.0.0.0:13666" << "0.0.0.0" << 13666;
        QTest::newRow("IPv6 in brackets") << "[::1]:1" << "::1" << 1;
        QTest::newRow("IPv6 without brackets") << "::1:13666" << "" << 0;
        QTest::newRow("IPv4 in brackets") << "[127.0.0.1]:13666" << "" << 0;
        QTest::newRow("host name") << "localhost:13666" << "" << 0;
        QTest::newRow("port 0") << "0" << "" << 0;
        QTest::newRow("port 65536") << "65536" << "" << 0;
        QTest::newRow("no port") << "127.0.0.1:" << "" << 0;
        QTest::newRow("empty") << "" << "" << 0;
    }

    void listenAddress()
    {
        QFETCH(QString, text);
        QFETCH(QString, address);
        QFETCH(int, port);
        try {
            const ListenAddress parsed = parseListenAddress(text);
            QCOMPARE(parsed.address.toString(), address);
            QCOMPARE(parsed.port, port);
        } catch (const RunTimeError &error) {
            QVERIFY2(address.isEmpty(), error.what());
            QVERIFY(QString::fromStdString(error.what()).contains(u'"' + text + u'"'));
        }
    }
};

QTEST_GUILESS_MAIN(TestLcdprocProtocol)
#include "tst_lcdproc_protocol.moc"
