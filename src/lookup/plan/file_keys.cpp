#include "lookup/plan/file_keys.h"

#include "platform/rdo/tsql/tokens.h"

#include <sqlite3.h>

#include <QByteArray>
#include <QStringList>

namespace lookup {

namespace {

int rank(KeyOrder order)
{
    return order == KeyOrder::Server ? 0 : order == KeyOrder::NoCase ? 1 : 2;
}

} // namespace

QList<QStringList> schemaRows(sqlite3 *db, const QByteArray &sql, int columns)
{
    QList<QStringList> rows;
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &statement, nullptr) == SQLITE_OK)
        while (sqlite3_step(statement) == SQLITE_ROW) {
            QStringList row;
            for (int column = 0; column < columns; ++column)
                row.append(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, column))));
            rows.append(row);
        }
    sqlite3_finalize(statement);
    return rows;
}

bool fileHas(sqlite3 *db, const QString &name)
{
    return !schemaRows(db, "Select 1 From sqlite_master Where name = " + rdo::textLiteral(name).toUtf8()).isEmpty();
}

std::optional<LeadingIndex> leadingIndex(sqlite3 *db, const char *table, const char *column)
{
    std::optional<LeadingIndex> best;
    // index_list: seq, name, unique, origin, partial.
    for (const QStringList &index : schemaRows(db, QByteArray("PRAGMA index_list(\"") + table + "\")", 5)) {
        if (index[4] != u"0"_qs)
            continue;
        // index_xinfo: seqno, cid, name, desc, coll, key.
        const QByteArray pragma = "PRAGMA index_xinfo(\"" + QString(index[1]).replace(u'"', u"\"\""_qs).toUtf8() + "\")";
        for (const QStringList &key : schemaRows(db, pragma, 5)) {
            if (key[0] != u"0"_qs || key[2].compare(QLatin1String(column), Qt::CaseInsensitive))
                continue;
            if (const auto order = keyOrderOf(key[4]); order && (!best || rank(*order) < rank(best->order)))
                best = LeadingIndex{index[1], *order};
        }
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
