#include "lista_items.h"

#include "platform/rdo/rdo.h"
#include "platform/ui/toolkit.h"
#include "platform/vb/conversions.h"
#include "platform/vb/error.h"
#include "platform/vb/format.h"

#include <QStringList>

#include <algorithm>
#include <deque>

namespace host {

namespace {

constexpr int MaxDecimals = 9;
constexpr int32_t SubscriptOutOfRange = 9;

// "pos:rest" split at the first colon; nothing when pos is not a number.
std::optional<std::pair<int, QString>> posicionYValor(const QString &entrada)
{
    const qsizetype colon = entrada.indexOf(u':');
    if (colon <= 0)
        return std::nullopt;
    bool ok = false;
    const int posicion = entrada.left(colon).trimmed().toInt(&ok);
    if (!ok || posicion < 0)
        return std::nullopt;
    return std::pair{posicion, entrada.mid(colon + 1)};
}

ui::ItemRow leerFila(const rdo::rdoResultset &resultado)
{
    const rdo::rdoColumns &columnas = resultado.rdoColumns();
    ui::ItemRow fila;
    fila.reserve(static_cast<size_t>(columnas.Count()));
    for (int32_t i = 0; i < columnas.Count(); ++i)
        fila.push_back(columnas.Item(i).Value());
    return fila;
}

// The rows of an open result set, read as the window asks for them. Rows
// already read to decide whether a window is needed are handed out first.
class FilasDelResultado final : public ui::RowSource {
public:
    FilasDelResultado(rdo::rdoResultset &resultado, const ListaItems &lista, std::deque<ui::ItemRow> leidas)
        : m_resultado(resultado), m_lista(lista), m_leidas(std::move(leidas))
    {
    }
    bool atEnd() const override { return m_leidas.empty() && m_resultado.Eof(); }
    ui::ItemRow takeRow() override
    {
        ui::ItemRow fila;
        if (!m_leidas.empty()) {
            fila = std::move(m_leidas.front());
            m_leidas.pop_front();
        } else {
            fila = m_lista.presentRow(leerFila(m_resultado));
            m_resultado.MoveNext();
        }
        ++m_entregadas;
        if (m_primeras.size() < static_cast<size_t>(ui::ItemListReport::FirstRows))
            m_primeras.push_back(fila);
        return fila;
    }
    // Rows handed to the window so far, and the first of them.
    int entregadas() const { return m_entregadas; }
    const std::vector<ui::ItemRow> &primeras() const { return m_primeras; }

private:
    rdo::rdoResultset &m_resultado;
    const ListaItems &m_lista;
    std::deque<ui::ItemRow> m_leidas;
    int m_entregadas = 0;
    std::vector<ui::ItemRow> m_primeras;
};

// The shown cells of a row as the window writes them: each through its
// column's mask; a value the mask cannot take shows empty.
QStringList celdasMostradas(const ui::ItemListLayout &layout, const ui::ItemRow &fila)
{
    QStringList celdas;
    for (size_t p = 0; p < fila.size(); ++p) {
        const int posicion = static_cast<int>(p);
        const bool mostrada = layout.headings.isEmpty() ||
                              (posicion < layout.headings.size() && !layout.headings.at(posicion).isEmpty());
        if (!mostrada)
            continue;
        const auto mascara = layout.formats.find(posicion);
        try {
            celdas.push_back(vb::Format(fila[p], mascara == layout.formats.end() ? QString() : mascara->second));
        } catch (const std::exception &) {
            celdas.push_back(QString());
        }
    }
    return celdas;
}

// Closes the result set however Mostrar ends; a failing close does not hide
// the error that ended it.
class CierreDelResultado {
public:
    explicit CierreDelResultado(std::shared_ptr<rdo::rdoResultset> resultado) : m_resultado(std::move(resultado)) {}
    ~CierreDelResultado()
    {
        try {
            m_resultado->Close();
        } catch (const std::exception &) {
        }
    }
    CierreDelResultado(const CierreDelResultado &) = delete;
    CierreDelResultado &operator=(const CierreDelResultado &) = delete;

private:
    std::shared_ptr<rdo::rdoResultset> m_resultado;
};

} // namespace

std::map<int, ui::Twips> leerAnchos(const QString &texto)
{
    std::map<int, ui::Twips> anchos;
    for (const QString &entrada : texto.split(u'|', Qt::SkipEmptyParts)) {
        const auto par = posicionYValor(entrada);
        if (!par)
            continue;
        bool ok = false;
        const ui::Twips ancho = par->second.trimmed().toInt(&ok);
        if (ok && ancho >= 0)
            anchos[par->first] = ancho;
    }
    return anchos;
}

ListaItems::ListaItems(com::Module *module) : AutomationObject(module)
{
    using Args = std::span<vb::Variant>;
    const auto let = [this](const QString &name, auto store) {
        addPropertyLet(name, [store](Args args) {
            store(argument(args, 0));
            return vb::Variant();
        });
    };
    const auto get = [this](const QString &name, auto read) {
        addPropertyGet(name, [read](Args) { return vb::Variant(read()); });
    };

    let(QStringLiteral("Idioma"), [this](const vb::Variant &v) { idioma = vb::CByte(v); });
    get(QStringLiteral("Idioma"), [this] { return idioma; });
    let(QStringLiteral("ElegirUnica"), [this](const vb::Variant &v) { elegirUnica = vb::CBool(v); });
    get(QStringLiteral("ElegirUnica"), [this] { return elegirUnica; });
    let(QStringLiteral("FormatearCantidades"), [this](const vb::Variant &v) { formatearCantidades = vb::CBool(v); });
    get(QStringLiteral("FormatearCantidades"), [this] { return formatearCantidades; });
    let(QStringLiteral("Titulo"), [this](const vb::Variant &v) { titulo = vb::CStr(v); });
    get(QStringLiteral("Titulo"), [this] { return titulo; });
    let(QStringLiteral("Encabezados"), [this](const vb::Variant &v) { encabezados = vb::CStr(v); });
    get(QStringLiteral("Encabezados"), [this] { return encabezados; });
    let(QStringLiteral("ColumnaDecimales"), [this](const vb::Variant &v) { columnaDecimales = vb::CInt(v); });
    get(QStringLiteral("ColumnaDecimales"), [this] { return columnaDecimales; });
    let(QStringLiteral("ColumnaClave"), [this](const vb::Variant &v) { columnaClave = vb::CInt(v); });
    get(QStringLiteral("ColumnaClave"), [this] { return columnaClave; });
    let(QStringLiteral("Ancho"), [this](const vb::Variant &v) { ancho = vb::CLng(v); });
    get(QStringLiteral("Ancho"), [this] { return ancho; });
    let(QStringLiteral("AnchosColumnas"), [this](const vb::Variant &v) { anchosColumnas = leerAnchos(vb::CStr(v)); });
    let(QStringLiteral("FormatoColumna"), [this](const vb::Variant &v) {
        if (const auto par = posicionYValor(vb::CStr(v)))
            formatos[par->first] = par->second;
    });

    addMethod(QStringLiteral("Mostrar"), [this](Args args) {
        const vb::ObjectRef objeto = argument(args, 0).object();
        if (!objeto)
            throw vb::Error::standard(vb::err::ObjectNotSet);
        const auto conexion = std::dynamic_pointer_cast<rdo::rdoConnection>(objeto);
        if (!conexion)
            throw vb::Error::standard(vb::err::TypeMismatch);
        return vb::Variant(Mostrar(conexion, vb::CStr(argument(args, 1))));
    });
    addPropertyGet(QStringLiteral("ValorColumna"),
                   [this](Args args) { return ValorColumna(vb::CLng(argument(args, 0))); });
}

ui::ItemListLayout ListaItems::layout() const
{
    ui::ItemListLayout layout;
    layout.title = titulo;
    if (layout.title.isEmpty())
        layout.title = idioma == 2 ? QStringLiteral("Items List") : QStringLiteral("Lista de Artículos");
    if (!encabezados.isEmpty())
        layout.headings = encabezados.split(u'|');
    // The flags and identifiers left of the key are the caller's to read back,
    // not the user's to look at.
    for (int p = 0; p < std::min<int>(columnaClave, static_cast<int>(layout.headings.size())); ++p)
        layout.headings[p].clear();
    // Headings that name neither the key nor the name after it would list rows
    // with no column at all; the user still has to see which article a row is,
    // so those two show under the list's own words.
    if (columnaClave >= 0 && !layout.headings.isEmpty()) {
        const int nombre = columnaClave + 1;
        if (layout.headings.size() <= nombre)
            layout.headings.resize(nombre + 1);
        if (layout.headings.at(columnaClave).isEmpty() && layout.headings.at(nombre).isEmpty()) {
            const bool ingles = idioma == 2;
            layout.headings[columnaClave] = ingles ? QStringLiteral("Code") : QStringLiteral("Código");
            layout.headings[nombre] = ingles ? QStringLiteral("Item Name") : QStringLiteral("Artículo");
        }
    }
    layout.widths = anchosColumnas;
    layout.formats = formatos;
    layout.width = ancho;
    return layout;
}

ui::ItemRow ListaItems::presentRow(ui::ItemRow row) const
{
    if (!formatearCantidades || columnaDecimales < 0 || columnaDecimales >= static_cast<int>(row.size()))
        return row;
    const vb::Variant &enDecimales = row[static_cast<size_t>(columnaDecimales)];
    if (!enDecimales.isNumeric() && !enDecimales.isString())
        return row;
    const int decimales = std::clamp(static_cast<int>(vb::Val(vb::CStr(enDecimales))), 0, MaxDecimals);
    const QString mascara =
        decimales == 0 ? QStringLiteral("#,##0") : QStringLiteral("#,##0.") + QString(decimales, u'0');
    const QStringList titulos = encabezados.split(u'|');
    for (int p = std::max(0, columnaClave + 1); p < static_cast<int>(row.size()); ++p) {
        vb::Variant &valor = row[static_cast<size_t>(p)];
        const bool mostrada = p < titulos.size() && !titulos[p].isEmpty();
        if (!mostrada || formatos.contains(p) || !valor.isNumeric() || valor.type() == vb::VarType::Boolean)
            continue;
        valor = vb::Format(valor, mascara);
    }
    return row;
}

int16_t ListaItems::Mostrar(const std::shared_ptr<rdo::rdoConnection> &conexion, const QString &sql)
{
    m_elegida.reset();
    const ui::ItemListLayout disposicion = layout();
    ui::ItemListReport informe;
    informe.title = disposicion.title;
    informe.header = encabezados;
    informe.sql = sql;
    for (const QString &titulo : disposicion.headings)
        if (!titulo.isEmpty())
            informe.columns.push_back(titulo);
    const auto informar = [&](int16_t resultado, int leidas, const std::vector<ui::ItemRow> &primeras) {
        informe.result = resultado;
        informe.rowsRead = leidas;
        for (const ui::ItemRow &fila : primeras)
            informe.firstRows.push_back(celdasMostradas(disposicion, fila));
        ui::toolkit().itemListRan(informe);
        return resultado;
    };

    const std::shared_ptr<rdo::rdoResultset> resultado = conexion->OpenResultset(sql);
    const CierreDelResultado cierre(resultado);
    if (resultado->Eof())
        return informar(0, 0, {});
    ui::ItemRow primera = presentRow(leerFila(*resultado));
    resultado->MoveNext();
    if (elegirUnica && resultado->Eof()) {
        m_elegida = primera;
        return informar(1, 1, {std::move(primera)});
    }
    std::deque<ui::ItemRow> leidas;
    leidas.push_back(std::move(primera));
    FilasDelResultado filas(*resultado, *this, std::move(leidas));
    m_elegida = ui::toolkit().showItemList(disposicion, filas);
    return informar(m_elegida ? 1 : 0, filas.entregadas(), filas.primeras());
}

vb::Variant ListaItems::ValorColumna(int32_t posicion) const
{
    if (!m_elegida)
        throw vb::Error(rdo::err::NoCurrentRow, QStringLiteral("No current row"), QStringLiteral("ListaItems"));
    if (posicion < 0 || posicion >= static_cast<int32_t>(m_elegida->size()))
        throw vb::Error(SubscriptOutOfRange, QStringLiteral("Subscript out of range"), QStringLiteral("ListaItems"));
    return (*m_elegida)[static_cast<size_t>(posicion)];
}

} // namespace host
