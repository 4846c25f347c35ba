// SPDX-License-Identifier: MIT
#include <QFile>
#include <QTest>
#include <QUiLoader>
#include <QWidget>

#include <memory>

// Links no widget library: the form reaches AchtBits only through the Designer
// plugin, and its property only by name.
class tst_AchtBitsPlugin : public QObject
{
    Q_OBJECT

private slots:
    void pixelByteByName();
};

void tst_AchtBitsPlugin::pixelByteByName()
{
    QUiLoader loader;
    loader.clearPluginPaths();
    loader.addPluginPath(QStringLiteral(PIXELS_DESIGNER_PLUGIN_DIR));
    QFile file(QStringLiteral(ACHT_BITS_FORM));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const std::unique_ptr<QWidget> form(loader.load(&file));
    QVERIFY2(form != nullptr, qPrintable(loader.errorString()));
    QObject *bits = form->findChild<QWidget *>(QStringLiteral("AchtBits1"));
    QVERIFY(bits != nullptr);
    QCOMPARE(bits->metaObject()->className(), "AchtBits");
    QCOMPARE(bits->property("PixelByte").value<quint8>(), quint8{129});

    QVERIFY(bits->setProperty("PixelByte", QVariant::fromValue(quint8{0x5A})));
    const QVariant read = bits->property("PixelByte");
    QCOMPARE(read.metaType(), QMetaType::fromType<quint8>());
    QCOMPARE(read.value<quint8>(), quint8{0x5A});
}

QTEST_MAIN(tst_AchtBitsPlugin)
#include "tst_acht_bits_plugin.moc"
