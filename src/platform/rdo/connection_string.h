#pragma once
// Reading connection strings, and keeping their passwords out of every text
// the library, the host or a log shows. A till's output goes wherever the
// shop collects it; the server's login is what keeps strangers out.
//
// An ODBC connection string is attributes KEY=VALUE separated by ';'. A value
// may be braced ({...}), and then holds ';' and '=' as they are and a '}' as
// "}}". The same splitting serves the ODBC back end and the masking, so that
// what is masked is what the driver reads as a password.

#include "platform/rdo/tsql/sqlserver_text.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <vector>

namespace rdo {

struct ConnectionAttribute {
    QStringView text;  // the whole attribute as written, without its ';'
    QStringView key;   // trimmed; the whole trimmed text when there is no '='
    QStringView value; // trimmed, braces and "}}" as written
    bool hasValue = false;
};

// The attributes of a connection string, empty ones included.
std::vector<ConnectionAttribute> splitConnectionAttributes(QStringView text);

// PWD or Password in any case, also right after a back end's prefix ("odbc:PWD").
bool isPasswordKey(QStringView key);

// The passwords a connection string holds, as written and as the driver reads
// them: the values of password keys, and those of libpq's "password=" inside
// another value (psqlODBC's pqopt={...}).
QStringList passwordValues(const QString &connectionString);

// The connection string to show: every password value replaced by "***".
QString maskPasswords(const QString &connectionString);

// A text that may quote the connection string (an engine's or a driver's
// message) with every password of it replaced by "***".
QString withoutPasswords(QString text, const QString &connectionString);

// An SQLite connection string, "sqlite:PATH" or "sqlite:PATH;collation=VALUE":
// the option is what follows the last ';' when that begins with "collation="
// (blanks around the key and the value, and letter case, are free); otherwise
// the whole text after "sqlite:" is the path. The values are ci_as (the
// default: case ignored, accents kept) and ci_ai (case and accents ignored);
// any other is refused with error 40001 naming it.
struct SqliteConnectionString {
    QString path;
    TextCollation collation = TextCollation::AccentSensitive;
};
SqliteConnectionString parseSqliteConnectionString(const QString &connectionString);

// The collation a connection string's "collation=VALUE" names; error 40001 for
// a value that names none.
TextCollation collationNamed(QStringView value, const QString &connectionString);

// A host's connection string, from where the shop keeps it: given on the
// command line (which every user of the machine reads in the process list),
// or kept in a file only its owner may read, or in the environment variable
// VOK_DB (readable by the owner alone), in that order. A file's first line is
// the string, blanks around it ignored. Empty when none is given; nullopt with
// why when the file cannot be used.
std::optional<QString> chooseConnectionString(const QString &given, const QString &file, QString *why);

} // namespace rdo
