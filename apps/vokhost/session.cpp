#include "session.h"

#include "detail_report.h"
#include "json_output.h"
#include "search_answer.h"

#include "component/identities.h"
#include "component/type_library.h"
#include "component/vok_t_articulo_object.h"
#include "platform/rdo/rdo.h"
#include "platform/ui/constants.h"
#include "platform/vb/call_by_name.h"
#include "platform/vb/conversions.h"
#include "platform/vb/error.h"

#include <QJsonArray>

#include <algorithm>
#include <array>

namespace vokhost {

namespace {

constexpr ui::Twips ControlWidth = 4000;
constexpr ui::Twips ControlHeight = 285;

vb::Error usageError(const QString &what)
{
    return vb::Error(vb::err::InvalidProcedureCall, what, QStringLiteral("vokhost"));
}

int32_t number(const QString &word, const QString &what)
{
    bool ok = false;
    const int32_t value = word.toInt(&ok);
    if (!ok)
        throw usageError(QStringLiteral("%1 is not a whole number: %2").arg(what, word));
    return value;
}

// The control's events as the script sees them, heard late-bound through the
// control's connection point as any host hears them.
class EventPrinter final : public com::AutomationObject {
public:
    EventPrinter()
    {
        using Args = std::span<vb::Variant>;
        addMethod(QStringLiteral("Change"), [](Args) {
            printLine({{"event", "Change"}});
            return vb::Variant();
        });
        addMethod(QStringLiteral("KeyDown"), [](Args a) {
            printLine({{"event", "KeyDown"}, {"KeyCode", vb::CInt(argument(a, 0))}, {"Shift", vb::CInt(argument(a, 1))}});
            return vb::Variant();
        });
        addMethod(QStringLiteral("KeyPress"), [](Args a) {
            printLine({{"event", "KeyPress"}, {"KeyAscii", vb::CInt(argument(a, 0))}});
            return vb::Variant();
        });
        addMethod(QStringLiteral("Error"), [](Args a) {
            printLine({{"event", "Error"}, {"sErrText", vb::CStr(argument(a, 0))}});
            return vb::Variant();
        });
        addMethod(QStringLiteral("GotFocus2"), [](Args) {
            printLine({{"event", "GotFocus2"}});
            return vb::Variant();
        });
    }
};

// A key that is not typed text: key down with the shift state, then key press
// when it has a character. Text boxes insert nothing for these.
void strike(ui::Window &window, int16_t keyCode, int16_t shift, int16_t keyAscii)
{
    if (window.onKeyDown)
        window.onKeyDown(keyCode, shift);
    if (keyAscii != 0 && window.onKeyPress)
        window.onKeyPress(keyAscii);
}

// Backspace in a text box: the selection, or else the character before the
// caret, goes; the caret stays where the deletion was.
void backspace(ui::TextBox &box, int16_t shift)
{
    int16_t keyCode = ui::vbKeyBack;
    if (box.onKeyDown)
        box.onKeyDown(keyCode, shift);
    int16_t keyAscii = ui::vbKeyBack;
    if (box.onKeyPress)
        box.onKeyPress(keyAscii);
    if (keyAscii != ui::vbKeyBack)
        return;
    int32_t start = box.selStart();
    int32_t length = box.selLength();
    if (length == 0) {
        if (start == 0)
            return;
        --start;
        length = 1;
    }
    QString text = box.text();
    text.remove(start, length);
    box.setText(text);
    box.setSelStart(start);
}

// A readable member's value: the font object is spelt out.
QJsonValue readable(const vb::Variant &value)
{
    if (!value.isObject() || !value.object())
        return toJson(value);
    QJsonObject font;
    for (const char *name : {"Name", "Size", "Bold", "Italic", "Underline", "Strikethrough"})
        font.insert(QString::fromLatin1(name),
                    toJson(vb::CallByName(value.object(), QString::fromLatin1(name), vb::CallKind::PropertyGet)));
    return font;
}

} // namespace

Session::Session(ui::HeadlessToolkit &headless, std::shared_ptr<rdo::rdoConnection> connection,
                 com::PropertyBag *stored)
    : m_toolkit(headless), m_connection(std::move(connection))
{
    ui::setToolkit(&m_toolkit);
    m_control = std::make_shared<component::vokTArticuloObject>();
    m_control->advise(component::DIID_vokTArticuloEvents(), std::make_shared<EventPrinter>());
    vokTArticulo &control = m_control->control();
    // As a container does: exactly one of the two, before the first resize.
    try {
        if (stored)
            control.ReadProperties(*stored);
        else
            control.InitProperties();
    } catch (...) {
        m_control.reset();
        ui::setToolkit(nullptr);
        throw;
    }
    static_cast<ui::HeadlessUserControl &>(control.userControl()).resize(ControlWidth, ControlHeight);
    m_form = m_toolkit.createUserControl();
    m_hostBox = m_toolkit.createTextBox(*m_form);
    m_hostBox->move(0, ControlHeight + 120, ControlWidth, ControlHeight);
    control.tArticulo().setFocus();
    startDetailReports();
}

Session::~Session()
{
    stopDetailReports();
    m_hostBox.reset();
    m_form.reset();
    m_control.reset();
    ui::setToolkit(nullptr);
}

bool Session::execute(const Command &command)
{
    const QString &name = command.name;
    try {
        if (name == QStringLiteral("quit")) {
            printOk();
            return false;
        }
        if (name == QStringLiteral("connect")) {
            vb::CallByName(m_control, QStringLiteral("Connect"), vb::CallKind::PropertySet, {vb::Variant(m_connection)});
            printOk();
        } else if (name == QStringLiteral("set")) {
            set(command);
        } else if (name == QStringLiteral("get")) {
            get(command);
        } else if (name == QStringLiteral("state")) {
            printOk(QStringLiteral("state"), state());
        } else if (name == QStringLiteral("type")) {
            auto *box = dynamic_cast<ui::HeadlessTextBox *>(focused());
            if (!box)
                throw usageError(QStringLiteral("type: the focus is not in a text box"));
            box->type(command.rest);
            printOk();
        } else if (name == QStringLiteral("key")) {
            const auto stroke = parseKey(command.rest.trimmed());
            if (!stroke)
                throw usageError(QStringLiteral("key: unknown key %1").arg(command.rest.trimmed()));
            key(*stroke);
            printOk();
        } else if (name == QStringLiteral("list")) {
            list(command);
        } else if (name == QStringLiteral("search")) {
            queueSearchAnswer(m_toolkit.headless(), parseSearchAnswer(command.rest));
            printOk();
        } else if (name == QStringLiteral("find")) {
            find(command);
        } else if (name == QStringLiteral("detail")) {
            detail(command);
        } else if (name == QStringLiteral("resize")) {
            resize(command);
        } else {
            throw usageError(QStringLiteral("unknown command %1").arg(name));
        }
    } catch (const vb::Error &error) {
        printError(error);
    } catch (const std::exception &error) {
        printError(vb::Error(vb::err::InvalidProcedureCall, QString::fromUtf8(error.what()), QStringLiteral("vokhost")));
    }
    return true;
}

void Session::set(const Command &command)
{
    if (command.words.isEmpty())
        throw usageError(QStringLiteral("set: NAME JSON expected"));
    const QString &property = command.words.first();
    const QString json = command.rest.trimmed().mid(property.size()).trimmed();
    const auto value = fromJsonText(json);
    if (!value)
        throw usageError(QStringLiteral("set %1: the value is not JSON: %2").arg(property, json));
    vb::CallByName(m_control, property, vb::CallKind::PropertyLet, {*value});
    printOk();
}

void Session::get(const Command &command)
{
    if (command.words.size() != 1)
        throw usageError(QStringLiteral("get: NAME expected"));
    printOk(QStringLiteral("value"),
            readable(vb::CallByName(m_control, command.words.first(), vb::CallKind::PropertyGet)));
}

QJsonObject Session::state()
{
    QJsonObject state;
    for (const component::MemberInfo &member : component::defaultInterfaceMembers()) {
        if (QLatin1String(member.kind) != QLatin1String("get") || !member.params.empty())
            continue;
        const QString name = QString::fromLatin1(member.name);
        try {
            state.insert(name, readable(vb::CallByName(m_control, name, vb::CallKind::PropertyGet)));
        } catch (const vb::Error &) {
            state.insert(name, QJsonValue::Null);
        }
    }
    vokTArticulo &control = m_control->control();
    state.insert(QStringLiteral("Text"), control.Text());
    const ui::Window *now = focused();
    state.insert(QStringLiteral("focus"), now == &control.tArticulo()     ? QJsonValue(QStringLiteral("tArticulo"))
                                          : now == &control.chkVariedad() ? QJsonValue(QStringLiteral("chkVariedad"))
                                                                          : QJsonValue(QJsonValue::Null));
    const ui::CheckBox &check = control.chkVariedad();
    state.insert(QStringLiteral("chkVariedad"), QJsonObject{{"visible", check.isVisible()},
                                                            {"value", check.value()},
                                                            {"caption", check.caption()},
                                                            {"left", check.left()},
                                                            {"width", check.width()}});
    return state;
}

std::vector<ui::Window *> Session::tabOrder()
{
    vokTArticulo &control = m_control->control();
    std::vector<ui::Window *> order;
    for (ui::Window *window : std::array<ui::Window *, 3>{&control.tArticulo(), &control.chkVariedad(), m_hostBox.get()})
        if (window->isVisible() && window->isEnabled())
            order.push_back(window);
    return order;
}

void Session::key(const KeyStroke &stroke)
{
    ui::Window *window = focused();
    const QString &k = stroke.key;
    if (k == QStringLiteral("Tab")) {
        const auto order = tabOrder();
        if (order.empty())
            return;
        const auto at = std::find(order.begin(), order.end(), window);
        const auto count = static_cast<std::ptrdiff_t>(order.size());
        std::ptrdiff_t index = at == order.end() ? -1 : at - order.begin();
        index = (stroke.shift & 1) ? (index <= 0 ? count - 1 : index - 1) : (index + 1) % count;
        m_toolkit.headless().moveFocus(order[static_cast<size_t>(index)]);
        return;
    }
    if (!window)
        return;
    if (k == QStringLiteral("Enter")) {
        strike(*window, ui::vbKeyReturn, stroke.shift, ui::vbKeyReturn);
    } else if (k == QStringLiteral("Escape")) {
        strike(*window, ui::vbKeyEscape, stroke.shift, ui::vbKeyEscape);
    } else if (k == QStringLiteral("Space")) {
        if (auto *check = dynamic_cast<ui::HeadlessCheckBox *>(window)) {
            int16_t keyCode = ui::vbKeySpace;
            int16_t shift = stroke.shift;
            if (check->onKeyDown)
                check->onKeyDown(keyCode, shift);
            check->toggle();
        } else if (auto *box = dynamic_cast<ui::HeadlessTextBox *>(window)) {
            box->type(QStringLiteral(" "));
        }
    } else if (k == QStringLiteral("Backspace")) {
        if (auto *box = dynamic_cast<ui::TextBox *>(window))
            backspace(*box, stroke.shift);
        else
            strike(*window, ui::vbKeyBack, stroke.shift, ui::vbKeyBack);
    } else if (k == QStringLiteral("F4")) {
        strike(*window, ui::vbKeyF4, stroke.shift, 0);
    } else if (k == QStringLiteral("F12")) {
        strike(*window, ui::vbKeyF12, stroke.shift, 0);
    }
}

void Session::list(const Command &command)
{
    if (command.words.size() == 2 && command.words.first() == QStringLiteral("choose")) {
        const int32_t row = number(command.words.at(1), QStringLiteral("list choose: ROW"));
        if (row < 0)
            throw usageError(QStringLiteral("list choose: ROW counts from 0"));
        m_toolkit.headless().queueItemListAnswer(row);
    } else if (command.words.size() == 1 && command.words.first() == QStringLiteral("cancel")) {
        m_toolkit.headless().queueItemListAnswer(std::nullopt);
    } else {
        throw usageError(QStringLiteral("list: choose ROW or cancel expected"));
    }
    printOk();
}

void Session::find(const Command &command)
{
    if (command.words.isEmpty() || command.words.size() > 2)
        throw usageError(QStringLiteral("find: ID [VARIETY] expected"));
    std::vector<vb::Variant> args{vb::Variant(number(command.words.at(0), QStringLiteral("find: ID")))};
    if (command.words.size() == 2)
        args.emplace_back(static_cast<int16_t>(number(command.words.at(1), QStringLiteral("find: VARIETY"))));
    vb::CallByName(m_control, QStringLiteral("FindArticuloByID"), vb::CallKind::Method, args);
    printOk();
}

void Session::detail(const Command &command)
{
    if (command.words.size() != 2)
        throw usageError(QStringLiteral("detail: ID VARIETY expected"));
    std::vector<vb::Variant> args{vb::Variant(number(command.words.at(0), QStringLiteral("detail: ID"))),
                                  vb::Variant(static_cast<int16_t>(number(command.words.at(1), QStringLiteral("detail: VARIETY"))))};
    vb::CallByName(m_control, QStringLiteral("MostrarDetalle"), vb::CallKind::Method, args);
    printOk();
}

void Session::resize(const Command &command)
{
    if (command.words.size() != 2)
        throw usageError(QStringLiteral("resize: W H expected"));
    static_cast<ui::HeadlessUserControl &>(m_control->control().userControl())
        .resize(number(command.words.at(0), QStringLiteral("resize: W")), number(command.words.at(1), QStringLiteral("resize: H")));
    printOk();
}

} // namespace vokhost
