#include "widget_fixture.h"

#include "platform/com/property_bag.h"
#include "platform/ui/qt/qt_text_box.h"
#include "qt_printers.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>


namespace {

class ArticuloWidgetTest : public QtFormFixture {
protected:
    void SetUp() override
    {
        QtFormFixture::SetUp();
        form->resize(400, 100);
        widget = new vokArticuloWidget(form);
        widget->setGeometry(10, 10, 267, 20);
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    }

    QLineEdit *edit() { return static_cast<ui::QtTextBox &>(widget->control().tArticulo()).lineEdit(); }

    vokArticuloWidget *widget = nullptr;
};

// A widget made in code on a form is a new instance without anyone calling
// InitProperties: the text box has the form's font name, and the display the
// new instance's.
TEST_F(QtFormFixture, AWidgetMadeInCodeIsANewInstanceOnItsForm)
{
    QFont formFont(QStringLiteral("DejaVu Serif"));
    formFont.setPointSizeF(11);
    form->setFont(formFont);
    auto *made = new vokArticuloWidget(form);
    EXPECT_EQ(made->controlFont().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(made->FormatDisplay(), vokArticuloWidget::afd_CodigoNombre);
    // Saved at once, it stores nothing but the font a form file keeps for it.
    com::MemoryPropertyBag bag;
    made->control().WriteProperties(bag);
    EXPECT_TRUE(bag.keys().isEmpty() || bag.keys() == QStringList{QStringLiteral("Font")})
        << bag.keys().join(u',').toStdString();
}

// The search dialog (F4) draws its labels in Tahoma 8.25 from x = 60 twips,
// and its combo boxes start at x = 1500: with the narrow family the widget
// stands in for Tahoma, each label's text ends before its combo box.
struct DialogLabel {
    const char *name;
    const char *caption;
};

class SearchDialogLabel : public QtFormFixture, public ::testing::WithParamInterface<DialogLabel> {};

TEST_P(SearchDialogLabel, EndsBeforeItsComboBox)
{
    const QStringList narrow = {"Liberation Sans Narrow", "Arial Narrow", "DejaVu Sans Condensed"};
    const QStringList installed = QFontDatabase::families();
    if (std::none_of(narrow.begin(), narrow.end(), [&](const QString &f) { return installed.contains(f); }))
        GTEST_SKIP() << "no narrow sans family is installed (fonts-dejavu-extra has one)";
    vokArticuloWidget widget(form); // stands the families in
    const QFont dialogFont = ui::qt::toQFont(ui::Font{"Tahoma", 8.25});
    const int room = ui::qt::toPixels(1500 - 60, widget.logicalDpiX());
    EXPECT_LE(QFontMetrics(dialogFont, &widget).horizontalAdvance(QString::fromUtf8(GetParam().caption)), room)
        << "in " << QFontInfo(dialogFont).family().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Widget, SearchDialogLabel,
                         ::testing::Values(DialogLabel{"TipoDeBusqueda", "Tipo de búsqueda"},
                                           DialogLabel{"CodigoDeBarras", "Código de Barras:"},
                                           DialogLabel{"BuscarEnCampo", "Buscar en Campo:"}),
                         [](const auto &info) { return std::string(info.param.name); });

// The font reaches the control and its text box, not the widget itself.
TEST_F(ArticuloWidgetTest, TheFontIsTheControlsAndTheArticlesFieldsAreReadOnly)
{
    vokTArticulo &c = widget->control();
    QFont font("DejaVu Serif");
    font.setPointSizeF(12);
    font.setBold(true);
    widget->setProperty("Font", font);
    EXPECT_EQ(c.Font(), (ui::Font{"DejaVu Serif", 12, true, false, false, false}));
    EXPECT_EQ(edit()->font().family(), "DejaVu Serif");
    EXPECT_EQ(widget->property("Font").value<QFont>(), font);

    // The article's fields are read-only, and the widget's own font and
    // enabled state stay the container's.
    EXPECT_FALSE(widget->setProperty("Codigo", "X"));
    EXPECT_EQ(widget->property("TipoCombo"), widget->property("EsCombo"));
    EXPECT_TRUE(widget->isEnabled());
    EXPECT_NE(widget->font().family(), "DejaVu Serif");
}

// What a designer offers is exactly what the form keeps: every design-time
// property moved off its default is stored under its own name, and nothing
// else is.
TEST_F(ArticuloWidgetTest, DesignTimePropertiesAreTheStoredOnes)
{
    const QVariantMap changed = {{"Appearance", 1},           {"BackColor", 0x0000FFFFu},
                                 {"ForeColor", 0x00FF0000u},  {"Enabled", false},
                                 {"Font", QFont("Courier")},  {"MaxLength", 12},
                                 {"FormatCodigo", "00-000"},  {"FormatDisplay", 1},
                                 {"NombreADesplegar", 1},     {"OmitirVariedad", true},
                                 {"EnUsoObligatorio", 1},     {"EnVentaObligatorio", 1},
                                 {"PedirIncluirVariedad", false}, {"BackgroundColor", 0x00C0FFC0u}};
    EXPECT_EQ(QStringList(changed.keys()).size(), designTimeProperties().size());
    for (auto it = changed.begin(); it != changed.end(); ++it)
        widget->setProperty(it.key().toLatin1(), it.value());
    com::MemoryPropertyBag bag;
    widget->control().WriteProperties(bag);
    EXPECT_EQ(bag.keys(), designTimeProperties());
}

TEST_F(ArticuloWidgetTest, KeySignalsLetTheHostChangeOrSwallowTheKey)
{
    QStringList events;
    QObject::connect(widget, &vokArticuloWidget::KeyPress, [&](qint16 *KeyAscii) {
        events << QStringLiteral("KeyPress %1").arg(*KeyAscii);
        if (*KeyAscii == 'x')
            *KeyAscii = 0;
    });
    QObject::connect(widget, &vokArticuloWidget::Change, [&] { events << "Change " + widget->Text(); });
    QObject::connect(widget, &vokArticuloWidget::Error, [&](const QString &text) { events << "Error " + text; });
    QObject::connect(widget, &vokArticuloWidget::GotFocus2, [&] { events << "GotFocus2"; });

    widget->setFocus();
    ASSERT_TRUE(edit()->hasFocus());
    QTest::keyClicks(edit(), "axb");
    EXPECT_EQ(widget->Text(), "ab");
    // Enter on text to resolve without a connection: the lookup fails, which
    // the host hears as Error, then as GotFocus2.
    QTest::keyClick(edit(), Qt::Key_Return);
    ASSERT_EQ(events.size(), 7) << events.join(" | ").toStdString();
    EXPECT_EQ(events.mid(0, 5), QStringList({"KeyPress 97", "Change a", "KeyPress 120", "KeyPress 98", "Change ab"}));
    EXPECT_TRUE(QRegularExpression("^Error \\d+ - .+$").match(events[5]).hasMatch()) << events[5].toStdString();
    EXPECT_EQ(events[6], "GotFocus2");
}

// Qt moves the focus off a box it hides; that loss must not offer the box again.
TEST_F(ArticuloWidgetTest, HidingTheFocusedCheckBoxKeepsItHidden)
{
    vokTArticulo &control = widget->control();
    control.MostrarVariedad(2);
    control.chkVariedad().setValue(1);
    control.chkVariedad().setFocus();
    ASSERT_TRUE(control.chkVariedad().hasFocus());
    control.MostrarVariedad(1);
    QCoreApplication::processEvents();
    EXPECT_FALSE(control.chkVariedad().isVisible());
    EXPECT_FALSE(control.IncluirVariedades());
    EXPECT_EQ(edit()->width(), 267);
}

TEST_F(ArticuloWidgetTest, TheFormIsTheContainerOfFontAndRunMode)
{
    form->setFont(QFont("DejaVu Sans", 11));
    widget->control().InitProperties();
    EXPECT_EQ(widget->control().Font().name, "DejaVu Sans");
    EXPECT_EQ(widget->control().Font().size, 8.25) << "a new control takes only the name of the form's font";

    EXPECT_FALSE(widget->designMode());
    EXPECT_TRUE(widget->control().userControl().ambientUserMode());
    widget->setDesignMode(true);
    EXPECT_FALSE(widget->control().userControl().ambientUserMode());

    QStringList changed;
    QObject::connect(widget, &vokArticuloWidget::propertyChanged, [&](const QString &name) { changed << name; });
    widget->setFormatCodigo("000");
    widget->setEmpresa(1);
    EXPECT_EQ(changed, QStringList({"FormatCodigo"}));
}

} // namespace
