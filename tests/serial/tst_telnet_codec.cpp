// SPDX-License-Identifier: MIT
// The telnet codec: what the bridge sends, split anywhere, gives the board's
// data and kestrin's replies, both hand-worked; the bridge's offers are
// those ser2net makes as a connection opens.
#include "telnet_codec.h"

#include <QTest>

using namespace kestrin;

namespace {

QByteArray octets(std::initializer_list<int> values)
{
    QByteArray text;
    for (const int value : values)
        text += char(value);
    return text;
}

std::string text(const QByteArray &bytes)
{
    return bytes.toStdString();
}

} // namespace

class TestTelnetCodec : public QObject
{
    Q_OBJECT

private slots:
    void decodes_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QByteArray>("received");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("replies");
        // WILL SGA, DO SGA, WILL ECHO, DONT ECHO, DO BINARY, WILL BINARY, DO COM-PORT
        QTest::newRow("ser2net's offers: SGA taken, echo refused, 115200 8N1 asked for")
            << "115200,N,8,1"
            << octets({255, 251, 3, 255, 253, 3, 255, 251, 1, 255, 254, 1, 255, 253, 0, 255, 251, 0, 255, 253, 44})
            << QByteArray()
            << octets({255, 253, 3, 255, 251, 3, 255, 254, 1,
                       255, 250, 44, 1, 0, 1, 194, 0, 255, 240, 255, 250, 44, 2, 8, 255, 240,
                       255, 250, 44, 3, 1, 255, 240, 255, 250, 44, 4, 1, 255, 240, 255, 250, 44, 5, 1, 255, 240});
        QTest::newRow("9600 E 7 2, asked for twice after a refusal")
            << "9600,E,7,2" << octets({255, 253, 44, 255, 254, 44, 255, 253, 44}) << QByteArray()
            << (octets({255, 250, 44, 1, 0, 0, 37, 128, 255, 240, 255, 250, 44, 2, 7, 255, 240,
                        255, 250, 44, 3, 3, 255, 240, 255, 250, 44, 4, 2, 255, 240, 255, 250, 44, 5, 1, 255, 240})
                    .repeated(2)
                    .insert(38, octets({255, 252, 44, 255, 251, 44})));
        QTest::newRow("0xFF in the baud rate doubled, O and 1.5") << "65535,O,5,1.5" << octets({255, 253, 44}) << QByteArray()
            << octets({255, 250, 44, 1, 0, 0, 255, 255, 255, 255, 255, 240, 255, 250, 44, 2, 5, 255, 240,
                       255, 250, 44, 3, 2, 255, 240, 255, 250, 44, 4, 3, 255, 240, 255, 250, 44, 5, 1, 255, 240});
        QTest::newRow("doubled 0xFF is one data octet") << "115200,N,8,1" << octets({'3', 255, 255, 13, 0, 255, 255})
                                                        << octets({'3', 255, 13, 0, 255}) << QByteArray();
        QTest::newRow("notifications and commands taken out, 0xFF inside one too")
            << "115200,N,8,1"
            << octets({'1', 255, 250, 44, 107, 0, 255, 240, '2', 255, 250, 44, 101, 0, 0, 255, 255, 255, 240,
                       255, 241, 255, 249, '8', 255, 250, 44, 106, 255, 255, 255, 240})
            << QByteArray("128") << QByteArray();
        QTest::newRow("unknown options refused, agreed ones not answered again")
            << "115200,N,8,1" << octets({255, 253, 24, 255, 251, 31, 255, 253, 0, 255, 251, 0, 255, 252, 0, 255, 252, 5, 255, 254, 1})
            << QByteArray() << octets({255, 252, 24, 255, 254, 31, 255, 254, 0});
    }

    void decodes()
    {
        QFETCH(QString, settings);
        QFETCH(QByteArray, received);
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, replies);
        for (qsizetype split = 0; split <= received.size(); ++split) {
            TelnetCodec codec(parseLineSettings(settings.toStdString()));
            QCOMPARE(QByteArray::fromStdString(codec.opening()), octets({255, 251, 0, 255, 253, 0, 255, 251, 44}));
            const TelnetCodec::Decoded first = codec.decode(text(received.first(split)));
            const TelnetCodec::Decoded rest = codec.decode(text(received.sliced(split)));
            QCOMPARE(QByteArray::fromStdString(first.data + rest.data), data);
            QCOMPARE(QByteArray::fromStdString(first.replies + rest.replies), replies);
        }
    }

    // Every octet value goes to the bridge and back unchanged; only 0xFF grows.
    void everyOctetBothWays()
    {
        TelnetCodec codec(parseLineSettings("115200,N,8,1"));
        std::string wire;
        std::string sent;
        for (int value = 0; value < 256; ++value) {
            wire += TelnetCodec::encode(std::uint8_t(value));
            sent += char(value);
        }
        QCOMPARE(wire.size(), std::size_t(257));
        QCOMPARE(codec.decode(wire).data, sent);
    }
};

QTEST_GUILESS_MAIN(TestTelnetCodec)
#include "tst_telnet_codec.moc"
