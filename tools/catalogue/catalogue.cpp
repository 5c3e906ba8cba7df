#include "catalogue.h"

#include "prng.h"
#include "schema_sql.h"

#include "lookup/plan/index_script.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <map>
#include <memory>
#include <system_error>

namespace vok::catalogue {

namespace {

// ---------------------------------------------------------------- vocabulary

// Units of the shop; the decimals decide how quantities are typed and shown.
enum Unit : int { Unidad = 1, Kilogramo, Litro, Metro, Caja, MetroCuadrado, Gramo, Docena };

struct UnitRow
{
    int code;
    std::string_view name;
    int decimals;
};

constexpr std::array kUnits{
    UnitRow{Unidad, "UNIDAD", 0},         UnitRow{Kilogramo, "KILOGRAMO", 3}, UnitRow{Litro, "LITRO", 2},
    UnitRow{Metro, "METRO", 2},           UnitRow{Caja, "CAJA", 0},           UnitRow{MetroCuadrado, "METRO CUADRADO", 1},
    UnitRow{Gramo, "GRAMO", 0},           UnitRow{Docena, "DOCENA", 0},
};

int unitDecimals(int code)
{
    for (const auto &u : kUnits)
        if (u.code == code)
            return u.decimals;
    return 0;
}

enum class VarietyKind { None, Colours, Sizes, Grades };

// A family of articles: one article type, its usual first words (most frequent
// first, so that name searches return many rows for the common ones) and the
// words that complete a name.
struct Family
{
    std::string_view type;
    int share; // relative weight in the catalogue
    std::vector<std::string_view> heads;
    std::vector<std::string_view> qualifiers;
    std::vector<std::string_view> measures;
    std::vector<int> units;   // drawn uniformly, repeat an entry to favour it
    int minCents, maxCents;   // sale price range in the local currency
    VarietyKind varieties;
    int varietyShare;         // percent of articles with varieties
    bool weighed;             // sold by weight with scale labels
    int serialShare;          // percent that ask for a serial number
    std::vector<std::string_view> blurbs;
};

const std::vector<Family> &families()
{
    static const std::vector<Family> list{
        {"FERRETERIA", 22,
         {"TORNILLO", "ARANDELA", "TUERCA", "CLAVO", "BULON", "TARUGO", "BISAGRA", "CANDADO"},
         {"HEXAGONAL", "GALVANIZADO", "INOXIDABLE", "PHILLIPS", "AUTOPERFORANTE", "PLANA", "ZINCADO", "BRONCE"},
         {"M4X20", "M6X30", "M8X40", "3/16", "1/4X2", "5/16", "8MM", "10MM", ""},
         {Unidad, Unidad, Unidad, Caja},
         500, 45000, VarietyKind::Grades, 3, false, 0,
         {"Para uso en madera, metal o mampostería", "Terminación resistente a la corrosión",
          "Venta suelta o en caja cerrada"}},
        {"ALMACEN", 24,
         {"CAFE", "LECHE", "ARROZ", "ACEITE", "YERBA", "AZUCAR", "FIDEOS", "GALLETITAS", "HARINA", "ATUN"},
         {"ENTERA", "DESCREMADA", "MOLIDO", "INSTANTANEO", "GIRASOL", "OLIVA", "INTEGRAL", "COMUN", "PREMIUM",
          "LIGHT"},
         {"1L", "500G", "1KG", "250G", "5KG", "900ML", "170G"},
         {Unidad},
         3000, 52000, VarietyKind::None, 0, false, 0,
         {"Consumir preferentemente antes de la fecha indicada en el envase", "Conservar en lugar fresco y seco",
          "Elaborado en Uruguay", "Apto para celíacos"}},
        {"FIAMBRERIA", 6,
         {"JAMON", "QUESO", "SALAME", "MORTADELA", "PANCETA", "ACEITUNAS"},
         {"COCIDO", "CRUDO", "DAMBO", "MUZZARELLA", "COLONIA", "MILAN", "AHUMADA", "FETEADO"},
         {"", "", "X KG"},
         {Kilogramo},
         18000, 120000, VarietyKind::None, 0, true, 0,
         {"Se vende por peso; el precio es por kilogramo", "Mantener refrigerado entre 2 y 8 °C",
          "Producto de elaboración artesanal"}},
        {"LIMPIEZA", 12,
         {"JABON", "DETERGENTE", "LAVANDINA", "SHAMPOO", "SUAVIZANTE", "ESPONJA"},
         {"LIQUIDO", "EN POLVO", "NEUTRO", "LIMON", "LAVANDA", "CONCENTRADO"},
         {"500ML", "1L", "2L", "3UN", "800G"},
         {Unidad, Unidad, Litro},
         4000, 38000, VarietyKind::None, 0, false, 0,
         {"Mantener fuera del alcance de los niños", "Rinde hasta el doble que un producto común",
          "Fórmula biodegradable"}},
        {"ELECTRICIDAD", 12,
         {"CABLE", "LAMPARA", "ENCHUFE", "INTERRUPTOR", "CINTA", "ALARGUE", "FOCO"},
         {"LED", "BIPOLAR", "TRIPLE", "AISLADORA", "UNIPOLAR", "HALOGENA"},
         {"2X1.5MM", "9W", "60W", "10A", "20A", "5M"},
         {Unidad, Unidad, Metro},
         2500, 250000, VarietyKind::Colours, 12, false, 10,
         {"Cumple las normas de seguridad eléctrica vigentes", "Garantía de un año contra defectos de fabricación",
          "Consumo reducido, larga vida útil"}},
        {"PINTURERIA", 10,
         {"PINTURA", "ESMALTE", "RODILLO", "PINCEL", "LIJA", "MASILLA"},
         {"LATEX", "SINTETICO", "INTERIOR", "EXTERIOR", "ANTIOXIDO", "ACRILICO"},
         {"1L", "4L", "10L", "N 20", "23CM"},
         {Unidad, Unidad, Litro, MetroCuadrado},
         3000, 400000, VarietyKind::Colours, 35, false, 0,
         {"Secado al tacto en una hora", "Rendimiento aproximado de 10 m² por litro por mano",
          "Lavable, terminación satinada"}},
        {"TEXTIL", 8,
         {"REMERA", "PANTALON", "MEDIAS", "CAMPERA", "BUZO", "GORRO"},
         {"ALGODON", "DEPORTIVO", "TERMICO", "JEAN", "POLAR"},
         {"HOMBRE", "MUJER", "NIÑO", ""},
         {Unidad},
         15000, 450000, VarietyKind::Sizes, 70, false, 0,
         {"Lavar a mano o en lavarropas con agua fría", "Tela de primera calidad", "Talles del S al XXL"}},
        {"BEBIDAS", 6,
         {"AGUA", "REFRESCO", "CERVEZA", "VINO", "JUGO"},
         {"SIN GAS", "CON GAS", "COLA", "NARANJA", "TINTO", "BLANCO", "RUBIA"},
         {"500ML", "1.5L", "2.25L", "750ML", "1L"},
         {Unidad, Unidad, Docena},
         3000, 90000, VarietyKind::None, 0, false, 0,
         {"Servir bien frío", "Envase retornable", "Prohibida su venta a menores de 18 años"}},
    };
    return list;
}

constexpr std::array<std::string_view, 8> kColours{"BLANCO", "NEGRO", "ROJO", "AZUL", "VERDE", "GRIS", "AMARILLO",
                                                   "MARRON"};
constexpr std::array<std::string_view, 6> kSizes{"XS", "S", "M", "L", "XL", "XXL"};
constexpr std::array<std::string_view, 3> kGrades{"CHICO", "MEDIANO", "GRANDE"};

constexpr std::array<std::string_view, 18> kSyllables{"LA", "MAR", "TO", "NI", "CO", "SAN", "RI", "VA", "DEL",
                                                      "SOL", "CAR", "BO", "LU", "PE", "TRI", "NOR", "FE", "GA"};

constexpr std::array<std::string_view, 5> kDiscountCategories{"GENERAL", "OFERTAS", "SIN DESCUENTO", "MAYORISTA",
                                                              "LIQUIDACION"};

struct PriceType
{
    int id;
    int kind; // 1 = sale price, 2 = cost
    int company;
    int list;
    std::string_view abbreviation;
    int percent; // of the article's base price
};

constexpr std::array kPriceTypes{
    PriceType{1, 1, 1, 0, "Contado", 100},  PriceType{2, 1, 1, 1, "Mayorista", 85},
    PriceType{3, 1, 1, 2, "Tarjeta", 110},  PriceType{4, 2, 1, 0, "Costo", 60},
    PriceType{5, 1, 2, 0, "Contado", 100},  PriceType{6, 1, 2, 1, "Mayorista", 85},
    PriceType{7, 2, 2, 0, "Costo", 60},
};

struct Currency
{
    int id;
    std::string_view symbol;
    std::string_view format;
    int rate; // local currency units per unit
};

constexpr std::array kCurrencies{Currency{1, "$U", "#,##0.00", 1}, Currency{2, "U$S", "#,##0.00", 40},
                                 Currency{3, "€", "#,##0.00", 45}};

// ------------------------------------------------------------------ database

[[noreturn]] void fail(sqlite3 *db, std::string_view what)
{
    throw CatalogueError(std::string(what) + ": " + sqlite3_errmsg(db));
}

void exec(sqlite3 *db, const char *sql)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(db, sql);
}

// A prepared insert, reused for every row of its table.
class Insert
{
public:
    Insert(sqlite3 *db, const char *sql) : m_db(db)
    {
        if (sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &m_stmt, nullptr) != SQLITE_OK)
            fail(db, sql);
    }
    Insert(const Insert &) = delete;
    Insert &operator=(const Insert &) = delete;
    ~Insert() { sqlite3_finalize(m_stmt); }

    Insert &operator()(std::int64_t v) { sqlite3_bind_int64(m_stmt, ++m_col, v); return *this; }
    Insert &operator()(int v) { sqlite3_bind_int(m_stmt, ++m_col, v); return *this; }
    Insert &operator()(bool v) { sqlite3_bind_int(m_stmt, ++m_col, v ? 1 : 0); return *this; }
    Insert &operator()(double v) { sqlite3_bind_double(m_stmt, ++m_col, v); return *this; }
    Insert &operator()(std::string_view v)
    {
        sqlite3_bind_text(m_stmt, ++m_col, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Insert &null() { sqlite3_bind_null(m_stmt, ++m_col); return *this; }
    template <typename T> Insert &maybe(bool present, const T &v) { return present ? (*this)(v) : null(); }

    void run()
    {
        if (sqlite3_step(m_stmt) != SQLITE_DONE)
            fail(m_db, sqlite3_sql(m_stmt));
        sqlite3_reset(m_stmt);
        m_col = 0;
        ++m_rows;
    }
    std::uint64_t rows() const { return m_rows; }

private:
    sqlite3 *m_db;
    sqlite3_stmt *m_stmt = nullptr;
    int m_col = 0;
    std::uint64_t m_rows = 0;
};

bool isIndexStatement(std::string_view sql)
{
    std::string head;
    for (char c : sql.substr(0, 24))
        head += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return head.starts_with("CREATE INDEX") || head.starts_with("CREATE UNIQUE INDEX");
}

// Runs the schema's table statements now and returns its index statements,
// which are cheaper to build once the rows are in.
std::vector<std::string> createTables(sqlite3 *db, bool plainText)
{
    std::vector<std::string> indexes;
    std::string sql(schemaSql());
    if (plainText)
        for (std::string::size_type at; (at = sql.find(" COLLATE NOCASE")) != std::string::npos;)
            sql.erase(at, std::string_view(" COLLATE NOCASE").size());
    const char *rest = sql.c_str();
    while (*rest) {
        sqlite3_stmt *stmt = nullptr;
        const char *tail = nullptr;
        if (sqlite3_prepare_v2(db, rest, -1, &stmt, &tail) != SQLITE_OK)
            fail(db, "schema");
        if (stmt) {
            const std::string_view text = sqlite3_sql(stmt);
            if (isIndexStatement(text)) {
                indexes.emplace_back(text);
            } else if (sqlite3_step(stmt) != SQLITE_DONE) {
                sqlite3_finalize(stmt);
                fail(db, "schema");
            }
            sqlite3_finalize(stmt);
        }
        rest = tail;
    }
    return indexes;
}

// ------------------------------------------------------------------- helpers

std::string capitalised(std::string_view upper)
{
    std::string s;
    s.reserve(upper.size());
    for (std::size_t i = 0; i < upper.size(); ++i) {
        const auto c = static_cast<unsigned char>(upper[i]);
        s += static_cast<char>(i == 0 ? c : std::tolower(c));
    }
    return s;
}

// The longest prefix of at most maxBytes that does not cut a UTF-8 sequence.
std::string_view utf8Prefix(std::string_view text, std::size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return text;
    std::size_t n = maxBytes;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        --n;
    return text.substr(0, n);
}

// The spelling with its accents of a first word that has one, which the
// first article of that word and one in fifty after it carry (the others were
// typed without, as shops' files hold both; even a small sample holds each
// spelling): written after every draw of the article, so that the rest of the
// catalogue stays as the seed gives it. seen counts each word's articles.
std::string_view withAccents(std::string_view head, std::map<std::string_view, std::int64_t> &seen)
{
    static const std::pair<std::string_view, std::string_view> spelled[] = {
        {"CAFE", "CAFÉ"}, {"AZUCAR", "AZÚCAR"}, {"ATUN", "ATÚN"}, {"JAMON", "JAMÓN"}, {"JABON", "JABÓN"}};
    for (const auto &[plain, accented] : spelled)
        if (head == plain)
            return seen[plain]++ % 50 == 0 ? accented : head;
    return head;
}

// Short names keep the first four letters of every word, as cashiers' screens
// show them, within twenty characters.
std::string abbreviated(std::string_view name)
{
    std::string out;
    std::size_t i = 0;
    while (i < name.size()) {
        const std::size_t end = std::min(name.find(' ', i), name.size());
        std::string_view word = name.substr(i, end - i);
        std::size_t letters = 0, cut = 0;
        while (cut < word.size() && letters < 4) {
            ++cut;
            while (cut < word.size() && (static_cast<unsigned char>(word[cut]) & 0xC0) == 0x80)
                ++cut;
            ++letters;
        }
        if (!out.empty())
            out += ' ';
        out += word.substr(0, cut);
        i = end + 1;
    }
    out = std::string(utf8Prefix(out, 20));
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

std::string syllableWord(SplitMix64 &rng, int syllables)
{
    std::string w;
    for (int i = 0; i < syllables; ++i)
        w += kSyllables[rng.below(kSyllables.size())];
    return w;
}

// Picks an index with weights 1/1, 1/2, 1/3 ... so the first entries dominate.
std::size_t zipf(SplitMix64 &rng, std::size_t count)
{
    std::uint32_t total = 0;
    for (std::size_t i = 0; i < count; ++i)
        total += 2520 / static_cast<std::uint32_t>(i + 1);
    std::uint32_t pick = rng.below(total);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t w = 2520 / static_cast<std::uint32_t>(i + 1);
        if (pick < w)
            return i;
        pick -= w;
    }
    return count - 1;
}

std::size_t pickFamily(SplitMix64 &rng)
{
    int total = 0;
    for (const auto &f : families())
        total += f.share;
    int pick = static_cast<int>(rng.below(static_cast<std::uint32_t>(total)));
    for (std::size_t i = 0; i < families().size(); ++i) {
        if (pick < families()[i].share)
            return i;
        pick -= families()[i].share;
    }
    return 0;
}

// EAN-13 codes of the shop's own range: a permutation of a counter keeps them
// unique while looking random.
class EanSource
{
public:
    std::string next()
    {
        const std::uint64_t body = (m_counter++ * 387420489ull + 12345ull) % 1000000000ull;
        char digits[16];
        std::snprintf(digits, sizeof digits, "773%09llu", static_cast<unsigned long long>(body));
        std::string code(digits, 12);
        code += static_cast<char>('0' + ean13CheckDigit(code));
        return code;
    }

private:
    std::uint64_t m_counter = 1;
};

double quantityFor(SplitMix64 &rng, int decimals, std::int64_t maxWhole)
{
    std::int64_t scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    std::int64_t v = rng.between(0, maxWhole * scale);
    if (rng.percent(2))
        v = -rng.between(1, 5 * scale);
    return static_cast<double>(v) / static_cast<double>(scale);
}

} // namespace

// ------------------------------------------------------------------- public

std::string_view schemaSql()
{
    return kSchemaSql;
}

const std::vector<std::string_view> &filledTables()
{
    static const std::vector<std::string_view> tables{
        "cceEmpresas", "genParametros", "genMonedas",   "TipoDePrecio",         "UnidadesMedidas",
        "Marcas",      "TipoArticulo",  "CategoriaDescuento", "genEntes",       "Articulo",
        "ArticuloVariedad", "ArticuloCodigoBarras", "PrecioVigente", "StockDisponible"};
    return tables;
}

int ean13CheckDigit(std::string_view twelveDigits)
{
    int sum = 0;
    for (std::size_t i = 0; i < twelveDigits.size() && i < 12; ++i)
        sum += (twelveDigits[i] - '0') * (i % 2 == 0 ? 1 : 3);
    return (10 - sum % 10) % 10;
}

Summary fill(sqlite3 *db, std::uint32_t articles, std::uint64_t seed, bool plainText)
{
    SplitMix64 rng(seed);
    exec(db, "BEGIN");
    const std::vector<std::string> indexes = createTables(db, plainText);

    // Settings and reference tables.
    {
        Insert company(db, "INSERT INTO cceEmpresas (EmpID, EmpPathImg) VALUES (?, ?)");
        company(1)(std::string_view("D:\\Img\\")).run();
        company(2)(std::string_view("\\\\SERVIDOR\\Imagenes")).run();

        Insert param(db, "INSERT INTO genParametros (ParNombre, ParValor) VALUES (?, ?)");
        param(std::string_view("FmtCabezalArticulo"))(std::string_view("3")).run();
        param(std::string_view("DecimalesPrecio"))(std::string_view("2")).run();
        param(std::string_view("EmpresaDefecto"))(std::string_view("1")).run();

        Insert currency(db, "INSERT INTO genMonedas (MonID, MonSimbolo, MonRedondeo) VALUES (?, ?, ?)");
        for (const auto &c : kCurrencies)
            currency(c.id)(c.symbol)(c.format).run();

        Insert type(db, "INSERT INTO TipoDePrecio (TPrID, TPrTipo, TPrEmpresa, TPrListaPrecio, TPrAbreviacion) "
                        "VALUES (?, ?, ?, ?, ?)");
        for (const auto &t : kPriceTypes)
            type(t.id)(t.kind)(t.company)(t.list)(t.abbreviation).run();

        Insert unit(db, "INSERT INTO UnidadesMedidas (UMeCodigo, UMeNombre, UMeDecimales) VALUES (?, ?, ?)");
        for (const auto &u : kUnits)
            unit(u.code)(u.name)(u.decimals).run();

        Insert kind(db, "INSERT INTO TipoArticulo (TArID, TArNombre) VALUES (?, ?)");
        for (std::size_t i = 0; i < families().size(); ++i)
            kind(static_cast<int>(i + 1))(families()[i].type).run();

        Insert category(db, "INSERT INTO CategoriaDescuento (CDeCodigo, CDeNombre) VALUES (?, ?)");
        for (std::size_t i = 0; i < kDiscountCategories.size(); ++i)
            category(static_cast<int>(i + 1))(kDiscountCategories[i]).run();
    }

    // Brands and suppliers grow with the catalogue, as in a real shop.
    const int brandCount = static_cast<int>(std::clamp<std::uint32_t>(articles / 400, 25, 2500));
    std::vector<std::string> brands;
    {
        Insert brand(db, "INSERT INTO Marcas (MarCodigo, MarNombre) VALUES (?, ?)");
        for (int i = 1; i <= brandCount; ++i) {
            brands.push_back(syllableWord(rng, 2 + static_cast<int>(rng.below(2))));
            brand(i)(brands.back()).run();
        }
    }
    const int supplierCount = static_cast<int>(std::clamp<std::uint32_t>(articles / 1000, 12, 1000));
    std::vector<std::string> supplierPrefixes;
    {
        static constexpr std::array<std::string_view, 5> kinds{"DISTRIBUIDORA", "IMPORTADORA", "COMERCIAL",
                                                               "MAYORISTA", "INDUSTRIAS"};
        static constexpr std::array<std::string_view, 3> forms{"S.A.", "S.R.L.", "LTDA."};
        Insert ente(db, "INSERT INTO genEntes (EntID, EntNombre1, EntNombre2, EntGuardarComo) VALUES (?, ?, ?, ?)");
        for (int i = 1; i <= supplierCount; ++i) {
            const std::string trade = syllableWord(rng, 2 + static_cast<int>(rng.below(2)));
            const std::string_view kind = kinds[rng.below(kinds.size())];
            const std::string legal = std::string(kind) + " " + trade + " " + std::string(forms[rng.below(forms.size())]);
            ente(i)(legal)(trade)(trade + ", " + std::string(kind)).run();
            supplierPrefixes.push_back(trade.substr(0, 3));
        }
    }

    Insert article(db,
                   "INSERT INTO Articulo (ArtID, ArtCodigo, ArtNombre, ArtNombreCorto, ArtDescripcionCorta, "
                   "ArtDescripcionLarga, ArtFoto, ArtPideNroSerie, ArtEnUso, ArtEnVenta, ArtEsCombo, "
                   "ArtValidoMayorQ, ArtUnidadMedida, ArtMarca, ArtTipo, ArtProveedor, ArtCodigoProveedor, "
                   "ArtCatDescuento, ArtEmpresa, ArtNoUtilizarGenerico) "
                   "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    Insert variety(db, "INSERT INTO ArticuloVariedad (AVaArticulo, AVaID, AVaNombre, AVaEnUso) VALUES (?, ?, ?, ?)");
    Insert barCode(db, "INSERT INTO ArticuloCodigoBarras (ACBCodigo, ACBArticulo, ACBVariedad, ACBCantidad, ACBLargo) "
                       "VALUES (?, ?, ?, ?, ?)");
    Insert price(db, "INSERT INTO PrecioVigente (PViArticulo, PViVariedad, PViTipoPrecio, PViCantidad, "
                     "PViHabilitado, PViMoneda, PViPrecio) VALUES (?, ?, ?, ?, ?, ?, ?)");
    Insert stock(db, "INSERT INTO StockDisponible (SDiArticulo, SDiVariedad, SDiCantidad) VALUES (?, ?, ?)");

    EanSource eans;
    int nextScaleItem = 1; // scale labels carry a five-digit item number
    std::string name, code;
    std::map<std::string_view, std::int64_t> accentsSeen;

    for (std::int64_t id = 1; id <= articles; ++id) {
        const Family &family = families()[pickFamily(rng)];
        const int typeId = static_cast<int>(&family - families().data()) + 1;
        const std::string_view head = family.heads[zipf(rng, family.heads.size())];
        const std::string_view qualifier = family.qualifiers[rng.below(static_cast<std::uint32_t>(family.qualifiers.size()))];
        const std::string_view measure = family.measures[rng.below(static_cast<std::uint32_t>(family.measures.size()))];
        const bool hasBrand = rng.percent(92);
        const int brandId = static_cast<int>(rng.below(static_cast<std::uint32_t>(brandCount))) + 1;
        const bool brandInName = hasBrand && rng.percent(40);

        name.assign(withAccents(head, accentsSeen)).append(" ").append(qualifier);
        if (brandInName)
            name.append(" ").append(brands[static_cast<std::size_t>(brandId - 1)]);
        if (!measure.empty())
            name.append(" ").append(measure);

        if (rng.percent(75)) {
            code = std::to_string(100000 + id);
        } else {
            char buf[24];
            std::snprintf(buf, sizeof buf, "%.3s%06lld", head.data(), static_cast<long long>(id));
            code = buf;
        }

        std::string shortDescription = capitalised(std::string(head) + " " + std::string(qualifier));
        if (!measure.empty())
            shortDescription += " " + std::string(measure);
        const int descriptionCase = static_cast<int>(rng.below(100));
        const bool hasShort = descriptionCase >= 2;
        const bool hasLong = descriptionCase < 2 ? false : descriptionCase < 62;
        std::string longDescription;
        if (hasLong) {
            longDescription = shortDescription + ". " +
                              std::string(family.blurbs[rng.below(static_cast<std::uint32_t>(family.blurbs.size()))]) + ".";
            if (hasBrand)
                longDescription += " Marca " + brands[static_cast<std::size_t>(brandId - 1)] + ".";
        }

        const bool hasPhoto = rng.percent(25);
        std::string photo = code + (rng.percent(10) ? ".png" : ".jpg");
        // Shops leave the picture reference empty when there is none; only a
        // few old rows carry no reference at all, which the control cannot
        // load (a Null where it reads text).
        const bool hasPhotoReference = hasPhoto || id % 100 != 0;
        if (!hasPhoto)
            photo.clear();
        const bool inUse = rng.percent(97);
        const bool onSale = inUse ? rng.percent(96) : rng.percent(30);
        const int unitCode = family.units[rng.below(static_cast<std::uint32_t>(family.units.size()))];
        const bool hasSupplier = rng.percent(90);
        const int supplierId = static_cast<int>(rng.below(static_cast<std::uint32_t>(supplierCount))) + 1;
        const bool hasSupplierCode = hasSupplier && rng.percent(75);
        const std::string supplierCode =
            supplierPrefixes[static_cast<std::size_t>(supplierId - 1)] + "-" + std::to_string(rng.between(100, 99999));
        const int discountCategory = rng.percent(70) ? 1 : static_cast<int>(rng.below(kDiscountCategories.size())) + 1;
        const int company = rng.percent(85) ? 1 : 2;

        const int varietyCount = rng.percent(static_cast<std::uint32_t>(family.varietyShare))
                                     ? static_cast<int>(rng.between(2, 6))
                                     : 0;
        const bool noGeneric = varietyCount > 0 && rng.percent(45);
        const bool serial = rng.percent(static_cast<std::uint32_t>(family.serialShare)) || rng.percent(1);
        const bool combo = rng.percent(2);
        const bool higherPriceAccepted = rng.percent(10);

        article(id)(code)(name)(abbreviated(name))
            .maybe(hasShort, shortDescription)
            .maybe(hasLong, longDescription)
            .maybe(hasPhotoReference, photo)(serial)(inUse)(onSale)(combo)(higherPriceAccepted)(unitCode)
            .maybe(hasBrand, brandId)(typeId)
            .maybe(hasSupplier, supplierId)
            .maybe(hasSupplierCode, supplierCode)(discountCategory)(company)(noGeneric)
            .run();

        // Varieties.
        std::uint32_t firstVariety = 0;
        std::span<const std::string_view> varietyNames;
        switch (family.varieties) {
        case VarietyKind::Colours: varietyNames = kColours; break;
        case VarietyKind::Sizes: varietyNames = kSizes; break;
        case VarietyKind::Grades: varietyNames = kGrades; break;
        case VarietyKind::None: varietyNames = kColours; break;
        }
        const int varieties = std::min<int>(varietyCount, static_cast<int>(varietyNames.size()));
        if (varieties > 0)
            firstVariety = rng.below(static_cast<std::uint32_t>(varietyNames.size() - static_cast<std::size_t>(varieties) + 1));
        for (int v = 1; v <= varieties; ++v)
            variety(id)(v)(varietyNames[firstVariety + static_cast<std::uint32_t>(v - 1)])(rng.percent(93)).run();

        // Bar codes: the article's own code, sometimes a pack code, the
        // varieties' codes, and scale labels for goods sold by weight.
        if (family.weighed && rng.percent(90) && nextScaleItem <= 99999) {
            char pattern[16];
            std::snprintf(pattern, sizeof pattern, "2%05d%%", nextScaleItem++);
            barCode(std::string_view(pattern))(id)(0)(1.0)(13).run();
        } else if (rng.percent(75)) {
            barCode(eans.next())(id)(0)(1.0)(rng.percent(70) ? 13 : 0).run();
            if (rng.percent(5))
                barCode(eans.next())(id)(0)(static_cast<double>(std::array{6, 12, 24}[rng.below(3)]))(13).run();
        }
        for (int v = 1; v <= varieties; ++v)
            if (rng.percent(80))
                barCode(eans.next())(id)(v)(1.0)(13).run();

        // Prices: every type of the article's company, in the local currency
        // mostly; a few articles have none, a few only disabled ones.
        if (!rng.percent(3)) {
            const std::int64_t baseCents = rng.between(family.minCents, family.maxCents);
            const std::uint32_t currencyPick = rng.below(100);
            const Currency &currency = currencyPick < 90 ? kCurrencies[0] : currencyPick < 99 ? kCurrencies[1] : kCurrencies[2];
            const bool enabled = !rng.percent(2);
            auto cents = [&](std::int64_t localCents, int percent) {
                const std::int64_t c = localCents * percent / 100 / currency.rate;
                return static_cast<double>(std::max<std::int64_t>(c, 1)) / 100.0;
            };
            for (const auto &t : kPriceTypes) {
                if (t.company != company)
                    continue;
                price(id)(0)(t.id)(1.0)(enabled)(currency.id)(cents(baseCents, t.percent)).run();
                if (t.kind == 1 && t.list == 0 && rng.percent(8))
                    price(id)(0)(t.id)(12.0)(enabled)(currency.id)(cents(baseCents, 90)).run();
            }
            if (varieties > 0 && rng.percent(50)) {
                const int saleType = company == 1 ? 1 : 5;
                for (int v = 1; v <= varieties; ++v)
                    price(id)(v)(saleType)(1.0)(true)(currency.id)(cents(baseCents, static_cast<int>(rng.between(90, 115))))
                        .run();
            }
        }

        // Stock on hand, in the unit's precision.
        const int decimals = unitDecimals(unitCode);
        if (rng.percent(90))
            stock(id)(0)(quantityFor(rng, decimals, 500)).run();
        for (int v = 1; v <= varieties; ++v)
            stock(id)(v)(quantityFor(rng, decimals, 60)).run();
    }

    for (const auto &sql : indexes)
        exec(db, sql.c_str());
    // Statistics let the planner pick the code and name indexes for the
    // lookups' many-branch statements; a sampled analysis is plenty for that.
    exec(db, "PRAGMA analysis_limit = 2000");
    exec(db, "ANALYZE");
    exec(db, "COMMIT");

    Summary summary;
    summary.articles = article.rows();
    summary.varieties = variety.rows();
    summary.barCodes = barCode.rows();
    summary.prices = price.rows();
    summary.stock = stock.rows();
    return summary;
}

Summary generate(const Options &options)
{
    namespace fs = std::filesystem;
    if (options.articles < kMinArticles || options.articles > kMaxArticles)
        throw CatalogueError("the number of articles must be between " + std::to_string(kMinArticles) + " and " +
                             std::to_string(kMaxArticles));
    if (options.output.empty())
        throw CatalogueError("no output file given");

    std::error_code ec;
    const fs::file_status status = fs::status(options.output, ec);
    if (fs::exists(status)) {
        if (fs::is_directory(status))
            throw CatalogueError(options.output.string() + " is a directory");
        if (!options.force)
            throw CatalogueError(options.output.string() + " already exists; use --force to replace it");
    }

    // Build beside the target and move it into place at the end, so that an
    // interrupted run never leaves a half-filled catalogue under the real name.
    fs::path partial = options.output;
    partial += ".part";
    fs::remove(partial, ec);

    sqlite3 *raw = nullptr;
    const int rc = sqlite3_open_v2(partial.string().c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    std::unique_ptr<sqlite3, int (*)(sqlite3 *)> db(raw, sqlite3_close);
    if (rc != SQLITE_OK)
        throw CatalogueError("cannot create " + partial.string() + ": " +
                             (raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc)));

    Summary summary;
    try {
        // Nothing to protect until the file is complete: no journal, no syncs.
        exec(db.get(), "PRAGMA journal_mode = OFF");
        exec(db.get(), "PRAGMA synchronous = OFF");
        exec(db.get(), "PRAGMA cache_size = -131072");
        exec(db.get(), "PRAGMA temp_store = MEMORY");
        summary = fill(db.get(), options.articles, options.seed, options.plainText);
        if (options.lookupIndexes)
            if (const lookup::LookupIndexing done = lookup::createLookupIndexes(db.get()); !done.ok())
                throw CatalogueError("cannot create the lookup indexes: " + done.error.toStdString());
    } catch (...) {
        db.reset();
        fs::remove(partial, ec);
        throw;
    }
    if (sqlite3_close(db.release()) != SQLITE_OK)
        throw CatalogueError("cannot close " + partial.string());

    fs::rename(partial, options.output, ec);
    if (ec) {
        fs::remove(partial, ec);
        throw CatalogueError("cannot move the catalogue to " + options.output.string() + ": " + ec.message());
    }
    return summary;
}

} // namespace vok::catalogue
