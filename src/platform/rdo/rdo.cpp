#include "platform/rdo/rdo.h"

#include "platform/rdo/connection_string.h"
#include "platform/rdo/odbc/odbc_connection.h"
#include "platform/rdo/sqlite/sqlite_connection.h"

#include "platform/vb/conversions.h"
#include "platform/vb/error.h"

namespace rdo {

namespace {

vb::Error itemNotFound()
{
    return vb::Error(err::ItemNotFound, QStringLiteral("Item not found in this collection"), QStringLiteral("rdo"));
}

bool isGetter(vb::CallKind kind)
{
    return kind == vb::CallKind::Method || kind == vb::CallKind::PropertyGet;
}

// A column key as the host passes it: a name, or a number for a position.
const rdoColumn &columnByKey(const rdoColumns &columns, const vb::Variant &key)
{
    if (key.isString())
        return columns.Item(key.get<QString>());
    if (key.isNumeric())
        return columns.Item(vb::CLng(key));
    throw vb::Error::standard(vb::err::TypeMismatch, QStringLiteral("rdo"));
}

// The columns of a result set reached late-bound, read at the time of the call
// so that it follows the result set's current row.
class ColumnsObject final : public com::Object {
public:
    explicit ColumnsObject(std::shared_ptr<rdoResultset> resultset) : m_resultset(std::move(resultset)) {}

    vb::Variant invoke(const QString &member, vb::CallKind kind, std::span<vb::Variant> args) override
    {
        if (isGetter(kind) && member.compare(u"Count", Qt::CaseInsensitive) == 0 && args.empty())
            return m_resultset->rdoColumns().Count();
        if (isGetter(kind) && member.compare(u"Item", Qt::CaseInsensitive) == 0 && args.size() == 1)
            return columnByKey(m_resultset->rdoColumns(), args[0]).Value();
        return com::Object::invoke(member, kind, args);
    }

private:
    std::shared_ptr<rdoResultset> m_resultset;
};

} // namespace

const rdoColumn &rdoColumns::Item(const QString &name) const
{
    for (const rdoColumn &column : m_columns)
        if (column.Name().compare(name, Qt::CaseInsensitive) == 0)
            return column;
    throw itemNotFound();
}

const rdoColumn &rdoColumns::Item(int32_t index) const
{
    if (index < 0 || index >= Count())
        throw itemNotFound();
    return m_columns[static_cast<size_t>(index)];
}

vb::Variant rdoResultset::invoke(const QString &member, vb::CallKind kind, std::span<vb::Variant> args)
{
    if (isGetter(kind) && args.empty() && member.compare(u"EOF", Qt::CaseInsensitive) == 0)
        return Eof();
    if (isGetter(kind) && member.compare(u"rdoColumns", Qt::CaseInsensitive) == 0) {
        if (args.empty())
            return vb::ObjectRef(
                std::make_shared<ColumnsObject>(std::static_pointer_cast<rdoResultset>(shared_from_this())));
        if (args.size() == 1)
            return columnByKey(rdoColumns(), args[0]).Value();
    }
    if (kind == vb::CallKind::Method && args.empty() && member.compare(u"MoveNext", Qt::CaseInsensitive) == 0) {
        MoveNext();
        return {};
    }
    if (kind == vb::CallKind::Method && args.empty() && member.compare(u"Close", Qt::CaseInsensitive) == 0) {
        Close();
        return {};
    }
    return com::Object::invoke(member, kind, args);
}

vb::Variant rdoConnection::invoke(const QString &member, vb::CallKind kind, std::span<vb::Variant> args)
{
    if (isGetter(kind) && member.compare(u"OpenResultset", Qt::CaseInsensitive) == 0 && !args.empty() &&
        args.size() <= 3) {
        const QString sql = vb::CStr(args[0]);
        const int16_t type = args.size() > 1 && !args[1].isEmpty() ? vb::CInt(args[1]) : int16_t(rdOpenDynamic);
        const int16_t lock = args.size() > 2 && !args[2].isEmpty() ? vb::CInt(args[2]) : int16_t(rdConcurValues);
        return vb::ObjectRef(OpenResultset(sql, type, lock));
    }
    if (isGetter(kind) && args.empty() && member.compare(u"Connect", Qt::CaseInsensitive) == 0)
        return Connect();
    return com::Object::invoke(member, kind, args);
}

std::shared_ptr<rdoConnection> rdoConnection::open(const QString &connectionString)
{
    const bool sqlite = connectionString.startsWith(u"sqlite:", Qt::CaseInsensitive);
    const bool odbc = connectionString.startsWith(u"odbc:", Qt::CaseInsensitive);
    // The library's own refusals quote nothing of a password; an engine's or
    // a driver's message may quote the string anywhere, and is masked whole.
    if (!sqlite && !odbc)
        throw vb::Error(err::UnknownConnectionString,
                        QStringLiteral("Unknown kind of connection \"%1\": the connection string must begin with "
                                       "\"sqlite:\" followed by a database file or \"odbc:\" followed by an ODBC "
                                       "connection string")
                            .arg(withoutPasswords(connectionString.section(u':', 0, 0), connectionString)),
                        QStringLiteral("rdo"));
    if (odbc)
        parseOdbcConnectionString(connectionString);
    try {
        if (sqlite)
            return SqliteConnection::open(connectionString);
        return OdbcConnection::open(connectionString);
    } catch (const vb::Error &error) {
        throw vb::Error(error.number(), withoutPasswords(error.description(), connectionString), error.source());
    }
}

} // namespace rdo
