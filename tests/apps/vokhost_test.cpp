// Scenarios through the console host: each runs the vokhost program on a
// generated catalogue with a short script and checks the JSON lines it wrote.

#include "catalogue.h"
#include "qt_printers.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <memory>
#include <string>
#include <vector>

namespace {

// The lines one command wrote: what happened, then its result line.
struct Step {
    std::vector<QJsonObject> happened;
    QJsonObject result;

    // The kind of each line of what happened: the event's name, "list" or "message".
    QStringList kinds() const
    {
        QStringList found;
        for (const QJsonObject &line : happened)
            found << (line.contains("event") ? line["event"].toString() : line.keys().value(0));
        return found;
    }
    QJsonObject first(const QString &key) const
    {
        for (const QJsonObject &line : happened)
            if (line.contains(key))
                return line[key].toObject();
        return {};
    }
};

struct Transcript {
    int exitCode = -1;
    QString errors;
    std::vector<Step> steps; // one a command
};

class VokhostTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder = std::make_unique<QTemporaryDir>();
        vok::catalogue::Options options;
        options.articles = 1000;
        options.seed = 20240607;
        options.output = path("catalogue.db");
        vok::catalogue::generate(options);
        QFile settings(folder->filePath("settings.ini"));
        ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
        settings.write("[VOK04]\nIdioma=1\nIdioma2=0\n[Rutas]\nD=" + folder->path().toUtf8() + "\n");
        vok::catalogue::writePhotos(path("catalogue.db"));
    }
    static void TearDownTestSuite() { folder.reset(); }

    static std::string path(const char *name) { return folder->filePath(name).toStdString(); }

    // The first column of every row, as text.
    static QStringList texts(const std::string &sql)
    {
        sqlite3 *handle = nullptr;
        sqlite3_open_v2(path("catalogue.db").c_str(), &handle, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt *statement = nullptr;
        QStringList found;
        if (sqlite3_prepare_v2(handle, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK)
            while (sqlite3_step(statement) == SQLITE_ROW)
                found << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)));
        sqlite3_finalize(statement);
        sqlite3_close(handle);
        return found;
    }
    static QString text(const std::string &sql) { return texts(sql).value(0); }

    // Runs the script after the set-up every host does (company, connection);
    // the steps returned are those of the script alone.
    static Transcript host(const QString &script, const char *db = "catalogue.db", const QStringList &options = {})
    {
        const QString prelude = "set Empresa 1\nconnect\n";
        QProcess host;
        host.start(VOKHOST_PATH, QStringList({"--db", "sqlite:" + QString::fromStdString(path(db)), "--settings",
                                              folder->filePath("settings.ini")}) +
                                     options);
        host.write((prelude + script + "\nquit\n").toUtf8());
        host.closeWriteChannel();
        Transcript result;
        if (!host.waitForFinished(60000))
            return result;
        result.exitCode = host.exitCode();
        result.errors = QString::fromUtf8(host.readAllStandardError());
        Step step;
        for (const QByteArray &line : host.readAllStandardOutput().split('\n')) {
            if (line.isEmpty())
                continue;
            const QJsonObject object = QJsonDocument::fromJson(line).object();
            EXPECT_FALSE(object.isEmpty()) << line.toStdString();
            if (object.contains("ok")) {
                step.result = object;
                result.steps.push_back(std::move(step));
                step = {};
            } else {
                step.happened.push_back(object);
            }
        }
        const size_t preludeSteps = 2;
        EXPECT_GE(result.steps.size(), preludeSteps + 1) << result.errors.toStdString();
        for (size_t i = 0; i < preludeSteps && i < result.steps.size(); ++i)
            EXPECT_TRUE(result.steps[i].result["ok"].toBool()) << "prelude step " << i;
        result.steps.erase(result.steps.begin(), result.steps.begin() + static_cast<std::ptrdiff_t>(
                                                                          std::min(preludeSteps, result.steps.size())));
        if (!result.steps.empty())
            result.steps.pop_back(); // quit
        return result;
    }
    static QJsonObject state(const Transcript &t) { return t.steps.back().result["state"].toObject(); }

    inline static std::unique_ptr<QTemporaryDir> folder;
};

const std::string Loadable = "From Articulo a Where ArtEmpresa = 1 And ArtEnUso = 1 And ArtEnVenta = 1 And ArtFoto "
                             "Is Not Null And ArtNoUtilizarGenerico = 0";
const std::string UniqueCode = " And (Select Count(*) From Articulo b Where b.ArtCodigo Like a.ArtCodigo || '%') = 1";
const std::string WithVarieties = " And Exists (Select 1 From ArticuloVariedad Where AVaArticulo = a.ArtID)";
const std::string NoVarieties = " And Not Exists (Select 1 From ArticuloVariedad Where AVaArticulo = a.ArtID)";

TEST_F(VokhostTest, EnterLoadsTheArticleEachKindOfTextNames)
{
    const QString exact = text("Select ArtCodigo " + Loadable + UniqueCode + NoVarieties);
    const QString varied = text("Select ArtCodigo " + Loadable + UniqueCode + WithVarieties);
    ASSERT_FALSE(exact.isEmpty() || varied.isEmpty());

    const struct {
        const char *what;
        QString typed;
        QString answer; // the list command before Enter
        bool severalRows;
        int chosenRow;
    } cases[] = {
        {"exact code", exact, "", false, 0},
        {"variety row", varied, "list choose 1", true, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const Transcript run = host(c.answer + "\ntype " + c.typed + "\nkey Enter\nstate");
        ASSERT_EQ(run.exitCode, 0);
        const Step &typing = run.steps.at(c.answer.isEmpty() ? 0 : 1);
        QStringList keyByKey;
        for (qsizetype i = 0; i < c.typed.size(); ++i)
            keyByKey << "KeyDown" << "KeyPress" << "Change";
        EXPECT_EQ(typing.kinds(), keyByKey);
        const Step &enter = run.steps.at(c.answer.isEmpty() ? 1 : 2);
        ASSERT_EQ(enter.kinds().value(1), "list");
        const QJsonObject list = enter.first("list");
        EXPECT_TRUE(list["sql"].toString().contains("'" + c.typed.split(' ').first()));
        EXPECT_EQ(list["result"].toInt(), 1);
        if (c.severalRows) {
            EXPECT_GE(list["rows"].toInt(), 2);
            EXPECT_LE(list["first"].toArray().size(), 20);
        } else {
            EXPECT_GE(list["rows"].toInt(), 1);
        }
        const QJsonObject st = state(run);
        EXPECT_GT(st["ID"].toInt(), 0);
        const QJsonArray chosen = list["first"].toArray().at(c.chosenRow).toArray();
        EXPECT_TRUE(chosen.contains(st["Codigo"])) << QJsonDocument(list).toJson().toStdString();
        if (QString(c.what) == "variety row") {
            EXPECT_GT(st["Variedad"].toInt(), 0);
        }
        if (QString(c.what) == "exact code") {
            EXPECT_EQ(st["Codigo"].toString(), exact);
            EXPECT_EQ(enter.kinds(), QStringList({"KeyDown", "list", "Change", "KeyPress"}))
                << "the article shown, Enter goes on";
            EXPECT_EQ(st["focus"].toString(), "tArticulo");
        }
    }
}

// The host takes the line with Enter on the check box, then clears the text
// for the next entry: the box must go with the article.
TEST_F(VokhostTest, ClearingTheTextAfterEnterOnTheCheckBoxHidesIt)
{
    const QString varied = text("Select ArtCodigo " + Loadable + UniqueCode + WithVarieties);
    ASSERT_FALSE(varied.isEmpty());
    const Transcript run = host("type " + varied + "\nlist choose 0\nkey Enter\nkey Enter\nset Text \"\"\nstate");
    ASSERT_EQ(run.steps.size(), 6u);
    EXPECT_EQ(run.steps[3].kinds(), QStringList({"KeyPress"})) << "Enter on the box hands the line on";
    EXPECT_EQ(run.steps[4].kinds(), QStringList({"Change"}));
    const QJsonObject st = state(run);
    EXPECT_EQ(st["ID"].toInt(), 0);
    EXPECT_FALSE(st["chkVariedad"]["visible"].toBool()) << QJsonDocument(st).toJson().toStdString();
    EXPECT_EQ(st["chkVariedad"]["value"].toInt(), 0);
}

// A list layout without extra columns still shows which article a row is.
TEST_F(VokhostTest, ListLayoutWithoutExtraColumnsShowsCodeAndName)
{
    const QString exact = text("Select ArtCodigo " + Loadable + UniqueCode + NoVarieties);
    ASSERT_FALSE(exact.isEmpty());
    const Transcript run = host("set FormatoLista 4\ntype " + exact + "\nkey Enter");
    ASSERT_EQ(run.steps.size(), 3u);
    const QJsonObject list = run.steps[2].first("list");
    EXPECT_EQ(list["header"].toString(), "||||||") << "the header the control builds is unchanged";
    EXPECT_EQ(list["columns"].toArray(), QJsonArray({"Código", "Artículo"}));
    const QJsonArray first = list["first"].toArray().at(0).toArray();
    ASSERT_EQ(first.size(), 2);
    EXPECT_EQ(first.at(0).toString(), exact);
}

// The control starts as a container starts it: a new instance is initialised,
// a stored one read from its form; either way an article shows as the stored
// or default display asks.
TEST_F(VokhostTest, TheControlStartsNewOrFromItsForm)
{
    const QString exact = text("Select ArtCodigo " + Loadable + UniqueCode + NoVarieties);
    const QString name = text("Select ArtNombre From Articulo Where ArtCodigo = '" + exact.toStdString() + "'");
    ASSERT_FALSE(exact.isEmpty());
    QFile form(folder->filePath("pedido.frm"));
    ASSERT_TRUE(form.open(QIODevice::WriteOnly));
    form.write("[txtArticulo]\nFormatDisplay = Long 3\n[txtCero]\nFormatDisplay = Long 0\n");
    form.close();
    const struct {
        const char *what;
        QStringList options;
        int formatDisplay;
        QString shown;
    } cases[] = {
        {"new instance", {}, 4, exact + ' ' + name},
        {"stored display", {"--form", form.fileName() + ":txtArticulo"}, 3, exact},
        {"stored zero", {"--form", form.fileName() + ":TXTCERO"}, 4, exact + ' ' + name},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const Transcript run = host("get FormatDisplay\ntype " + exact + "\nkey Enter\nstate", "catalogue.db", c.options);
        ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
        ASSERT_EQ(run.steps.size(), 4u);
        EXPECT_EQ(run.steps[0].result["value"].toInt(), c.formatDisplay);
        EXPECT_EQ(state(run)["Text"].toString(), c.shown);
    }
}

// A command the host cannot carry out answers error 5, and the host goes on.
TEST_F(VokhostTest, CommandsThatFailAnswerWithTheError)
{
    const QStringList commands = {"search campo=11 ok", "search texto=\"A ok", "search tipo=2",
                                  "key Hyper+F4",       "set FormatDisplay not-json", "frobnicate"};
    const Transcript run = host(commands.join('\n'));
    ASSERT_EQ(run.steps.size(), static_cast<size_t>(commands.size())) << run.errors.toStdString();
    for (size_t i = 0; i < run.steps.size(); ++i) {
        EXPECT_FALSE(run.steps[i].result["ok"].toBool()) << commands[static_cast<qsizetype>(i)].toStdString();
        EXPECT_EQ(run.steps[i].result["error"]["number"].toInt(), 5) << commands[static_cast<qsizetype>(i)].toStdString();
    }
}

// The detail view writes what it shows, from F12 on the article held and from
// the method; nothing opens without an article.
TEST_F(VokhostTest, DetailViewWritesWhatItShows)
{
    const QString id = text("Select ArtID " + Loadable + NoVarieties + " And ArtFoto <> '' Order By ArtID");
    const QString title = text("Select '(' || ArtCodigo || ') ' || ArtNombre From Articulo Where ArtID = " +
                               id.toStdString());
    const QString photo = "D:\\Img\\TPV\\" + text("Select ArtFoto From Articulo Where ArtID = " + id.toStdString());
    const Transcript run = host("key F12\nfind " + id + "\nkey F12\ndetail " + id + " 0\ndetail 0 0");
    ASSERT_EQ(run.steps.size(), 5u) << run.errors.toStdString();
    EXPECT_EQ(run.steps[0].kinds(), QStringList({"KeyDown"})) << "F12 without an article is the host's";
    for (const Step &shown : {run.steps[2], run.steps[3]}) {
        ASSERT_EQ(shown.kinds(), QStringList({"detail"}));
        const QJsonObject detail = shown.first("detail");
        EXPECT_EQ(detail["title"].toString(), title);
        EXPECT_EQ(detail["photo"].toString(), photo);
        EXPECT_TRUE(shown.result["ok"].toBool());
    }
    EXPECT_TRUE(run.steps[4].happened.empty());
    EXPECT_TRUE(run.steps[4].result["ok"].toBool());
}

TEST_F(VokhostTest, SetGetAndKeysReachTheControl)
{
    const Transcript run = host("set FormatCodigo \"000000\"\nget FormatCodigo\nget FormatDisplay\ntype AB\n"
                              "key Backspace\nkey Shift+F12\nkey Tab\nkey Tab\nstate");
    ASSERT_EQ(run.steps.size(), 9u);
    EXPECT_EQ(run.steps[1].result["value"].toString(), "000000");
    EXPECT_EQ(run.steps[2].result["value"].toInt(), 4);
    EXPECT_EQ(run.steps[4].kinds(), QStringList({"KeyDown", "KeyPress", "Change"})) << "Backspace deletes one character";
    EXPECT_EQ(run.steps[4].happened.at(1)["KeyAscii"].toInt(), 8);
    EXPECT_EQ(run.steps[5].kinds(), QStringList({"KeyDown"})) << "F12 with a shift key is the host's";
    EXPECT_EQ(run.steps[5].happened.at(0)["KeyCode"].toInt(), 123);
    EXPECT_EQ(run.steps[5].happened.at(0)["Shift"].toInt(), 1);
    const QJsonObject st = state(run);
    EXPECT_EQ(st["Text"].toString(), "A");
    EXPECT_EQ(st["focus"].toString(), "tArticulo") << "Tab goes to the host box and back";
    EXPECT_FALSE(st["chkVariedad"]["visible"].toBool());
    EXPECT_EQ(st["Font"]["Name"].toString(), "MS Sans Serif");
}

// F4 with the dialog answered from the script: the condition found goes to
// the list, where the script takes the article.
TEST_F(VokhostTest, F4SearchesWithTheDialogsCondition)
{
    const QString name = text("Select ArtNombre " + Loadable + NoVarieties +
                              " And (Select Count(*) From Articulo b Where b.ArtNombre = a.ArtNombre) = 1 Order By ArtID");
    ASSERT_FALSE(name.isEmpty());
    const Transcript run = host("list choose 0\nsearch tipo=2 texto=\"" + name + "\" ok\nkey F4\nstate");
    ASSERT_EQ(run.steps.size(), 4u) << run.errors.toStdString();
    const Step &found = run.steps[2];
    ASSERT_EQ(found.kinds().mid(0, 2), QStringList({"search", "list"}));
    const QString condition = "( ArtNombre = '" + name + "' And ArtEnUso = 1 And ArtEnVenta = 1)";
    EXPECT_EQ(found.first("search")["result"].toString(), condition);
    EXPECT_TRUE(found.first("list")["sql"].toString().contains("Where " + condition + " And ArtEmpresa = 1"));
    EXPECT_EQ(state(run)["Nombre"].toString(), name);
}

TEST(VokhostStart, ConnectionThatCannotBeOpenedExitsWithTwo)
{
    QProcess host;
    host.start(VOKHOST_PATH, {"--db", "sqlite:/nonexistent/folder/shop.db"});
    host.closeWriteChannel();
    ASSERT_TRUE(host.waitForFinished(30000));
    EXPECT_EQ(host.exitCode(), 2);
    EXPECT_TRUE(host.readAllStandardError().contains("cannot open the connection"));
    EXPECT_TRUE(host.readAllStandardOutput().isEmpty());
}

TEST(VokhostStart, AFormItCannotLoadIsAnUnusableOption)
{
    QTemporaryDir folder;
    QFile form(folder.filePath("pedido.frm"));
    ASSERT_TRUE(form.open(QIODevice::WriteOnly));
    form.write("[txtArticulo]\nFormatDisplay = Long 3\n[txtRoto]\nEnabled = String \"quizás\"\n");
    form.close();
    QFile shop(folder.filePath("shop.db")); // an empty file is an empty database
    ASSERT_TRUE(shop.open(QIODevice::WriteOnly));
    shop.close();
    const struct {
        const char *what;
        QString option;
        const char *why;
    } cases[] = {
        {"no such file", folder.filePath("otro.frm") + ":txtArticulo", "cannot read the form"},
        {"no such control", form.fileName() + ":txtPrecio", "holds no control txtPrecio"},
        {"no name", form.fileName() + ":", "--form takes FILE:NAME"},
        {"a value the control refuses", form.fileName() + ":txtRoto", "cannot read its stored properties"},
    };
    for (const auto &c : cases) {
        QProcess host;
        host.start(VOKHOST_PATH, {"--db", "sqlite:" + folder.filePath("shop.db"), "--form", c.option});
        host.closeWriteChannel();
        ASSERT_TRUE(host.waitForFinished(30000)) << c.what;
        EXPECT_EQ(host.exitCode(), 1) << c.what;
        EXPECT_TRUE(host.readAllStandardError().contains(c.why)) << c.what;
        EXPECT_TRUE(host.readAllStandardOutput().isEmpty()) << c.what;
    }
}

} // namespace
