#pragma once
// The host application's item list: runs a statement on the connection it is
// given and lets the user choose one row, through the toolkit's item-list
// window. The control creates one per lookup, sets it up, shows it and reads
// the chosen row's columns back by position.
//
// Members, reached by name (settings are property lets; all but AnchosColumnas
// and FormatoColumna can be read back with a get):
//   Idioma               Byte. 2 = English, any other value Spanish; gives the
//                        window title ("Items List" / "Lista de Artículos")
//                        when Titulo is left empty.
//   ElegirUnica          Boolean, False by default. True: a statement that
//                        yields exactly one row has it chosen without a window
//                        (a scan or a find by identifier never stops the
//                        cashier). False: the window opens for one row too.
//   FormatearCantidades  Boolean, False by default. True: the numbers in the
//                        shown columns after ColumnaClave that have no format
//                        of their own are written with as many decimals as
//                        the row's ColumnaDecimales holds ("#,##0.000" for 3,
//                        "#,##0" for 0), so stock shows in the unit's precision.
//   Titulo               String, the window title.
//   Encabezados          String, one "|"-separated heading per column position
//                        from 0; a position whose heading is empty, or that has
//                        none, is not shown. When headings are given but name
//                        neither ColumnaClave nor the column after it (the
//                        code and the name), those two show as "Código" and
//                        "Artículo" ("Code" and "Item Name" in English).
//   ColumnaDecimales     Integer, the 0-based column holding the unit's
//                        decimals (clamped to 0..9); -1 (the default) = none.
//   ColumnaClave         Integer, the 0-based key column (the code): the
//                        columns left of it are flags and identifiers and are
//                        not shown, those right of it are the data
//                        FormatearCantidades applies to.
//                        -1 (the default) = every column is data.
//   Ancho                Integer or Long, the window width in twips; 7000 by
//                        default, read and written.
//   AnchosColumnas       String "pos:twips|pos:twips"; replaces earlier widths;
//                        malformed entries are skipped.
//   FormatoColumna       String "pos:mask" (the platform's Format masks); each
//                        call adds or replaces the format of one column.
//   Mostrar(conexion, sql) -> Integer. Runs sql on the connection (an
//                        rdoConnection object) and reads its rows one at a
//                        time as the window needs them; nothing is counted up
//                        front. No row: 0, no window. One row and ElegirUnica:
//                        that row is chosen, 1, no window. Otherwise the
//                        window: 1 when the user chose a row, else 0. The
//                        result set is closed before Mostrar returns. A
//                        statement the server rejects raises its error.
//                        Every run that returns tells the toolkit what it did
//                        (Toolkit::itemListRan), with or without a window.
//   ValorColumna(pos)    The value of the column at the 0-based position in
//                        the chosen row, as the list held it (quantities that
//                        FormatearCantidades wrote are text). No chosen row is
//                        error 40022; a position outside the row, error 9.
//
// The list never touches the mouse pointer: showing the hourglass while the
// database is read is the caller's business.

#include "platform/com/object.h"
#include "platform/ui/item_list.h"

#include <cstdint>
#include <map>
#include <optional>

namespace rdo {
class rdoConnection;
}

namespace host {

class ListaItems final : public com::AutomationObject {
public:
    static constexpr ui::Twips DefaultWidth = 7000;

    explicit ListaItems(com::Module *module = nullptr);

    int16_t Mostrar(const std::shared_ptr<rdo::rdoConnection> &conexion, const QString &sql);
    vb::Variant ValorColumna(int32_t posicion) const;

    // The window layout as Mostrar hands it to the toolkit.
    ui::ItemListLayout layout() const;
    // A row of the result as the list shows it (quantities formatted).
    ui::ItemRow presentRow(ui::ItemRow row) const;

    uint8_t idioma = 0;
    bool elegirUnica = false;
    bool formatearCantidades = false;
    QString titulo;
    QString encabezados;
    int16_t columnaDecimales = -1;
    int16_t columnaClave = -1;
    ui::Twips ancho = DefaultWidth;
    std::map<int, ui::Twips> anchosColumnas;
    std::map<int, QString> formatos;

private:
    std::optional<ui::ItemRow> m_elegida;
};

// "pos:twips|pos:twips" into widths by position; malformed entries skipped.
std::map<int, ui::Twips> leerAnchos(const QString &texto);

} // namespace host
