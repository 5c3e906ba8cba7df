// MostrarDetalle on the generated catalogue: the view reads the article and
// variety it is given through the control's connection, and nothing of it
// reaches the host as an error.

#include "catalogue_fixture.h"

#include "detail/frm_foto.h"
#include "platform/vb/format.h"
#include "recording_connection.h"

#include <gtest/gtest.h>

namespace {

struct Seen {
    int32_t articulo;
    int16_t variedad;
    QString title;
    QString price;
};

class DetailViewTest : public CatalogueFixture {
protected:
    void SetUp() override
    {
        CatalogueFixture::SetUp();
        detail::setDetailLoadedListener([this](const detail::frmFoto &foto) {
            seen.push_back({foto.mlngArticulo, foto.mintVariedad, foto.lblTitulo().caption(), foto.lblPrecio().caption()});
        });
    }
    void TearDown() override
    {
        detail::setDetailLoadedListener({});
        CatalogueFixture::TearDown();
    }

    void show(int32_t articulo, int16_t variedad)
    {
        EXPECT_NO_THROW(control->MostrarDetalle(articulo, variedad));
    }

    std::vector<Seen> seen;
};

// The cash price of list 0 for quantity 1, as the view's price line shows it,
// with the name of the article (and variety) it belongs to.
// The columns are joined with "|".
const std::string PricedRow =
    "Select a.ArtID || '|' || p.PViVariedad || '|' || a.ArtCodigo || '|' || a.ArtNombre || Coalesce(' ' || "
    "v.AVaNombre, '') || '|' || t.TPrAbreviacion || '|' || m.MonSimbolo || '|' || m.MonRedondeo || '|' || p.PViPrecio "
    "From Articulo a Join PrecioVigente p On p.PViArticulo = a.ArtID "
    "Join TipoDePrecio t On t.TPrID = p.PViTipoPrecio And t.TPrTipo = 1 And t.TPrListaPrecio = 0 "
    "Join genMonedas m On m.MonID = p.PViMoneda "
    "Left Join ArticuloVariedad v On v.AVaArticulo = a.ArtID And v.AVaID = p.PViVariedad "
    "Where p.PViHabilitado = 1 And p.PViCantidad = 1 And p.PViVariedad ";

TEST_F(DetailViewTest, ShowsTheArticleOrTheVarietyWithItsOwnPrice)
{
    for (const char *which : {"= 0", "> 0"}) {
        SCOPED_TRACE(which);
        const QStringList expected = firstText(PricedRow + which + " Order By a.ArtID Limit 1").split('|');
        ASSERT_EQ(expected.size(), 8);
        seen.clear();
        show(expected[0].toInt(), static_cast<int16_t>(expected[1].toInt()));
        ASSERT_EQ(seen.size(), 1u);
        // The article alone has no trailing blank; a variety follows its name.
        EXPECT_EQ(seen[0].title, "(" + expected[2] + ") " + expected[3]);
        EXPECT_EQ(seen[0].price, expected[4] + ": " + expected[5] + " " + vb::Format(expected[7].toDouble(), expected[6]));
    }
}

TEST_F(DetailViewTest, NoViewForNoArticleAndNoErrorsForTheHost)
{
    auto recording = std::make_shared<vok::test::RecordingConnection>(control->connection());
    control->setConnect(recording);
    for (int32_t none : {0, -1}) {
        show(none, 0);
    }
    EXPECT_TRUE(seen.empty());
    EXPECT_TRUE(recording->statements.isEmpty());

    connect(editedCopy("sin_precios.db", "Drop Table PrecioVigente;"));
    show(1, 0);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].title, "");
    EXPECT_TRUE(log->events.isEmpty()) << log->events.join(", ").toStdString();
}

} // namespace
