// SPDX-License-Identifier: MIT
#include <QFile>
#include <QPluginLoader>
#include <QTest>
#include <QUiLoader>
#include <QWidget>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <memory>

// This test does not link the widget library: AchtBits reaches it only through
// the Designer plugin, and its property and signal only by name.
class tst_AchtBitsPlugin : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void offersWidgetUnderKestrin();
    void formLoadsWithPropertyFromFile();
    void pixelByteByName_data();
    void pixelByteByName();
    void pixelClickedByName();

public slots:
    // Connected by name, as a host without the widget's header would.
    void onPixelClicked(quint8 &ByteValue);

private:
    QUiLoader m_loader;
    std::unique_ptr<QWidget> m_form;
    QWidget *m_bits = nullptr;
    QList<quint8> m_clicked;
};

void tst_AchtBitsPlugin::initTestCase()
{
    // Only the plugin just built, never an installed copy.
    m_loader.clearPluginPaths();
    m_loader.addPluginPath(QStringLiteral(PIXELS_DESIGNER_PLUGIN_DIR));
    QVERIFY2(m_loader.availableWidgets().contains(QStringLiteral("AchtBits")),
             qPrintable(m_loader.errorString()));

    QFile file(QStringLiteral(ACHT_BITS_FORM));
    QVERIFY(file.open(QIODevice::ReadOnly));
    m_form.reset(m_loader.load(&file));
    QVERIFY2(m_form != nullptr, qPrintable(m_loader.errorString()));
    m_bits = m_form->findChild<QWidget *>(QStringLiteral("AchtBits1"));
    QVERIFY(m_bits != nullptr);
}

void tst_AchtBitsPlugin::offersWidgetUnderKestrin()
{
    QPluginLoader plugin(QStringLiteral(PIXELS_DESIGNER_PLUGIN_FILE));
    auto *widgetInterface = qobject_cast<QDesignerCustomWidgetInterface *>(plugin.instance());
    QVERIFY2(widgetInterface != nullptr, qPrintable(plugin.errorString()));
    QCOMPARE(widgetInterface->name(), QStringLiteral("AchtBits"));
    QCOMPARE(widgetInterface->group(), QStringLiteral("kestrin"));
    QCOMPARE(widgetInterface->includeFile(), QStringLiteral("<pixels/acht_bits.h>"));
    QVERIFY(widgetInterface->domXml().contains(QStringLiteral("class=\"AchtBits\"")));

    QWidget parent;
    QWidget *created = widgetInterface->createWidget(&parent);
    QVERIFY(created != nullptr);
    QCOMPARE(created->metaObject()->className(), "AchtBits");
    QCOMPARE(created->size(), QSize(6, 33));
}

void tst_AchtBitsPlugin::formLoadsWithPropertyFromFile()
{
    QCOMPARE(m_bits->metaObject()->className(), "AchtBits");
    QCOMPARE(m_bits->geometry(), QRect(8, 8, 5, 33));
    QCOMPARE(m_bits->property("PixelByte").value<quint8>(), quint8{129});
}

void tst_AchtBitsPlugin::pixelByteByName_data()
{
    QTest::addColumn<QVariant>("written");
    QTest::addColumn<quint8>("read");

    QTest::newRow("0 as a byte") << QVariant::fromValue(quint8{0}) << quint8{0};
    QTest::newRow("0x01 as a byte") << QVariant::fromValue(quint8{0x01}) << quint8{0x01};
    QTest::newRow("0x80 as a byte") << QVariant::fromValue(quint8{0x80}) << quint8{0x80};
    QTest::newRow("0xFF as a byte") << QVariant::fromValue(quint8{0xFF}) << quint8{0xFF};
    QTest::newRow("0x5A as an int") << QVariant(0x5A) << quint8{0x5A};
}

void tst_AchtBitsPlugin::pixelByteByName()
{
    QFETCH(QVariant, written);
    QFETCH(quint8, read);

    QVERIFY(m_bits->setProperty("PixelByte", written));
    const QVariant value = m_bits->property("PixelByte");
    QCOMPARE(value.metaType(), QMetaType::fromType<quint8>());
    QCOMPARE(value.value<quint8>(), read);
}

void tst_AchtBitsPlugin::pixelClickedByName()
{
    m_bits->setProperty("PixelByte", QVariant::fromValue(quint8{0}));
    QVERIFY(connect(m_bits, SIGNAL(PixelClicked(quint8&)), this, SLOT(onPixelClicked(quint8&))));
    QTest::mouseClick(m_bits, Qt::LeftButton, {}, QPoint(2, 1));
    QCOMPARE(m_clicked, QList<quint8>{1});
    QCOMPARE(m_bits->property("PixelByte").value<quint8>(), quint8{1});
}

void tst_AchtBitsPlugin::onPixelClicked(quint8 &ByteValue)
{
    m_clicked.append(ByteValue);
}

QTEST_MAIN(tst_AchtBitsPlugin)
#include "tst_acht_bits_plugin.moc"
