// Scenarios through the console host: each runs the vokhost program on a
// generated catalogue with a short script and checks the JSON lines it wrote.

#include "catalogue_files.h"
#include "qt_printers.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <memory>
#include <vector>

namespace {

// The lines one command wrote: what happened, then its result line.
struct Step {
    std::vector<QJsonObject> happened;
    QJsonObject result;

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

    // The first column of the first row, as text.
    static QString text(const std::string &sql)
    {
        const auto found = vok::test::queryColumn(path("catalogue.db"), sql);
        return found.empty() ? QString() : found.front();
    }
    static QString exactCode() { return text("Select ArtCodigo " + Loadable + UniqueCode + NoVarieties); }

    // The steps of the script alone, after the company and the connection every host sets.
    static Transcript host(const QString &script, const QStringList &options = {})
    {
        QProcess host;
        host.start(VOKHOST_PATH,
                   QStringList({"--db", "sqlite:" + QString::fromStdString(path("catalogue.db")), "--settings",
                                folder->filePath("settings.ini")}) + options);
        host.write(("set Empresa 1\nconnect\n" + script + "\nquit\n").toUtf8());
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
        EXPECT_GE(result.steps.size(), 3u) << result.errors.toStdString();
        if (result.steps.size() < 3)
            return result;
        EXPECT_TRUE(result.steps[0].result["ok"].toBool() && result.steps[1].result["ok"].toBool());
        result.steps.erase(result.steps.begin(), result.steps.begin() + 2);
        result.steps.pop_back(); // quit
        return result;
    }
    static QJsonObject state(const Transcript &t) { return t.steps.back().result["state"].toObject(); }

    inline static std::unique_ptr<QTemporaryDir> folder;
    inline static const std::string Loadable = "From Articulo a Where ArtEmpresa = 1 And ArtEnUso = 1 And ArtEnVenta = "
                                               "1 And ArtFoto Is Not Null And ArtNoUtilizarGenerico = 0";
    inline static const std::string UniqueCode =
        " And (Select Count(*) From Articulo b Where b.ArtCodigo Like a.ArtCodigo || '%') = 1";
    inline static const std::string WithVarieties =
        " And Exists (Select 1 From ArticuloVariedad Where AVaArticulo = a.ArtID)";
    inline static const std::string NoVarieties =
        " And Not Exists (Select 1 From ArticuloVariedad Where AVaArticulo = a.ArtID)";
};

// The host takes the line with Enter on the check box, then clears the text
// for the next entry: the box must go with the article.
TEST_F(VokhostTest, AVarietyChosenFromTheListThenClearingTheTextHidesTheBox)
{
    const QString varied = text("Select ArtCodigo " + Loadable + UniqueCode + WithVarieties);
    ASSERT_FALSE(varied.isEmpty());
    const Transcript run = host("list choose 0\ntype " + varied + "\nkey Enter\nstate\nkey Enter\nset Text \"\"\nstate");
    ASSERT_EQ(run.steps.size(), 7u);
    EXPECT_EQ(run.steps[4].kinds(), QStringList({"KeyPress"})) << "Enter on the box hands the line on";
    EXPECT_EQ(run.steps[5].kinds(), QStringList({"Change"}));
    const QJsonObject st = state(run);
    EXPECT_EQ(st["ID"].toInt(), 0);
    EXPECT_FALSE(st["chkVariedad"]["visible"].toBool());
    EXPECT_EQ(st["chkVariedad"]["value"].toInt(), 0);
}

// The control starts as a container starts it: a new instance is initialised,
// a stored one read from its form; either way an article shows as the stored
// or default display asks.
TEST_F(VokhostTest, TheControlStartsNewOrFromItsForm)
{
    const QString exact = exactCode();
    const QString name = text("Select ArtNombre From Articulo Where ArtCodigo = '" + exact.toStdString() + "'");
    ASSERT_FALSE(exact.isEmpty());
    QFile form(folder->filePath("pedido.frm"));
    ASSERT_TRUE(form.open(QIODevice::WriteOnly));
    form.write("[txtArticulo]\nFormatDisplay = Long 3\n");
    form.close();
    const struct {
        const char *what;
        QStringList options;
        int formatDisplay;
        QString shown;
    } cases[] = {
        {"new instance", {}, 4, exact + ' ' + name},
        {"stored display", {"--form", form.fileName() + ":txtArticulo"}, 3, exact},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const Transcript run = host("get FormatDisplay\ntype " + exact + "\nkey Enter\nstate", c.options);
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
    for (const Step &step : run.steps)
        EXPECT_TRUE(!step.result["ok"].toBool() && step.result["error"]["number"].toInt() == 5);
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

TEST(VokhostStart, AnUnusableOptionOrConnectionStopsTheHost)
{
    QTemporaryDir folder;
    QFile form(folder.filePath("pedido.frm"));
    ASSERT_TRUE(form.open(QIODevice::WriteOnly));
    form.write("[txtArticulo]\nFormatDisplay = Long 3\n[txtRoto]\nEnabled = String \"quizás\"\n");
    form.close();
    QFile shop(folder.filePath("shop.db")); // an empty file is an empty database
    ASSERT_TRUE(shop.open(QIODevice::WriteOnly));
    shop.close();
    const QString shopDb = "sqlite:" + folder.filePath("shop.db");
    const struct {
        const char *what;
        QStringList options;
        const char *why;
        int exitCode = 1;
    } cases[] = {
        {"no such control", {"--db", shopDb, "--form", form.fileName() + ":txtPrecio"}, "holds no control txtPrecio"},
        {"a value the control refuses", {"--db", shopDb, "--form", form.fileName() + ":txtRoto"},
         "cannot read its stored properties"},
        {"no connection", {"--db", "sqlite:/nonexistent/folder/shop.db"}, "cannot open the connection", 2},
    };
    for (const auto &c : cases) {
        QProcess host;
        host.start(VOKHOST_PATH, c.options);
        host.closeWriteChannel();
        ASSERT_TRUE(host.waitForFinished(30000)) << c.what;
        EXPECT_EQ(host.exitCode(), c.exitCode) << c.what;
        EXPECT_TRUE(host.readAllStandardError().contains(c.why)) << c.what;
        EXPECT_TRUE(host.readAllStandardOutput().isEmpty()) << c.what;
    }
}

} // namespace
