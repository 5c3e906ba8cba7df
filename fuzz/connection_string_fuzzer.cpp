// Connection strings as a shop's administrator may write them, or mistype
// them: braces, quotes, duplicate and unknown keys, translate, empty values,
// very long text. Reading one ends in a string for the driver or in a clear
// refusal, and no text made from it (the string shown masked, a refusal)
// holds any of its passwords. Nothing is opened: only strings the library
// refuses before reaching an engine go through rdoConnection::open.

#include "platform/rdo/connection_string.h"
#include "platform/rdo/odbc/odbc_connection.h"
#include "platform/rdo/rdo.h"
#include "platform/vb/error.h"

#include <QString>

#include <cstdint>
#include <cstdlib>
#include <cstdio>

namespace {

QStringList secrets;
// Half a surrogate pair, alone: no text read from UTF-8 holds one, though a
// character beyond the basic plane begins with the same unit.
const QChar kPlanted(0xD800);

bool holdsPlanted(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text.at(i) == kPlanted && (i + 1 == text.size() || !text.at(i + 1).isLowSurrogate()))
            return true;
    return false;
}

void mustNotShow(const QString &text, const char *where)
{
    if (holdsPlanted(text)) {
        std::fprintf(stderr, "%s shows the planted password: %s\n", where, qUtf8Printable(text));
        std::abort();
    }
    for (const QString &secret : secrets)
        if (text.contains(secret)) {
            std::fprintf(stderr, "%s shows the password «%s»: %s\n", where, qUtf8Printable(secret),
                         qUtf8Printable(text));
            std::abort();
        }
}

// A refusal of the string itself is one of the library's own, naming the
// part it refuses.
void mustBeClear(const vb::Error &error, const char *where)
{
    static const QString kinds[][2] = {
        {u"Unknown kind of connection \""_qs,
         u"\": the connection string must begin with \"sqlite:\" followed by a database file or \"odbc:\" followed "
         "by an ODBC connection string"_qs},
        {u"Unknown translation \""_qs,
         u"\" in the connection string; the known ones are translate=sqlite and translate=postgresql"_qs}};
    const QString &said = error.description();
    for (const auto &[before, after] : kinds)
        if (error.number() == rdo::err::UnknownConnectionString && said.startsWith(before) && said.endsWith(after) &&
            said.size() >= before.size() + after.size()) {
            mustNotShow(said.mid(before.size(), said.size() - before.size() - after.size()), where);
            return;
        }
    std::fprintf(stderr, "%s refused unclearly: %s\n", where, qUtf8Printable(error.numberAndDescription()));
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    QString text = QString::fromUtf8(reinterpret_cast<const char *>(data) + 1, static_cast<qsizetype>(size - 1));
    static const char16_t *const keys[] = {u"PWD", u"pwd", u"Password", u"PASSWORD", u" PassWord ", u"Pwd"};
    static const char16_t *const values[] = {u"=\xD800Zq", u" = {\xD800;Zq}}=x} ", u"={\xD800}"};
    const uint8_t choice = data[0];
    const QString planted =
        u';' + QString::fromUtf16(keys[choice % 6]) + QString::fromUtf16(values[choice / 6 % 3]) + u';';
    // After the n-th ';' of the text, or at its end.
    qsizetype at = text.size();
    for (int n = choice / 18, from = 0; n > 0 && (from = text.indexOf(u';', from) + 1) > 0; --n)
        at = from;
    text.insert(at, planted);
    secrets = rdo::passwordValues(text);
    mustNotShow(rdo::maskPasswords(text), "the masked string");

    bool refused = false;
    try {
        const rdo::OdbcConnectionString parsed = rdo::parseOdbcConnectionString(text);
        // What goes to the driver reads the same again, without the translate key.
        const rdo::OdbcConnectionString again = rdo::parseOdbcConnectionString(u"odbc:"_qs + parsed.driverString);
        if (again.driverString != parsed.driverString || again.translateForSqlite || again.translateForPostgres)
            std::abort();
    } catch (const vb::Error &error) {
        mustBeClear(error, "the ODBC back end");
        refused = true;
    }
    const bool known = text.startsWith(u"sqlite:", Qt::CaseInsensitive) || text.startsWith(u"odbc:", Qt::CaseInsensitive);
    if (!known || (refused && text.startsWith(u"odbc:", Qt::CaseInsensitive))) {
        try {
            rdo::rdoConnection::open(text);
            std::abort(); // refused before any engine, or it would have reached one
        } catch (const vb::Error &error) {
            mustBeClear(error, "rdoConnection::open");
        }
    }
    return 0;
}
