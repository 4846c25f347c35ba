// SPDX-License-Identifier: MIT
#include "acht_bits_plugin.h"

#include <pixels/acht_bits.h>

#include <QIcon>

AchtBitsPlugin::AchtBitsPlugin(QObject *parent)
    : QObject(parent)
{
}

QString AchtBitsPlugin::name() const
{
    return QStringLiteral("AchtBits");
}

QString AchtBitsPlugin::group() const
{
    return QStringLiteral("kestrin");
}

QString AchtBitsPlugin::toolTip() const
{
    return QStringLiteral("One byte as eight clickable cells");
}

QString AchtBitsPlugin::whatsThis() const
{
    return QStringLiteral("Shows the byte PixelByte as a column of eight cells, bit 0 at "
                          "the top. A click on a cell flips its bit and raises PixelClicked.");
}

// Angle brackets make uic write a global include.
QString AchtBitsPlugin::includeFile() const
{
    return QStringLiteral("<pixels/acht_bits.h>");
}

QIcon AchtBitsPlugin::icon() const
{
    return {};
}

bool AchtBitsPlugin::isContainer() const
{
    return false;
}

QString AchtBitsPlugin::domXml() const
{
    return QStringLiteral(R"(<ui language="c++">
 <widget class="AchtBits" name="AchtBits1">
  <property name="geometry">
   <rect><x>0</x><y>0</y><width>6</width><height>33</height></rect>
  </property>
 </widget>
</ui>
)");
}

bool AchtBitsPlugin::isInitialized() const
{
    return m_initialized;
}

void AchtBitsPlugin::initialize(QDesignerFormEditorInterface * /*core*/)
{
    m_initialized = true;
}

QWidget *AchtBitsPlugin::createWidget(QWidget *parent)
{
    return new AchtBits(parent);
}
