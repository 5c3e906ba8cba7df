// The database going wrong under the control: every lookup ends with the
// article found or one clear Error event, in bounded time.

#include "catalogue_fixture.h"
#include "error_number.h"
#include "faulty_connection.h"

#include "platform/vb/error.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using vok::test::FaultyConnection;

// The busy wait on a held file plus a generous margin for a debug build.
constexpr qint64 LookupBoundMs = 8000;

struct Ending {
    int32_t id = 0;
    QStringList errors;
    qint64 elapsedMs = 0;
};

class DatabaseFaultsTest : public CatalogueFixture {
protected:
    void SetUp() override
    {
        CatalogueFixture::SetUp();
        name = firstText("Select ArtNombre From Articulo Where ArtID = " +
                         std::to_string(firstId(LoadableArticle + " And ArtID Not In (Select AVaArticulo From "
                                                                  "ArticuloVariedad)")));
    }

    std::filesystem::path connectCopy(const std::string &file, const std::string &statements = {})
    {
        const auto copy = editedCopy(file, statements);
        faulty = std::make_shared<FaultyConnection>(
            rdo::rdoConnection::open("sqlite:" + QString::fromStdString(copy.string())));
        control->setConnect(faulty);
        control->setEmpresa(1);
        control->setListaPrecios(1);
        control->tArticulo().setFocus();
        return copy;
    }

    Ending enter(const QString &typed)
    {
        log->events.clear();
        QElapsedTimer timer;
        timer.start();
        enterAfresh(typed);
        const Ending ending{control->ID(), log->events.filter(QRegularExpression("^Error ")), timer.elapsed()};
        EXPECT_LT(ending.elapsedMs, LookupBoundMs);
        return ending;
    }

    // Found, or one Error event with the engine's number and words.
    static void expectClearEnd(const Ending &ending, const char *words)
    {
        if (ending.errors.isEmpty()) {
            EXPECT_GT(ending.id, 0);
            return;
        }
        ASSERT_EQ(ending.errors.size(), 1) << ending.errors.join('\n').toStdString();
        EXPECT_TRUE(ending.errors.first().contains(QRegularExpression(QStringLiteral("^Error \\d+ - .*") + words,
                                                                      QRegularExpression::CaseInsensitiveOption)))
            << ending.errors.first().toStdString();
        EXPECT_EQ(ending.id, 0);
    }

    QString name;
    std::shared_ptr<FaultyConnection> faulty;
};

void overwrite(const std::filesystem::path &file, qint64 from, qint64 length, char with)
{
    QFile f(QString::fromStdString(file.string()));
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    const qint64 size = f.size();
    f.seek(std::min(from, size));
    f.write(QByteArray(static_cast<int>(std::min(length, size - std::min(from, size))), with));
}

// Damage done to the file between two lookups on an open connection.
TEST_F(DatabaseFaultsTest, DamagedFileEndsEachLookupClearly)
{
    const struct {
        const char *file;
        std::function<void(const std::filesystem::path &)> damage;
        const char *words; // what the error says, when the lookup does not find the article
        bool usableAfter;  // the same open file can still be read
    } cases[] = {
        {"deleted.db", [](const auto &f) { std::filesystem::remove(f); }, "", true},
        {"truncated-half.db", [](const auto &f) { std::filesystem::resize_file(f, std::filesystem::file_size(f) / 2); },
         "malformed", false},
        {"zeroed.db", [](const auto &f) { overwrite(f, 4096, 1 << 20, '\0'); }, "malformed", false},
        {"bad-header.db", [](const auto &f) { overwrite(f, 0, 100, '\x01'); }, "", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        const auto copy = connectCopy(c.file);
        const Ending before = enter(name);
        ASSERT_GT(before.id, 0);
        ASSERT_TRUE(before.errors.isEmpty());
        c.damage(copy);
        for (int again = 0; again < 2; ++again)
            expectClearEnd(enter(name), c.words);
        if (c.usableAfter) {
            EXPECT_GT(enter(name).id, 0);
        }
    }
}

// The file truncated while the list is reading the lookup's rows: the read
// ends with an error or the rows already read, never with a crash.
TEST_F(DatabaseFaultsTest, TruncatedWhileTheListReads)
{
    for (const int move : {1, 15}) {
        SCOPED_TRACE(move);
        const auto copy = connectCopy("truncated-while-reading.db");
        control->setFormatoLista(0);
        int moves = 0;
        faulty->failAt(0);
        enter(QStringLiteral("%"));
        int nth = 0;
        for (size_t i = 0; i < faulty->calls.size(); ++i)
            if (faulty->calls[i].operation == FaultyConnection::Operation::MoveNext && ++moves == move)
                nth = static_cast<int>(i) + 1;
        ASSERT_GT(nth, 0);
        faulty->interruptAt(nth, [&] { std::filesystem::resize_file(copy, 8192); });
        EXPECT_LE(enter(QStringLiteral("%")).errors.size(), 1);
    }
}

// A writer that lets go within the busy wait does not disturb the lookup.
TEST_F(DatabaseFaultsTest, WriterHoldingTheFile)
{
    const auto copy = connectCopy("locked.db");
    ASSERT_GT(enter(name).id, 0); // the settings are read: only the lookup waits from here on

    sqlite3 *writer = nullptr;
    ASSERT_EQ(sqlite3_open(copy.c_str(), &writer), SQLITE_OK);
    // As a shop's program would, it waits for the till's reading in the
    // background after the lookup.
    sqlite3_busy_timeout(writer, 5000);
    ASSERT_EQ(sqlite3_exec(writer, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    const Ending held = enter(name);
    expectClearEnd(held, "locked");
    EXPECT_GE(held.elapsedMs, 1000) << "a busy wait before giving up";

    std::thread letGo([writer] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        sqlite3_exec(writer, "ROLLBACK", nullptr, nullptr, nullptr);
    });
    const Ending waited = enter(name);
    letGo.join();
    sqlite3_close(writer);
    EXPECT_TRUE(waited.errors.isEmpty() && waited.id > 0) << waited.errors.join('\n').toStdString();
}

// The host never gets a connection that hangs later.
TEST(UnreachableServer, RefusedInBoundedTime)
{
    QElapsedTimer timer;
    timer.start();
    const vb::Error error = vok::test::errorRaisedBy([] {
        rdo::rdoConnection::open(QStringLiteral("odbc:Driver=FreeTDS;Server=127.0.0.1;Port=1;Database=tienda;UID=caja;"
                                                "PWD=x;TDS_Version=7.4;LoginTimeout=5"));
    });
    EXPECT_TRUE(error.number() != 0 && !error.description().isEmpty());
    EXPECT_LT(timer.elapsed(), 15000);
}

} // namespace
