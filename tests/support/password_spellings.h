#pragma once
// Connection strings holding a password in every spelling a shop may write
// one, each with the text it shows once masked. Every piece of every password
// holds "Zq" and nothing else does: a text that holds "Zq" shows a password,
// or part of one.

#include "named_rows.h"

namespace vok::test {

struct PasswordSpelling {
    const char *name;
    const char16_t *connection;
    const char16_t *masked;
};

inline constexpr PasswordSpelling kPasswordSpellings[] = {
    {"Pwd", u"odbc:DRIVER={NoSuchDriver};UID=caja;PWD=Zq1;Database=tienda",
     u"odbc:DRIVER={NoSuchDriver};UID=caja;PWD=***;Database=tienda"},
    {"PwdLowerCaseFirst", u"odbc:pwd=Zq1;DRIVER={NoSuchDriver}", u"odbc:pwd=***;DRIVER={NoSuchDriver}"},
    {"PasswordMixedCase", u"odbc:DRIVER={NoSuchDriver};PassWord=Zq1", u"odbc:DRIVER={NoSuchDriver};PassWord=***"},
    {"BlanksAroundEquals", u"odbc:DRIVER={NoSuchDriver}; PASSWORD = Zq1 Zq2 ;UID=caja",
     u"odbc:DRIVER={NoSuchDriver}; PASSWORD = *** ;UID=caja"},
    {"BracedWithSemicolon", u"odbc:DRIVER={NoSuchDriver};Pwd={Zq1;Zq2=Zq3};UID=caja",
     u"odbc:DRIVER={NoSuchDriver};Pwd=***;UID=caja"},
    {"BracedWithEscapedBrace", u"odbc:DRIVER={NoSuchDriver};PWD={Zq1}}Zq2;Zq3}}};UID=caja",
     u"odbc:DRIVER={NoSuchDriver};PWD=***;UID=caja"},
    {"TwoPasswords", u"odbc:DRIVER={NoSuchDriver};PWD=Zq1;Password={Zq2}", u"odbc:DRIVER={NoSuchDriver};PWD=***;Password=***"},
    {"LibpqInsideAnotherValue", u"odbc:DRIVER={NoSuchDriver};pqopt={sslmode=require password=Zq1}",
     u"odbc:DRIVER={NoSuchDriver};pqopt={sslmode=require password=***}"},
    {"LibpqQuoted", u"odbc:DRIVER={NoSuchDriver};pqopt={password='Zq1 Zq2\\'Zq3'}",
     u"odbc:DRIVER={NoSuchDriver};pqopt={password=***}"},
    {"AlsoTheTranslation", u"odbc:DRIVER={NoSuchDriver};translate=Zq1;PWD=Zq1",
     u"odbc:DRIVER={NoSuchDriver};translate=***;PWD=***"},
};

} // namespace vok::test
