#include "control_settings_form.h"

#include "platform/vb/error.h"
#include "widget/vok_articulo_widget.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMetaProperty>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTime>
#include <QVBoxLayout>

namespace demo {

namespace {

// What the configuration offers, in the order a host developer thinks of it.
constexpr const char *EditedProperties[] = {
    "FormatDisplay", "FormatCodigo", "NombreADesplegar", "OmitirVariedad", "PedirIncluirVariedad",
    "EnUsoObligatorio", "EnVentaObligatorio", "BackColor", "ForeColor", "BackgroundColor", "Font",
    "Appearance", "Enabled", "MaxLength", "Empresa", "ListaPrecios", "FormatoLista", "Sugerencias",
};

// The colour as the widget paints it, and, for a system colour, the OLE
// number the control keeps and the form file stores.
QString colourText(const QColor &colour, ui::OleColor ole)
{
    if (ole & 0x80000000u)
        return QStringLiteral("%1 (system 0x%2)").arg(colour.name()).arg(ole, 8, 16, QLatin1Char('0'));
    return colour.name();
}

// The control's own value of a colour property, by the property's name.
ui::OleColor oleColourOf(const vokTArticulo &control, const QString &name)
{
    if (name == u"BackColor")
        return control.BackColor();
    if (name == u"ForeColor")
        return control.ForeColor();
    return control.BackgroundColor();
}

QString fontText(const QFont &font)
{
    return QStringLiteral("%1 %2 pt%3").arg(font.family()).arg(font.pointSizeF()).arg(font.bold() ? " bold" : "");
}

} // namespace

ControlSettingsForm::ControlSettingsForm(vokArticuloWidget &control, std::function<void()> saveForm,
                                         std::function<void(int)> switchLanguage, int idioma, QWidget *parent)
    : QWidget(parent), m_control(control)
{
    setWindowTitle(tr("Control configuration"));
    m_properties = new QFormLayout;
    for (const char *property : EditedProperties)
        addEditor(property);

    auto *language = new QComboBox(this);
    language->addItem(tr("Español"), 1);
    language->addItem(tr("English"), 2);
    language->setCurrentIndex(language->findData(idioma));
    connect(language, &QComboBox::activated, this, [language, switchLanguage](int index) {
        switchLanguage(language->itemData(index).toInt());
    });
    m_properties->addRow(tr("Language (host settings)"), language);

    auto *save = new QPushButton(tr("&Save form"), this);
    connect(save, &QPushButton::clicked, this, [this, saveForm] {
        try {
            saveForm();
            log(tr("form saved"));
        } catch (const vb::Error &error) {
            log(tr("form not saved: %1").arg(error.numberAndDescription()));
        }
    });

    m_events = new QPlainTextEdit(this);
    m_events->setObjectName(QStringLiteral("eventLog"));
    m_events->setReadOnly(true);
    m_events->setMaximumBlockCount(2000);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(m_properties);
    layout->addWidget(save, 0, Qt::AlignRight);
    layout->addWidget(m_events, 1);

    connect(&control, &vokArticuloWidget::Change, this, [this] { log(QStringLiteral("Change  Text=\"%1\" ID=%2").arg(m_control.Text()).arg(m_control.ID())); });
    connect(&control, &vokArticuloWidget::KeyDown, this, [this](qint16 *code, qint16 *shift) {
        log(QStringLiteral("KeyDown  KeyCode=%1 Shift=%2").arg(*code).arg(*shift));
    });
    connect(&control, &vokArticuloWidget::KeyPress, this,
            [this](qint16 *ascii) { log(QStringLiteral("KeyPress  KeyAscii=%1").arg(*ascii)); });
    connect(&control, &vokArticuloWidget::Error, this, [this](const QString &text) { log(QStringLiteral("Error  %1").arg(text)); });
    connect(&control, &vokArticuloWidget::GotFocus2, this, [this] { log(QStringLiteral("GotFocus2")); });
}

void ControlSettingsForm::addEditor(const char *property)
{
    const QMetaProperty meta = m_control.metaObject()->property(m_control.metaObject()->indexOfProperty(property));
    const QString name = QString::fromLatin1(property);
    QWidget *editor = nullptr;
    if (meta.metaType().id() == QMetaType::QColor) {
        auto *button = new QPushButton(this);
        const auto show = [this, name, property, button] {
            button->setText(colourText(m_control.property(property).value<QColor>(), oleColourOf(m_control.control(), name)));
        };
        connect(button, &QPushButton::clicked, this, [this, property, show] {
            const QColor chosen = QColorDialog::getColor(m_control.property(property).value<QColor>(), this,
                                                         QString::fromLatin1(property));
            if (chosen.isValid())
                apply(property, chosen);
            show();
        });
        m_refreshers.push_back(show);
        editor = button;
    } else if (meta.metaType().id() == QMetaType::QFont) {
        auto *button = new QPushButton(this);
        connect(button, &QPushButton::clicked, this, [this, property, button] {
            bool ok = false;
            const QFont chosen = QFontDialog::getFont(&ok, m_control.property(property).value<QFont>(), this);
            if (ok)
                apply(property, chosen);
            button->setText(fontText(m_control.property(property).value<QFont>()));
        });
        m_refreshers.push_back([this, property, button] { button->setText(fontText(m_control.property(property).value<QFont>())); });
        editor = button;
    } else if (meta.metaType().id() == QMetaType::Bool) {
        auto *check = new QCheckBox(this);
        connect(check, &QCheckBox::clicked, this, [this, property](bool on) { apply(property, on); });
        m_refreshers.push_back([this, property, check] { check->setChecked(m_control.property(property).toBool()); });
        editor = check;
    } else if (meta.metaType().id() == QMetaType::QString) {
        auto *line = new QLineEdit(this);
        connect(line, &QLineEdit::editingFinished, this, [this, property, line] { apply(property, line->text()); });
        m_refreshers.push_back([this, property, line] { line->setText(m_control.property(property).toString()); });
        editor = line;
    } else {
        auto *spin = new QSpinBox(this);
        spin->setRange(-32768, 32767);
        spin->setKeyboardTracking(false);
        connect(spin, &QSpinBox::valueChanged, this, [this, property](int value) {
            if (m_control.property(property).toInt() != value)
                apply(property, value);
        });
        m_refreshers.push_back([this, property, spin] {
            const QSignalBlocker quiet(spin);
            spin->setValue(m_control.property(property).toInt());
        });
        editor = spin;
    }
    editor->setObjectName(name);
    m_properties->addRow(name, editor);
    m_refreshers.back()();
}

void ControlSettingsForm::apply(const char *property, const QVariant &value)
{
    try {
        m_control.setProperty(property, value);
    } catch (const vb::Error &error) {
        log(QStringLiteral("%1 refused: %2").arg(QString::fromLatin1(property), error.numberAndDescription()));
    }
    refresh();
}

void ControlSettingsForm::refresh()
{
    for (const auto &refresher : m_refreshers)
        refresher();
}

void ControlSettingsForm::log(const QString &line)
{
    m_events->appendPlainText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz  ")) + line);
}

} // namespace demo
