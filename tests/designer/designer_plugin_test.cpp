#include "platform/com/property_bag.h"
#include "widget/form_persistence.h"
#include "widget/vok_articulo_widget.h"

#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <QBuffer>
#include <QFileInfo>
#include <QJsonObject>
#include <QMetaEnum>
#include <QPluginLoader>
#ifdef VOK_HAVE_UILOADER
#include <QUiLoader>
#endif

#include <gtest/gtest.h>

#include <memory>

namespace {

// The build's plugin, or an installed one named by $VOK_DESIGNER_PLUGIN.
QString pluginFile()
{
    return qEnvironmentVariable("VOK_DESIGNER_PLUGIN", QStringLiteral(VOK_DESIGNER_PLUGIN));
}

QDesignerCustomWidgetInterface *loadPlugin()
{
    static QPluginLoader loader(pluginFile());
    if (!loader.load()) {
        ADD_FAILURE() << loader.errorString().toStdString();
        return nullptr;
    }
    return qobject_cast<QDesignerCustomWidgetInterface *>(loader.instance());
}

TEST(DesignerPlugin, OffersTheControlAsANewInstance)
{
    // What Qt reads before loading it: Designer passes over a file whose interface is not its own.
    const QJsonObject metaData = QPluginLoader(pluginFile()).metaData();
    EXPECT_EQ(metaData.value("IID").toString(), "org.qt-project.Qt.QDesignerCustomWidgetInterface");
    EXPECT_EQ(metaData.value("className").toString(), "vokArticuloWidgetPlugin");
    QDesignerCustomWidgetInterface *plugin = loadPlugin();
    ASSERT_NE(plugin, nullptr);
    EXPECT_EQ(plugin->name(), QStringLiteral("vokArticuloWidget"));
    EXPECT_EQ(plugin->group(), QStringLiteral("vokBArticulo"));
    // uic writes it into the form's header; a host has the prefix's include/
    // on its path and nothing below it.
    EXPECT_EQ(plugin->includeFile(), QStringLiteral("vokBArticulo/widget/vok_articulo_widget.h"));
    EXPECT_FALSE(plugin->icon().isNull()) << "the toolbox picture comes from the control library's resources";

    // Only the geometry: every design-time property starts at its default.
    EXPECT_EQ(plugin->domXml().count(QStringLiteral("<property")), 1);

    QWidget form;
    std::unique_ptr<QWidget> created(plugin->createWidget(&form));
    auto *control = qobject_cast<vokArticuloWidget *>(created.get());
    ASSERT_NE(control, nullptr);
    // Outside Designer (QUiLoader) the control runs.
    EXPECT_FALSE(control->designMode());
    // A new instance: every stored property at its default but the font,
    // which takes only its name from the form's (size and style stay the text
    // box's), just as a form file stores it.
    com::MemoryPropertyBag bag;
    control->control().WriteProperties(bag);
    EXPECT_TRUE(bag.keys().isEmpty() || bag.keys() == QStringList{QStringLiteral("Font")})
        << bag.keys().join(u',').toStdString();
}

// Designer's property editor offers an enumerated property by the names its
// meta-object gives, each with the control's value.
class DesignerEnumerations : public ::testing::TestWithParam<std::pair<const char *, const char *>> {};

TEST_P(DesignerEnumerations, ShowNamesWithTheControlsValues)
{
    const QMetaObject &meta = vokArticuloWidget::staticMetaObject;
    const QMetaEnum enumeration = meta.property(meta.indexOfProperty(GetParam().first)).enumerator();
    QStringList values;
    for (int i = 0; i < enumeration.keyCount(); ++i)
        values << QStringLiteral("%1=%2").arg(QString::fromLatin1(enumeration.key(i))).arg(enumeration.value(i));
    EXPECT_EQ(values.join(u' ').toStdString(), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Widget, DesignerEnumerations,
                         ::testing::Values(std::pair("Appearance", "Flat=0 ThreeD=1"),
                                           std::pair("FormatDisplay", "afd_Nombre=1 afd_NombreCodigo=2 afd_Codigo=3 "
                                                                      "afd_CodigoNombre=4"),
                                           std::pair("NombreADesplegar", "and_Nombre=0 and_NombreCorto=1")),
                         [](const auto &info) { return std::string(info.param.first); });

#ifdef VOK_HAVE_UILOADER
// What a .ui file holds reaches the control as a form file would give it:
// saving the loaded form stores exactly the properties the .ui file set.
TEST(DesignerPlugin, UiFilePropertiesLoadAsAFormFileWouldGiveThem)
{
    const QByteArray ui = R"(<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0">
 <class>Pedido</class>
 <widget class="QWidget" name="Pedido">
  <widget class="vokArticuloWidget" name="txtArticulo">
   <property name="FormatCodigo"><string>##-####</string></property>
   <property name="FormatDisplay"><number>2</number></property>
   <property name="OmitirVariedad"><bool>true</bool></property>
   <property name="PedirIncluirVariedad"><bool>false</bool></property>
   <property name="EnVentaObligatorio"><number>1</number></property>
   <property name="BackColor"><color><red>255</red><green>0</green><blue>0</blue></color></property>
   <property name="Font"><font><family>Arial</family><pointsize>12</pointsize><bold>true</bold></font></property>
  </widget>
 </widget>
</ui>
)";
    QUiLoader loader;
    loader.clearPluginPaths();
    loader.addPluginPath(QFileInfo(QStringLiteral(VOK_DESIGNER_PLUGIN)).absolutePath());
    ASSERT_TRUE(loader.availableWidgets().contains(QStringLiteral("vokArticuloWidget")));
    QBuffer file;
    file.setData(ui);
    std::unique_ptr<QWidget> form(loader.load(&file));
    ASSERT_NE(form, nullptr) << loader.errorString().toStdString();

    com::FormStore store(QStringLiteral("pedido.frm"));
    vokwidget::saveForm(form.get(), store);
    const QStringList expected = {"BackColor", "Font", "FormatCodigo", "FormatDisplay", "OmitirVariedad",
                                  "EnVentaObligatorio", "PedirIncluirVariedad"};
    ASSERT_NE(store.find(QStringLiteral("txtArticulo")), nullptr);
    EXPECT_EQ(store.find(QStringLiteral("txtArticulo"))->keys(), expected);
}
#endif

// Last: the plugin is one instance per process, and from here on it is
// Designer's.
TEST(DesignerPlugin, InDesignerTheControlIsInDesignMode)
{
    QDesignerCustomWidgetInterface *plugin = loadPlugin();
    ASSERT_NE(plugin, nullptr);
    QDesignerFormEditorInterface core;
    plugin->initialize(&core);
    EXPECT_TRUE(plugin->isInitialized());
    QWidget form;
    std::unique_ptr<QWidget> designed(plugin->createWidget(&form));
    EXPECT_TRUE(qobject_cast<vokArticuloWidget *>(designed.get())->designMode());
}

} // namespace
