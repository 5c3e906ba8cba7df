#pragma once
// A control connected to a generated catalogue of 1000 articles through the
// SQLite back end, with the host's item list answering from the script of the
// headless toolkit. Tests that need a database with other contents copy the
// catalogue and edit the copy.

#include "control_fixture.h"

#include "catalogue.h"
#include "recording_connection.h"
#include "platform/rdo/rdo.h"
#include "platform/ui/toolkit.h"

#include <sqlite3.h>

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>

#include <filesystem>
#include <string>
#include <vector>

class CatalogueFixture : public ControlFixture {
protected:
    static void SetUpTestSuite()
    {
        folder = std::make_unique<QTemporaryDir>();
        vok::catalogue::Options options;
        options.articles = 1000;
        options.seed = 20240607;
        options.output = catalogue();
        vok::catalogue::generate(options);
        generated = digest(catalogue());
    }
    static void TearDownTestSuite()
    {
        // Whatever the suite's lookups did, the control never writes.
        EXPECT_EQ(digest(catalogue()), generated) << "the catalogue changed under the tests";
        folder.reset();
    }
    static QByteArray digest(const std::filesystem::path &file)
    {
        QFile f(QString::fromStdString(file.string()));
        return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256)
                                           : QByteArray();
    }
    static std::filesystem::path catalogue() { return folder->filePath("catalogue.db").toStdString(); }

    void SetUp() override
    {
        ControlFixture::SetUp();
        surface().resize(4000, 285);
        connect(catalogue());
        m_listsAtStart = toolkit().itemLists().size();
        m_pumpsAtStart = toolkit().messagePumps();
    }

    // Item-list windows opened and message pumps run by this test (the
    // thread's toolkit keeps those of earlier tests too).
    size_t listsShown() { return toolkit().itemLists().size() - m_listsAtStart; }
    int pumpsRun() { return toolkit().messagePumps() - m_pumpsAtStart; }

    void connect(const std::filesystem::path &path)
    {
        control->setConnect(rdo::rdoConnection::open("sqlite:" + QString::fromStdString(path.string())));
    }

    // Connects the control, as company 1's, through a connection that keeps
    // every statement it runs.
    std::shared_ptr<vok::test::RecordingConnection> connectRecording()
    {
        auto recording = std::make_shared<vok::test::RecordingConnection>(
            rdo::rdoConnection::open("sqlite:" + QString::fromStdString(catalogue().string())));
        control->setConnect(recording);
        control->setEmpresa(1);
        return recording;
    }

    // A copy of the catalogue changed by the given statements.
    static std::filesystem::path editedCopy(const std::string &name, const std::string &statements)
    {
        const std::filesystem::path copy = folder->filePath(QString::fromStdString(name)).toStdString();
        std::filesystem::copy_file(catalogue(), copy, std::filesystem::copy_options::overwrite_existing);
        sqlite3 *db = nullptr;
        sqlite3_open(copy.c_str(), &db);
        char *message = nullptr;
        const int rc = sqlite3_exec(db, statements.c_str(), nullptr, nullptr, &message);
        const std::string why = message ? message : "";
        sqlite3_free(message);
        sqlite3_close(db);
        if (rc != SQLITE_OK)
            throw std::runtime_error(why);
        return copy;
    }

    // The first column of every row of a query on the catalogue, as numbers.
    static std::vector<int64_t> ids(const std::string &sql, const std::filesystem::path &path = catalogue())
    {
        sqlite3 *db = nullptr;
        sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt *statement = nullptr;
        std::vector<int64_t> found;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK)
            while (sqlite3_step(statement) == SQLITE_ROW)
                found.push_back(sqlite3_column_int64(statement, 0));
        sqlite3_finalize(statement);
        sqlite3_close(db);
        return found;
    }
    static int64_t firstId(const std::string &sql)
    {
        const auto found = ids(sql);
        if (found.empty())
            throw std::runtime_error("the catalogue has no row for: " + sql);
        return found.front();
    }
    static QString firstText(const std::string &sql)
    {
        sqlite3 *db = nullptr;
        sqlite3_open_v2(catalogue().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt *statement = nullptr;
        QString found;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW)
            found = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)));
        sqlite3_finalize(statement);
        sqlite3_close(db);
        return found;
    }

    inline static std::unique_ptr<QTemporaryDir> folder;
    inline static QByteArray generated;

private:
    size_t m_listsAtStart = 0;
    int m_pumpsAtStart = 0;
};

// Articles of company 1, in use and on sale, with a picture, that may be used
// without a variety: the ones every lookup can load.
inline const std::string LoadableArticle =
    "Select ArtID From Articulo Where ArtEmpresa = 1 And ArtEnUso = 1 And ArtEnVenta = 1 And ArtFoto Is Not Null "
    "And ArtNoUtilizarGenerico = 0";
