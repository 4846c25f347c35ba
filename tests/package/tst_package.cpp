// SPDX-License-Identifier: MIT
// The Debian package as CPack builds it from this build tree: each file in its
// place under /usr, nothing under /usr/local, no RPATH; the manual pages as
// groff reads them; the bash completion's commands and values.
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kBuild = QStringLiteral(KESTRIN_BUILD_DIR);
const QString kLib = QStringLiteral("./usr/lib/x86_64-linux-gnu/");

// What the program wrote to standard output and error together.
QByteArray run(const QString &program, const QStringList &arguments, int *status = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    process.waitForFinished(-1);
    if (status != nullptr)
        *status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return process.readAll();
}

} // namespace

class TestPackage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void holds_data();
    void holds();
    void laidOutForUsr();
    void manPages_data();
    void manPages();
    void completion_data();
    void completion();

private:
    QString m_package = kBuild + "/kestrin_" KESTRIN_VERSION "_amd64.deb";
    QStringList m_files;
};

void TestPackage::initTestCase()
{
    int status = -1;
    // cpack builds what is out of date first, as the package target does.
    const QByteArray output = run("cpack", {"--config", kBuild + "/CPackConfig.cmake", "-B", kBuild}, &status);
    QVERIFY2(status == 0, output.constData());
    for (const QByteArray &line : run("dpkg-deb", {"--contents", m_package}).split('\n')) {
        if (const qsizetype path = line.indexOf(" ./"); path >= 0)
            m_files << QString::fromUtf8(line.mid(path + 1).split(' ').constFirst());
    }
}

void TestPackage::holds_data()
{
    QTest::addColumn<QStringList>("paths");
    QTest::newRow("programs") << QStringList{"./usr/bin/kestrin", "./usr/bin/kestrin-board"};
    QTest::newRow("widget library") << QStringList{kLib + "libpixels.so.1", "./usr/include/pixels/acht_bits.h",
                                                   kLib + "cmake/pixels/pixels-config.cmake",
                                                   kLib + "qt6/plugins/designer/libpixels_designer.so"};
    QTest::newRow("desktop") << QStringList{"./usr/share/applications/kestrin.desktop",
                                            "./usr/share/icons/hicolor/32x32/apps/kestrin.png"};
    QTest::newRow("manual pages and completion") << QStringList{"./usr/share/man/man1/kestrin.1.gz",
        "./usr/share/man/man1/kestrin-board.1.gz", "./usr/share/bash-completion/completions/kestrin"};
    if (KESTRIN_HAS_AVR_BOARD)
        QTest::newRow("simulated AVR board") << QStringList{"./usr/bin/kestrin-avr-board",
                                                            "./usr/share/man/man1/kestrin-avr-board.1.gz"};
    if (KESTRIN_HAS_FIRMWARE)
        QTest::newRow("firmware") << QStringList{"./usr/share/kestrin/firmware/kestrin-firmware.elf",
                                                 "./usr/share/kestrin/firmware/kestrin-firmware.hex"};
}

void TestPackage::holds()
{
    QFETCH(QStringList, paths);
    for (const QString &path : paths)
        QVERIFY2(m_files.contains(path), qPrintable(path));
}

// Every file under /usr, none in /usr/local, and kestrin finds libpixels
// where the loader looks without a path of its own.
void TestPackage::laidOutForUsr()
{
    for (const QString &file : std::as_const(m_files))
        QVERIFY2((file.startsWith("./usr/") || file == "./") && !file.startsWith("./usr/local"), qPrintable(file));
    QTemporaryDir root;
    run("dpkg-deb", {"--extract", m_package, root.path()});
    const QByteArray dynamic = run("readelf", {"--dynamic", root.filePath("usr/bin/kestrin")});
    QVERIFY(dynamic.contains("libpixels.so.1") && !dynamic.contains("RPATH") && !dynamic.contains("RUNPATH"));
}

void TestPackage::manPages_data()
{
    QTest::addColumn<QString>("page");
    QTest::newRow("kestrin(1)") << "kestrin.1";
    QTest::newRow("kestrin-board(1)") << "kestrin-board.1";
    if (KESTRIN_HAS_AVR_BOARD)
        QTest::newRow("kestrin-avr-board(1)") << "kestrin-avr-board.1";
}

// groff, warning about everything, has nothing to say.
void TestPackage::manPages()
{
    QFETCH(QString, page);
    int status = -1;
    QCOMPARE(run("groff", {"-man", "-ww", "-z", kBuild + "/man/" + page}, &status), QByteArray());
    QCOMPARE(status, 0);
}

void TestPackage::completion_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QStringList>("offered");
    QTest::newRow("commands") << QStringList{"kestrin", ""} << QStringList{"--list-ports", "convert", "serve"};
    QTest::newRow("--fit") << QStringList{"kestrin", "convert", "--fit", ""} << QStringList{"fill", "fit", "stretch"};
    QTest::newRow("convert's --p") << QStringList{"kestrin", "convert", "--p"} << QStringList{"--play"};
    QTest::newRow("network board") << QStringList{"kestrin", "serve", "--port", "rf"} << QStringList{"rfc2217://"};
}

// The completion as bash runs it for the words typed so far.
void TestPackage::completion()
{
    QFETCH(QStringList, words);
    QFETCH(QStringList, offered);
    const QString script = "source /usr/share/bash-completion/bash_completion && source " KESTRIN_SOURCE_DIR
                           "/completion/kestrin.bash && COMP_WORDS=(\"$@\") COMP_CWORD=$(($# - 1)) COMP_LINE=\"$*\" "
                           "&& COMP_POINT=${#COMP_LINE} && _kestrin 2>/dev/null; printf '%s\\n' \"${COMPREPLY[@]}\"";
    QStringList reply = QString::fromUtf8(run("bash", QStringList{"-c", script, "bash"} + words)).split(u'\n', Qt::SkipEmptyParts);
    reply.sort();
    QCOMPARE(reply, offered);
}

QTEST_GUILESS_MAIN(TestPackage)
#include "tst_package.moc"
