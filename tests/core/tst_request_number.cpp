// SPDX-License-Identifier: MIT
#include "request_number.h"

#include <QTest>

using namespace kestrin;

Q_DECLARE_METATYPE(std::optional<std::int32_t>)

class TestRequestNumber : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        using Number = std::optional<std::int32_t>;
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<Number>("expected");

        QTest::newRow("blanks around") << QByteArray(" 3 ") << Number(3);
        QTest::newRow("tab, CR, LF around") << QByteArray("\t7\r\n") << Number(7);
        QTest::newRow("two digits") << QByteArray("12") << Number(12);
        QTest::newRow("plus") << QByteArray("+4") << Number(4);
        QTest::newRow("minus") << QByteArray("-1") << Number(-1);
        QTest::newRow("half rounds to even, down") << QByteArray("2.5") << Number(2);
        QTest::newRow("half rounds to even, up") << QByteArray("3.5") << Number(4);
        QTest::newRow("negative half to even") << QByteArray("-1.5") << Number(-2);
        QTest::newRow("over half rounds up") << QByteArray("2.5000001") << Number(3);
        QTest::newRow("fraction only") << QByteArray(".6") << Number(1);
        QTest::newRow("trailing point") << QByteArray("4.") << Number(4);
        QTest::newRow("largest") << QByteArray("2147483647") << Number(2147483647);
        QTest::newRow("smallest") << QByteArray("-2147483648") << Number(-2147483647 - 1);
        QTest::newRow("rounds past the largest") << QByteArray("2147483647.5") << Number();
        QTest::newRow("one past the largest") << QByteArray("2147483648") << Number();
        QTest::newRow("very long number") << QByteArray(400, '9') << Number();
        QTest::newRow("empty") << QByteArray("") << Number();
        QTest::newRow("letters") << QByteArray("abc") << Number();
        QTest::newRow("digit then letter") << QByteArray("3a") << Number();
        QTest::newRow("inner blank") << QByteArray("1 2") << Number();
        QTest::newRow("point only") << QByteArray(".") << Number();
        QTest::newRow("two signs") << QByteArray("--1") << Number();
        QTest::newRow("embedded NUL") << QByteArray("3\0", 2) << Number();
    }

    void parse()
    {
        QFETCH(QByteArray, text);
        QFETCH(std::optional<std::int32_t>, expected);

        QCOMPARE(parseRequestNumber(std::string_view(text.constData(), static_cast<std::size_t>(text.size()))),
                 expected);
    }
};

QTEST_GUILESS_MAIN(TestRequestNumber)
#include "tst_request_number.moc"
