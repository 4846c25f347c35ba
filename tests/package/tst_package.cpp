// SPDX-License-Identifier: MIT
// The Debian package as CPack builds it from this build tree: each file in its
// place under /usr, nothing under /usr/local, no RPATH; the manual pages as
// groff reads them; the bash completion's commands and values.
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kBuild = QStringLiteral(KESTRIN_BUILD_DIR);

QByteArray run(const QString &program, const QStringList &arguments, int *exitCode = nullptr, QByteArray *err = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(-1);
    if (exitCode != nullptr)
        *exitCode = process.exitCode();
    if (err != nullptr)
        *err = process.readAllStandardError();
    return process.readAllStandardOutput();
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
    QByteArray err;
    // cpack builds what is out of date first, as the package target does.
    const QByteArray out = run("cpack", {"--config", kBuild + "/CPackConfig.cmake", "-B", kBuild}, &status, &err);
    QVERIFY2(status == 0, (out + err).constData());
    for (const QByteArray &line : run("dpkg-deb", {"--contents", m_package}).split('\n')) {
        if (const qsizetype path = line.indexOf(" ./"); path >= 0)
            m_files << QString::fromUtf8(line.mid(path + 1).split(' ').constFirst());
    }
}

void TestPackage::holds_data()
{
    QTest::addColumn<QString>("path");
    const QString lib = "./usr/lib/x86_64-linux-gnu/";
    QTest::newRow("kestrin") << "./usr/bin/kestrin";
    QTest::newRow("kestrin-board") << "./usr/bin/kestrin-board";
    QTest::newRow("widget library") << lib + "libpixels.so.1";
    QTest::newRow("its header") << "./usr/include/pixels/acht_bits.h";
    QTest::newRow("its CMake package") << lib + "cmake/pixels/pixels-config.cmake";
    QTest::newRow("Designer plugin") << lib + "qt6/plugins/designer/libpixels_designer.so";
    QTest::newRow("desktop file") << "./usr/share/applications/kestrin.desktop";
    QTest::newRow("icon") << "./usr/share/icons/hicolor/32x32/apps/kestrin.png";
    QTest::newRow("kestrin(1)") << "./usr/share/man/man1/kestrin.1.gz";
    QTest::newRow("kestrin-board(1)") << "./usr/share/man/man1/kestrin-board.1.gz";
    QTest::newRow("bash completion") << "./usr/share/bash-completion/completions/kestrin";
    if (KESTRIN_HAS_AVR_BOARD) {
        QTest::newRow("kestrin-avr-board") << "./usr/bin/kestrin-avr-board";
        QTest::newRow("kestrin-avr-board(1)") << "./usr/share/man/man1/kestrin-avr-board.1.gz";
    }
    if (KESTRIN_HAS_FIRMWARE) {
        QTest::newRow("firmware .elf") << "./usr/share/kestrin/firmware/kestrin-firmware.elf";
        QTest::newRow("firmware .hex") << "./usr/share/kestrin/firmware/kestrin-firmware.hex";
    }
}

void TestPackage::holds()
{
    QFETCH(QString, path);
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
    QVERIFY(dynamic.contains("libpixels.so.1"));
    QVERIFY(!dynamic.contains("RPATH") && !dynamic.contains("RUNPATH"));
}

void TestPackage::manPages_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("option");
    QTest::newRow("kestrin(1)") << "kestrin.1" << "--list-ports";
    QTest::newRow("kestrin-board(1)") << "kestrin-board.1" << "--record";
    if (KESTRIN_HAS_AVR_BOARD)
        QTest::newRow("kestrin-avr-board(1)") << "kestrin-avr-board.1" << "--wait-for-host";
}

// groff, warning about everything, has nothing to say.
void TestPackage::manPages()
{
    QFETCH(QString, page);
    QFETCH(QString, option);
    const QString roff = kBuild + "/man/" + page;
    QFile file(roff);
    QVERIFY(file.open(QIODevice::ReadOnly) && file.readAll().contains(option.toUtf8()));
    int status = -1;
    QByteArray err;
    QCOMPARE(run("groff", {"-man", "-ww", "-z", roff}, &status, &err) + err, QByteArray());
    QCOMPARE(status, 0);
}

void TestPackage::completion_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QStringList>("offered");
    QTest::newRow("commands") << QStringList{"kestrin", ""} << QStringList{"--list-ports", "convert", "serve"};
    QTest::newRow("--fit") << QStringList{"kestrin", "convert", "--fit", ""} << QStringList{"fill", "fit", "stretch"};
    QTest::newRow("convert's --p") << QStringList{"kestrin", "convert", "--p"} << QStringList{"--play"};
    QTest::newRow("serve's --l") << QStringList{"kestrin", "serve", "--l"} << QStringList{"--lcdproc", "--loop", "--lower"};
    QTest::newRow("network board") << QStringList{"kestrin", "serve", "--port", "rf"} << QStringList{"rfc2217://"};
}

void TestPackage::completion()
{
    QFETCH(QStringList, words);
    QFETCH(QStringList, offered);
    const QString script = "source /usr/share/bash-completion/bash_completion && source " KESTRIN_SOURCE_DIR
                           "/completion/kestrin.bash && COMP_WORDS=(\"$@\") COMP_CWORD=$(($# - 1)) "
                           "COMP_LINE=\"$*\" && COMP_POINT=${#COMP_LINE} && _kestrin; printf '%s\\n' \"${COMPREPLY[@]}\"";
    QStringList reply = QString::fromUtf8(run("bash", QStringList{"-c", script, "bash"} + words)).split(u'\n', Qt::SkipEmptyParts);
    reply.sort();
    QCOMPARE(reply, offered);
}

QTEST_GUILESS_MAIN(TestPackage)
#include "tst_package.moc"
