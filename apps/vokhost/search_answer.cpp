#include "search_answer.h"

#include "json_output.h"

#include "platform/ui/constants.h"
#include "platform/ui/headless/headless_toolkit.h"
#include "platform/vb/error.h"
#include "search/frm_busqueda.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace vokhost {

namespace {


vb::Error usageError(const QString &what)
{
    return vb::Error(vb::err::InvalidProcedureCall, QStringLiteral("search: ") + what, QStringLiteral("vokhost"));
}

// The value after "key=": a JSON string for the text, else a word.
QString takeValue(const QString &rest, qsizetype &at)
{
    if (at < rest.size() && rest.at(at) == u'"') {
        qsizetype end = at + 1;
        while (end < rest.size() && rest.at(end) != u'"')
            end += rest.at(end) == u'\\' ? 2 : 1;
        if (end >= rest.size())
            throw usageError(QStringLiteral("the text has no closing quote"));
        const QString literal = rest.mid(at, end + 1 - at);
        at = end + 1;
        const QJsonDocument parsed = QJsonDocument::fromJson(("[" + literal + "]").toUtf8());
        if (!parsed.isArray() || !parsed.array().at(0).isString())
            throw usageError(QStringLiteral("the text is not a JSON string: %1").arg(literal));
        return parsed.array().at(0).toString();
    }
    const qsizetype end = rest.indexOf(u' ', at);
    const QString word = rest.mid(at, end < 0 ? -1 : end - at);
    at = end < 0 ? rest.size() : end;
    return word;
}

int32_t code(const QString &key, const QString &value, int32_t lowest, int32_t highest)
{
    bool ok = false;
    const int32_t number = value.toInt(&ok);
    if (!ok || number < lowest || number > highest)
        throw usageError(QStringLiteral("%1 takes an item code from %2 to %3: %4").arg(key).arg(lowest).arg(highest).arg(value));
    return number;
}

// The user picks the entry with that item code; a locked combo cannot be changed.
void choose(ui::ComboBox &combo, const std::optional<int32_t> &itemCode)
{
    if (itemCode && combo.isEnabled())
        combo.setListIndex(combo.findItemData(*itemCode));
}

void click(ui::HeadlessToolkit &toolkit, ui::Button &button)
{
    if (toolkit.moveFocus(&button))
        static_cast<ui::HeadlessButton &>(button).click();
}

void act(ui::HeadlessToolkit &toolkit, search::frmBusqueda &dialog, const SearchAnswer &answer)
{
    choose(dialog.cmbCampo(), answer.campo);
    choose(dialog.cmbTipo(), answer.tipo);
    if (answer.texto) {
        toolkit.moveFocus(&dialog.txtTexto());
        static_cast<ui::HeadlessTextBox &>(dialog.txtTexto()).type(*answer.texto);
    }
    choose(dialog.cmbEnUso(), answer.enUso);
    choose(dialog.cmbEnVenta(), answer.enVenta);
    choose(dialog.cmbCB(), answer.cb);

    if (answer.action == QStringLiteral("ok")) {
        click(toolkit, dialog.btnOk());
    } else if (answer.action == QStringLiteral("cancel")) {
        click(toolkit, dialog.btnCancelar());
    } else if (answer.action == QStringLiteral("escape")) {
        // Escape goes down in whichever control has the focus.
        ui::Window *focused = toolkit.focused();
        if (auto *combo = dynamic_cast<ui::HeadlessComboBox *>(focused))
            combo->press(ui::vbKeyEscape, ui::vbKeyEscape);
        else if (auto *box = dynamic_cast<ui::HeadlessTextBox *>(focused))
            box->press(ui::vbKeyEscape, ui::vbKeyEscape);
        else if (auto *button = dynamic_cast<ui::HeadlessButton *>(focused))
            button->press(ui::vbKeyEscape, ui::vbKeyEscape);
    }
}

} // namespace

SearchAnswer parseSearchAnswer(const QString &rest)
{
    SearchAnswer answer;
    qsizetype at = 0;
    while (true) {
        while (at < rest.size() && rest.at(at) == u' ')
            ++at;
        if (at >= rest.size())
            break;
        if (!answer.action.isEmpty())
            throw usageError(QStringLiteral("nothing may follow %1").arg(answer.action));
        const qsizetype equals = rest.indexOf(u'=', at);
        const qsizetype blank = rest.indexOf(u' ', at);
        if (equals < 0 || (blank >= 0 && blank < equals)) {
            const QString word = rest.mid(at, blank < 0 ? -1 : blank - at);
            if (!QStringList{"ok", "cancel", "escape", "close"}.contains(word))
                throw usageError(QStringLiteral("unknown word %1").arg(word));
            answer.action = word;
            at = blank < 0 ? rest.size() : blank;
            continue;
        }
        const QString key = rest.mid(at, equals - at);
        at = equals + 1;
        const QString value = takeValue(rest, at);
        if (key == QStringLiteral("campo"))
            answer.campo = code(key, value, 0, 10);
        else if (key == QStringLiteral("tipo"))
            answer.tipo = code(key, value, 1, 3);
        else if (key == QStringLiteral("texto"))
            answer.texto = value;
        else if (key == QStringLiteral("enuso"))
            answer.enUso = code(key, value, 1, 3);
        else if (key == QStringLiteral("enventa"))
            answer.enVenta = code(key, value, 1, 3);
        else if (key == QStringLiteral("cb"))
            answer.cb = code(key, value, 1, 3);
        else
            throw usageError(QStringLiteral("unknown criterion %1").arg(key));
    }
    if (answer.action.isEmpty())
        throw usageError(QStringLiteral("ok, cancel, escape or close expected last"));
    return answer;
}

void queueSearchAnswer(ui::HeadlessToolkit &toolkit, SearchAnswer answer)
{
    toolkit.queueModalAnswer([&toolkit, answer = std::move(answer)](ui::Form &window) {
        search::frmBusqueda *dialog = search::frmBusqueda::deVentana(window);
        if (!dialog)
            return;
        const QString caption = window.caption();
        act(toolkit, *dialog, answer);
        const auto &ok = dialog->ultimoAceptar();
        printLine({{"search", QJsonObject{{"caption", caption},
                                          {"condition", ok.condicion},
                                          {"check", ok.comprobacion},
                                          {"found", ok.encontrado},
                                          {"result", dialog->prmSQL}}}});
    });
}

} // namespace vokhost
