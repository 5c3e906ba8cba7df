#pragma once
// A control on the headless toolkit with an event sink that logs every event.

#include "language_fixture.h"

#include "control/vok_t_articulo.h"
#include "lookup/query_builder.h"
#include "platform/ui/headless/headless_toolkit.h"

#include <QStringList>

// Fills the current article as a lookup would, for tests of what happens next.
struct vokTArticuloTestAccess {
    static void hold(vokTArticulo &control, int32_t id)
    {
        control.mlngID = id;
        control.mintVariedad = 3;
        control.mstrCodigo = "A12";
        control.mstrNombre = "TORNILLO";
        control.mbytEnUso = 1;
        control.mbytEnVenta = 1;
        control.mbytEsCombo = 1;
        control.mbytDecimales = 2;
        control.mbytAdmitePrecioQMayor = 1;
        control.mbytPideSerie = 1;
        control.mblnCB = true;
        control.mdblCBCantidad = 1.5;
        control.mvarCBFija = QStringLiteral("2001234");
        control.mvarCBVariable = QStringLiteral("00150");
        control.mblnConVariedades = true;
    }
    // Code and name as a lookup fills them, before it sets ID.
    static void fill(vokTArticulo &control, const QString &codigo, const QString &nombre)
    {
        control.mstrCodigo = codigo;
        control.mstrNombre = nombre;
    }
    static bool conVariedades(const vokTArticulo &control) { return control.mblnConVariedades; }
    static int16_t listaTipoPrecio(const vokTArticulo &control) { return control.mintListaTipoPrecio; }
    // The lookup routines that only other routines call.
    static void mostrarLista(vokTArticulo &control, const QString &sql) { control.MostrarLista(sql); }
    static QString sqlBaseBusqueda(const vokTArticulo &control) { return control.SQLBaseBusqueda(); }
    static uint8_t leerFormatoLista(vokTArticulo &control) { return control.LeerFormatoLista(); }
    static int16_t leerTipoPrecio(vokTArticulo &control, int16_t empresa) { return control.LeerTipoPrecio(empresa); }
    static void setTipoPrecio(vokTArticulo &control, int16_t tipo) { control.mintTipoPrecio = tipo; }
    static void buscar(vokTArticulo &control, const QString &texto, const QString &condicion)
    {
        control.BuscarArticulo(texto, condicion);
    }
    static lookup::LookupSettings settings(const vokTArticulo &control) { return control.lookupSettings(); }
    static void busquedaAvanzada(vokTArticulo &control) { control.BusquedaAvanzada(); }
};

class EventLog : public vokTArticuloEvents {
public:
    explicit EventLog(vokTArticulo &control) : m_control(control) {}
    void Change() override { events << QStringLiteral("Change ID=%1").arg(m_control.ID()); }
    void KeyDown(int16_t &code, int16_t &shift) override { events << QStringLiteral("KeyDown %1 %2").arg(code).arg(shift); }
    void KeyPress(int16_t &ascii) override { events << QStringLiteral("KeyPress %1").arg(ascii); }
    void Error(const QString &text) override { events << "Error " + text; }
    void GotFocus2() override { events << "GotFocus2"; }

    QStringList events;

private:
    vokTArticulo &m_control;
};

class ControlFixture : public vok::test::LanguageFixture {
protected:
    void SetUp() override
    {
        LanguageFixture::SetUp();
        control = std::make_unique<vokTArticulo>();
        log = std::make_unique<EventLog>(*control);
        control->advise(log.get());
    }
    void TearDown() override
    {
        log.reset();
        control.reset();
        LanguageFixture::TearDown();
    }
    ui::HeadlessUserControl &surface() { return static_cast<ui::HeadlessUserControl &>(control->userControl()); }
    ui::HeadlessTextBox &text() { return static_cast<ui::HeadlessTextBox &>(control->tArticulo()); }
    ui::HeadlessCheckBox &check() { return static_cast<ui::HeadlessCheckBox &>(control->chkVariedad()); }

    std::unique_ptr<vokTArticulo> control;
    std::unique_ptr<EventLog> log;
};
