#include "lookup/plan/file_keys.h"

#include <sqlite3.h>

#include <QByteArray>
#include <QStringList>

namespace lookup {

namespace {

template <typename Row>
void forEachRow(sqlite3 *db, const QByteArray &pragma, Row &&row)
{
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db, pragma.constData(), -1, &statement, nullptr) == SQLITE_OK)
        while (sqlite3_step(statement) == SQLITE_ROW)
            row(statement);
    sqlite3_finalize(statement);
}

QString textOf(sqlite3_stmt *statement, int column)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, column)));
}

int rank(KeyOrder order)
{
    return order == KeyOrder::Server ? 0 : order == KeyOrder::NoCase ? 1 : 2;
}

} // namespace

std::optional<LeadingIndex> leadingIndex(sqlite3 *db, const char *table, const char *column)
{
    std::optional<LeadingIndex> best;
    QStringList indexes;
    // index_list: seq, name, unique, origin, partial.
    forEachRow(db, QByteArray("PRAGMA index_list(\"") + table + "\")", [&](sqlite3_stmt *index) {
        if (sqlite3_column_int(index, 4) == 0)
            indexes.append(textOf(index, 1));
    });
    for (const QString &index : indexes) {
        // index_xinfo: seqno, cid, name, desc, coll, key.
        const QByteArray pragma = "PRAGMA index_xinfo(\"" + QString(index).replace(u'"', u"\"\""_qs).toUtf8() + "\")";
        forEachRow(db, pragma, [&](sqlite3_stmt *first) {
            if (sqlite3_column_int(first, 0) != 0 || textOf(first, 2).compare(QLatin1String(column), Qt::CaseInsensitive))
                return;
            if (const auto order = keyOrderOf(textOf(first, 4)); order && (!best || rank(*order) < rank(best->order)))
                best = LeadingIndex{index, *order};
        });
    }
    return best;
}

std::optional<KeyOrder> FileKeys::of(const QString &column) const
{
    if (column.compare(u"ArtCodigo", Qt::CaseInsensitive) == 0)
        return code;
    if (column.compare(u"ArtNombre", Qt::CaseInsensitive) == 0)
        return name;
    if (column.compare(u"ArtNombreCorto", Qt::CaseInsensitive) == 0)
        return shortName;
    if (column.compare(u"ACBCodigo", Qt::CaseInsensitive) == 0)
        return barCode;
    return std::nullopt;
}

FileKeys fileKeysOf(sqlite3 *db)
{
    const auto order = [db](const char *table, const char *column) -> std::optional<KeyOrder> {
        if (const auto index = leadingIndex(db, table, column))
            return index->order;
        return std::nullopt;
    };
    return {order("Articulo", "ArtCodigo"), order("Articulo", "ArtNombre"), order("Articulo", "ArtNombreCorto"),
            order("ArticuloCodigoBarras", "ACBCodigo")};
}

} // namespace lookup
