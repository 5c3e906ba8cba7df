// The ranges of a file's own index (SQLite's default or NOCASE order) must
// hold every stored text that SQL Server's rules find for a typed beginning
// or value, however the shop stored it: capitals or not, accents composed or
// decomposed, letters that fold into others, trailing blanks.

#include "lookup/plan/key_ranges.h"

#include "platform/rdo/tsql/sqlserver_text.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QStringList>

namespace {

const QStringList kStored = {
    u"LECHE ENTERA"_qs, u"leche"_qs, u"Leche  "_qs, u"LeChE"_qs, u"lechería"_qs, u"LECHERÍA"_qs,
    u"LECHERI\u0301A"_qs, u"ÉXITO"_qs, u"éxito"_qs, u"E\u0301XITO"_qs, u"e\u0301xito"_qs, u"EXITO"_qs,
    u"\u212AILO"_qs, u"kilo"_qs, u"KILO"_qs, u"straße"_qs, u"STRASSE"_qs, u"\u0130STANBUL"_qs, u"istanbul"_qs,
    u"ñandú"_qs, u"ÑANDÚ"_qs, u"N\u0303ANDU"_qs, u"x"_qs, QString(), u"   "_qs, u"ab"_qs, u"AB "_qs, u"ab x"_qs,
    u"ab         x"_qs, u"aB          "_qs, u"ABC%"_qs, u"abc_"_qs, u"[x]"_qs, u"%"_qs, u"Ω"_qs, u"ω"_qs,
    u"\u2126"_qs, u"\u01C5ungla"_qs, u"7730000006612"_qs, u"200001%"_qs, u"ẸRE"_qs, u"E\u0323\u0302RE"_qs};

struct Case {
    const char *name;
    lookup::KeyOrder order;
};

void PrintTo(const Case &c, std::ostream *out)
{
    *out << c.name;
}

class KeyRanges : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override
    {
        ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
        const char *collation = GetParam().order == lookup::KeyOrder::Binary ? "BINARY" : "NOCASE";
        const QByteArray schema = QByteArray("Create Table T (x Text); Create Index I On T (x Collate ") + collation + ")";
        ASSERT_EQ(sqlite3_exec(db, schema.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        QStringList rows;
        for (QString text : kStored)
            rows.append(u"('"_qs + text.replace(u'\'', u"''"_qs) + u"')"_qs);
        const QByteArray insert = (u"Insert Into T Values "_qs + rows.join(u',')).toUtf8();
        ASSERT_EQ(sqlite3_exec(db, insert.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    }
    void TearDown() override { sqlite3_close(db); }

    // The stored texts any of the conditions holds for.
    QStringList where(const QStringList &conditions)
    {
        QStringList found;
        sqlite3_stmt *select = nullptr;
        const QByteArray sql = ("Select x From T Where " + conditions.join(u" Or "_qs)).toUtf8();
        EXPECT_EQ(sqlite3_prepare_v2(db, sql.constData(), -1, &select, nullptr), SQLITE_OK) << sql.constData();
        while (sqlite3_step(select) == SQLITE_ROW)
            found.append(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(select, 0))));
        sqlite3_finalize(select);
        return found;
    }

    sqlite3 *db = nullptr;
};

TEST_P(KeyRanges, HoldEveryStoredTextThatBeginsWithThePrefix)
{
    const lookup::KeyProbe probe(u"x"_qs, GetParam().order);
    for (const QString &stored : kStored) {
        const QString key = rdo::sqlServerKey(stored);
        for (qsizetype length = 1; length <= key.size(); ++length) {
            const QString prefix = rdo::sqlServerKey(key.left(length));
            if (prefix.isEmpty() || prefix != key.left(prefix.size()))
                continue;
            // A beginning that no ranges can hold is read whole: only an
            // accented letter whose base letter has many accented forms.
            const auto conditions = probe.beginningWith(prefix);
            if (!conditions) {
                EXPECT_GE(prefix.front().unicode(), 0x80) << prefix.toStdString();
                continue;
            }
            EXPECT_LE(conditions->size(), 2 * lookup::kMostRanges) << prefix.toStdString();
            const QStringList found = where(*conditions);
            for (const QString &other : kStored) {
                if (rdo::sqlServerKey(other).startsWith(prefix)) {
                    EXPECT_TRUE(found.contains(other))
                        << "«" << other.toStdString() << "» outside the ranges of «" << prefix.toStdString() << "»";
                }
            }
        }
    }
}

TEST_P(KeyRanges, HoldEveryStoredTextEqualToTheKeys)
{
    const lookup::KeyProbe probe(u"x"_qs, GetParam().order);
    for (const QString &stored : kStored) {
        const QString key = rdo::sqlServerKey(stored);
        const auto conditions = probe.equalTo({key});
        if (!conditions) {
            EXPECT_GE(key.front().unicode(), 0x80) << key.toStdString();
            continue;
        }
        const QStringList found = where(*conditions);
        for (const QString &other : kStored) {
            if (rdo::sqlServerKey(other) == key) {
                EXPECT_TRUE(found.contains(other))
                    << "«" << other.toStdString() << "» missed as equal to «" << key.toStdString() << "»";
            }
        }
        // Equal to a name of one word: not every text that begins with it.
        if (key == u"ab") {
            EXPECT_FALSE(found.contains(u"ab x"_qs));
        }
    }
}

// However long the text, a probe stays a few conditions (the engine reads
// many as a tree too deep to run): the shorter names a lookup lists and the
// beginning it reads.
TEST_P(KeyRanges, StayFewForALongText)
{
    const lookup::KeyProbe probe(u"x"_qs, GetParam().order);
    const QString longWord = u"abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz"_qs;
    QStringList heads;
    for (qsizetype length = 0; length <= 12; ++length)
        heads.append(longWord.left(length));
    const auto equal = probe.equalTo(heads);
    ASSERT_TRUE(equal);
    EXPECT_LE(equal->size(), lookup::kMostConditions);
    EXPECT_LE(probe.beginningWith(longWord)->size(), lookup::kMostRanges);
    // A character nothing stored folds into ends the ranges; it never leaves none.
    EXPECT_EQ(probe.beginningWith(u"ab\uFFFF"_qs)->size(), probe.beginningWith(u"ab"_qs)->size());
}

INSTANTIATE_TEST_SUITE_P(Orders, KeyRanges,
                         ::testing::Values(Case{"Binary", lookup::KeyOrder::Binary},
                                           Case{"NoCase", lookup::KeyOrder::NoCase}),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
