// The control on stored forms: a new instance, and the design-time
// properties through a property bag and a form file.

#include "control_harness.h"

#include "platform/com/property_bag.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

const QStringList AllKeys = {"Appearance",     "BackColor",        "ForeColor",        "Enabled",
                             "Font",           "MaxLength",        "FormatCodigo",     "FormatDisplay",
                             "NombreADesplegar", "OmitirVariedad", "EnUsoObligatorio", "EnVentaObligatorio",
                             "PedirIncluirVariedad", "BackgroundColor"};

const ui::Font Courier{"Courier New", 12, true, false, true, false};

// Every persisted property away from its default, through the public setters.
void setEveryProperty(vokTArticulo &c)
{
    c.setAppearance(1), c.setBackColor(0x00FFEEDDu), c.setForeColor(0x00112233u), c.setEnabled(false);
    c.setFont(Courier), c.setMaxLength(20), c.setFormatCodigo("##-####"), c.setFormatDisplay(afd_Codigo);
    c.setNombreADesplegar(2), c.setOmitirVariedad(true), c.setEnUsoObligatorio(1), c.setEnVentaObligatorio(2);
    c.setPedirIncluirVariedad(false), c.setBackgroundColor(0x00C0C0C0u);
}

} // namespace

class Persistence : public vok::test::ControlFixture {};

TEST_F(Persistence, InitialiseTakesOnlyTheNameOfTheAmbientFont)
{
    text().setFont(ui::Font{"Tahoma", 11, true});
    text().setAppearance(1);
    text().setText("x");
    surface().setAmbientFont(ui::Font{"Arial", 20, false, true});
    control->InitProperties();
    EXPECT_EQ(control->Font(), (ui::Font{"Arial", 11, true}));
    EXPECT_EQ(std::tuple(control->Appearance(), control->BackColor(), control->ForeColor(), control->Text(),
                         control->FormatDisplay()),
              std::tuple(0, ui::SystemWindowBackground, ui::SystemWindowText, QString(), afd_CodigoNombre));
}

// Every key written in order and read back as written; nothing at the defaults.
TEST_F(Persistence, WritesEveryKeyInOrderReadsItBackAndNothingAtTheDefaults)
{
    setEveryProperty(*control);
    com::MemoryPropertyBag bag;
    control->WriteProperties(bag);
    EXPECT_EQ(bag.keys(), AllKeys);
    EXPECT_EQ(bag.ReadProperty("EnUsoObligatorio"), vb::Variant(uint8_t{1}));
    vokTArticulo loaded;
    loaded.ReadProperties(bag);
    com::MemoryPropertyBag again;
    loaded.WriteProperties(again);
    ASSERT_EQ(again.keys(), AllKeys);
    EXPECT_EQ(again.ReadFont("Font", {}), Courier);
    for (const QString &key : again.keys())
        EXPECT_TRUE(key == "Font" || again.ReadProperty(key) == bag.ReadProperty(key)) << key.toStdString();

    // A new instance at its defaults drops every key again; the font is
    // compared with the ambient font at the time of writing.
    vokTArticulo fresh;
    fresh.InitProperties();
    fresh.WriteProperties(bag);
    EXPECT_EQ(bag.keys(), QStringList{});
    static_cast<ui::HeadlessUserControl &>(fresh.userControl()).setAmbientFont(ui::Font{"Arial"});
    fresh.WriteProperties(bag);
    EXPECT_EQ(bag.keys(), QStringList{"Font"});
}

TEST_F(Persistence, StoredFormatDisplayZeroReadsAsFour)
{
    QList<int> read;
    for (const int32_t stored : {0, 1, 2, 3, 4, -1}) {
        com::MemoryPropertyBag bag;
        if (stored >= 0)
            bag.WriteProperty("FormatDisplay", stored);
        control->ReadProperties(bag);
        read << control->FormatDisplay();
    }
    EXPECT_EQ(read, QList<int>({4, 1, 2, 3, 4, afd_CodigoNombre})) << "stored 0, 1, 2, 3, 4, nothing";
}

TEST_F(Persistence, StoredValuesReachTheConstituentControls)
{
    com::MemoryPropertyBag bag;
    bag.WriteProperty("Enabled", false);
    bag.WriteProperty("BackgroundColor", int32_t{0x0000FF00});
    control->ReadProperties(bag);
    EXPECT_FALSE(text().isEnabled() || surface().isEnabled());
    EXPECT_EQ(std::pair(surface().backColor(), check().backColor()), std::pair(0x0000FF00u, 0x0000FF00u));
    // Reading neither shows the check box nor tells the container of changes.
    EXPECT_FALSE(check().isVisible());
    EXPECT_TRUE(surface().changedProperties().empty());
}

TEST_F(Persistence, MissingKeysTenToThirteenKeepTheFields)
{
    control->setOmitirVariedad(true);
    control->setEnUsoObligatorio(3);
    control->setEnVentaObligatorio(4);
    control->setPedirIncluirVariedad(false);
    com::MemoryPropertyBag empty;
    control->ReadProperties(empty);
    EXPECT_EQ(std::tuple(control->OmitirVariedad(), control->EnUsoObligatorio(), control->EnVentaObligatorio(),
                         control->PedirIncluirVariedad()),
              std::tuple(true, 3, 4, false));

    vokTArticulo fresh; // a form saved without the key loads with True
    fresh.ReadProperties(empty);
    EXPECT_TRUE(fresh.PedirIncluirVariedad());
}
