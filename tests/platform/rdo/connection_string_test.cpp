#include "platform/rdo/connection_string.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

namespace {

// Only the passwords go, wherever they stand: overlapping, joined again by a
// mask into a password, or nested in libpq's options. A password the mask
// holds cannot be hidden and is left alone.
TEST(ConnectionString, MasksEveryPasswordAndNothingElse)
{
    const struct {
        const char16_t *connection, *masked;
    } cases[] = {
        {u"odbc:DRIVER={x};UID=caja; Pwd = {a;b}}c} ;Database=d", u"odbc:DRIVER={x};UID=caja; Pwd = *** ;Database=d"},
        {u"pqopt={sslmode=require password=pw};SSLmode=verify-full", u"pqopt={sslmode=require password=***};SSLmode=verify-full"},
        {u"UID=caja;PWD=caja", u"UID=***;PWD=***"},
        {u"X=aa*;PWD=a*", u"X=*****;PWD=***"},
        {u"PWD=abc;Password=bcd;X=abcd", u"PWD=***;Password=***;X=***"},
        {u"PWD=**;Password=", u"PWD=**;Password="},
    };
    for (const auto &c : cases)
        EXPECT_EQ(rdo::maskPasswords(QString::fromUtf16(c.connection)), QString::fromUtf16(c.masked));
}

} // namespace
