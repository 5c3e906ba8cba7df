// An example host: a small sales form with the article-entry control on a
// shop database. The cashier types a code or words of a name and presses
// Enter; the form shows the chosen article.
//
//   vok-example-host sqlite:catalogo.sqlite          the form, until closed
//   vok-example-host sqlite:catalogo.sqlite 42       prints article 42, no window
//
// The control and the host components must be registered: the Debian package
// does it, after cmake --install run `vokreg setup` once.

#include <vokBArticulo/platform/rdo/rdo.h>
#include <vokBArticulo/platform/vb/error.h>
#include <vokBArticulo/widget/vok_articulo_widget.h>

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>

#include <cstdio>

namespace {

QString describe(const vokArticuloWidget &articulo)
{
    if (articulo.ID() == 0)
        return QStringLiteral("no article");
    return QStringLiteral("%1 %2 (ID %3, variety %4)")
        .arg(articulo.Codigo(), articulo.Nombre())
        .arg(articulo.ID())
        .arg(articulo.Variedad());
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: vok-example-host CONNECTION [ARTICLE-ID]\n");
        return 2;
    }

    QWidget form;
    form.setWindowTitle(QStringLiteral("Pedido"));
    auto *layout = new QVBoxLayout(&form);
    auto *articulo = new vokArticuloWidget(&form);
    articulo->setObjectName(QStringLiteral("txtArticulo"));
    auto *chosen = new QLabel(QStringLiteral("no article"), &form);
    layout->addWidget(articulo);
    layout->addWidget(chosen);

    try {
        // The control keeps the connection and starts its language resources:
        // error 9000 when the host components are not registered.
        articulo->control().setConnect(rdo::rdoConnection::open(arguments.at(1)));
        articulo->setEmpresa(1);
        articulo->setListaPrecios(1);

        if (arguments.size() > 2) {
            articulo->FindArticuloByID(arguments.at(2).toInt());
            std::printf("%s\n", qUtf8Printable(describe(*articulo)));
            return articulo->ID() == 0 ? 1 : 0;
        }
    } catch (const vb::Error &error) {
        std::fprintf(stderr, "vok-example-host: %s\n", error.what());
        return 1;
    }

    // The article held, whichever way the cashier settled it (Enter, Tab, a
    // choice in the list, the search dialog), and none once it is let go.
    QObject::connect(articulo, &vokArticuloWidget::articleChanged, &form,
                     [&](int, int) { chosen->setText(describe(*articulo)); });
    // The control reports what it could not do (a failed lookup) as an event.
    QObject::connect(articulo, &vokArticuloWidget::Error, &form,
                     [&](const QString &text) { chosen->setText(QStringLiteral("error: ") + text); });

    form.show();
    return app.exec();
}
