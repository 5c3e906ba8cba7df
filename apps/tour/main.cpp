// vok-tour: shows what the article-entry control does today, without a
// display. It installs the host components into a registry of its own, then
// creates a control and walks through its properties, its check-box layout and
// its texts in Spanish and English, ending with a missing language pack.
//
// Usage: vok-tour [--catalogue FILE] [FOLDER]
//   FILE    a shop database (see vok-catalogue) on which a lookup is run
//   FOLDER  where the registry and settings are kept (default: a temporary one)

#include "control/vok_t_articulo.h"
#include "language/modlenguaje.h"
#include "lookup/query_builder.h"
#include "platform/com/registration.h"
#include "platform/rdo/rdo.h"
#include "platform/ui/headless/headless_toolkit.h"
#include "platform/ui/toolkit.h"
#include "platform/vb/conversions.h"
#include "platform/vb/error.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {

void say(const QString &text)
{
    std::printf("%s\n", qUtf8Printable(text));
}

void heading(const QString &text)
{
    say(QString());
    say(text);
    say(QString(text.size(), u'-'));
}

void writeSettings(const QString &path, int idioma)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(QStringLiteral("[VOK04]\nIdioma=%1\nIdioma2=0\n").arg(idioma).toUtf8());
}

class PrintingSink : public vokTArticuloEvents {
public:
    explicit PrintingSink(vokTArticulo &control) : m_control(control) {}
    void Change() override
    {
        say(QStringLiteral("  event Change   (text \"%1\", ID %2)").arg(m_control.Text()).arg(m_control.ID()));
    }
    void KeyPress(int16_t &KeyAscii) override
    {
        if (KeyAscii == 13)
            say(QStringLiteral("  event KeyPress 13: the host moves to its next field"));
    }
    void Error(const QString &sErrText) override
    {
        say(QStringLiteral("  event Error    %1").arg(sErrText));
        if (sErrText.startsWith(QStringLiteral("94 ")))
            say(QStringLiteral("                 (a Null in a column the control reads, such as a missing picture "
                               "reference ArtFoto, stops the loading of the row)"));
    }
    void GotFocus2() override { say(QStringLiteral("  event GotFocus2: nothing was chosen")); }

private:
    vokTArticulo &m_control;
};

void showCheckBox(vokTArticulo &control)
{
    auto &check = control.chkVariedad();
    say(QStringLiteral("  check box %1, caption \"%2\", left %3, width %4; text box width %5; IncluirVariedades %6")
            .arg(check.isVisible() ? "shown" : "hidden", check.caption())
            .arg(check.left())
            .arg(check.width())
            .arg(control.tArticulo().width())
            .arg(control.IncluirVariedades() ? "True" : "False"));
}

void showTexts()
{
    for (int32_t numero : {1, 2, 3, 4, 841, 851, 863})
        say(QStringLiteral("  text %1: %2").arg(numero, 3).arg(language::TextoIdioma(numero)));
}

// Runs an article select of the control on the shop database: the statement
// is the control's own Transact-SQL, translated for SQLite on the way in.
void showShopDatabase(const QString &catalogue)
{
    heading(QStringLiteral("The shop database %1").arg(catalogue));
    const auto conexion = rdo::rdoConnection::open(QStringLiteral("sqlite:") + catalogue);
    auto parametro = conexion->OpenResultset(
        QStringLiteral("Select ParValor From genParametros Where ParNombre = 'FmtCabezalArticulo'"));
    if (!parametro->Eof())
        say(QStringLiteral("  list layout (FmtCabezalArticulo): %1").arg(vb::CStr(parametro->rdoColumns()("ParValor").Value())));
    parametro->Close();

    lookup::LookupSettings settings;
    settings.Empresa = 1;
    settings.EnUsoObligatorio = 1;
    const QString sql = lookup::ArmarSelectArticulo(settings, true) +
                        QStringLiteral(" Where ArtNombre Like 'TORNILLO%HEX%'") + lookup::ArmarFiltros(settings, true) +
                        QStringLiteral(" Order By NombreArt, ArtCodigo");
    say(QStringLiteral("  statement: %1").arg(sql));
    auto filas = conexion->OpenResultset(sql);
    int shown = 0;
    for (; !filas->Eof() && shown < 5; filas->MoveNext(), ++shown)
        say(QStringLiteral("  %1  %2").arg(vb::CStr(filas->rdoColumns()("ArtCodigo").Value()), -10)
                .arg(vb::CStr(filas->rdoColumns()("NombreArt").Value())));
    if (shown == 0)
        say(QStringLiteral("  no article matches"));
    filas->Close();

    heading(QStringLiteral("A cashier types two words of a name and presses Enter"));
    vokTArticulo control;
    PrintingSink sink(control);
    control.advise(&sink);
    static_cast<ui::HeadlessUserControl &>(control.userControl()).resize(4000, 285);
    control.setConnect(conexion);
    control.setEmpresa(1);
    control.setFormatDisplay(afd_CodigoNombre);
    control.tArticulo().setFocus();
    // The headless item list answers from a script: the cashier takes the
    // second row of the list.
    auto &toolkit = static_cast<ui::HeadlessToolkit &>(ui::toolkit());
    toolkit.queueItemListAnswer(1);
    static_cast<ui::HeadlessTextBox &>(control.tArticulo()).type(QStringLiteral("TORN HEX\r"));
    if (!toolkit.itemLists().empty()) {
        const ui::ShownItemList &lista = toolkit.itemLists().back();
        say(QStringLiteral("  the list \"%1\" showed %2 rows or more; the cashier chose row 2")
                .arg(lista.layout.title)
                .arg(lista.rowsRead.size()));
    }
    say(QStringLiteral("  ID %1, Codigo \"%2\", Nombre \"%3\", Decimales %4")
            .arg(control.ID())
            .arg(control.Codigo(), control.Nombre())
            .arg(control.Decimales()));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QStringList arguments = app.arguments().mid(1);
    QString catalogue;
    if (arguments.size() >= 2 && arguments.first() == QStringLiteral("--catalogue")) {
        catalogue = arguments.at(1);
        arguments = arguments.mid(2);
    }
    QTemporaryDir scratch;
    const QString folder = arguments.isEmpty() ? scratch.path() : arguments.first();
    QDir().mkpath(folder);
    qputenv("VOK_REGISTRY", QDir(folder).filePath("registry.reg").toLocal8Bit());
    const QString settings = QDir(folder).filePath("settings.ini");
    qputenv("VOK_SETTINGS", settings.toLocal8Bit());

    const QString hostLibrary = QDir(app.applicationDirPath()).filePath("../lib/libvokhost.so");
    QString why;
    if (com::registerServer(QDir::cleanPath(hostLibrary), &why) != com::S_OK) {
        std::fprintf(stderr, "vok-tour: cannot register the host components: %s\n", qUtf8Printable(why));
        return 1;
    }
    say(QStringLiteral("Host components registered in %1").arg(qEnvironmentVariable("VOK_REGISTRY")));

    heading(QStringLiteral("A new control"));
    vokTArticulo control;
    PrintingSink sink(control);
    control.advise(&sink);
    static_cast<ui::HeadlessUserControl &>(control.userControl()).resize(4000, 285);
    say(QStringLiteral("  ID %1, Codigo \"%2\", FormatoLista %3, PedirIncluirVariedad %4, size %5 x %6 twips")
            .arg(control.ID())
            .arg(control.Codigo())
            .arg(control.FormatoLista())
            .arg(control.PedirIncluirVariedad() ? "True" : "False")
            .arg(control.userControl().width())
            .arg(control.userControl().height()));
    showCheckBox(control);

    heading(QStringLiteral("Connect with the host set to Spanish (Idioma=1)"));
    writeSettings(settings, 1);
    control.setConnect(nullptr);
    say(QStringLiteral("  language users on this thread: %1").arg(language::usuariosLenguaje()));
    showTexts();

    heading(QStringLiteral("An article with varieties is offered, then the box loses the focus"));
    control.MostrarVariedad(2);
    showCheckBox(control);
    static_cast<ui::HeadlessCheckBox &>(control.chkVariedad()).toggle();
    control.MostrarVariedad(3);
    showCheckBox(control);

    heading(QStringLiteral("The host sets ID 1234, then the user types: the article is abandoned"));
    control.setID(1234);
    static_cast<ui::HeadlessTextBox &>(control.tArticulo()).type(QStringLiteral("TOR"));
    showCheckBox(control);

    heading(QStringLiteral("Connect again with the host set to English (Idioma=2)"));
    writeSettings(settings, 2);
    control.setConnect(nullptr);
    say(QStringLiteral("  language users on this thread: %1").arg(language::usuariosLenguaje()));
    showTexts();

    heading(QStringLiteral("Built-in texts (resloadVieja) with Idioma 0 and 2"));
    for (uint8_t idioma : {0, 2}) {
        control.setIdioma(idioma);
        for (int16_t id = 1; id <= 4; ++id)
            say(QStringLiteral("  Idioma %1, text %2: %3").arg(idioma).arg(id).arg(control.resloadVieja(id)));
    }

    heading(QStringLiteral("Connect with a language that has no pack (Idioma=9)"));
    writeSettings(settings, 9);
    try {
        control.setConnect(nullptr);
    } catch (const vb::Error &error) {
        say(QStringLiteral("  Connect raised error %1 (%2): %3")
                .arg(error.number())
                .arg(error.source(), error.description()));
    }
    say(QStringLiteral("  text 1 now reads: %1").arg(language::TextoIdioma(1)));

    int status = 0;
    if (!catalogue.isEmpty()) {
        writeSettings(settings, 1);
        try {
            showShopDatabase(catalogue);
        } catch (const vb::Error &error) {
            std::fprintf(stderr, "vok-tour: %s\n", error.what());
            status = 1;
        }
    }

    com::unregisterServer(QDir::cleanPath(hostLibrary));
    return status;
}
