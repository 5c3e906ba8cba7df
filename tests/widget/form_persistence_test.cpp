#include "error_number.h"
#include "widget_fixture.h"

#include "widget/form_persistence.h"

#include "platform/com/property_bag.h"
#include "platform/vb/error.h"

#include "qt_printers.h"

#include <QTemporaryDir>

namespace {

class FormPersistenceTest : public QtFormFixture {
protected:
    // A sales form as a host builds it: the controls inside a frame, under
    // the names the form file knows them by. The form's font is the
    // platform's default, so that a new control is at every default.
    QWidget *newForm(const QStringList &names, bool designing = false)
    {
        auto *salesForm = new QWidget(form);
        QFont font("MS Sans Serif");
        font.setPointSizeF(8.25);
        salesForm->setFont(font);
        auto *frame = new QWidget(salesForm);
        for (const QString &name : names)
            controls[name] = new vokArticuloWidget(frame);
        for (const QString &name : names) {
            controls[name]->setObjectName(name);
            // Placed on the form in a designer: a new instance.
            if (designing)
                controls[name]->control().InitProperties();
        }
        return salesForm;
    }

    static QStringList designTimeValues(const vokArticuloWidget *control)
    {
        QStringList values;
        for (const QString &name : designTimeProperties()) {
            const QVariant value = control->property(name.toLatin1());
            values << name + " = " + (value.metaType() == QMetaType::fromType<QFont>() ? value.value<QFont>().toString() : value.toString());
        }
        return values;
    }

    QTemporaryDir folder;
    QMap<QString, vokArticuloWidget *> controls;
};

TEST_F(FormPersistenceTest, AFormsControlsComeBackFromItsFile)
{
    newForm({"txtArticulo", "txtNuevo"}, true);
    controls["txtArticulo"]->setFormatCodigo("##-####");
    controls["txtArticulo"]->setFormatDisplay(2);
    controls["txtArticulo"]->setControlEnabled(false);
    controls["txtArticulo"]->setBackgroundColor(QColor(0xC0, 0xFF, 0xC0));
    controls["txtArticulo"]->setSugerencias(true);
    const QStringList articulo = designTimeValues(controls["txtArticulo"]);

    com::FormStore saved(folder.filePath("pedido.frm"));
    vokwidget::saveForm(form, saved);
    saved.save();

    // A control at every default leaves an empty section.
    ASSERT_NE(saved.find("txtNuevo"), nullptr);
    EXPECT_TRUE(saved.find("txtNuevo")->keys().isEmpty());

    controls.clear();
    delete form;
    form = new QWidget;
    newForm({"txtNuevo", "txtArticulo", "txtOtro"});
    // The host runs the controls a while before loading: loading replaces
    // what they had.
    controls["txtArticulo"]->setFormatCodigo("0000");
    com::FormStore stored(saved.path());
    stored.load();
    vokwidget::loadForm(form, stored);

    EXPECT_EQ(designTimeValues(controls["txtArticulo"]), articulo);
    EXPECT_FALSE(controls["txtArticulo"]->control().userControl().isEnabled());
    EXPECT_EQ(controls["txtNuevo"]->FormatDisplay(), 4);
    // A control the file does not know is a new instance.
    EXPECT_EQ(controls["txtOtro"]->FormatDisplay(), 4);
    EXPECT_EQ(stored.find("txtOtro"), nullptr);
}

TEST_F(FormPersistenceTest, ControlsMustBeToldApartByName)
{
    com::FormStore store(folder.filePath("f.frm"));
    newForm({"txtArticulo", "TXTARTICULO"});
    EXPECT_THROW(vokwidget::saveForm(form, store), vb::Error);
    controls["TXTARTICULO"]->setObjectName(QString());
    EXPECT_EQ(vok::test::errorNumberOf([&] { vokwidget::loadForm(form, store); }), vb::err::InvalidProcedureCall);
    EXPECT_TRUE(store.controlNames().isEmpty());
}

} // namespace
