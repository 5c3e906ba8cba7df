#include "widget_fixture.h"

#include "widget/form_persistence.h"

#include "platform/com/property_bag.h"
#include "platform/vb/conversions.h"
#include "platform/ui/qt/qt_text_box.h"
#include "named_rows.h"
#include "qt_printers.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>

#include <functional>
#include <optional>
#include <string_view>
#include <variant>


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

// The search dialog (F4) draws its labels in Tahoma 8.25 from x = 60 twips and
// its combo boxes from x = 1500: in the narrow family the widget stands in for
// Tahoma, each caption ends before its combo box.
TEST_F(QtFormFixture, SearchDialogLabelsEndBeforeTheirComboBoxes)
{
    if (!QFontDatabase::families().contains("DejaVu Sans Condensed"))
        GTEST_SKIP() << "no narrow sans family (fonts-dejavu-extra) is installed";
    vokArticuloWidget widget(form);
    const QFontMetrics metrics(ui::qt::toQFont(ui::Font{"Tahoma", 8.25}), &widget);
    for (const QString caption : {"Tipo de búsqueda", "Código de Barras:"})
        EXPECT_LE(metrics.horizontalAdvance(caption), ui::qt::toPixels(1500 - 60, widget.logicalDpiX()))
            << caption.toStdString();
}

// What a designer offers is exactly what the form keeps: every design-time
// property moved off its default is stored under its own name, and nothing
// else is.
TEST_F(ArticuloWidgetTest, DesignTimePropertiesAreTheStoredOnes)
{
    const QVariantMap changed = {{"Appearance", 1},           {"BackColor", QColor(Qt::yellow)},
                                 {"ForeColor", QColor(Qt::blue)},  {"Enabled", false},
                                 {"Font", QFont("Courier")},  {"MaxLength", 12},
                                 {"FormatCodigo", "00-000"},  {"FormatDisplay", 1},
                                 {"NombreADesplegar", 1},     {"OmitirVariedad", true},
                                 {"EnUsoObligatorio", 1},     {"EnVentaObligatorio", 1},
                                 {"PedirIncluirVariedad", false}, {"BackgroundColor", QColor(0xC0, 0xFF, 0xC0)},
                                 {"Sugerencias", true}};
    EXPECT_EQ(QStringList(changed.keys()).size(), designTimeProperties().size());
    for (auto it = changed.begin(); it != changed.end(); ++it)
        EXPECT_TRUE(widget->setProperty(it.key().toLatin1(), it.value())) << it.key().toStdString();
    com::FormStore store({});
    widget->setObjectName("txtArticulo");
    vokwidget::saveForm(form, store);
    EXPECT_EQ(store.control("txtArticulo").keys(), designTimeProperties());
    // The font is the text box's; the widget's own stays the container's.
    EXPECT_EQ(edit()->font().family(), "Courier");
    EXPECT_NE(widget->font().family(), "Courier");
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

TEST_F(ArticuloWidgetTest, MadeInCodeItIsANewInstanceOnItsForm)
{
    // A widget made in code is a new instance on its form, with nobody
    // calling InitProperties.
    form->setFont(QFont("DejaVu Sans", 11));
    delete widget;
    widget = new vokArticuloWidget(form);
    EXPECT_EQ(widget->control().Font().name, "DejaVu Sans");
    EXPECT_EQ(widget->control().Font().size, 8.25) << "a new control takes only the name of the form's font";
    EXPECT_EQ(widget->FormatDisplay(), vokArticuloWidget::afd_CodigoNombre);


    QStringList changed;
    QObject::connect(widget, &vokArticuloWidget::propertyChanged, [&](const QString &name) { changed << name; });
    widget->setFormatCodigo("000");
    widget->setEmpresa(1);
    EXPECT_EQ(changed, QStringList({"FormatCodigo"}));
}

// A host writes colours as QColor; an integer would be read one way as an
// OLE number and the other way as Qt's 0xAARRGGBB, so it does not compile.
template <class W> concept TakesAnIntegerColour = requires(W &widget) { widget.setBackColor(0x0000FFu); };
static_assert(!TakesAnIntegerColour<vokArticuloWidget>);

// A colour through the meta-object, as Designer uses it: it reads as painted (a system colour in
// the palette of the text box, or the control's for the background); the form keeps the number.
struct ColourRow {
    const char *name;
    const char *property;
    std::function<void(vokArticuloWidget &)> write;
    std::variant<QColor, QPalette::ColorRole> reads;
    std::optional<int32_t> stored; // none: at its default, not kept
};
using vok::test::PrintTo;

class ColourProperty : public ArticuloWidgetTest, public ::testing::WithParamInterface<ColourRow> {};

TEST_P(ColourProperty, ReadsAsPaintedAndTheFormKeepsTheNumber)
{
    const ColourRow &row = GetParam();
    row.write(*widget);
    const auto *role = std::get_if<QPalette::ColorRole>(&row.reads);
    QWidget *shownOn = std::string_view(row.property) == "BackgroundColor" ? static_cast<QWidget *>(widget) : edit();
    EXPECT_EQ(widget->property(row.property).value<QColor>().name(),
              (role ? QApplication::palette(shownOn).color(*role) : std::get<QColor>(row.reads)).name());
    com::MemoryPropertyBag bag;
    widget->control().WriteProperties(bag);
    const vb::Variant stored = bag.ReadProperty(row.property);
    EXPECT_EQ(stored.isEmpty() ? std::nullopt : std::optional(vb::CLng(stored)), row.stored);
}

INSTANTIATE_TEST_SUITE_P(
    Widget, ColourProperty,
    ::testing::Values(
        ColourRow{"ChosenIsRedGreenBlue", "BackColor", [](auto &w) { w.setProperty("BackColor", QColor(0x12, 0x34, 0x56)); },
                  QColor(0x12, 0x34, 0x56), 0x563412},
        ColourRow{"ForeColorChosen", "ForeColor", [](auto &w) { w.setForeColor(Qt::red); }, QColor(Qt::red), 0xFF},
        ColourRow{"SystemColourIsThePalettes", "BackColor", [](auto &w) { w.control().setBackColor(0x8000000Fu); },
                  QPalette::Button, int32_t(0x8000000Fu)},
        ColourRow{"ResetGivesTheSystemColourBack", "BackgroundColor",
                  [](auto &w) { w.setBackgroundColor(Qt::green), w.setProperty("BackgroundColor", QVariant()); },
                  QPalette::Button, std::nullopt}),
    vok::test::byName);

} // namespace
