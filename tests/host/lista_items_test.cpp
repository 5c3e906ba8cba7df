// The host's item list: rows read lazily, the choice without a window for a single row, the
// window layout from its settings, and the chosen row's columns.

#include "error_number.h"
#include "host/lista_items.h"
#include "platform/rdo/rdo.h"
#include "platform/ui/headless/headless_toolkit.h"
#include "platform/vb/call_by_name.h"
#include "platform/vb/error.h"

#include "qt_printers.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QRegularExpression>
#include <QTemporaryDir>

#include <optional>

namespace {

using vb::CallKind;

// Rows 1 to 1000: ID, Codigo 'C<n>', Dec n mod 4, Cantidad n * 1.5, Nombre
// (Null for row 7).
class ListaItemsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder = std::make_unique<QTemporaryDir>();
        sqlite3 *db = nullptr;
        sqlite3_open(folder->filePath("lista.db").toUtf8().constData(), &db);
        sqlite3_exec(db,
                     "CREATE TABLE Filas (ID INTEGER PRIMARY KEY, Codigo TEXT, Dec INTEGER, Cantidad REAL, Nombre TEXT);"
                     "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) "
                     "INSERT INTO Filas SELECT i, 'C' || i, i % 4, i * 1.5, CASE i WHEN 7 THEN NULL ELSE 'N' || i END "
                     "FROM n;",
                     nullptr, nullptr, nullptr);
        sqlite3_close(db);
        connection = rdo::rdoConnection::open("sqlite:" + folder->filePath("lista.db"));
    }
    static void TearDownTestSuite() { connection.reset(); folder.reset(); }

    ui::HeadlessToolkit &toolkit() { return dynamic_cast<ui::HeadlessToolkit &>(ui::toolkit()); }
    int16_t show(host::ListaItems &lista, const QString &where)
    {
        return lista.Mostrar(connection, "Select ID, Codigo, Dec, Cantidad, Nombre From Filas " + where);
    }
    static int32_t errorOf(const std::function<void()> &step) { return vok::test::errorNumberOf(step); }

    inline static std::unique_ptr<QTemporaryDir> folder;
    inline static std::shared_ptr<rdo::rdoConnection> connection;
};

TEST_F(ListaItemsTest, WindowOnlyWhenTheUserHasAChoice)
{
    // A window is shown when rowsRead is above 0; chosenId 0 when nothing is chosen.
    const struct {
        const char *where;
        bool single;
        std::optional<int> answer;
        size_t rowsRead;
        int32_t chosenId;
    } cases[] = {
        {"Where ID = 0", true, std::nullopt, 0, 0}, {"Where ID = 0", false, 0, 0, 0},
        {"Where ID = 5", true, std::nullopt, 0, 5}, {"Where ID = 5", false, 0, 1, 5},
        {"Where ID = 5", false, std::nullopt, 1, 0}, {"Where ID = 5", false, 1, 1, 0}, // no such row: none chosen
        {"Where ID In (5, 9)", true, 1, 2, 9},
        {"", true, 3, 20, 4}, {"", true, 25, 26, 26}, {"", true, std::nullopt, 20, 0},
    };
    for (const auto &c : cases) {
        host::ListaItems lista;
        lista.elegirUnica = c.single;
        const size_t windows = toolkit().itemLists().size();
        if (c.rowsRead > 0)
            toolkit().queueItemListAnswer(c.answer);
        EXPECT_EQ(show(lista, c.where), c.chosenId ? 1 : 0) << c.where << " " << c.single;
        ASSERT_EQ(toolkit().itemLists().size(), windows + (c.rowsRead > 0 ? 1 : 0)) << c.where;
        if (c.rowsRead > 0) {
            EXPECT_EQ(toolkit().itemLists().back().rowsRead.size(), c.rowsRead) << c.where;
        }
        if (c.chosenId) {
            EXPECT_EQ(lista.ValorColumna(0), vb::Variant(c.chosenId)) << c.where;
        }
    }
}

TEST_F(ListaItemsTest, ColumnValueNeedsAChosenRowAndAPosition)
{
    host::ListaItems lista;
    lista.elegirUnica = true;
    EXPECT_EQ(errorOf([&] { lista.ValorColumna(0); }), rdo::err::NoCurrentRow);
    ASSERT_EQ(show(lista, "Where ID = 7"), 1);
    EXPECT_EQ(lista.ValorColumna(1), vb::Variant("C7"));
    EXPECT_TRUE(lista.ValorColumna(4).isNull()) << "a database null comes back as Null";
    EXPECT_EQ(errorOf([&] { lista.ValorColumna(5); }), 9);
    EXPECT_EQ(errorOf([&] { lista.ValorColumna(-1); }), 9);
    EXPECT_EQ(show(lista, "Where ID = 0"), 0);
    EXPECT_EQ(errorOf([&] { lista.ValorColumna(0); }), rdo::err::NoCurrentRow) << "a new show forgets the old row";
}

TEST_F(ListaItemsTest, LayoutFromTheSettingsByName)
{
    auto lista = std::make_shared<host::ListaItems>();
    const vb::ObjectRef object = lista;
    const auto let = [&](const char *member, const vb::Variant &value) {
        vb::CallByName(object, member, CallKind::PropertyLet, {value});
    };
    EXPECT_EQ(vb::CallByName(object, "Ancho", CallKind::PropertyGet), vb::Variant(int32_t{7000}));
    EXPECT_EQ(lista->layout().title, "Lista de Artículos");
    let("Idioma", uint8_t{2});
    EXPECT_EQ(lista->layout().title, "Items List");
    for (const auto &[member, value] : std::initializer_list<std::pair<const char *, vb::Variant>>{
             {"Titulo", "Artículos"}, {"Encabezados", "|||a||b|"}, {"Ancho", int32_t{8000}},
             {"AnchosColumnas", "13:1000|x:5|14:abc|15:2000||16"}, {"FormatoColumna", "16:#,##0.00"},
             {"FormatoColumna", "20:hh:mm"}, {"FormatoColumna", "16:0.0"}, {"FormatoColumna", "sin posición"}})
        let(member, value);
    const ui::ItemListLayout layout = lista->layout();
    EXPECT_EQ(layout.title, "Artículos");
    EXPECT_EQ(layout.headings, QStringList({"", "", "", "a", "", "b", ""}));
    EXPECT_EQ(layout.width, 8000);
    EXPECT_EQ(layout.widths, (std::map<int, ui::Twips>{{13, 1000}, {15, 2000}}));
    EXPECT_EQ(layout.formats, (std::map<int, QString>{{16, "0.0"}, {20, "hh:mm"}}));
    let("AnchosColumnas", "2:300");
    EXPECT_EQ(lista->layout().widths, (std::map<int, ui::Twips>{{2, 300}})) << "a new widths string replaces the old";
}

// Headings that name neither the code (the key) nor the name after it still
// show those two, in the list's language.
struct KeyHeadingsCase {
    const char *name, *encabezados;
    uint8_t idioma;
    int16_t clave;
    QStringList shown;
};

class KeyAndNameHeadings : public ListaItemsTest, public ::testing::WithParamInterface<KeyHeadingsCase> {};

TEST_P(KeyAndNameHeadings, ShowWhateverTheHeadingsName)
{
    host::ListaItems lista;
    lista.idioma = GetParam().idioma;
    lista.encabezados = GetParam().encabezados;
    lista.columnaClave = GetParam().clave;
    EXPECT_EQ(lista.layout().headings.filter(QRegularExpression(".")), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    ListaItems, KeyAndNameHeadings,
    ::testing::Values(
        KeyHeadingsCase{"NothingNamedInSpanish", "||||||||||||||", 1, 13, {"Código", "Artículo"}},
        KeyHeadingsCase{"NothingNamedInEnglish", "||||||||||||||", 2, 13, {"Code", "Item Name"}},
        KeyHeadingsCase{"HeadingsEndingBeforeTheKey", "a|b", 1, 3, {"Código", "Artículo"}},
        KeyHeadingsCase{"OnlyALaterColumnNamed", "||||Precio|", 1, 2, {"Código", "Artículo", "Precio"}},
        KeyHeadingsCase{"TheCodeNamed", "||Cód||", 1, 2, {"Cód"}},
        KeyHeadingsCase{"TheNameNamed", "|||Nombre|", 2, 2, {"Nombre"}},
        KeyHeadingsCase{"WithoutAKeyColumn", "||||", 1, -1, {}}),
    [](const ::testing::TestParamInfo<KeyHeadingsCase> &info) { return std::string(info.param.name); });

TEST_F(ListaItemsTest, QuantitiesShowTheRowsDecimals)
{
    host::ListaItems lista;
    lista.columnaDecimales = 2;
    lista.columnaClave = 1;
    // Off, a format of the column's own, or no heading: the value as it is.
    const struct {
        bool on;
        std::map<int, QString> formats;
        const char *headings;
        int32_t id;
        vb::Variant quantity;
    } cases[] = {
        {true, {}, nullptr, 4, "6"},         {true, {}, nullptr, 5, "7.5"},  {true, {}, nullptr, 6, "9.00"},
        {true, {}, nullptr, 7, "10.500"},    {false, {}, nullptr, 7, 10.5},  {true, {{3, "0.0"}}, nullptr, 7, 10.5},
        {true, {}, "Id|Código|Dec||Nombre", 7, 10.5},
    };
    for (const auto &c : cases) {
        lista.formatearCantidades = c.on;
        lista.formatos = c.formats;
        lista.encabezados = c.headings ? c.headings : "Id|Código|Dec|Cantidad|Nombre";
        toolkit().queueItemListAnswer(0);
        ASSERT_EQ(show(lista, "Where ID In (" + QString::number(c.id) + ", 1000)"), 1);
        EXPECT_EQ(lista.ValorColumna(3), c.quantity) << c.id << " " << c.on;
        EXPECT_EQ(lista.ValorColumna(0), vb::Variant(c.id)) << "columns left of the key stay numbers";
        EXPECT_EQ(toolkit().itemLists().back().rowsRead.front()[3], c.quantity) << "the window shows the same";
    }
}

// Every lookup of the control shows the list by name; what it refuses is seen here only.
TEST_F(ListaItemsTest, ShowByNameRefusesWhatIsNotAConnection)
{
    auto lista = std::make_shared<host::ListaItems>();
    const auto mostrar = [&](const vb::Variant &conexion, const QString &sql) {
        return vb::CallByName(lista, "Mostrar", CallKind::Method, {conexion, sql});
    };
    EXPECT_EQ(errorOf([&] { mostrar(vb::ObjectRef(), "Select 1"); }), vb::err::ObjectNotSet);
    EXPECT_EQ(errorOf([&] { mostrar(vb::ObjectRef(lista), "Select 1"); }), vb::err::TypeMismatch);
    EXPECT_NE(errorOf([&] { mostrar(vb::ObjectRef(connection), "Select Nada From Ninguna"); }), 0);
}

} // namespace
