#include "platform/rdo/connection_string.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>

namespace rdo {

namespace {

const QString kMask = QStringLiteral("***");

// A braced value as the driver reads it: without its braces, "}}" as '}'.
QString unbraced(QStringView value)
{
    QStringView inner = value.mid(1);
    if (inner.endsWith(u'}'))
        inner.chop(1);
    return inner.toString().replace(u"}}"_qs, u"}"_qs);
}

// libpq's "password=..." inside another value: psqlODBC hands its pqopt={...}
// to libpq as it is. Any value is searched, a password in the wrong place
// being as secret as one in the right place.
void addNestedPasswords(QStringView value, QStringList &found)
{
    static const QRegularExpression nested(
        QStringLiteral(R"((?:^|[\s;{])(?:pwd|password)\s*=\s*('(?:[^'\\]|\\.)*'?|(?:\}\}|[^\s;}])*))"),
        QRegularExpression::CaseInsensitiveOption);
    for (auto match = nested.globalMatch(value.toString()); match.hasNext();) {
        QString written = match.next().captured(1);
        found << written;
        written.replace(u"}}"_qs, u"}"_qs);
        found << written;
        if (written.startsWith(u'\'')) {
            written = written.mid(1);
            if (written.endsWith(u'\''))
                written.chop(1);
            found << written << QString(written).replace(u"\\'"_qs, u"'"_qs).replace(u"\\\\"_qs, u"\\"_qs);
        }
    }
}

} // namespace

std::vector<ConnectionAttribute> splitConnectionAttributes(QStringView text)
{
    std::vector<ConnectionAttribute> attributes;
    const qsizetype n = text.size();
    for (qsizetype i = 0;; ++i) {
        const qsizetype start = i;
        while (i < n && text[i] != u'=' && text[i] != u';')
            ++i;
        ConnectionAttribute attribute;
        attribute.hasValue = i < n && text[i] == u'=';
        attribute.key = text.mid(start, i - start).trimmed();
        if (attribute.hasValue) {
            const qsizetype valueStart = ++i;
            // Braces only open inside a value, where a ';' may then stand;
            // "}}" is a '}' of the value. An unclosed brace runs to the end.
            bool braced = false;
            for (; i < n && (braced || text[i] != u';'); ++i) {
                if (!braced)
                    braced = text[i] == u'{';
                else if (text[i] == u'}' && i + 1 < n && text[i + 1] == u'}')
                    ++i;
                else if (text[i] == u'}')
                    braced = false;
            }
            attribute.value = text.mid(valueStart, i - valueStart).trimmed();
        }
        attribute.text = text.mid(start, i - start);
        attributes.push_back(attribute);
        if (i >= n)
            break;
    }
    return attributes;
}

bool isPasswordKey(QStringView key)
{
    const auto named = [](QStringView name) {
        name = name.trimmed();
        return name.compare(u"PWD", Qt::CaseInsensitive) == 0 || name.compare(u"Password", Qt::CaseInsensitive) == 0;
    };
    return named(key) || named(key.mid(key.lastIndexOf(u':') + 1));
}

QStringList passwordValues(const QString &connectionString)
{
    QStringList found;
    for (const ConnectionAttribute &attribute : splitConnectionAttributes(connectionString)) {
        if (!attribute.hasValue)
            continue;
        if (isPasswordKey(attribute.key)) {
            found << attribute.value.toString();
            if (attribute.value.startsWith(u'{')) {
                const QString inner = unbraced(attribute.value);
                found << inner << inner.trimmed();
            }
        }
        addNestedPasswords(attribute.value, found);
    }
    // A value the mask itself holds cannot be hidden by it.
    found.removeIf([](const QString &value) { return value.isEmpty() || kMask.contains(value); });
    found.removeDuplicates();
    // Longer first, so that a password holding another goes whole.
    std::sort(found.begin(), found.end(), [](const QString &a, const QString &b) { return a.size() > b.size(); });
    return found;
}

QString maskPasswords(const QString &connectionString)
{
    return withoutPasswords(connectionString, connectionString);
}

QString withoutPasswords(QString text, const QString &connectionString)
{
    const QStringList secrets = passwordValues(connectionString);
    // A mask can join what is left around it into a password again
    // ("xa" + "***" holds "a*"): replaced until none is left. Each round takes
    // away a character other than '*' or shortens the text, so it ends.
    for (bool replaced = true; replaced;) {
        replaced = false;
        for (const QString &secret : secrets)
            if (text.contains(secret)) {
                text.replace(secret, kMask);
                replaced = true;
            }
    }
    return text;
}

std::optional<QString> chooseConnectionString(const QString &given, const QString &file, QString *why)
{
    if (!given.isEmpty() && !file.isEmpty()) {
        *why = QStringLiteral("give the connection with --db or with --db-file, not both");
        return std::nullopt;
    }
    if (!given.isEmpty())
        return given;
    if (file.isEmpty())
        return qEnvironmentVariable("VOK_DB").trimmed();
    QFile kept(file);
    if (!kept.exists()) {
        *why = QStringLiteral("the connection file %1 does not exist").arg(file);
        return std::nullopt;
    }
    if (kept.permissions() & (QFile::ReadGroup | QFile::ReadOther)) {
        *why = QStringLiteral("the connection file %1 can be read by other users: it may hold a password; "
                              "run chmod 600 %1")
                   .arg(file);
        return std::nullopt;
    }
    if (!kept.open(QIODevice::ReadOnly)) {
        *why = QStringLiteral("cannot read the connection file %1: %2").arg(file, kept.errorString());
        return std::nullopt;
    }
    const QString connection = QString::fromUtf8(kept.readLine()).trimmed();
    if (connection.isEmpty()) {
        *why = QStringLiteral("the connection file %1 holds no connection string").arg(file);
        return std::nullopt;
    }
    return connection;
}

} // namespace rdo
