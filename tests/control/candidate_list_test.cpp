#include "error_number.h"
#include "catalogue_fixture.h"

#include "language/host_components.h"
#include "platform/com/runtime.h"
#include "platform/vb/conversions.h"
#include "platform/vb/error.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using Access = vokTArticuloTestAccess;

// An item list of the test's own: records every call made on it, answers the
// width with 7000 and serves a chosen row from a table.
class RecordingList final : public com::Object {
public:
    vb::Variant invoke(const QString &member, vb::CallKind kind, std::span<vb::Variant> args) override
    {
        static const char *const kinds[] = {"call", "get", "let", "set"};
        QString call = QString::fromLatin1(kinds[static_cast<int>(kind)]) + u' ' + member;
        for (const vb::Variant &arg : args)
            call += u' ' + (arg.isObject() ? QStringLiteral("[object]") : vb::CStr(arg));
        calls << call;
        if (member == "Ancho")
            return int32_t{7000};
        if (member == "Mostrar")
            return result;
        if (member == "ValorColumna")
            return row.at(vb::CInt(args[0]));
        return {};
    }
    QStringList calls;
    int16_t result = 0;
    std::map<int, vb::Variant> row;
};

// A lookup row of fifteen columns as SQL literals, in the positions of the
// lookup statements; the cases change single columns.
struct LiteralRow {
    std::map<int, QString> columns{{0, "1"},   {1, "Null"},  {2, "Null"}, {3, "'f57.jpg'"}, {4, "1"},
                                   {5, "57"},  {6, "0"},     {7, "1"},    {8, "1"},         {9, "0"},
                                   {10, "2"},  {11, "0"},    {12, "0"},   {13, "'A57'"},    {14, "'TORNILLO'"}};
    LiteralRow &set(int position, const QString &literal)
    {
        columns[position] = literal;
        return *this;
    }
    QString sql() const
    {
        QStringList values;
        for (const auto &[position, literal] : columns)
            values << literal;
        return "Select " + values.join(", ");
    }
};

class CandidateListTest : public CatalogueFixture {
protected:
    void load(const QString &sql) { Access::mostrarLista(*control, sql); }
    int32_t errorOf(const QString &sql)
    {
        return vok::test::errorNumberOf([&] { load(sql); });
    }
};

class RecordedListTest : public CandidateListTest {
protected:
    void SetUp() override
    {
        CandidateListTest::SetUp();
        com::registerClassObject(language::ListaItemsClsid, std::make_shared<com::FunctionClassFactory>([this] {
                                     lists.push_back(std::make_shared<RecordingList>());
                                     lists.back()->result = result;
                                     lists.back()->row = row;
                                     return lists.back();
                                 }));
    }
    void TearDown() override
    {
        com::revokeClassObject(language::ListaItemsClsid);
        CandidateListTest::TearDown();
    }
    std::vector<std::shared_ptr<RecordingList>> lists;
    int16_t result = 0;
    std::map<int, vb::Variant> row;
};

TEST_F(RecordedListTest, EachLayoutSetsUpTheListInOrder)
{
    const QStringList common = {
        "let Idioma 0", "let ElegirUnica True", "let FormatearCantidades True", "let Titulo Lista de Artículos"};
    const QStringList settings = {"let ColumnaDecimales 10", "let ColumnaClave 13"};
    const QString wide = "let AnchosColumnas 13:1000|14:2600|15:2800|16:1400|17:400|18:1000|19:1000";
    const QString narrow = "let AnchosColumnas 13:1000|14:2600|15:2000|16:1200|17:400|18:1000|19:1000";
    const struct {
        uint8_t layout;
        ui::Twips screen;
        QString header;
        QStringList sizing;
    } cases[] = {
        {0, 15360, "|||||||Uso|Vta|combo||uso|PrecioQ|Código|Artículo|", {}},
        {1, 15360, "|||||||Uso|Vta|combo||uso|PrecioQ|Código|Artículo|Mon|Precio|",
         {"get Ancho", "let Ancho 8000", "let FormatoColumna 16:#,##0.00"}},
        {2, 15360, "|||||||Uso|Vta|combo||uso|PrecioQ|Código|Artículo|Mon|Precio|Stock|",
         {"get Ancho", "let Ancho 9000", "let FormatoColumna 16:#,##0.00"}},
        {3, 10630, "|||||||Uso|Vta|combo||uso|PrecioQ|Código|Artículo|Descripción|Marca|Mon|Precio|Stock|",
         {wide, "let Ancho 10630", "let FormatoColumna 18:#,##0.00"}},
        {3, 10629, "|||||||Uso|Vta|combo||uso|PrecioQ|Código|Artículo|Descripción|Marca|Mon|Precio|Stock|",
         {narrow, "let Ancho 9630", "let FormatoColumna 18:#,##0.00"}},
        {3, 15360, "|||||||Uso|Vta|combo||uso|PrecioQ|Código|Artículo|Descripción|Marca|Mon|Precio|Stock|",
         {wide, "let Ancho 10630", "let FormatoColumna 18:#,##0.00"}},
        {4, 15360, "||||||", {}},
    };
    for (const auto &c : cases) {
        toolkit().screen().resize(c.screen, 11520);
        control->setFormatoLista(c.layout);
        load("Select 1");
        toolkit().screen().resize(15360, 11520);
        const QStringList expected =
            common + QStringList{"let Encabezados " + c.header} + settings + c.sizing + QStringList{"call Mostrar [object] Select 1"};
        EXPECT_EQ(lists.back()->calls, expected) << int(c.layout) << " on " << c.screen;
    }
    EXPECT_EQ(lists.size(), std::size(cases)) << "one list per lookup";
}

TEST_F(RecordedListTest, ChosenRowIsReadInLoadOrder)
{
    result = 1;
    row = {{0, int32_t{2}},     {1, "2012345%"}, {2, 1.5},          {3, "f.jpg"}, {4, int32_t{1}},
           {5, int32_t{57}},    {6, int32_t{3}}, {7, int32_t{1}},   {8, int32_t{1}}, {9, int32_t{0}},
           {10, int32_t{2}},    {11, int32_t{1}}, {12, int32_t{0}}, {13, "A57"},  {14, "TORNILLO ROJO"}};
    text().setText("2012345001505");
    load("Select 1");
    QStringList reads;
    for (const QString &call : lists.back()->calls)
        if (call.startsWith("get ValorColumna"))
            reads << call.mid(17);
    EXPECT_EQ(reads, QStringList({"6", "6", "7", "8", "9", "10", "11", "12", "13", "14", "5", "0", "1", "2", "1", "4",
                                  "3"}));
    EXPECT_EQ(control->ID(), 57);
    EXPECT_EQ(control->Variedad(), 3);
    EXPECT_EQ(control->CBVariable(), "001505");
    EXPECT_EQ(pumpsRun(), 1) << "pending messages run once after the list";
}

TEST_F(CandidateListTest, FlagColumnsReadTheirLeadingNumber)
{
    const struct {
        QString variety, artEnUso, enVenta, combo, decimals, varietyInUse, higherPrice;
        int16_t variedad;
        uint8_t enUso, enVentaLoaded, esCombo, decimales, admite;
    } cases[] = {
        {"0", "'1x'", "'x'", "1", "3", "0", "1", 0, 1, 0, 1, 3, 1},
        {"4", "1", "1", "0", "'2 kg'", "0", "0", 4, 0, 1, 0, 2, 0},
        {"4", "0", "1", "0", "0", "1", "0", 4, 0, 1, 0, 0, 0},
        {"4", "1", "'1'", "'1.9'", "0", "'1'", "'7x'", 4, 1, 1, 2, 0, 7},
        {"'-2'", "1", "0", "0", "0", "0", "0", 0, 1, 0, 0, 0, 0},
    };
    for (const auto &c : cases) {
        const QString sql = LiteralRow()
                                .set(6, c.variety)
                                .set(7, c.artEnUso)
                                .set(8, c.enVenta)
                                .set(9, c.combo)
                                .set(10, c.decimals)
                                .set(11, c.varietyInUse)
                                .set(12, c.higherPrice)
                                .sql();
        load(sql);
        EXPECT_EQ(control->Variedad(), c.variedad) << sql.toStdString();
        EXPECT_EQ(control->EnUso(), c.enUso) << sql.toStdString();
        EXPECT_EQ(control->EnVenta(), c.enVentaLoaded) << sql.toStdString();
        EXPECT_EQ(control->EsCombo(), c.esCombo) << sql.toStdString();
        EXPECT_EQ(control->Decimales(), c.decimales) << sql.toStdString();
        EXPECT_EQ(control->AdmitePrecioQMayor(), c.admite) << sql.toStdString();
        EXPECT_EQ(control->ID(), 57) << sql.toStdString();
        EXPECT_EQ(control->Codigo(), "A57") << sql.toStdString();
        EXPECT_EQ(control->PideSerie(), 1) << sql.toStdString();
    }
    EXPECT_EQ(listsShown(), 0u) << "a single row is chosen without a window";
}

TEST_F(CandidateListTest, BarCodeFieldsFollowThePattern)
{
    const struct {
        QString pattern, typed, fija, variable;
        double quantity;
    } cases[] = {
        {"2012345%", "2012345001505", "2012345", "001505", 1},
        {"%9876", "12349876", "9876", "1234", 2.5},
        {"12%34", "1299934", "1234", "", 6},
        {"7790001000017", "7790001000017", "7790001000017", "", 12},
    };
    for (const auto &c : cases) {
        text().setText(c.typed);
        load(LiteralRow().set(0, "2").set(1, "'" + c.pattern + "'").set(2, QString::number(c.quantity)).sql());
        EXPECT_TRUE(control->CB()) << c.pattern.toStdString();
        EXPECT_EQ(control->CBFija(), c.fija) << c.pattern.toStdString();
        EXPECT_EQ(control->CBVariable(), c.variable) << c.pattern.toStdString();
        EXPECT_DOUBLE_EQ(control->CBCantidad(), c.quantity) << c.pattern.toStdString();
    }
    // A row found by code or name clears what an earlier scan left.
    load(LiteralRow().sql());
    EXPECT_FALSE(control->CB());
    EXPECT_EQ(control->CBFija(), "");
    EXPECT_EQ(control->CBVariable(), "");
    EXPECT_EQ(control->CBCantidad(), 0);
}

TEST_F(CandidateListTest, ScaleLabelOfTheCatalogue)
{
    const int64_t id = firstId(LoadableArticle + " And ArtID In (Select ACBArticulo From ArticuloCodigoBarras "
                                                 "Where substr(ACBCodigo, -1) = '%' And ACBVariedad = 0)");
    const QString pattern = firstText("Select ACBCodigo From ArticuloCodigoBarras Where ACBArticulo = " +
                                      std::to_string(id) + " And substr(ACBCodigo, -1) = '%'");
    const QString sql =
        "Select 2 As Tipo, ACBCodigo As CodigoBarra, ACBCantidad As CantidadCB,  ArtFoto, ArtPideNroSerie, ArtID, 0, "
        "ArtEnUso, ArtEnVenta, ArtEsCombo, UMeDecimales, 0, ArtValidoMayorQ, ArtCodigo, ArtNombre as NombreArt "
        "From Articulo Inner Join UnidadesMedidas On UMeCodigo = ArtUnidadMedida "
        "Inner Join ArticuloCodigoBarras On ACBArticulo = ArtID And ACBVariedad = 0 Where ACBCodigo = '" +
        pattern + "'";
    const QString fixed = pattern.chopped(1);
    text().setText(fixed + "001234");
    load(sql);
    EXPECT_EQ(control->ID(), id);
    EXPECT_TRUE(control->CB());
    EXPECT_EQ(control->CBFija(), fixed);
    EXPECT_EQ(control->CBVariable(), "001234");
    EXPECT_EQ(control->CBCantidad(), 1);
    EXPECT_EQ(control->Nombre(), firstText("Select ArtNombre From Articulo Where ArtID = " + std::to_string(id)));
}

TEST_F(CandidateListTest, NullColumnsFailTheLoadWhereTheyAreRead)
{
    // Each failing row follows an article that asked for serial numbers and
    // does not ask itself.
    const struct {
        int position;
        int32_t idAfter;
        uint8_t pideSerieAfter;
    } cases[] = {
        {3, 57, 0},  // the picture reference is read last: the row's own flag is set
        {13, 0, 1},  // the code is read before ID, and a clear keeps the flag
        {7, 0, 1},
    };
    for (const auto &c : cases) {
        load(LiteralRow().set(5, "58").sql());
        ASSERT_EQ(control->PideSerie(), 1);
        EXPECT_EQ(errorOf(LiteralRow().set(4, "0").set(c.position, "Null").sql()), vb::err::InvalidUseOfNull)
            << c.position;
        EXPECT_EQ(control->ID(), c.idAfter) << c.position;
        EXPECT_EQ(control->PideSerie(), c.pideSerieAfter) << c.position;
    }
    EXPECT_EQ(errorOf(LiteralRow().set(0, "2").set(2, "Null").set(1, "'77%'").sql()), vb::err::InvalidUseOfNull);
    EXPECT_EQ(errorOf("Select * From TablaQueNoExiste"), 1) << "the engine's own error reaches the caller";
}

TEST_F(CandidateListTest, ClosedListLeavesNoArticleAndTheTypedText)
{
    Access::hold(*control, 12);
    text().setText("TORN");
    load("Select 1, Null, Null, ArtFoto, 0, ArtID, 0, 1, 1, 0, 0, 0, 0, ArtCodigo, ArtNombre From Articulo");
    ASSERT_EQ(listsShown(), 1u);
    EXPECT_EQ(toolkit().itemLists().back().rowsRead.size(), 20u) << "rows are read as the window needs them";
    EXPECT_EQ(control->ID(), 0);
    EXPECT_EQ(control->Variedad(), 0);
    EXPECT_EQ(control->Codigo(), "");
    EXPECT_EQ(control->Nombre(), "");
    EXPECT_EQ(text().text(), "TORN");
    EXPECT_FALSE(Access::conVariedades(*control));
    EXPECT_EQ(pumpsRun(), 1);
}

TEST_F(CandidateListTest, ProbeOffersVarietiesOnlyForAnArticleRow)
{
    const int64_t withVarieties =
        firstId(LoadableArticle + " And ArtID In (Select AVaArticulo From ArticuloVariedad)");
    const QString base = "Select 1, Null, Null, 'f', 0, ArtID, %1, 1, 1, 0, 0, 1, 0, ArtCodigo, ArtNombre From Articulo "
                         "Where ArtID = " + QString::number(withVarieties);
    const struct {
        QString varietyColumn;
        bool ask;
        bool offered;
    } cases[] = {{"0", true, true}, {"0", false, false}, {"1", true, false}};
    for (const auto &c : cases) {
        control->setPedirIncluirVariedad(c.ask);
        load(base.arg(c.varietyColumn));
        EXPECT_EQ(control->ID(), withVarieties);
        EXPECT_EQ(Access::conVariedades(*control), c.offered) << c.varietyColumn.toStdString() << c.ask;
    }
}

TEST_F(CandidateListTest, LayoutReachesTheWindow)
{
    const QString sql = "Select 1, Null, Null, ArtFoto, 0, ArtID, 0, 1, 1, 0, 0, 0, 0, ArtCodigo, ArtNombre From "
                        "Articulo Where ArtID <= 30";
    const struct {
        uint8_t layout;
        ui::Twips width;
        std::map<int, ui::Twips> widths;
        std::map<int, QString> formats;
        QString lastHeading;
    } cases[] = {
        {0, 7000, {}, {}, "Artículo"},
        {1, 8000, {}, {{16, "#,##0.00"}}, "Precio"},
        {2, 9000, {}, {{16, "#,##0.00"}}, "Stock"},
        {3, 10630, {{13, 1000}, {14, 2600}, {15, 2800}, {16, 1400}, {17, 400}, {18, 1000}, {19, 1000}},
         {{18, "#,##0.00"}}, "Stock"},
    };
    for (const auto &c : cases) {
        control->setFormatoLista(c.layout);
        load(sql);
        const ui::ItemListLayout &shown = toolkit().itemLists().back().layout;
        EXPECT_EQ(shown.title, "Lista de Artículos");
        EXPECT_EQ(shown.width, c.width) << int(c.layout);
        EXPECT_EQ(shown.widths, c.widths) << int(c.layout);
        EXPECT_EQ(shown.formats, c.formats) << int(c.layout);
        ASSERT_GE(shown.headings.size(), 16);
        EXPECT_EQ(shown.headings[5], "") << "the identifier is not shown";
        EXPECT_EQ(shown.headings[7], "") << "nor the flags left of the code";
        EXPECT_EQ(shown.headings[13], "Código");
        EXPECT_EQ(shown.headings[14], "Artículo");
        EXPECT_EQ(shown.headings[shown.headings.size() - 2], c.lastHeading) << int(c.layout);
        EXPECT_EQ(shown.headings.back(), "");
    }
}

} // namespace
