#include "vok_articulo_widget.h"

#include "platform/ui/qt/qt_check_box.h"
#include "platform/ui/qt/qt_text_box.h"
#include "platform/ui/qt/qt_toolkit.h"
#include "platform/ui/qt/qt_user_control.h"
#include "platform/vb/conversions.h"

#include <QFont>
#include <QLineEdit>
#include <QResizeEvent>

#include <mutex>

namespace {

// The Qt toolkit of a GUI thread whose host installed none. It is given up
// when the thread ends; a toolkit the host installed itself is left alone.
struct OwnToolkit {
    std::unique_ptr<ui::QtToolkit> toolkit;
    ~OwnToolkit()
    {
        if (toolkit && &ui::toolkit() == toolkit.get())
            ui::setToolkit(nullptr);
    }
};

// The platform's default font, MS Sans Serif 8.25, is rarely installed here:
// narrow sans families stand in for it, so that the captions measured for it
// ("Incluir Variedades" in 1700 twips) still fit.
void substituteDefaultFont()
{
    static std::once_flag once;
    std::call_once(once, [] {
        const QString defaultName = ui::Font().name;
        if (QFont::substitutes(defaultName).isEmpty())
            QFont::insertSubstitutions(defaultName, {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial"),
                                                     QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                                     QStringLiteral("DejaVu Sans Condensed")});
    });
}

ui::QtToolkit &guiToolkit()
{
    if (auto *installed = dynamic_cast<ui::QtToolkit *>(&ui::toolkit()))
        return *installed;
    thread_local OwnToolkit own;
    if (!own.toolkit)
        own.toolkit = std::make_unique<ui::QtToolkit>();
    ui::setToolkit(own.toolkit.get());
    return *own.toolkit;
}

// The control's integer properties are 8 and 16 bits wide: a value out of
// range overflows as an assignment on the platform does.
int16_t toInteger(int value)
{
    return vb::CInt(vb::Variant(int32_t{value}));
}

uint8_t toByte(int value)
{
    return vb::CByte(vb::Variant(int32_t{value}));
}

} // namespace

// The control's events as the widget's signals.
class vokArticuloWidget::Events final : public vokTArticuloEvents {
public:
    explicit Events(vokArticuloWidget &widget) : m_widget(widget) {}
    void Change() override { emit m_widget.Change(); }
    void KeyDown(int16_t &KeyCode, int16_t &Shift) override { emit m_widget.KeyDown(&KeyCode, &Shift); }
    void KeyPress(int16_t &KeyAscii) override { emit m_widget.KeyPress(&KeyAscii); }
    void Error(const QString &sErrText) override { emit m_widget.Error(sErrText); }
    void GotFocus2() override { emit m_widget.GotFocus2(); }

private:
    vokArticuloWidget &m_widget;
};

vokArticuloWidget::vokArticuloWidget(QWidget *parent) : QWidget(parent)
{
    substituteDefaultFont();
    guiToolkit();
    m_control = std::make_unique<vokTArticulo>();
    m_events = std::make_unique<Events>(*this);
    m_control->advise(m_events.get());

    auto &surface = static_cast<ui::QtUserControl &>(m_control->userControl());
    surface.onPropertyChanged = [this](const QString &name) { emit propertyChanged(name); };
    m_surface = surface.widget();
    m_surface->setParent(this);
    m_surface->setGeometry(rect());
    m_surface->show();
    // The check box keeps the font it was drawn with, the platform's default,
    // whatever the form's font.
    static_cast<ui::QtCheckBox &>(m_control->chkVariedad()).checkBox()->setFont(ui::qt::toQFont(ui::Font()));
    // Focus given to the widget goes to the text box, as the platform gives
    // it to the control's first constituent control.
    setFocusProxy(static_cast<ui::QtTextBox &>(m_control->tArticulo()).lineEdit());
}

vokArticuloWidget::~vokArticuloWidget()
{
    // The control's windows are children of this widget: the control goes
    // first and takes them with it.
    m_control->unadvise(m_events.get());
    setFocusProxy(nullptr);
    m_control.reset();
}

bool vokArticuloWidget::designMode() const
{
    return !m_control->userControl().ambientUserMode();
}

void vokArticuloWidget::setDesignMode(bool designMode)
{
    static_cast<ui::QtUserControl &>(m_control->userControl()).setAmbientUserMode(!designMode);
}

void vokArticuloWidget::setAppearance(int value)
{
    m_control->setAppearance(toInteger(value));
}

QFont vokArticuloWidget::controlFont() const
{
    return ui::qt::toQFont(m_control->Font());
}

void vokArticuloWidget::setControlFont(const QFont &value)
{
    m_control->setFont(ui::qt::fontOf(value));
}

void vokArticuloWidget::setMaxLength(int value)
{
    m_control->setMaxLength(toInteger(value));
}

void vokArticuloWidget::setEnUsoObligatorio(int value)
{
    m_control->setEnUsoObligatorio(toByte(value));
}

void vokArticuloWidget::setEnVentaObligatorio(int value)
{
    m_control->setEnVentaObligatorio(toByte(value));
}

void vokArticuloWidget::setVariedad(int value)
{
    m_control->setVariedad(toInteger(value));
}

void vokArticuloWidget::setIdioma(int value)
{
    m_control->setIdioma(toByte(value));
}

void vokArticuloWidget::setEmpresa(int value)
{
    m_control->setEmpresa(toInteger(value));
}

void vokArticuloWidget::setListaPrecios(int value)
{
    m_control->setListaPrecios(toInteger(value));
}

void vokArticuloWidget::setFormatoLista(int value)
{
    m_control->setFormatoLista(toByte(value));
}

QSize vokArticuloWidget::sizeHint() const
{
    const int lineHeight = static_cast<ui::QtTextBox &>(m_control->tArticulo()).lineEdit()->sizeHint().height();
    return {ui::qt::toPixels(4000, logicalDpiX()), lineHeight};
}

QSize vokArticuloWidget::minimumSizeHint() const
{
    const int lineHeight = static_cast<ui::QtTextBox &>(m_control->tArticulo()).lineEdit()->minimumSizeHint().height();
    return {ui::qt::toPixels(1700 + 60, logicalDpiX()), lineHeight};
}

void vokArticuloWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The container resizes the control: its surface fills the widget and
    // lays the text box and the check box out in twips.
    m_surface->setGeometry(rect());
}
