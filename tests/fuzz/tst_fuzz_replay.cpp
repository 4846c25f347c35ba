// SPDX-License-Identifier: MIT
#include <QDir>
#include <QFile>
#include <QTest>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

// Replays the fuzz corpus through the fuzz target; a broken invariant aborts.
class TestFuzzReplay : public QObject
{
    Q_OBJECT

private slots:
    void corpusIsThere();
    void replay_data();
    void replay();
};

namespace {

QStringList corpusFiles()
{
    return QDir(QStringLiteral(KESTRIN_FUZZ_CORPUS)).entryList(QDir::Files, QDir::Name);
}

} // namespace

void TestFuzzReplay::corpusIsThere()
{
    QVERIFY2(corpusFiles().size() >= 24, "the seed corpus is missing or thin");
}

void TestFuzzReplay::replay_data()
{
    QTest::addColumn<QString>("path");
    const QDir corpus(QStringLiteral(KESTRIN_FUZZ_CORPUS));
    for (const QString &name : corpusFiles())
        QTest::newRow(qPrintable(name)) << corpus.filePath(name);
}

void TestFuzzReplay::replay()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                                    static_cast<std::size_t>(bytes.size())),
             0);
}

QTEST_GUILESS_MAIN(TestFuzzReplay)
#include "tst_fuzz_replay.moc"
