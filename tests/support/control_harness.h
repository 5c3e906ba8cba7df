#pragma once
// The control on the headless toolkit as its tests and its hosts' tests meet it: an event log,
// the generated catalogue, and an item list of the test's own that serves a chosen row.

#include "catalogue_files.h"
#include "faulty_connection.h"
#include "language_fixture.h"

#include "control/vok_t_articulo.h"
#include "language/host_components.h"
#include "platform/com/runtime.h"
#include "platform/rdo/rdo.h"
#include "platform/ui/headless/headless_toolkit.h"
#include "platform/vb/conversions.h"

#include <sqlite3.h>

#include <QStringList>

#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace vok::test {

// Logs the control's events as text, with the ID the host would read at a change.
class EventLog : public vokTArticuloEvents {
public:
    explicit EventLog(vokTArticulo &control) : m_control(control) {}
    void Change() override { events << QStringLiteral("Change ID=%1").arg(m_control.ID()); }
    void KeyDown(int16_t &code, int16_t &shift) override { events << QStringLiteral("KeyDown %1 %2").arg(code).arg(shift); }
    void KeyPress(int16_t &ascii) override { events << QStringLiteral("KeyPress %1").arg(ascii); }
    void Error(const QString &text) override { events << "Error " + text; }
    void GotFocus2() override { events << QStringLiteral("GotFocus2"); }

    QStringList events;

private:
    vokTArticulo &m_control;
};

// The host's item list replaced by one that shows nothing, answers the width
// with 7000 and, when a row is set, reports it chosen and serves its columns.
class ScriptedList final : public com::Object {
public:
    vb::Variant invoke(const QString &member, vb::CallKind, std::span<vb::Variant> args) override
    {
        if (member == QLatin1String("Ancho"))
            return int32_t{7000};
        if (member == QLatin1String("Mostrar"))
            return int16_t{row.empty() ? int16_t{0} : int16_t{1}};
        if (member == QLatin1String("ValorColumna"))
            return row.at(vb::CInt(args[0]));
        return {};
    }
    std::map<int, vb::Variant> row;
};

// A chosen row: an article row of article 57, code A57, name TORNILLO, in
// use and on sale, 2 decimals, asking for a serial number.
inline std::map<int, vb::Variant> filaDeArticulo()
{
    return {{0, int32_t{1}},  {1, vb::Variant::null()}, {2, vb::Variant::null()}, {3, u"f57.jpg"_qs}, {4, int32_t{1}},
            {5, int32_t{57}}, {6, int32_t{0}}, {7, int32_t{1}}, {8, int32_t{1}}, {9, int32_t{0}}, {10, int32_t{2}},
            {11, int32_t{0}}, {12, int32_t{1}}, {13, u"A57"_qs}, {14, u"TORNILLO"_qs}};
}

class ControlFixture : public LanguageFixture {
protected:
    void SetUp() override
    {
        LanguageFixture::SetUp();
        control = std::make_unique<vokTArticulo>();
        log = std::make_unique<EventLog>(*control);
        control->advise(log.get());
    }
    void TearDown() override
    {
        if (m_scripted)
            com::revokeClassObject(language::ListaItemsClsid);
        log.reset();
        control.reset();
        LanguageFixture::TearDown();
    }
    ui::HeadlessUserControl &surface() { return static_cast<ui::HeadlessUserControl &>(control->userControl()); }
    ui::HeadlessTextBox &text() { return static_cast<ui::HeadlessTextBox &>(control->tArticulo()); }
    ui::HeadlessCheckBox &check() { return static_cast<ui::HeadlessCheckBox &>(control->chkVariedad()); }

    // From now on the lookups' item list is a ScriptedList serving `row`.
    void scriptList(const std::map<int, vb::Variant> &row)
    {
        m_scripted = true;
        com::registerClassObject(language::ListaItemsClsid, std::make_shared<com::FunctionClassFactory>([row] {
                                     auto list = std::make_shared<ScriptedList>();
                                     list->row = row;
                                     return list;
                                 }));
    }

    std::unique_ptr<vokTArticulo> control;
    std::unique_ptr<EventLog> log;

private:
    bool m_scripted = false;
};

// A control connected to the catalogue of seed 20240607 through SQLite, the host's item list
// answering from the headless toolkit's script. Tests that need other contents edit a copy.
class CatalogueFixture : public ControlFixture {
protected:
    static void SetUpTestSuite() { s_generated = fileDigest(catalogue()); }
    // Whatever the suite's lookups did, the control never writes.
    static void TearDownTestSuite() { EXPECT_EQ(fileDigest(catalogue()), s_generated) << "the catalogue changed"; }
    static std::filesystem::path catalogue() { return generatedCatalogue(20240607); }

    void SetUp() override
    {
        ControlFixture::SetUp();
        surface().resize(4000, 285);
        connect(catalogue());
        m_listsAtStart = toolkit().itemLists().size();
    }

    // Item-list windows opened by this test (the toolkit keeps those of earlier tests too).
    size_t listsShown() { return toolkit().itemLists().size() - m_listsAtStart; }

    // The cashier types the text afresh and presses Enter; a list, if it shows, takes its first row.
    void enterAfresh(const QString &typed)
    {
        toolkit().queueItemListAnswer(0);
        control->setText({});
        control->setText(typed);
        text().type("\r");
    }

    static std::shared_ptr<rdo::rdoConnection> open(const std::filesystem::path &path)
    {
        return rdo::rdoConnection::open("sqlite:" + QString::fromStdString(path.string()));
    }
    void connect(const std::filesystem::path &path) { control->setConnect(open(path)); }

    // Connects the control, as company 1's, through a connection that keeps every statement it runs.
    std::shared_ptr<FaultyConnection> connectRecording()
    {
        auto recording = std::make_shared<FaultyConnection>(open(catalogue()));
        control->setConnect(recording);
        control->setEmpresa(1);
        return recording;
    }

    // A copy of the catalogue changed by the given statements.
    static std::filesystem::path editedCopy(const std::string &name, const std::string &statements)
    {
        const std::filesystem::path copy = catalogue().parent_path() / name;
        std::filesystem::copy_file(catalogue(), copy, std::filesystem::copy_options::overwrite_existing);
        sqlite3 *db = nullptr;
        sqlite3_open(copy.c_str(), &db);
        const bool done = sqlite3_exec(db, statements.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
        const std::string why = sqlite3_errmsg(db);
        sqlite3_close(db);
        if (!done)
            throw std::runtime_error(why);
        return copy;
    }

    // The first column of every row of a query on the catalogue, as numbers or text.
    static std::vector<QString> column(const std::string &sql, const std::filesystem::path &path = catalogue())
    {
        return queryColumn(path, sql);
    }
    static int64_t firstId(const std::string &sql) { return firstText(sql).toLongLong(); }
    static QString firstText(const std::string &sql)
    {
        const auto found = column(sql);
        if (found.empty())
            throw std::runtime_error("the catalogue has no row for: " + sql);
        return found.front();
    }

private:
    static inline QByteArray s_generated;
    size_t m_listsAtStart = 0;
};

// Articles of company 1, in use, on sale, with a picture, usable without a variety: every lookup loads them.
inline const std::string LoadableArticle =
    "Select ArtID From Articulo Where ArtEmpresa = 1 And ArtEnUso = 1 And ArtEnVenta = 1 And ArtFoto Is Not Null "
    "And ArtNoUtilizarGenerico = 0";

} // namespace vok::test
