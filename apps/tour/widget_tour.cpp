// vok-widget-tour: the control as a widget on a small Qt form of a host: two
// controls and a field of the host's own, their design-time properties kept
// in a form file. With --pictures the tour types one entry from the keyboard
// (a code with varieties, Enter, the first row of the list, Tab) and saves
// the form as a picture after each step; without it the window stays open
// for the user.
//
// Usage: vok-widget-tour [--catalogue FILE] [--form FILE] [--pictures FOLDER]

#include "widget/form_persistence.h"
#include "widget/vok_articulo_widget.h"

#include "platform/com/property_bag.h"
#include "platform/com/registration.h"
#include "platform/rdo/rdo.h"
#include "platform/ui/qt/qt_item_list_dialog.h"
#include "platform/ui/qt/qt_toolkit.h"
#include "platform/vb/conversions.h"
#include "platform/vb/error.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <optional>

namespace {

void say(const QString &text)
{
    std::printf("%s\n", qUtf8Printable(text));
}

// A key as the keyboard delivers it to a widget, by default the one with
// the focus.
void press(int key, const QString &text = {}, QWidget *target = QApplication::focusWidget())
{
    const Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    if (!target)
        return;
    QKeyEvent down(QEvent::KeyPress, key, modifiers, text);
    QCoreApplication::sendEvent(target, &down);
    if (QWidget *still = QApplication::focusWidget()) {
        QKeyEvent up(QEvent::KeyRelease, key, modifiers, text);
        QCoreApplication::sendEvent(still, &up);
    }
    QCoreApplication::processEvents();
}

void typeText(const QString &text)
{
    for (QChar c : text)
        press(c.isDigit() ? Qt::Key_0 + c.digitValue() : Qt::Key_A + (c.toUpper().unicode() - 'A'), QString(c));
}

// A code of an article with varieties, so that the entry offers the check box.
QString codeWithVarieties(rdo::rdoConnection &connection)
{
    auto rows = connection.OpenResultset(QStringLiteral(
        "Select Top 1 ArtCodigo From Articulo a Where ArtEmpresa = 1 And ArtEnUso = 1 And ArtFoto Is Not Null "
        "And ArtNoUtilizarGenerico = 0 And Exists (Select 1 From ArticuloVariedad Where AVaArticulo = a.ArtID) "
        "Order By ArtID"));
    const QString code = rows->Eof() ? QString() : vb::CStr(rows->rdoColumns()("ArtCodigo").Value());
    rows->Close();
    return code;
}

class SalesForm : public QWidget {
public:
    SalesForm()
    {
        setObjectName(QStringLiteral("frmPedido"));
        setWindowTitle(QStringLiteral("Pedido"));
        auto *layout = new QFormLayout(this);
        articulo = new vokArticuloWidget(this);
        articulo->setObjectName(QStringLiteral("txtArticulo"));
        componente = new vokArticuloWidget(this);
        componente->setObjectName(QStringLiteral("txtComponente"));
        cantidad = new QLineEdit(this);
        layout->addRow(QStringLiteral("Artículo"), articulo);
        layout->addRow(QStringLiteral("Componente"), componente);
        layout->addRow(QStringLiteral("Cantidad"), cantidad);
        status = new QLabel(this);
        layout->addRow(status);
        for (vokArticuloWidget *control : {articulo, componente}) {
            connect(control, &vokArticuloWidget::KeyPress, this, [this, control](qint16 *KeyAscii) {
                if (*KeyAscii == 13)
                    status->setText(QStringLiteral("%1: KeyPress 13, ID %2").arg(control->objectName()).arg(control->ID()));
            });
            connect(control, &vokArticuloWidget::GotFocus2, this, [this, control] {
                status->setText(QStringLiteral("%1: GotFocus2, nothing chosen").arg(control->objectName()));
            });
            connect(control, &vokArticuloWidget::Error, this, [this](const QString &text) { status->setText(text); });
        }
    }

    vokArticuloWidget *articulo;
    vokArticuloWidget *componente;
    QLineEdit *cantidad;
    QLabel *status;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QString catalogue, formFile, pictures;
    const QStringList arguments = app.arguments().mid(1);
    for (qsizetype i = 0; i + 1 < arguments.size(); i += 2) {
        if (arguments[i] == QStringLiteral("--catalogue"))
            catalogue = arguments[i + 1];
        else if (arguments[i] == QStringLiteral("--form"))
            formFile = arguments[i + 1];
        else if (arguments[i] == QStringLiteral("--pictures"))
            pictures = arguments[i + 1];
    }

    QTemporaryDir scratch;
    qputenv("VOK_REGISTRY", scratch.filePath("registry.reg").toLocal8Bit());
    qputenv("VOK_SETTINGS", scratch.filePath("settings.ini").toLocal8Bit());
    QString why;
    const QString hostLibrary = QDir::cleanPath(QDir(app.applicationDirPath()).filePath("../lib/libvokhost.so"));
    if (com::registerServer(hostLibrary, &why) != com::S_OK) {
        std::fprintf(stderr, "vok-widget-tour: cannot register the host components: %s\n", qUtf8Printable(why));
        return 1;
    }

    ui::QtToolkit toolkit;
    ui::setToolkit(&toolkit);
    int status = 0;
    try {
        SalesForm form;
        com::FormStore store(formFile.isEmpty() ? scratch.filePath("pedido.frm") : formFile);
        const bool stored = QFile::exists(store.path());
        if (stored) {
            store.load();
            say(QStringLiteral("Form file %1 loaded").arg(store.path()));
        }
        vokwidget::loadForm(&form, store);
        if (!stored) {
            // A form being designed: the second control shows the code alone,
            // masked, and never offers varieties.
            form.componente->setFormatDisplay(3);
            form.componente->setFormatCodigo(QStringLiteral("000000"));
            form.componente->setPedirIncluirVariedad(false);
        }

        std::shared_ptr<rdo::rdoConnection> connection;
        if (!catalogue.isEmpty()) {
            connection = rdo::rdoConnection::open(QStringLiteral("sqlite:") + catalogue);
            for (vokArticuloWidget *control : {form.articulo, form.componente}) {
                control->control().setConnect(connection);
                control->setEmpresa(1);
            }
        }
        form.resize(form.sizeHint().expandedTo(QSize(420, 0)));
        form.show();
        form.activateWindow();
        form.articulo->setFocus();

        if (pictures.isEmpty()) {
            status = app.exec();
        } else {
            QDir().mkpath(pictures);
            int shot = 0;
            const auto picture = [&](const QString &what) {
                QCoreApplication::processEvents();
                const QString path = QDir(pictures).filePath(QStringLiteral("widget-%1.png").arg(++shot));
                form.grab().save(path);
                say(QStringLiteral("%1: %2").arg(path, what));
            };
            picture(QStringLiteral("the form, the focus in the first control"));
            if (connection) {
                const QString code = codeWithVarieties(*connection);
                typeText(code);
                picture(QStringLiteral("the cashier typed %1").arg(code));
                // The list answers itself once it shows: the first row, the
                // article without a variety.
                QTimer answer;
                answer.setInterval(20);
                QObject::connect(&answer, &QTimer::timeout, [&] {
                    auto *list = dynamic_cast<ui::ItemListDialog *>(toolkit.openItemList());
                    if (!list || !list->isVisible())
                        return;
                    answer.stop();
                    list->grab().save(QDir(pictures).filePath(QStringLiteral("widget-list.png")));
                    say(QStringLiteral("%1: the candidate list").arg(QDir(pictures).filePath("widget-list.png")));
                    press(Qt::Key_Return, QStringLiteral("\r"), list->view());
                });
                answer.start();
                press(Qt::Key_Return, QStringLiteral("\r"));
                form.activateWindow();
                picture(QStringLiteral("Enter: %1, the check box offered").arg(form.articulo->Text()));
                press(Qt::Key_Space, QStringLiteral(" "));
                press(Qt::Key_Tab);
                picture(QStringLiteral("ticked and left with Tab: the check box shrinks"));
            }
        }
        vokwidget::saveForm(&form, store);
        store.save();
        say(QStringLiteral("Form file %1 saved:").arg(store.path()));
        say(store.toText().trimmed());
    } catch (const vb::Error &error) {
        std::fprintf(stderr, "vok-widget-tour: %s\n", error.what());
        status = 1;
    }
    ui::setToolkit(nullptr);
    com::unregisterServer(hostLibrary);
    return status;
}
