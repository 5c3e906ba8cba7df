#pragma once
// vokArticuloWidget: the article-entry control as a widget that a Qt host
// places on its forms like any other (by code or from a .ui file). It owns a
// vokTArticulo whose text box and check box are real widgets inside it, and
// shows the control's properties as Qt properties and its events as signals.
// Everything else (Connect, FindArticuloByID, MostrarDetalle, resloadVieja,
// the persistence notifications) is reached through control().
//
// The container's side: the form is the container. The control's ambient
// font is the font this widget inherits from its form, and its ambient run
// mode is true unless the host sets designMode (a form designer showing the
// control).
//
// Properties carry the control's names and values: integers as int (a value
// outside the control's type is the platform's error 6, thrown as vb::Error),
// the enumerated ones as Q_ENUMs under the control's member names, colours as
// QColor, the font as a QFont. Underneath, and in the form file, the control
// keeps its OLE colour numbers (0x00BBGGRR, or a system colour with the high
// bit set, such as 0x80000005 for the window background): a system colour
// reads as the colour the palette paints it in, a QColor written is stored as
// its red, green and blue, and resetting a colour gives the control its
// system colour back. control() reads and writes the numbers themselves.
//
// Beside the control's own events, which reach the host unchanged, the widget
// says in Qt's terms what a Qt host listens for: articleChanged whenever the
// article held changes, by whatever route (Enter, Tab, a choice in the list,
// the search dialog, FindArticuloByID, the host writing ID or Text, typing
// over it), and a NOTIFY signal for every property that changes.

#include "control/vok_t_articulo.h"

#include <QColor>
#include <QWidget>

#include <concepts>

#include <memory>

class QLineEdit;

namespace vokwidget {
class Suggestions;
}

class vokArticuloWidget : public QWidget {
    Q_OBJECT

public:
    // The text box's look (the control's Appearance).
    enum AppearanceStyle : int16_t { Flat = 0, ThreeD = 1 };
    Q_ENUM(AppearanceStyle)
    // What the text box shows for a chosen article (qs_ArtFormatDisplay).
    enum ArtFormatDisplay : int32_t {
        afd_Nombre = ::afd_Nombre,
        afd_NombreCodigo = ::afd_NombreCodigo,
        afd_Codigo = ::afd_Codigo,
        afd_CodigoNombre = ::afd_CodigoNombre,
    };
    Q_ENUM(ArtFormatDisplay)
    // Which name column the lookups return (qs_ArtNameDisplay).
    enum ArtNameDisplay : int32_t { and_Nombre = ::and_Nombre, and_NombreCorto = ::and_NombreCorto };
    Q_ENUM(ArtNameDisplay)

private:
    // Design-time properties, kept with the form.
    Q_PROPERTY(AppearanceStyle Appearance READ Appearance WRITE setAppearance NOTIFY propertyChanged)
    Q_PROPERTY(QColor BackColor READ BackColor WRITE setBackColor RESET resetBackColor NOTIFY propertyChanged)
    Q_PROPERTY(QColor ForeColor READ ForeColor WRITE setForeColor RESET resetForeColor NOTIFY propertyChanged)
    Q_PROPERTY(bool Enabled READ controlEnabled WRITE setControlEnabled NOTIFY propertyChanged)
    Q_PROPERTY(QFont Font READ controlFont WRITE setControlFont NOTIFY propertyChanged)
    Q_PROPERTY(int MaxLength READ MaxLength WRITE setMaxLength NOTIFY propertyChanged)
    Q_PROPERTY(QString FormatCodigo READ FormatCodigo WRITE setFormatCodigo NOTIFY propertyChanged)
    Q_PROPERTY(ArtFormatDisplay FormatDisplay READ FormatDisplay WRITE setFormatDisplay NOTIFY propertyChanged)
    Q_PROPERTY(ArtNameDisplay NombreADesplegar READ NombreADesplegar WRITE setNombreADesplegar NOTIFY propertyChanged)
    Q_PROPERTY(bool OmitirVariedad READ OmitirVariedad WRITE setOmitirVariedad NOTIFY propertyChanged)
    Q_PROPERTY(int EnUsoObligatorio READ EnUsoObligatorio WRITE setEnUsoObligatorio NOTIFY propertyChanged)
    Q_PROPERTY(int EnVentaObligatorio READ EnVentaObligatorio WRITE setEnVentaObligatorio NOTIFY propertyChanged)
    Q_PROPERTY(bool PedirIncluirVariedad READ PedirIncluirVariedad WRITE setPedirIncluirVariedad NOTIFY propertyChanged)
    Q_PROPERTY(QColor BackgroundColor READ BackgroundColor WRITE setBackgroundColor RESET resetBackgroundColor
                   NOTIFY propertyChanged)
    // The widget's own: the first matches shown under the box while the
    // cashier types (off by default; see suggestions.h).
    Q_PROPERTY(bool Sugerencias READ Sugerencias WRITE setSugerencias NOTIFY propertyChanged)

    // Set by the host at run time, never stored. Text changes with the
    // control's Change event; ID and Variedad whenever the article does.
    Q_PROPERTY(QString Text READ Text WRITE setText NOTIFY Change DESIGNABLE false)
    Q_PROPERTY(int ID READ ID WRITE setID NOTIFY articleChanged DESIGNABLE false)
    Q_PROPERTY(int Variedad READ Variedad WRITE setVariedad NOTIFY articleChanged DESIGNABLE false)
    Q_PROPERTY(int Idioma READ Idioma WRITE setIdioma DESIGNABLE false)
    Q_PROPERTY(int Empresa READ Empresa WRITE setEmpresa DESIGNABLE false)
    Q_PROPERTY(int ListaPrecios READ ListaPrecios WRITE setListaPrecios DESIGNABLE false)
    Q_PROPERTY(int FormatoLista READ FormatoLista WRITE setFormatoLista DESIGNABLE false)
    Q_PROPERTY(bool IncluirVariedades READ IncluirVariedades WRITE setIncluirVariedades NOTIFY IncluirVariedadesChanged
                   DESIGNABLE false)

    // The chosen article.
    Q_PROPERTY(QString Codigo READ Codigo NOTIFY articleChanged DESIGNABLE false)
    Q_PROPERTY(QString Nombre READ Nombre NOTIFY articleChanged DESIGNABLE false)
    Q_PROPERTY(int EnUso READ EnUso NOTIFY articleChanged DESIGNABLE false)
    Q_PROPERTY(int EnVenta READ EnVenta NOTIFY articleChanged DESIGNABLE false)
    Q_PROPERTY(int EsCombo READ EsCombo NOTIFY articleChanged DESIGNABLE false)
    Q_PROPERTY(int TipoCombo READ TipoCombo NOTIFY articleChanged DESIGNABLE false)
    Q_PROPERTY(int Decimales READ Decimales NOTIFY articleChanged DESIGNABLE false)
    Q_PROPERTY(int AdmitePrecioQMayor READ AdmitePrecioQMayor NOTIFY articleChanged DESIGNABLE false)
    Q_PROPERTY(int PideSerie READ PideSerie NOTIFY articleChanged DESIGNABLE false)
    Q_PROPERTY(bool CB READ CB NOTIFY articleChanged DESIGNABLE false)
    Q_PROPERTY(double CBCantidad READ CBCantidad NOTIFY articleChanged DESIGNABLE false)
    Q_PROPERTY(QString CBFija READ CBFija NOTIFY articleChanged DESIGNABLE false)
    Q_PROPERTY(QString CBVariable READ CBVariable NOTIFY articleChanged DESIGNABLE false)

    // The container's side: a designer shows the control in design mode.
    Q_PROPERTY(bool designMode READ designMode WRITE setDesignMode DESIGNABLE false)

public:
    // The control's windows are made by the thread's toolkit, which must be a
    // Qt toolkit: when the host has installed none, the widget installs one of
    // its own for the thread. A QApplication must exist.
    explicit vokArticuloWidget(QWidget *parent = nullptr);
    ~vokArticuloWidget() override;

    // The control itself, with its whole interface.
    vokTArticulo &control() { return *m_control; }
    const vokTArticulo &control() const { return *m_control; }

    bool designMode() const;
    void setDesignMode(bool designMode);

    AppearanceStyle Appearance() const { return static_cast<AppearanceStyle>(m_control->Appearance()); }
    void setAppearance(AppearanceStyle value) { setAppearance(int{value}); }
    void setAppearance(int value);
    // An integer is refused at compile time: read as an OLE number and as
    // Qt's 0xAARRGGBB it would give red and blue swapped. A host writes a
    // QColor here, or the OLE number through control().
    QColor BackColor() const;
    void setBackColor(const QColor &value);
    void setBackColor(std::integral auto) = delete;
    void resetBackColor();
    QColor ForeColor() const;
    void setForeColor(const QColor &value);
    void setForeColor(std::integral auto) = delete;
    void resetForeColor();
    // Enabled and Font would hide QWidget's own setEnabled and setFont: the
    // widget's font is the container's (the ambient font), the control's is
    // its text box's.
    bool controlEnabled() const { return m_control->Enabled(); }
    void setControlEnabled(bool value) { m_control->setEnabled(value); }
    QFont controlFont() const;
    void setControlFont(const QFont &value);
    int MaxLength() const { return m_control->MaxLength(); }
    void setMaxLength(int value);
    QString FormatCodigo() const { return m_control->FormatCodigo(); }
    void setFormatCodigo(const QString &value) { m_control->setFormatCodigo(value); }
    ArtFormatDisplay FormatDisplay() const { return static_cast<ArtFormatDisplay>(m_control->FormatDisplay()); }
    void setFormatDisplay(ArtFormatDisplay value) { m_control->setFormatDisplay(value); }
    void setFormatDisplay(int value) { m_control->setFormatDisplay(value); }
    ArtNameDisplay NombreADesplegar() const { return static_cast<ArtNameDisplay>(m_control->NombreADesplegar()); }
    void setNombreADesplegar(ArtNameDisplay value) { m_control->setNombreADesplegar(value); }
    void setNombreADesplegar(int value) { m_control->setNombreADesplegar(value); }
    bool OmitirVariedad() const { return m_control->OmitirVariedad(); }
    void setOmitirVariedad(bool value) { m_control->setOmitirVariedad(value); }
    int EnUsoObligatorio() const { return m_control->EnUsoObligatorio(); }
    void setEnUsoObligatorio(int value);
    int EnVentaObligatorio() const { return m_control->EnVentaObligatorio(); }
    void setEnVentaObligatorio(int value);
    bool PedirIncluirVariedad() const { return m_control->PedirIncluirVariedad(); }
    void setPedirIncluirVariedad(bool value) { m_control->setPedirIncluirVariedad(value); }
    QColor BackgroundColor() const;
    void setBackgroundColor(const QColor &value);
    void setBackgroundColor(std::integral auto) = delete;
    void resetBackgroundColor();

    QString Text() const { return m_control->Text(); }
    void setText(const QString &value);
    int ID() const { return m_control->ID(); }
    void setID(int value);
    int Variedad() const { return m_control->Variedad(); }
    void setVariedad(int value);
    int Idioma() const { return m_control->Idioma(); }
    void setIdioma(int value);
    int Empresa() const { return m_control->Empresa(); }
    void setEmpresa(int value);
    int ListaPrecios() const { return m_control->ListaPrecios(); }
    void setListaPrecios(int value);
    int FormatoLista() const { return m_control->FormatoLista(); }
    void setFormatoLista(int value);
    bool IncluirVariedades() const { return m_control->IncluirVariedades(); }
    void setIncluirVariedades(bool value) { m_control->setIncluirVariedades(value); }

    QString Codigo() const { return m_control->Codigo(); }
    QString Nombre() const { return m_control->Nombre(); }
    int EnUso() const { return m_control->EnUso(); }
    int EnVenta() const { return m_control->EnVenta(); }
    int EsCombo() const { return m_control->EsCombo(); }
    int TipoCombo() const { return m_control->TipoCombo(); }
    int Decimales() const { return m_control->Decimales(); }
    int AdmitePrecioQMayor() const { return m_control->AdmitePrecioQMayor(); }
    int PideSerie() const { return m_control->PideSerie(); }
    bool CB() const { return m_control->CB(); }
    double CBCantidad() const { return m_control->CBCantidad(); }
    QString CBFija() const { return m_control->CBFija(); }
    QString CBVariable() const { return m_control->CBVariable(); }

    // The control's methods with their arguments by value, so that a host
    // (or a script through the meta-object) calls them with plain numbers.
    // A host that wants articleChanged to follow calls these rather than the
    // control's own.
    Q_INVOKABLE void FindArticuloByID(int iID, int iVariedad = 0);
    Q_INVOKABLE void MostrarDetalle(int Articulo, int Variedad);
    Q_INVOKABLE QString resloadVieja(int idRes) const;

    bool Sugerencias() const { return m_suggestions != nullptr; }
    void setSugerencias(bool value);

    // A text box line high, and as wide as the control is usually drawn.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // The control's events. The key arguments point at the key the text box
    // (or the check box) is about to receive: a slot connected directly may
    // change it, or set it to 0 to swallow the key.
    void Change();
    void KeyDown(qint16 *KeyCode, qint16 *Shift);
    void KeyPress(qint16 *KeyAscii);
    void Error(const QString &sErrText);
    void GotFocus2();

    // A stored property changed, so the form needs saving.
    void propertyChanged(const QString &name);
    // The article held changed: ID and Variedad as they are now (0, 0 when
    // none is held any more). Raised after the control has settled, beside
    // its own events (before the KeyPress of the Enter that chose it).
    void articleChanged(int ID, int Variedad);
    // The check box was ticked or unticked, by the cashier or by the control.
    void IncluirVariedadesChanged(bool IncluirVariedades);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    class Events;

    // Tells the host when the article held is no longer the one last told.
    void noteArticle();
    void noteIncluirVariedades();
    void followControlHandlers();
    // The control's text box as Qt shows it.
    QLineEdit *textLine() const;

    std::unique_ptr<vokTArticulo> m_control;
    std::unique_ptr<Events> m_events;
    // Exists only while Sugerencias is on.
    std::unique_ptr<vokwidget::Suggestions> m_suggestions;
    QWidget *m_surface = nullptr;
    int m_toldID = 0;
    int m_toldVariedad = 0;
    bool m_toldIncluirVariedades = false;
};
