// The detail view on the headless toolkit.

#include "language_fixture.h"
#include "contado_row.h"
#include "named_rows.h"

#include "detail/frm_foto.h"
#include "platform/ui/headless/headless_toolkit.h"
#include "platform/vb/conversions.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

namespace {

using vok::test::contado;
using vok::test::PrintTo;
using vok::test::Row;
using vok::test::RowConnection;

// A picture file of 30 x 20 pixels, or the given bytes.
void writePicture(const QString &path, const QByteArray &bytes = {})
{
    QDir().mkpath(QFileInfo(path).path());
    if (!bytes.isEmpty()) {
        vok::test::writeFile(path, bytes);
        return;
    }
    QImage picture(30, 20, QImage::Format_RGB32);
    picture.fill(Qt::yellow);
    ASSERT_TRUE(picture.save(path, "PNG"));
}

class FrmFotoTest : public vok::test::LanguageFixture {
protected:
    void SetUp() override
    {
        LanguageFixture::SetUp();
        connection->row = contado();
    }

    // The user, if any, acts on the view once it shows; it is closed after.
    std::unique_ptr<detail::frmFoto> show(int32_t articulo = 7, int16_t variedad = 0,
                                          std::function<void(detail::frmFoto &)> user = {})
    {
        auto foto = std::make_unique<detail::frmFoto>();
        foto->mrdoCBase = connection;
        foto->mlngArticulo = articulo;
        foto->mintVariedad = variedad;
        if (user)
            toolkit().queueModalAnswer([&](ui::Form &) { user(*foto); });
        foto->Show();
        return foto;
    }
    static bool loaded(const detail::frmFoto &foto) { return static_cast<ui::HeadlessForm &>(foto.form()).isLoaded(); }
    static QStringList labels(const detail::frmFoto &foto)
    {
        return {foto.lblTitulo().caption(), foto.lblPrecio().caption(), foto.lblCaracteristicas().caption(),
                foto.lblCerrar().caption()};
    }

    std::shared_ptr<RowConnection> connection = std::make_shared<RowConnection>();
};

TEST_F(FrmFotoTest, StatementIsTheDetailQueryOfArticleAndVariety)
{
    const QString expected =
        "SELECT ArtCodigo, RTRIM(ArtNombre + ' ' + IsNull(AVaNombre, '')) AS ArtNombre, "
        "IsNull(ArtDescripcionLarga, ArtDescripcionCorta) as ArtDescripcion, ArtFoto,  EmpPathImg, MonSimbolo, "
        "MonRedondeo, PViPrecio, TPrAbreviacion  FROM Articulo INNER JOIN cceEmpresas ON ArtEmpresa = EmpID  LEFT "
        "OUTER JOIN ArticuloVariedad ON AVaArticulo = ArtID AND AVaID = %2 LEFT OUTER JOIN PrecioVigente On "
        "PViArticulo = ArtID And PViVariedad = %2 And PViHabilitado = 1 And PViCantidad = 1  LEFT OUTER JOIN "
        "TipoDePrecio ON PViTipoPrecio = TPrID And TPrTipo = 1 And TPrListaPrecio = 0 LEFT OUTER JOIN genMonedas ON "
        "PViMoneda = MonID WHERE ArtID = %1 AND ( (PViTipoPrecio IS NOT NULL AND TPrTipo IS NOT NULL) OR "
        "PViTipoPrecio IS NULL )";
    show(2147483647, 12);
    EXPECT_EQ(connection->statements, QStringList{expected.arg("2147483647", "12")});
}

// A value that cannot be formatted ends the load where it stands.
struct LabelCase {
    const char *name;
    Row changes;
    QStringList shown; // title, price, description
};

class FrmFotoLabels : public FrmFotoTest, public ::testing::WithParamInterface<LabelCase> {};

TEST_P(FrmFotoLabels, FillsTitlePriceAndDescriptionFromTheRow)
{
    for (const auto &[name, value] : GetParam().changes)
        (*connection->row)[name] = value;
    EXPECT_EQ(labels(*show()), GetParam().shown + QStringList{"[ESC] - Cerrar Pantalla"});
}

const vb::Variant Null = vb::Variant::null();
const QString Title = "(A12) TORNILLO HEX 8MM";
const QString Description = "Tornillo hexagonal de acero";

INSTANTIATE_TEST_SUITE_P(
    Rows, FrmFotoLabels,
    ::testing::Values(
        LabelCase{"DesignCaption", {}, {Title, "Contado: $U 3,290", Description}},
        LabelCase{"TwoDecimals", {{"MonRedondeo", "#,##0.00"}, {"PViPrecio", 1234567.5}},
                  {Title, "Contado: $U 1,234,567.50", Description}},
        LabelCase{"FixedDigits", {{"MonRedondeo", "0.000"}, {"PViPrecio", 0.5}, {"MonSimbolo", "U$S"}},
                  {Title, "Contado: U$S 0.500", Description}},
        LabelCase{"NoPrice", {{"PViPrecio", Null}, {"MonRedondeo", Null}}, {Title, "", Description}},
        LabelCase{"NoPriceTypeNorSymbol", {{"TPrAbreviacion", Null}, {"MonSimbolo", Null}},
                  {Title, ":  3,290", Description}},
        LabelCase{"NoCodeNorName", {{"ArtCodigo", Null}, {"ArtNombre", Null}}, {"() ", "Contado: $U 3,290", Description}},
        LabelCase{"PriceWithoutPatternEndsTheLoad", {{"MonRedondeo", Null}}, {Title, "", ""}}),
    vok::test::byName);

// No row, a statement the server rejects, no connection at all: the view
// still opens, empty but for the hint.
TEST_F(FrmFotoTest, QuietFailuresOpenAnEmptyView)
{
    const QStringList empty{"", "", "", "[ESC] - Cerrar Pantalla"};
    connection->row.reset();
    EXPECT_EQ(labels(*show()), empty);
    connection->failure = vb::Error(208, "Invalid object name 'PrecioVigente'.");
    const auto foto = show();
    EXPECT_EQ(labels(*foto), empty);
    EXPECT_EQ(toolkit().screen().mousePointer(), 0);

    auto unconnected = std::make_unique<detail::frmFoto>();
    unconnected->mlngArticulo = 1;
    EXPECT_NO_THROW(unconnected->Show());
    EXPECT_EQ(unconnected->lblTitulo().caption(), "");
}

// "TPV\" under the company's folder first, then the folder itself; drive
// letters through the settings.
struct PhotoCase {
    const char *name;
    vb::Variant carpeta;
    vb::Variant foto;
    const char *shown;
};

class FrmFotoPhotograph : public FrmFotoTest, public ::testing::WithParamInterface<PhotoCase> {
protected:
    static void SetUpTestSuite()
    {
        folder = new QTemporaryDir;
        writePicture(folder->filePath("Img/TPV/a.png"));
        writePicture(folder->filePath("Img/b.png"));
        writePicture(folder->filePath("Img/c.png"));
        writePicture(folder->filePath("TPV/Img/c.png"));
        writePicture(folder->filePath("Img/TPV/bad.jpg"), "not a picture at all");
        writePicture(folder->filePath("Img/bad.jpg"), "\xFF\xD8\xFF truncated");
    }
    static void TearDownTestSuite() { delete folder; }
    void SetUp() override
    {
        FrmFotoTest::SetUp();
        writeSettings("[Rutas]\nD=" + folder->path().toUtf8() + "/\n");
        QDir::setCurrent(folder->path());
    }
    void TearDown() override
    {
        QDir::setCurrent(before);
        FrmFotoTest::TearDown();
    }
    static inline QTemporaryDir *folder = nullptr;
    const QString before = QDir::currentPath();
};

TEST_P(FrmFotoPhotograph, ShowsTheFirstReadablePicture)
{
    (*connection->row)["EmpPathImg"] = GetParam().carpeta;
    (*connection->row)["ArtFoto"] = GetParam().foto;
    const auto foto = show();
    EXPECT_EQ(foto->fotoCargada(), GetParam().shown);
    EXPECT_EQ(foto->imgArticulo().pictureHandle() != 0, *GetParam().shown != '\0');
    EXPECT_EQ(foto->lblTitulo().caption(), Title) << "a missing picture is no error";
}

INSTANTIATE_TEST_SUITE_P(
    Files, FrmFotoPhotograph,
    ::testing::Values(PhotoCase{"TerminalCopy", "D:\\Img", "a.png", "D:\\Img\\TPV\\a.png"},
                      PhotoCase{"FolderItselfWithoutTerminalCopy", "d:\\Img\\", "b.png", "d:\\Img\\b.png"},
                      // "\TPV\" of the folder itself goes too in the second try.
                      PhotoCase{"SecondTryDropsEveryTpv", "D:\\TPV\\Img", "c.png", "D:\\Img\\c.png"},
                      PhotoCase{"MissingFile", "D:\\Img", "missing.png", ""},
                      PhotoCase{"UnreadableFileInBoth", "D:\\Img", "bad.jpg", ""},
                      PhotoCase{"DriveWithoutSetting", "E:\\Img", "a.png", ""},
                      PhotoCase{"NullName", "D:\\Img", Null, ""},
                      // Without a folder the name alone is tried, from the current folder.
                      PhotoCase{"NullFolderNameAlone", Null, "Img\\b.png", "Img\\b.png"},
                      PhotoCase{"EmptyFolderNameAlone", "", "Img\\TPV\\a.png", "Img\\TPV\\a.png"}),
    vok::test::byName);

// Escape closes whatever shift keys are held; a click on the hint lets the connection go.
TEST_F(FrmFotoTest, EscapeAndTheHintClose)
{
    for (int16_t shift : {0, 7}) {
        bool closed = false;
        show(7, 0, [&](detail::frmFoto &foto) {
            auto &panel = static_cast<ui::HeadlessPictureBox &>(foto.picFoto());
            panel.press(123, 0, shift);
            EXPECT_TRUE(loaded(foto)) << "F12 is no closing key";
            panel.press(27, 27, shift);
            closed = !loaded(foto);
        });
        EXPECT_TRUE(closed) << "shift " << shift;
    }
    const auto foto = show(7, 0, [](detail::frmFoto &foto) {
        static_cast<ui::HeadlessLabel &>(foto.lblCerrar()).click();
        EXPECT_FALSE(loaded(foto));
    });
    EXPECT_EQ(foto->mrdoCBase, nullptr);
}

} // namespace
