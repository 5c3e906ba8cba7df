#include "lookup/plan/index_script.h"

#include "lookup/plan/file_keys.h"
#include "lookup_indexes.h"

#include "platform/rdo/sqlite/sqlite_connection.h"

#include <sqlite3.h>

#include <QHash>
#include <QRegularExpression>

namespace lookup {

namespace {

// The first column of every row of a statement on the file's schema.
QStringList column(sqlite3 *db, const char *sql)
{
    QStringList values;
    for (const QStringList &row : schemaRows(db, sql))
        values.append(row.first());
    return values;
}

QStringList schemaObjects(sqlite3 *db)
{
    return column(db, "Select name From sqlite_master Where type In ('index', 'table', 'trigger') "
                      "And name Not Like 'sqlite_%' Order By name");
}

// Indexes in the collation SQLSERVER: only an earlier version of our script
// made them.
QStringList earlierIndexes(sqlite3 *db)
{
    return column(db, "Select name From sqlite_master Where type = 'index' "
                      "And instr(upper(sql), 'COLLATE SQLSERVER') > 0 Order By name");
}

// The script's indexes by name, each with its definition after the name,
// blanks folded.
QHash<QString, QString> scriptIndexes()
{
    static const QRegularExpression create(QStringLiteral(R"(CREATE INDEX IF NOT EXISTS (\w+)([^;]*);)"));
    QHash<QString, QString> indexes;
    for (auto found = create.globalMatch(QString::fromUtf8(kLookupIndexesSql)); found.hasNext();) {
        const QRegularExpressionMatch index = found.next();
        indexes.insert(index.captured(1), index.captured(2).simplified());
    }
    return indexes;
}

// The indexes an upgrade drops: an earlier version's in the collation
// SQLSERVER, and those of the script's names that the file holds with
// another definition (which CREATE INDEX IF NOT EXISTS would keep).
QStringList outdatedIndexes(sqlite3 *db)
{
    QStringList outdated = earlierIndexes(db);
    const QHash<QString, QString> script = scriptIndexes();
    for (const QStringList &index : schemaRows(db, "Select name, sql From sqlite_master Where type = 'index' "
                                                   "And sql Is Not Null", 2)) {
        const QString &name = index[0], &sql = index[1];
        // The engine keeps "CREATE INDEX name" and the text after the name.
        const qsizetype after = sql.indexOf(name) + name.size();
        if (script.contains(name) && !outdated.contains(name) && sql.mid(after).simplified() != script.value(name))
            outdated.append(name);
    }
    return outdated;
}

QString quotedName(QString name)
{
    return u'"' + name.replace(u'"', u"\"\""_qs) + u'"';
}

} // namespace

LookupIndexing createLookupIndexes(sqlite3 *db)
{
    LookupIndexing done;
    const auto run = [&](const QByteArray &sql) {
        if (done.ok() && (done.code = sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr)) != SQLITE_OK)
            done.error = QString::fromUtf8(sqlite3_errmsg(db));
        return done.ok();
    };
    // The earlier indexes are read and dropped with the collation they name.
    if ((done.code = rdo::installServerText(db)) != SQLITE_OK) {
        done.error = QString::fromUtf8(sqlite3_errstr(done.code));
        return done;
    }
    if (!run("BEGIN IMMEDIATE"))
        return done;
    const QStringList before = schemaObjects(db);
    done.dropped = outdatedIndexes(db);
    for (const QString &index : std::as_const(done.dropped))
        run("DROP INDEX " + quotedName(index).toUtf8());
    run(kLookupIndexesSql);
    // A sampled analysis is plenty for the planner to prefer the indexes.
    run("PRAGMA analysis_limit = 2000; ANALYZE");
    if (!done.ok()) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        done.dropped.clear();
        return done;
    }
    run("COMMIT");
    for (const QString &object : schemaObjects(db))
        if (!before.contains(object) || done.dropped.contains(object))
            done.created.append(object);
    return done;
}

QStringList lookupReadings(sqlite3 *db)
{
    struct Kind {
        const char *what, *table, *column;
    };
    const Kind kinds[] = {
        {"codes and code prefixes", "Articulo", "ArtCodigo"},
        {"names and their first word", "Articulo", "ArtNombre"},
        {"short names", "Articulo", "ArtNombreCorto"},
        {"bar codes and scale labels", "ArticuloCodigoBarras", "ACBCodigo"},
    };
    const auto orderName = [](KeyOrder order) {
        return order == KeyOrder::Binary   ? u"SQLite's own order: each range once per way of writing the text's letters"_qs
               : order == KeyOrder::NoCase ? u"NOCASE"_qs
                                           : u"SQL Server's order, an earlier version's"_qs;
    };
    QStringList lines;
    for (const Kind &kind : kinds) {
        const auto index = leadingIndex(db, kind.table, kind.column);
        const QString what = QLatin1String(kind.what) + QStringLiteral(": ");
        if (index)
            lines.append(what + QStringLiteral("fast, ranges of the index ") + index->name + QStringLiteral(" (") +
                         orderName(index->order) + u')');
        else
            lines.append(what + QStringLiteral("reads every row of ") + QLatin1String(kind.table) +
                         QStringLiteral(", no index begins with ") + QLatin1String(kind.column));
    }
    if (const QStringList renewed = outdatedIndexes(db); !renewed.isEmpty())
        lines.append(QStringLiteral("indexes of an earlier version: ") + renewed.join(QStringLiteral(", ")) +
                     u"; `vok-catalogue index` renews them"_qs +
                     (earlierIndexes(db).isEmpty()
                          ? QString()
                          : u" (until then, in the collation SQLSERVER, programs without our library cannot write "
                            u"the articles)"_qs));
    if (!fileHas(db, u"ArticuloVariedadCambios"_qs))
        lines.append(u"no count of changes to the varieties: a till reads them again after every other "
                     u"program's commit"_qs);
    if (!fileHas(db, u"sqlite_stat1"_qs))
        lines.append(u"no statistics (ANALYZE): the engine may read a bar code's article the slow way"_qs);
    return lines;
}

} // namespace lookup
