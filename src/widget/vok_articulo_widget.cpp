#include "vok_articulo_widget.h"

#include "suggestions.h"

#include "platform/ui/qt/qt_check_box.h"
#include "platform/ui/qt/qt_text_box.h"
#include "platform/ui/qt/qt_toolkit.h"
#include "platform/ui/qt/qt_user_control.h"
#include "platform/vb/conversions.h"

#include <QApplication>
#include <QCheckBox>
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
// ("Incluir Variedades" in 1700 twips) still fit. The same goes for Tahoma,
// the search dialog's font (F4), whose labels end where their combo boxes
// begin: "Tipo de búsqueda" fits in Tahoma's narrow letters and is cut off in
// a regular-width sans.
void substituteDefaultFont()
{
    static std::once_flag once;
    std::call_once(once, [] {
        const QString defaultName = ui::Font().name;
        if (QFont::substitutes(defaultName).isEmpty())
            QFont::insertSubstitutions(defaultName, {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial"),
                                                     QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                                     QStringLiteral("DejaVu Sans Condensed")});
        const QString dialogName = QStringLiteral("Tahoma");
        if (QFont::substitutes(dialogName).isEmpty())
            QFont::insertSubstitutions(dialogName, {QStringLiteral("Liberation Sans Narrow"),
                                                    QStringLiteral("Arial Narrow"),
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

// A colour written in Qt's terms is an OLE colour of its red, green and blue
// (0x00BBGGRR); the platform has no transparency.
ui::OleColor oleColour(const QColor &colour)
{
    const QColor rgb = colour.toRgb();
    return ui::OleColor(rgb.red()) | ui::OleColor(rgb.green()) << 8 | ui::OleColor(rgb.blue()) << 16;
}

// A handler of the control's followed by a step of the widget's, after the
// control has done all it does for the key or the focus.
template <class... Args, class After>
void thenAfter(std::function<void(Args...)> &handler, After after)
{
    handler = [control = std::move(handler), after](Args... args) {
        if (control)
            control(args...);
        after();
    };
}

} // namespace

// The control's events as the widget's signals.
class vokArticuloWidget::Events final : public vokTArticuloEvents {
public:
    explicit Events(vokArticuloWidget &widget) : m_widget(widget) {}
    // The article is told before the event that follows its choice (the
    // KeyPress of Enter), so that a host's handler of either sees it.
    void Change() override { emit m_widget.Change(); }
    void KeyDown(int16_t &KeyCode, int16_t &Shift) override { emit m_widget.KeyDown(&KeyCode, &Shift); }
    void KeyPress(int16_t &KeyAscii) override
    {
        m_widget.noteArticle();
        emit m_widget.KeyPress(&KeyAscii);
    }
    void Error(const QString &sErrText) override { emit m_widget.Error(sErrText); }
    void GotFocus2() override
    {
        m_widget.noteArticle();
        emit m_widget.GotFocus2();
    }

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
    setFocusProxy(textLine());
    followControlHandlers();

    // Nothing stored to read: the widget is a new instance on its form, with
    // the form's font, until loadForm (or a .ui file) gives it its stored
    // properties. Nobody listens yet, so the changes it marks go unheard.
    m_control->InitProperties();
}

// Every way the article held can change runs inside one of these handlers of
// the text box or the check box (a lookup on Enter or on leaving the box, the
// list, the search dialog on F4, typing over an article), so the widget looks
// after each has run.
void vokArticuloWidget::followControlHandlers()
{
    const auto note = [this] { noteArticle(); };
    ui::TextBox &text = m_control->tArticulo();
    thenAfter(text.onChange, note);
    thenAfter(text.onKeyDown, note);
    thenAfter(text.onKeyPress, note);
    thenAfter(text.onValidate, note);
    ui::CheckBox &check = m_control->chkVariedad();
    thenAfter(check.onKeyPress, note);
    QCheckBox *box = static_cast<ui::QtCheckBox &>(check).checkBox();
    connect(box, &QCheckBox::stateChanged, this, &vokArticuloWidget::noteIncluirVariedades);
}

void vokArticuloWidget::noteArticle()
{
    const int id = ID(), variedad = Variedad();
    if (id == m_toldID && variedad == m_toldVariedad)
        return;
    m_toldID = id;
    m_toldVariedad = variedad;
    emit articleChanged(id, variedad);
}

void vokArticuloWidget::noteIncluirVariedades()
{
    const bool incluir = IncluirVariedades();
    if (incluir == m_toldIncluirVariedades)
        return;
    m_toldIncluirVariedades = incluir;
    emit IncluirVariedadesChanged(incluir);
}

vokArticuloWidget::~vokArticuloWidget()
{
    // The control's windows are children of this widget: the control goes
    // first and takes them with it.
    m_suggestions.reset();
    m_control->unadvise(m_events.get());
    setFocusProxy(nullptr);
    m_control.reset();
}

QLineEdit *vokArticuloWidget::textLine() const
{
    return static_cast<ui::QtTextBox &>(m_control->tArticulo()).lineEdit();
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

// The colours read as they are painted: a system colour in the palette of
// the widget that shows it, the text box's for its own colours, the
// control's surface for the background.
QColor vokArticuloWidget::BackColor() const
{
    return ui::qt::toQColor(m_control->BackColor(), QApplication::palette(textLine()));
}

void vokArticuloWidget::setBackColor(const QColor &value)
{
    m_control->setBackColor(oleColour(value));
}

void vokArticuloWidget::resetBackColor()
{
    m_control->setBackColor(ui::SystemWindowBackground);
}

QColor vokArticuloWidget::ForeColor() const
{
    return ui::qt::toQColor(m_control->ForeColor(), QApplication::palette(textLine()));
}

void vokArticuloWidget::setForeColor(const QColor &value)
{
    m_control->setForeColor(oleColour(value));
}

void vokArticuloWidget::resetForeColor()
{
    m_control->setForeColor(ui::SystemWindowText);
}

QColor vokArticuloWidget::BackgroundColor() const
{
    return ui::qt::toQColor(m_control->BackgroundColor(), QApplication::palette(m_surface));
}

void vokArticuloWidget::setBackgroundColor(const QColor &value)
{
    m_control->setBackgroundColor(oleColour(value));
}

void vokArticuloWidget::resetBackgroundColor()
{
    m_control->setBackgroundColor(ui::SystemButtonFace);
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

void vokArticuloWidget::setText(const QString &value)
{
    m_control->setText(value);
    noteArticle();
}

void vokArticuloWidget::setID(int value)
{
    m_control->setID(value);
    noteArticle();
}

void vokArticuloWidget::setVariedad(int value)
{
    m_control->setVariedad(toInteger(value));
    noteArticle();
}

void vokArticuloWidget::FindArticuloByID(int iID, int iVariedad)
{
    int16_t variedad = toInteger(iVariedad);
    try {
        m_control->FindArticuloByID(iID, variedad);
    } catch (...) {
        noteArticle(); // a failed read has cleared the article at least
        throw;
    }
    noteArticle();
}

void vokArticuloWidget::MostrarDetalle(int Articulo, int Variedad)
{
    int32_t articulo = Articulo;
    int16_t variedad = toInteger(Variedad);
    m_control->MostrarDetalle(articulo, variedad);
}

QString vokArticuloWidget::resloadVieja(int idRes) const
{
    return m_control->resloadVieja(toInteger(idRes));
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

void vokArticuloWidget::setSugerencias(bool value)
{
    if (value == Sugerencias())
        return;
    if (value)
        m_suggestions = std::make_unique<vokwidget::Suggestions>(*m_control, *textLine(), this);
    else
        m_suggestions.reset();
    emit propertyChanged(QStringLiteral("Sugerencias"));
}

QSize vokArticuloWidget::sizeHint() const
{
    const int lineHeight = textLine()->sizeHint().height();
    return {ui::qt::toPixels(4000, logicalDpiX()), lineHeight};
}

QSize vokArticuloWidget::minimumSizeHint() const
{
    const int lineHeight = textLine()->minimumSizeHint().height();
    return {ui::qt::toPixels(1700 + 60, logicalDpiX()), lineHeight};
}

void vokArticuloWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The container resizes the control: its surface fills the widget and
    // lays the text box and the check box out in twips.
    m_surface->setGeometry(rect());
}
