#include "platform/rdo/connection_string.h"

#include "platform/rdo/rdo.h"

#include "platform/vb/error.h"

#include <QFile>

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
// being as secret as one in the right place. The key starts the value or
// follows a blank, ';' or '{'; blanks may stand around '='; the value is
// quoted ('...', with \' inside) or runs to a blank, ';' or a single '}'.
void addNestedPasswords(QStringView value, QStringList &found)
{
    const qsizetype n = value.size();
    const auto skipBlanks = [&](qsizetype &j) {
        while (j < n && value[j].isSpace())
            ++j;
    };
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && !value[i - 1].isSpace() && value[i - 1] != u';' && value[i - 1] != u'{')
            continue;
        qsizetype j = i;
        while (j < n && value[j].isLetter())
            ++j;
        const QStringView key = value.mid(i, j - i);
        if (key.compare(u"pwd", Qt::CaseInsensitive) != 0 && key.compare(u"password", Qt::CaseInsensitive) != 0)
            continue;
        skipBlanks(j);
        if (j >= n || value[j] != u'=')
            continue;
        ++j;
        skipBlanks(j);
        const qsizetype start = j;
        if (j < n && value[j] == u'\'') {
            for (++j; j < n && value[j] != u'\'';)
                j += value[j] == u'\\' ? 2 : 1;
            j = std::min(j + 1, n);
        } else {
            while (j < n && !value[j].isSpace() && value[j] != u';') {
                if (value[j] == u'}' && !(j + 1 < n && value[j + 1] == u'}'))
                    break;
                j += value[j] == u'}' ? 2 : 1;
            }
        }
        QString written = value.mid(start, j - start).toString();
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
    // Every place any password stands is hidden at once: one replaced before
    // another would cut into it and leave the rest shown. A mask can join
    // what is left around it into a password again ("xa" + "***" holds "a*"):
    // hidden again until none is left. Each round takes away a character
    // other than '*' or shortens the text, so it ends.
    for (;;) {
        std::vector<std::pair<qsizetype, qsizetype>> hidden; // from, to
        for (const QString &secret : secrets)
            for (qsizetype at = text.indexOf(secret); at >= 0; at = text.indexOf(secret, at + 1))
                hidden.emplace_back(at, at + secret.size());
        if (hidden.empty())
            return text;
        std::sort(hidden.begin(), hidden.end());
        QString masked;
        qsizetype shown = 0;
        for (auto run = hidden.begin(); run != hidden.end();) {
            qsizetype to = run->second;
            auto next = run + 1;
            for (; next != hidden.end() && next->first <= to; ++next)
                to = std::max(to, next->second);
            masked.append(QStringView(text).mid(shown, run->first - shown)).append(kMask);
            shown = to;
            run = next;
        }
        text = masked.append(QStringView(text).mid(shown));
    }
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

TextCollation collationNamed(QStringView value, const QString &connectionString)
{
    const QStringView name = value.trimmed();
    if (name.compare(u"ci_as", Qt::CaseInsensitive) == 0)
        return TextCollation::AccentSensitive;
    if (name.compare(u"ci_ai", Qt::CaseInsensitive) == 0)
        return TextCollation::AccentInsensitive;
    throw vb::Error(err::UnknownConnectionString,
                    QStringLiteral("Unknown collation \"%1\" in the connection string; the known ones are "
                                   "collation=ci_as (accents kept) and collation=ci_ai (accents ignored)")
                        .arg(withoutPasswords(name.toString(), connectionString)),
                    QStringLiteral("rdo"));
}

SqliteConnectionString parseSqliteConnectionString(const QString &connectionString)
{
    SqliteConnectionString parsed;
    parsed.path = connectionString.mid(connectionString.indexOf(u':') + 1);
    const qsizetype last = parsed.path.lastIndexOf(u';');
    if (last < 0)
        return parsed;
    const QStringView option = QStringView(parsed.path).mid(last + 1);
    const qsizetype equals = option.indexOf(u'=');
    if (equals < 0 || option.first(equals).trimmed().compare(u"collation", Qt::CaseInsensitive) != 0)
        return parsed;
    parsed.collation = collationNamed(option.mid(equals + 1), connectionString);
    parsed.path.truncate(last);
    return parsed;
}

} // namespace rdo
