#include "vok_articulo_widget_plugin.h"

#include "platform/com/resources.h"
#include "widget/vok_articulo_widget.h"

#include <QIcon>
#include <QPixmap>

vokArticuloWidgetPlugin::vokArticuloWidgetPlugin(QObject *parent) : QObject(parent) {}

QString vokArticuloWidgetPlugin::name() const
{
    return QStringLiteral("vokArticuloWidget");
}

QString vokArticuloWidgetPlugin::group() const
{
    return QStringLiteral("vokBArticulo");
}

QString vokArticuloWidgetPlugin::toolTip() const
{
    return QStringLiteral("VOK - Buscar Artículo");
}

QString vokArticuloWidgetPlugin::whatsThis() const
{
    return QStringLiteral("Article entry: the user types a code, a bar code or words of the name, "
                          "and the host reads the chosen article.");
}

// What uic writes into a form's generated header: the installed name, found
// through the one include folder the package gives a host.
QString vokArticuloWidgetPlugin::includeFile() const
{
    return QStringLiteral("vokBArticulo/widget/vok_articulo_widget.h");
}

// The toolbox picture the control library carries for form designers. The
// library is loaded already (the widget links it), so its file name finds it.
QIcon vokArticuloWidgetPlugin::icon() const
{
    QPixmap picture;
    try {
        picture.loadFromData(com::loadResource(QStringLiteral(VOK_CONTROL_LIBRARY), QStringLiteral("BITMAP"),
                                               QStringLiteral("30000")),
                             "BMP");
    } catch (const std::exception &) {
        return {};
    }
    return QIcon(picture);
}

bool vokArticuloWidgetPlugin::isContainer() const
{
    return false;
}

// Only the object name and the size the control is usually drawn at: every
// design-time property starts at its default and is written only once changed.
QString vokArticuloWidgetPlugin::domXml() const
{
    return QStringLiteral(R"(<ui language="c++">
 <widget class="vokArticuloWidget" name="txtArticulo">
  <property name="geometry">
   <rect><x>0</x><y>0</y><width>267</width><height>19</height></rect>
  </property>
 </widget>
</ui>
)");
}

QWidget *vokArticuloWidgetPlugin::createWidget(QWidget *parent)
{
    auto *widget = new vokArticuloWidget(parent);
    widget->setDesignMode(m_inDesigner);
    widget->control().InitProperties();
    return widget;
}

bool vokArticuloWidgetPlugin::isInitialized() const
{
    return m_initialized;
}

void vokArticuloWidgetPlugin::initialize(QDesignerFormEditorInterface *core)
{
    m_initialized = true;
    m_inDesigner = core != nullptr;
}
