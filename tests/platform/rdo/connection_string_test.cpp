// Connection strings: how they are split, and that no text the library makes
// from one shows its password.

#include "platform/rdo/connection_string.h"
#include "platform/rdo/rdo.h"

#include "error_number.h"
#include "password_spellings.h"
#include "qt_printers.h"
#include "scoped_env.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using vok::test::PasswordSpelling;
using vok::test::PrintTo;

class PasswordShown : public ::testing::TestWithParam<PasswordSpelling> {};

// Shown as it is, in the library's refusal of a string without its prefix,
// and quoted by the engine in its error.
TEST_P(PasswordShown, NowhereInWhatTheLibrarySays)
{
    const QString connection = QString::fromUtf16(GetParam().connection);
    EXPECT_EQ(rdo::maskPasswords(connection), QString::fromUtf16(GetParam().masked));
    for (const QString &refused : {connection.mid(5), u"sqlite:/nonexistent;"_qs + connection.mid(5)}) {
        const QString said = vok::test::errorRaisedBy([&] { rdo::rdoConnection::open(refused); }).description();
        EXPECT_TRUE(said.contains(u"***"_qs) && !said.contains(u"Zq"_qs)) << said.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Spellings, PasswordShown, ::testing::ValuesIn(vok::test::kPasswordSpellings),
                         vok::test::byName);

TEST(ConnectionString, SplitsAsTheDriverReadsBraces)
{
    const struct {
        const char *name;
        const char16_t *text;
        QStringList keys, values;
    } cases[] = {
        {"plain", u"A=1; b = 2 ;;C", {u"A"_qs, u"b"_qs, u""_qs, u"C"_qs}, {u"1"_qs, u"2"_qs, u""_qs, u""_qs}},
        {"braced value holds ; and =", u"A={x;B=y};C=z", {u"A"_qs, u"C"_qs}, {u"{x;B=y}"_qs, u"z"_qs}},
        {"}} stays inside the braces", u"A={x}};y};C=z", {u"A"_qs, u"C"_qs}, {u"{x}};y}"_qs, u"z"_qs}},
        {"a brace in a key opens nothing", u"A{=1;B}=2", {u"A{"_qs, u"B}"_qs}, {u"1"_qs, u"2"_qs}},
        {"unclosed brace runs to the end", u"A={x;B=y", {u"A"_qs}, {u"{x;B=y"_qs}},
    };
    for (const auto &c : cases) {
        const QString text = QString::fromUtf16(c.text);
        QStringList keys, values;
        for (const rdo::ConnectionAttribute &attribute : rdo::splitConnectionAttributes(text)) {
            keys << attribute.key.toString();
            values << attribute.value.toString();
        }
        EXPECT_EQ(keys, c.keys) << c.name;
        EXPECT_EQ(values, c.values) << c.name;
    }
}

// A mask next to what is left may make a password again, and two passwords
// may overlap; a password the mask holds cannot be hidden and is left alone.
TEST(ConnectionString, MasksUntilNoPasswordIsLeft)
{
    const struct {
        const char16_t *connection, *masked;
    } cases[] = {
        {u"UID=caja;PWD=caja", u"UID=***;PWD=***"},
        {u"X=aa*;PWD=a*", u"X=*****;PWD=***"},
        {u"PWD=abc;Password=bcd;X=abcd", u"PWD=***;Password=***;X=***"},
        {u"PWD=**", u"PWD=**"},
        {u"PWD=;Password={}", u"PWD=;Password=***"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(rdo::maskPasswords(QString::fromUtf16(c.connection)), QString::fromUtf16(c.masked));
}

} // namespace
