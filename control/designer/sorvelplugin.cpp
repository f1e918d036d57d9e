// The Qt Designer plugin: the design-time picture and the widget box entry.
#include "sorvelplugin.h"

#include "sorvel.h"
#include "sorvelusage.h"

#include <QIcon>
#include <QPixmap>

#include "sorvelpalette.xpm"

SorvelPlugin::SorvelPlugin(QObject *parent) : QObject(parent) { }

QString SorvelPlugin::name() const
{
    return QStringLiteral("Sorvel");
}

QString SorvelPlugin::group() const
{
    return QStringLiteral("Ferrolink");
}

QString SorvelPlugin::toolTip() const
{
    return QString::fromUtf8(ferrolink::SorvelUsage);
}

QString SorvelPlugin::whatsThis() const
{
    return QString::fromUtf8(ferrolink::SorvelUsage);
}

QString SorvelPlugin::includeFile() const
{
    return QStringLiteral("sorvel.h");
}

QIcon SorvelPlugin::icon() const
{
    return QIcon(QPixmap(sorvel_palette));
}

bool SorvelPlugin::isContainer() const
{
    return false;
}

QWidget *SorvelPlugin::createWidget(QWidget *parent)
{
    // The control hides itself at zero size; on a form being designed it
    // shows its picture instead.
    auto *control = new Sorvel(parent);
    control->setFixedSize(ferrolink::SorvelDesignSize, ferrolink::SorvelDesignSize);
    control->setVisible(true);
    return control;
}

bool SorvelPlugin::isInitialized() const
{
    return m_initialized;
}

void SorvelPlugin::initialize(QDesignerFormEditorInterface *)
{
    m_initialized = true;
}

QString SorvelPlugin::domXml() const
{
    return QStringLiteral(R"(<ui language="c++">
 <widget class="Sorvel" name="Sorvel1">
  <property name="geometry">
   <rect><x>0</x><y>0</y><width>%1</width><height>%1</height></rect>
  </property>
 </widget>
</ui>
)")
        .arg(ferrolink::SorvelDesignSize);
}
