// SPDX-License-Identifier: MIT
// Links no widget library of ours: a form reaches AchtBits only through the
// Designer plugin, and its property only by name, as Designer and QUiLoader do.
#include <QBuffer>
#include <QTest>
#include <QUiLoader>
#include <QWidget>

#include <memory>

class TestAchtBitsPlugin : public QObject
{
    Q_OBJECT

private slots:
    void formSetsAndReadsPixelByteByName()
    {
        QByteArray form = R"(<ui version="4.0"><class>Form</class><widget class="QWidget" name="Form">
            <widget class="AchtBits" name="AchtBits1"><property name="PixelByte"><number>129</number></property>
            </widget></widget></ui>)";
        QBuffer file(&form);
        QUiLoader loader;
        loader.clearPluginPaths();
        loader.addPluginPath(QStringLiteral(PIXELS_DESIGNER_PLUGIN_DIR));
        const std::unique_ptr<QWidget> widget(loader.load(&file));
        QVERIFY2(widget != nullptr, qPrintable(loader.errorString()));
        QObject *bits = widget->findChild<QWidget *>(QStringLiteral("AchtBits1"));
        QVERIFY(bits != nullptr);
        QCOMPARE(bits->metaObject()->className(), "AchtBits");
        QCOMPARE(bits->property("PixelByte").value<quint8>(), quint8{129});
        QVERIFY(bits->setProperty("PixelByte", QVariant::fromValue(quint8{0x5A})));
        QCOMPARE(bits->property("PixelByte").metaType(), QMetaType::fromType<quint8>());
        QCOMPARE(bits->property("PixelByte").value<quint8>(), quint8{0x5A});
    }
};

QTEST_MAIN(TestAchtBitsPlugin)
#include "tst_acht_bits_plugin.moc"
